#include "transfer/TransferRun.h"

#include "platform/network/InternetUpload.h"
#include "platform/system/TickCount.h"

#include <QFile>

TTransferRun::TSent TTransferRun::Send(QFile& Source, platform::InternetUpload& Sink, std::int64_t Size,
                                       bool LogBlocks, bool EmptyLastBlock)
{
    TSent sent;
    const std::uint32_t startTick = platform::tickCount();
    char buffer[BlockSize];
    while (!FCancelled) {
        KeepResponsive();
        const std::int64_t count = Source.read(buffer, BlockSize);
        if (count < 0) {
            sent.ReadFailed = true;
            break;
        }
        if (count == 0 && !EmptyLastBlock)
            break;
        if (const platform::InternetResult written = Sink.write(buffer, count); !written.ok) {
            // A cancel during the send is no failure of the server's.
            sent.SendFailed = !FCancelled;
            sent.Failure = written;
            break;
        }
        sent.Done += count;
        if (LogBlocks)
            WriteLog(QStringLiteral("uploaded:") + QString::number(sent.Done));
        ShowProgress(sent.Done, Size, startTick, DlgUpload, false);
        // There, a block shorter than a whole one is the last.
        if (EmptyLastBlock && count < BlockSize)
            break;
    }
    return sent;
}
