#include "tests/support/ModalAnswerer.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QWidget>

#include <algorithm>

ModalAnswerer::ModalAnswerer(QList<Answer> answers)
    : m_answers(std::move(answers))
{
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(10);
}

void ModalAnswerer::poll()
{
    QWidget* dialog = QApplication::activeModalWidget();
    if (m_answering || !dialog || !dialog->isVisible() || m_answers.isEmpty())
        return;
    const Answer answer = m_answers.takeFirst();
    const QScopedValueRollback<bool> answering(m_answering, true);
    if (m_inspector)
        m_inspector(dialog);
    m_captions << dialog->windowTitle();
    const auto* box = qobject_cast<QMessageBox*>(dialog);
    m_messages << (box ? box->text() : QString());
    if (answer.act) {
        answer.act(dialog);
        return;
    }
    QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>();
    std::sort(edits.begin(), edits.end(), [](QLineEdit* a, QLineEdit* b) { return a->y() < b->y(); });
    for (int i = 0; i < edits.size() && i < answer.texts.size(); ++i)
        edits[i]->setText(answer.texts[i]);
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text().remove(u'&') == answer.button) {
            button->click();
            return;
        }
    }
}
