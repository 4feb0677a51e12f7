#include "tests/support/IntegrityFixture.h"

#include "tests/support/CaseName.h"

#include <tuple>

namespace {

class ExpectedContent : public IntegrityFixture, public testing::WithParamInterface<DownloadKind> {};

TEST_P(ExpectedContent, MatchingFileIsPlacedAndItsDigestReported)
{
    const QByteArray data = QByteArray("MZ") + patternedBytes(300000, PrimePattern);
    target.write(QStringLiteral("setup.bin"), "old");
    TWebTransferItem* job = addJob(GetParam(), QStringLiteral("setup.bin"), data);
    job->ExpectedSHA256 = sha256Of(data).toUpper(); // either case
    job->ExpectedStart = "MZ";
    run.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("Error")), QStringList{});
    EXPECT_EQ(target.read(QStringLiteral("setup.bin")), data);
    EXPECT_EQ(job->SHA256(), sha256Of(data));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.bin")});
}

TEST_P(ExpectedContent, DigestIsReportedWhenAskedForAndClearedByTheNextRun)
{
    const QByteArray data = patternedBytes(5000, PrimePattern);
    TWebTransferItem* job = addJob(GetParam(), QStringLiteral("plain.bin"), data);
    run.Execute();
    ASSERT_TRUE(job->Success());
    EXPECT_EQ(job->SHA256(), QString()) << "a job that asks for no digest gets none";

    job->ComputeSHA256 = true;
    run.Execute();
    ASSERT_TRUE(job->Success());
    EXPECT_EQ(job->SHA256(), sha256Of(data));

    // The next run puts no file in place: the digest of the earlier file is not its result.
    job->URL.replace(QStringLiteral("plain.bin"), QStringLiteral("missing.bin"));
    if (GetParam().protocol == wpMultiFtp)
        job->URL = job->URL.left(job->URL.lastIndexOf(u'/')) + QStringLiteral("/missing*");
    run.Execute();
    EXPECT_EQ(job->SHA256(), QString());
}

INSTANTIATE_TEST_SUITE_P(Kinds, ExpectedContent, testing::ValuesIn(DownloadKinds), caseName);

struct Refusal {
    const char* name;
    int code;
    const char* prefix;
    const char* sha256; // "" for none
    QByteArray start;
    friend void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }
};

const Refusal Refusals[] = {
    {"ChecksumMismatch", weChecksum, "Checksum mismatch ",
     "ad3bcdba9a3b9f1e8b9c2f8d4c4c1b2a3e4f5a6b7c8d9e0f1a2b3c4d5e6f7a8b", {}},
    {"ChecksumNotHexadecimal", weChecksum, "Checksum mismatch ", "not a digest", {}},
    {"UnexpectedStart", weUnexpectedContent, "Unexpected content in ", "", "MZ"},
    {"StartLongerThanTheFile", weUnexpectedContent, "Unexpected content in ", "", QByteArray(70000, 'x')},
};

class RefusedContent : public IntegrityFixture,
                       public testing::WithParamInterface<std::tuple<DownloadKind, Refusal>> {};

// A file that is not the one expected is not put in place, and the old file stays as it was.
TEST_P(RefusedContent, FileIsNotPlacedAndTheOldFileStays)
{
    const auto& [kind, refusal] = GetParam();
    const QByteArray data = patternedBytes(65536 * 2 + 17, PrimePattern);
    target.write(QStringLiteral("setup.bin"), "old");
    TWebTransferItem* job = addJob(kind, QStringLiteral("setup.bin"), data);
    job->ExpectedSHA256 = QString::fromLatin1(refusal.sha256);
    job->ExpectedStart = refusal.start;
    run.Execute();

    const QString path = target.filePath(QStringLiteral("setup.bin"));
    // A multi-file job succeeds as a listing does; each file's failure is its own event.
    EXPECT_EQ(job->Success(), kind.protocol == wpMultiFtp);
    EXPECT_EQ(events.only(QStringLiteral("Error")),
              (QStringList{QStringLiteral("Error %1").arg(refusal.code),
                           QStringLiteral("ErrorInfo %1 %2").arg(refusal.code).arg(QLatin1String(refusal.prefix) + path)}));
    EXPECT_EQ(target.read(QStringLiteral("setup.bin")), QByteArray("old"));
    EXPECT_EQ(job->SHA256(), QString());
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.bin")});
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

INSTANTIATE_TEST_SUITE_P(Table, RefusedContent, testing::Combine(testing::ValuesIn(DownloadKinds), testing::ValuesIn(Refusals)),
                         [](const testing::TestParamInfo<std::tuple<DownloadKind, Refusal>>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

} // namespace
