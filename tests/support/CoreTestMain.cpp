#include "tests/support/TestEnvironment.h"
#include "tests/support/ThreadsAtExit.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    waitForOtherThreadsAtExit();
    prepareTestEnvironment();
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
