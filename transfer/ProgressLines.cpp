#include "transfer/TransferRun.h"

#include "platform/system/TickCount.h"
#include "transfer/ProgressTexts.h"

#include <QStringBuilder>

#include <algorithm>

namespace {

// About one frame of a 60 Hz screen.
constexpr std::uint32_t LinesIntervalMs = 16;

} // namespace

void TTransferRun::SetFileLine(const QString& Name, const QString& ServerWord, const QString& Server, bool WithServer)
{
    const QString count = FItems.Count() >= 2 ? QString::number(FFileNum) % u' ' % DlgFileOfLabel % u' '
            % QString::number(FActiveCount) % QLatin1String(" : ")
                                               : QString();
    ShowFileLine(WithServer ? QString(DlgFileLabel % u' ' % count % Name % u' ' % ServerWord % u' ' % Server)
                            : QString(DlgFileLabel % u' ' % count % Name));
}

void TTransferRun::ShowFileLine(const QString& Line)
{
    FUi->ShowFileLine(Line);
    StartFileLines();
}

void TTransferRun::SetCaption(const QString& Caption)
{
    FUi->ShowCaption(Caption);
}

void TTransferRun::SetAnimationClip(TAnimationClip Clip)
{
    FUi->ShowAnimation(Clip);
}

void TTransferRun::SetProgressMarquee(bool Marquee)
{
    FMarquee = Marquee;
    FUi->ShowMarquee(Marquee);
}

void TTransferRun::StartFileLines()
{
    // A new file: its first block is shown at once.
    FLinesDone = -1;
    FLinesShown = -1;
}

void TTransferRun::ShowProgress(std::int64_t Done, std::int64_t Total, std::uint32_t StartTick, const QString& Word,
                                bool CopyMode, std::int64_t Resumed)
{
    const std::uint32_t now = platform::tickCount();
    // The first block of a job, its last one (complete, or the empty read at the end when the
    // complete one was not shown) and a block after a frame's time are shown; the blocks in
    // between only raise the event.
    const bool newJob = FLinesDone < 0 || Done < FLinesDone;
    const bool ending = (Total > 0 && Done >= Total) || Done == FLinesDone;
    const bool due = newJob || (ending && Done != FLinesShown) || now - FLinesTick >= LinesIntervalMs;
    if (due) {
        FLinesTick = now;
        FLinesShown = Done;
        if (FDecimalPoint.isEmpty())
            FDecimalPoint = DecimalPoint();
        const QString& point = FDecimalPoint;
        TProgressLines lines;
        int position = FBarPosition;
        if (Total > 0 || CopyMode) {
            position = 100;
            if (Total > 0) {
                const double percent = static_cast<double>(Done) / static_cast<double>(Total) * 100;
                position = static_cast<int>(std::clamp<std::int64_t>(RoundHalfEven(percent), 0, 100));
            }
            lines.Size = DlgProgressLabel % u' ' % SizeText(Done, point) % u' ' % DlgFileOfLabel % u' ' % SizeText(Total, point);
            if (position != FBarPosition)
                lines.BarPosition = FBarPosition = position;
        } else {
            lines.Size = DlgProgressLabel % u' ' % SizeText(Done, point);
        }
        if (FMarquee)
            position = 0; // a marquee bar has no position
        if (ShowCompletion)
            SetCaption(Word % QLatin1String(" : ") % QString::number(position) % QLatin1String("% ") % DlgCompleted);

        const std::uint32_t elapsed = now - StartTick;
        // Bytes an earlier run fetched fill the bar, but were not moved in this run's time.
        const std::int64_t moved = Done - Resumed;
        FRateStr = RateText(RoundHalfEven(static_cast<double>(moved) / (static_cast<double>(elapsed) + 1) * 1000), point);
        lines.Rate = DlgRateLabel % u' ' % FRateStr;
        FTimeLeftStr = TimeText(elapsed, DlgTimeSec, DlgTimeMin, Total > 0 ? Total - Resumed : Total, moved);
        lines.TimeLeft = DlgTimeLabel % u' ' % FTimeLeftStr;
        FElapsedTimeStr = TimeText(elapsed, DlgTimeSec, DlgTimeMin, Total, 0);
        lines.Elapsed = DlgElapsedTimeLabel % u' ' % FElapsedTimeStr;
        FUi->ShowProgress(lines);
    }
    FLinesDone = Done;

    if (OnCopyProgress)
        OnCopyProgress(this, FFileNum, Done, Total);
    KeepResponsive();
}
