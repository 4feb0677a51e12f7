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
    void setFileNum(int value) { FFileNum = value; }
};
