#pragma once

#include "tests/support/RecordingUi.h"
#include "transfer/TransferRun.h"

// A run without a window, its pieces opened up for tests, showing what it shows to a
// recording user interface.
class TestableRun : public TTransferRun {
public:
    TestableRun() { SetUi(&ui); }

    using TTransferRun::KeepConnectionFor;
    using TTransferRun::SetFileLine;
    using TTransferRun::ShowProgress;
    using TTransferRun::WriteLog;

    bool hasSession() const { return FHinternet != nullptr; }
    // Where a run would be: at file value of the jobs active now, counted as a run counts them.
    void setFileNum(int value)
    {
        FFileNum = value;
        FActiveCount = FItems.ActiveItems();
    }

    RecordingUi ui;
};
