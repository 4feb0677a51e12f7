#include "tests/dialogs/DialogTestSupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>


bool WaitUntil(const std::function<bool()>& Condition, int TimeoutMs)
{
    QDeadlineTimer deadline(TimeoutMs);
    while (!Condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(5);
    }
    return true;
}

void FlushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void AnswerNextModal(std::function<void(QWidget* Dialog)> Answer)
{
    // Polls from inside the dialog's own event loop until the dialog is there.
    auto* poll = new QTimer(qApp);
    poll->setInterval(10);
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, deadline, Answer = std::move(Answer)] {
        QWidget* dialog = QApplication::activeModalWidget();
        const bool ready = dialog && dialog->isVisible();
        if (ready || deadline.hasExpired()) {
            poll->stop();
            poll->deleteLater();
        }
        if (ready)
            Answer(dialog);
    });
    poll->start();
}
