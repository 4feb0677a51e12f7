#pragma once

#include "transfer/WebTransfer.h"

// The engine with its run-loop pieces opened up for tests.
class TestableTransfer : public TWebTransfer {
public:
    using TWebTransfer::BuildProgressDialog;
    using TWebTransfer::KeepConnectionFor;
    using TWebTransfer::SetFileLine;
    using TWebTransfer::ShowProgress;
    using TWebTransfer::WriteLog;

    bool hasSession() const { return FHinternet != nullptr; }
    // Where a run would be: at file value of the jobs active now, counted as a run counts them.
    void setFileNum(int value)
    {
        FFileNum = value;
        FActiveCount = FItems.ActiveItems();
    }
};
