#pragma once

#include "transfer/ProgressDialog.h"
#include "transfer/WebTransfer.h"

#include <QCoreApplication>
#include <QEvent>

// The engine with its progress dialog's steps opened to the tests, the way a run takes them.
class TDialogEngine : public TWebTransfer {
public:
    void BuildProgressDialog() { Dialog().Begin(); }
    void CloseProgressDialog() { Dialog().Close(); }
    void SetAnimationClip(TAnimationClip Clip) { Dialog().ShowAnimation(Clip); }
    void SetDialogCaption(const QString& Caption) { Dialog().ShowCaption(Caption); }
    void SetProgressMarquee(bool Marquee) { Dialog().ShowMarquee(Marquee); }
    void ShowCompletionState() { Dialog().ShowCompletion(CancelRequested()); }
};

// Frees the widgets that asked to be deleted later (windows that closed themselves).
inline void FlushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
