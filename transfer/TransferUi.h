#pragma once

#include "transfer/WebTransferTypes.h"

#include <QString>

#include <cstdint>
#include <functional>

// The lines a run shows for the block it has just moved, already worded.
struct TProgressLines {
    QString Size;
    // The bar's position in percent; the bar keeps the position it has when it is -1.
    int BarPosition = -1;
    QString Rate;
    QString TimeLeft;
    QString Elapsed;
};

// What a run tells its user and asks of them: what it is doing, how far it has come, a login
// for a server that wants one. The run holds no window; a progress dialog is one user
// interface, a run with none shows nothing and asks nothing. Every call comes from the
// thread that runs the transfer.
class TTransferUi {
public:
    virtual ~TTransferUi() = default;

    // The run starts: from here on its user may follow it (a dialog opens).
    virtual void Begin() {}
    virtual void ShowCaption(const QString& Caption) { static_cast<void>(Caption); }
    // What moves now and from or to where, worded.
    virtual void ShowFileLine(const QString& Line) { static_cast<void>(Line); }
    virtual void ShowProgress(const TProgressLines& Lines) { static_cast<void>(Lines); }
    // The rate alone, while nothing moves (a wait before another attempt).
    virtual void ShowRateLine(const QString& Line) { static_cast<void>(Line); }
    virtual void ShowAnimation(TAnimationClip Clip) { static_cast<void>(Clip); }
    // A bar without a position, for a file of unknown size.
    virtual void ShowMarquee(bool Marquee) { static_cast<void>(Marquee); }
    // Asks for the user name and password the server of Caption wants; true with both
    // stored when the user gave them, false (both unchanged) when they would not. A run with
    // no one to ask gets false.
    virtual bool AskLogin(const QString& Caption, QString& User, QString& Password);
    // Lets the user act now: pending input and repaints are handled (a Cancel click among
    // them). Without a user the thread's event loop still gets its turn.
    virtual void Attend();
    // Sleeps, attending the user, while Waiting answers true; it is asked at least every
    // 20 ms.
    virtual void AttendWhile(const std::function<bool()>& Waiting);
    // The run is over. Either its user sees the end (Cancelled tells whether the run ended
    // that way) or, with nothing more to show, the dialog goes.
    virtual void ShowCompletion(bool Cancelled) { static_cast<void>(Cancelled); }
    virtual void Close() {}
};
