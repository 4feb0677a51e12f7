#include "TestableRun.h"

#include "platform/system/TickCount.h"
#include "tests/support/CaseName.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct FileLineCase {
    const char* name;
    int jobs;
    int inactive;
    int fileNum;
    bool withServer;
    const char* line;
};

class FileLine : public testing::TestWithParam<FileLineCase> {};

TEST_P(FileLine, CountsJobsOnlyWhenThereAreSeveral)
{
    TestableRun engine;
    for (int i = 0; i < GetParam().jobs; ++i)
        engine.Items().Add()->Active = i >= GetParam().inactive;
    engine.setFileNum(GetParam().fileNum);
    engine.SetFileLine(QStringLiteral("setup.exe"), engine.DlgFromServerLabel, QStringLiteral("host:8080"),
                       GetParam().withServer);
    EXPECT_EQ(engine.ui.fileLine, QString::fromUtf8(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(Lines, FileLine,
                         testing::Values(FileLineCase{"Single", 1, 0, 1, true, "File : setup.exe from host:8080"},
                                         FileLineCase{"SecondOfThree", 3, 0, 2, true,
                                                      "File : 2 of 3 : setup.exe from host:8080"},
                                         FileLineCase{"CountsActiveJobs", 3, 1, 1, false, "File : 1 of 2 : setup.exe"},
                                         FileLineCase{"WithoutServer", 1, 0, 1, false, "File : setup.exe"}),
                         caseName);

struct ProgressCase {
    const char* name;
    std::int64_t done;
    std::int64_t total;
    bool copyMode;
    int bar;
    const char* sizeLine;
};

class Progress : public testing::TestWithParam<ProgressCase> {};

TEST_P(Progress, WritesEveryLineAndReportsTheBlock)
{
    TestableRun engine;
    engine.ShowCompletion = true;
    engine.Items().Add();
    engine.setFileNum(1);
    std::vector<std::tuple<int, std::int64_t, std::int64_t>> reported;
    engine.OnCopyProgress = [&](TTransferRun*, int idx, std::int64_t size, std::int64_t total) {
        reported.emplace_back(idx, size, total);
    };
    const std::uint32_t twoSecondsAgo = platform::tickCount() - 2000;
    engine.ShowProgress(GetParam().done, GetParam().total, twoSecondsAgo, engine.DlgUpload, GetParam().copyMode);

    EXPECT_EQ(engine.ui.bar, GetParam().bar);
    EXPECT_EQ(engine.ui.sizeLine, QString::fromUtf8(GetParam().sizeLine));
    EXPECT_EQ(engine.ui.caption, QStringLiteral("Uploading : %1% completed").arg(GetParam().bar));
    EXPECT_EQ(engine.ui.rateLine, QStringLiteral("Transfer rate : ") + engine.RateStr());
    EXPECT_TRUE(engine.RateStr().endsWith(QStringLiteral("/sec")));
    EXPECT_EQ(engine.ElapsedTimeStr(), QStringLiteral("2 sec."));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], std::make_tuple(1, GetParam().done, GetParam().total));
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, Progress,
    testing::Values(ProgressCase{"KnownTotal", 4096, 10000, false, 41, "Progress : 4.10 Kb of 10.00 Kb"},
                    ProgressCase{"TieGoesToEven", 125, 1000, false, 12, "Progress : 125 bytes of 1.00 Kb"},
                    ProgressCase{"UnknownTotalKeepsTheBar", 4096, 0, false, 0, "Progress : 4.10 Kb"},
                    ProgressCase{"CopyModeFillsTheBar", 4096, 0, true, 100, "Progress : 4.10 Kb of 0 bytes"},
                    ProgressCase{"BeyondFourGiB", 5000000000, 10000000000, false, 50,
                                 "Progress : 5000.00 Mb of 10000.00 Mb"}),
    caseName);

// Between a job's first and last block the lines follow at a screen's pace; what a job shows
// at its end never depends on that pace.
struct JobLinesCase {
    const char* name;
    std::int64_t total; // 0: the server named no length
    const char* firstLine;
    const char* lastLine;
    friend void PrintTo(const JobLinesCase& c, std::ostream* os) { *os << c.name; }
};

class JobLines : public testing::TestWithParam<JobLinesCase> {};

TEST_P(JobLines, ShowTheFirstBlockAtOnceAndTheWholeFileAtTheEnd)
{
    TestableRun engine;
    engine.Items().Add();
    engine.Items().Add();
    engine.setFileNum(1);
    const std::uint32_t start = platform::tickCount();
    for (int job = 0; job < 2; ++job) {
        engine.SetFileLine(QStringLiteral("f%1.bin").arg(job), engine.DlgFromServerLabel, QStringLiteral("host"), false);
        engine.ShowProgress(4096, GetParam().total, start, engine.DlgDwnload, false);
        EXPECT_EQ(engine.ui.sizeLine, QString::fromUtf8(GetParam().firstLine)) << "job " << job;
        for (std::int64_t done = 8192; done <= 20480; done += 4096)
            engine.ShowProgress(done, GetParam().total, start, engine.DlgDwnload, false);
        engine.ShowProgress(20480, GetParam().total, start, engine.DlgDwnload, false); // the empty read
        EXPECT_EQ(engine.ui.sizeLine, QString::fromUtf8(GetParam().lastLine)) << "job " << job;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Totals, JobLines,
    testing::Values(JobLinesCase{"KnownLength", 20480, "Progress : 4.10 Kb of 20.48 Kb", "Progress : 20.48 Kb of 20.48 Kb"},
                    JobLinesCase{"NoLength", 0, "Progress : 4.10 Kb", "Progress : 20.48 Kb"}),
    caseName);

} // namespace
