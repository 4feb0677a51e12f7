#include "tests/support/IntegrityFixture.h"

#include "tests/support/CaseName.h"

namespace {

// An answer kept in memory is checked as a file would be, and never touches the disk: the
// target directory, with a file of the same name in it, stays exactly as it was.
struct MemoryCase {
    const char* name;
    QByteArray served;      // what the server has; empty for nothing at the address
    const char* sha256;     // "" for none, "served" for the served bytes' digest
    QByteArray start;       // the start expected
    std::int64_t maxSize;   // -1 for no limit
    int error;              // 0 when the body is the content
    friend void PrintTo(const MemoryCase& c, std::ostream* out) { *out << c.name; }
};

const QByteArray Listing = "0123456789abcdef  KXsetup64.exe\n" + patternedBytes(70000, PrimePattern);

const MemoryCase MemoryCases[] = {
    {"PlainBody", Listing, "", {}, -1, 0},
    {"VerifiedBody", Listing, "served", "0123", -1, 0},
    {"BodyAtItsLimit", Listing, "", {}, Listing.size(), 0},
    {"BodyPastItsLimit", Listing, "", {}, Listing.size() - 1, weSize},
    {"WrongChecksum", Listing, "ad3bcdba9a3b9f1e8b9c2f8d4c4c1b2a3e4f5a6b7c8d9e0f1a2b3c4d5e6f7a8b", {}, -1, weChecksum},
    {"WrongStart", Listing, "", "MZ", -1, weUnexpectedContent},
    {"NothingThere", {}, "", {}, -1, 0},
};

class InMemory : public IntegrityFixture, public testing::WithParamInterface<MemoryCase> {};

TEST_P(InMemory, BodyIsTheContentOrNothingAndTheDiskIsUntouched)
{
    const MemoryCase& c = GetParam();
    target.write(QStringLiteral("list.txt"), "old");
    TWebTransferItem* job = addJob(DownloadKinds[0], QStringLiteral("list.txt"), c.served);
    if (c.served.isEmpty())
        job->URL.replace(QStringLiteral("list.txt"), QStringLiteral("missing.txt"));
    job->InMemory = true;
    job->Resume = true;  // plays no part: nothing is kept beside the target either
    job->ExpectedSHA256 = qstrcmp(c.sha256, "served") == 0 ? sha256Of(c.served) : QString::fromLatin1(c.sha256);
    job->ExpectedStart = c.start;
    job->MaxSize = c.maxSize;
    bool overwriteAsked = false;
    run.OnCopyOverWrite = [&overwriteAsked](TTransferRun*, const QString&, bool&) { overwriteAsked = true; };
    run.Execute();

    const bool received = !c.served.isEmpty() && c.error == 0;
    EXPECT_EQ(job->Success(), received);
    EXPECT_EQ(job->Content(), received ? c.served : QByteArray());
    if (c.error != 0) {
        EXPECT_EQ(events.only(QStringLiteral("Error ")), QStringList{QStringLiteral("Error %1").arg(c.error)});
    }
    EXPECT_FALSE(overwriteAsked);
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("list.txt")});
    EXPECT_EQ(target.read(QStringLiteral("list.txt")), QByteArray("old"));
}

INSTANTIATE_TEST_SUITE_P(Table, InMemory, testing::ValuesIn(MemoryCases), caseName);

class InMemoryRuns : public IntegrityFixture {};

TEST_F(InMemoryRuns, ContentBelongsToTheRunThatReceivedIt)
{
    TWebTransferItem* job = addJob(DownloadKinds[0], QStringLiteral("list.txt"), Listing);
    job->InMemory = true;
    run.Execute();
    ASSERT_EQ(job->Content(), Listing);

    job->URL.replace(QStringLiteral("list.txt"), QStringLiteral("missing.txt"));
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(job->Content(), QByteArray());
}

} // namespace
