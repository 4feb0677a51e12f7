#include "transfer/TransferUi.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

bool TTransferUi::AskLogin(const QString& Caption, QString& User, QString& Password)
{
    static_cast<void>(Caption);
    static_cast<void>(User);
    static_cast<void>(Password);
    return false;
}

void TTransferUi::Attend()
{
    QCoreApplication::processEvents();
}

void TTransferUi::AttendWhile(const std::function<bool()>& Waiting)
{
    if (!QCoreApplication::instance()) {
        while (Waiting())
            QThread::msleep(20);
        return;
    }
    // The wait sleeps in the event loop, not beside it: every click and repaint is handled as
    // it comes, and the timer wakes it to ask again.
    QTimer wake;
    wake.start(20);
    while (Waiting())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
