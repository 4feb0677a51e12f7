#include "tests/support/CaseName.h"
#include "tests/support/EngineFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScriptedHttpServer.h"

#include <algorithm>
#include <ostream>
#include <tuple>

namespace {

struct SizeCase {
    const char* name;
    const char* path;      // on the scripted server
    qint64 expectedSize;   // -1 for none
    qint64 maxSize;        // -1 for none
    int arrives;           // the size of the file put in place; -1 when the job fails with weSize
    bool announced = false; // the answer's length already refuses it: no byte of the body is taken
    friend void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.name; }
};

const SizeCase SizeCases[] = {
    {"ExactSize", "/file/size=5000/setup.exe", 5000, -1, 5000},
    {"ExactSizeWithoutLength", "/nolength/size=5000/setup.exe", 5000, -1, 5000},
    // An announced length decides before any of the body is read.
    {"AnnouncedLonger", "/file/size=5000/setup.exe", 4000, -1, -1, true},
    {"AnnouncedShorter", "/file/size=5000/setup.exe", 6000, -1, -1, true},
    // Without one, the body itself decides: it is read one byte past the size and no further.
    {"LongerWithoutLength", "/nolength/size=5000/setup.exe", 4000, -1, -1},
    {"ShorterWithoutLength", "/nolength/size=5000/setup.exe", 6000, -1, -1},
    {"EndlessBodyPastTheExpectedSize", "/endless/setup.exe", 50000, -1, -1},
    {"WithinMaxSize", "/file/size=5000/setup.exe", -1, 5000, 5000},
    {"OneByteAboveMaxSize", "/nolength/size=5001/setup.exe", -1, 5000, -1},
    {"EndlessBodyPastMaxSize", "/endless/setup.exe", -1, 100000, -1},
    // A size no disk has room for is still a wrong size, not a full disk.
    {"AnnouncedFarAboveMaxSize", "/claim/size=3000&length=9223372036854775807/setup.exe", -1, 100000, -1, true},
    {"ExpectedWithinMaxSize", "/file/size=5000/setup.exe", 5000, 8000, 5000},
    {"ExpectedAboveMaxSize", "/file/size=5000/setup.exe", 5000, 4000, -1, true},
};

// A download with the sizes of a case, over an old file, with the process unable to write
// a file larger than one byte past the smaller size: a download that wrote more than that
// would fail as a full disk (error 5) instead. The second parameter keeps the bytes under
// the hidden part name a resumable download uses (Resume from any source, with the checksum).
class DownloadSize : public EngineFixture, public testing::WithParamInterface<std::tuple<SizeCase, bool>> {
protected:
    void SetUp() override { ASSERT_TRUE(server.isRunning()); }

    ScriptedHttpServer server;
};

TEST_P(DownloadSize, WrongSizeIsRefusedWithoutWritingPastIt)
{
    const auto& [row, keptPart] = GetParam();
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = run.Items().Add();
    job->URL = server.url(QString::fromLatin1(row.path));
    job->TargetDir = target.path();
    job->ExpectedSize = row.expectedSize;
    job->MaxSize = row.maxSize;
    if (keptPart) {
        job->Resume = true;
        job->ResumeFromAnySource = true;
        job->ExpectedSHA256 = sha256Of(patternedBytes(std::max(row.arrives, 0)));
    }
    std::vector<qint64> sizes{row.expectedSize, row.maxSize};
    std::erase(sizes, -1);
    {
        const FileSizeLimit limit(static_cast<rlim_t>(*std::min_element(sizes.begin(), sizes.end()) + 1));
        run.Execute();
    }

    const QString path = target.filePath(QStringLiteral("setup.exe"));
    if (row.arrives >= 0) {
        EXPECT_TRUE(job->Success());
        EXPECT_EQ(events.only(QStringLiteral("Error")), QStringList{});
        EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(row.arrives));
    } else {
        EXPECT_FALSE(job->Success());
        EXPECT_EQ(events.only(QStringLiteral("Error")),
                  (QStringList{QStringLiteral("Error 10"), QStringLiteral("ErrorInfo 10 Unexpected size of ") + path}));
        EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
        if (row.announced) {
            EXPECT_TRUE(events.progress.empty()) << "the body was read";
        }
    }
    // Neither a temporary file nor a part with bytes past the size stays.
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

INSTANTIATE_TEST_SUITE_P(Sizes, DownloadSize,
                         testing::Combine(testing::ValuesIn(SizeCases), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<SizeCase, bool>>& info) {
                             return std::string(std::get<0>(info.param).name)
                                 + (std::get<1>(info.param) ? "_KeptPart" : "_Plain");
                         });

} // namespace
