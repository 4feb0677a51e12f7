#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Answers modal dialogs the way a user would, one answer per dialog, in order. An answer either
// fills the dialog's line edits from top to bottom with its texts and clicks the button with its
// caption, or hands the dialog to a function that works it with the keyboard and mouse. The
// captions and message texts of the answered dialogs are kept for the test to check. Make the
// answerer before the code that opens the dialogs; it stops answering when it goes:
//   ModalAnswerer answerer({{{QStringLiteral("alice"), QStringLiteral("secret")}, QStringLiteral("OK")}});
//   ModalAnswerer answerer({{.act = [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); }}});
class ModalAnswerer : public QObject {
public:
    struct Answer {
        QStringList texts = {};
        QString button = {};
        // When set, runs instead of texts and button.
        std::function<void(QWidget* dialog)> act = {};
    };

    explicit ModalAnswerer(QList<Answer> answers);

    // Runs with each dialog as the user first sees it, before it is answered.
    void setInspector(std::function<void(QWidget* dialog)> inspector) { m_inspector = std::move(inspector); }

    const QStringList& captions() const { return m_captions; }
    // The text of each answered message box (empty for other dialogs), in the same order.
    const QStringList& messages() const { return m_messages; }
    int answered() const { return static_cast<int>(m_captions.size()); }

private:
    void poll();

    QList<Answer> m_answers;
    std::function<void(QWidget* dialog)> m_inspector;
    QStringList m_captions;
    QStringList m_messages;
    QTimer m_timer;
    // An answer that waits for events must not see its own dialog again as the next one.
    bool m_answering = false;
};
