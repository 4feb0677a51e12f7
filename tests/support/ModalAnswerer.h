#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

// Answers modal dialogs the way a user would: when a modal window is active it fills its line
// edits in tab order with the given texts and clicks the button with the given caption. Each
// answer is used once, in order; the window's caption is kept for the test to check.
class ModalAnswerer : public QObject {
public:
    struct Answer {
        QStringList texts;
        QString button;
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
};
