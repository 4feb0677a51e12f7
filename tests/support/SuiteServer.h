#pragma once

#include <gtest/gtest.h>

// One real server of kind Server for every test of a suite, as starting one takes a while
// (each test works in folders of its own on it); every test first checks that it runs. Base
// is the fixture the suite builds on.
template <typename Server, typename Base = testing::Test>
class SuiteServer : public Base {
protected:
    static void SetUpTestSuite() { server = new Server; }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(server->isRunning()) << server->error().toStdString(); }

    inline static Server* server = nullptr;
};
