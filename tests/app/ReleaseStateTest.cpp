#include "app/ReleaseState.h"
#include "tests/support/CaseName.h"
#include "tests/support/FileOwnership.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

const QByteArray Heading = "kaplix-setup state 1\n";

struct StateCase {
    const char* name;
    QByteArray text;
    bool read;
    std::uint64_t ver121;  // the serial it gives ver121
    friend void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }
};

class ReleaseStateTexts : public testing::TestWithParam<StateCase> {};

TEST_P(ReleaseStateTexts, AreReadOnlyInTheirOwnForm)
{
    const std::optional<TReleaseState> state = TReleaseState::Parse(GetParam().text);
    ASSERT_EQ(state.has_value(), GetParam().read);
    if (state) {
        EXPECT_EQ(state->Serial(QStringLiteral("ver121")), GetParam().ver121);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReleaseStateTexts,
    testing::Values(
        StateCase{"HeadingOnly", Heading, true, 0},
        StateCase{"Serials", Heading + "serial ver120 7\nserial ver121 2026121001\n", true, 2026121001},
        StateCase{"RecordOfALaterProgram", Heading + "mirror ver121 https://example.org/\nserial ver121 5\n", true, 5},
        StateCase{"FileRecord", Heading + "file ver121 KXsetup64.exe " + QByteArray(64, 'a') + " 70002\nserial ver121 5\n",
                  true, 5},
        StateCase{"FileRecordWithAShortDigest", Heading + "file ver121 KXsetup64.exe 4a5e1e4baab89f3a 70002\n", false, 0},
        StateCase{"FileRecordWithAPath", Heading + "file ver121 ../KXsetup64.exe/x " + QByteArray(64, 'a') + " 1\n",
                  false, 0},
        StateCase{"SameFolderTwiceTakesTheHigher", Heading + "serial ver121 9\nserial ver121 5\n", true, 9},
        StateCase{"Empty", "", false, 0},
        StateCase{"AnotherFormat", "kaplix-setup state 2\nserial ver121 5\n", false, 0},
        StateCase{"NoHeading", "serial ver121 5\n", false, 0},
        StateCase{"CutShort", Heading + "serial ver121 5", false, 0},
        StateCase{"SerialThatIsNoNumber", Heading + "serial ver121 five\n", false, 0},
        StateCase{"SerialTooLong", Heading + "serial ver121 1000000000000000000\n", false, 0},
        StateCase{"SerialWithoutFolder", Heading + "serial 5\n", false, 0},
        StateCase{"SerialAlone", Heading + "serial\n", false, 0},
        StateCase{"EmptyLine", Heading + "\nserial ver121 5\n", false, 0},
        StateCase{"WindowsLineEnds", "kaplix-setup state 1\r\nserial ver121 5\r\n", false, 0},
        StateCase{"ControlCharacterInARecord", Heading + "file a\x1b[2Jb\n", false, 0},
        StateCase{"NotUtf8", Heading + "file \xff\xfe\n", false, 0},
        StateCase{"Zeros", QByteArray(64, '\0'), false, 0}),
    caseName);

TEST(ReleaseState, KeepsTheHighestSerialAndWhatItDoesNotKnow)
{
    std::optional<TReleaseState> state =
        TReleaseState::Parse(Heading + "serial ver121 5\nmirror ver121 https://example.org/\n");
    ASSERT_TRUE(state);
    EXPECT_FALSE(state->RaiseSerial(QStringLiteral("ver121"), 4));
    EXPECT_FALSE(state->RaiseSerial(QStringLiteral("ver121"), 5));
    EXPECT_TRUE(state->RaiseSerial(QStringLiteral("ver121"), 6));
    EXPECT_TRUE(state->RaiseSerial(QStringLiteral("ver921"), 1));
    EXPECT_EQ(state->Text(), Heading + "serial ver121 6\nserial ver921 1\nmirror ver121 https://example.org/\n");
    EXPECT_EQ(TReleaseState::Parse(state->Text())->Text(), state->Text());
}

// The latest download of a file replaces what was remembered of it; other files stay.
TEST(ReleaseState, RemembersTheVersionOfEachDownloadedFile)
{
    TReleaseState state;
    const QString digest121(64, u'1');
    const QString digest120(64, u'2');
    state.RecordFile(QStringLiteral("KXsetup64.exe"), {QStringLiteral("ver121"), digest121, 70002});
    state.RecordFile(QStringLiteral("setup.exe"), {QStringLiteral("ver121"), digest121, 9});
    state.RecordFile(QStringLiteral("KXsetup64.exe"), {QStringLiteral("ver120"), digest120, 70001});
    const std::optional<TReleaseState> read = TReleaseState::Parse(state.Text());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->File(QStringLiteral("KXsetup64.exe")),
              (TReleaseState::TFileRecord{QStringLiteral("ver120"), digest120, 70001}));
    EXPECT_EQ(read->File(QStringLiteral("setup.exe")), (TReleaseState::TFileRecord{QStringLiteral("ver121"), digest121, 9}));
    EXPECT_EQ(read->File(QStringLiteral("KXsetup32.exe")), std::nullopt);
    EXPECT_EQ(read->Text(), state.Text());
}

// The state file in a configuration folder of the test's own, not there yet.
class ReleaseStateFile : public testing::Test {
protected:
    QString Folder() const { return m_config.filePath(QStringLiteral("kaplix-setup")); }
    QString File() const { return Folder() + QStringLiteral("/state"); }
    QStringList FolderEntries() const
    {
        return QDir(Folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }
    static TReleaseState WithSerial(std::uint64_t serial)
    {
        TReleaseState state;
        state.RaiseSerial(QStringLiteral("ver121"), serial);
        return state;
    }

    TempDir m_config;
};

TEST_F(ReleaseStateFile, NoFileYetIsAnEmptyState)
{
    const TReleaseState::TLoaded loaded = TReleaseState::Load(File());
    EXPECT_TRUE(loaded.Problem.isEmpty()) << loaded.Problem.toStdString();
    EXPECT_EQ(loaded.State.Serial(QStringLiteral("ver121")), 0u);
    EXPECT_FALSE(QFile::exists(Folder())) << "reading makes nothing";
}

TEST_F(ReleaseStateFile, IsSavedPrivateInAPrivateFolderAndReadBack)
{
    KX_RUN_AS_ORDINARY_USER();
    ASSERT_EQ(WithSerial(2026121001).Save(File()), QString());
    EXPECT_EQ(ModeOf(Folder()) & 07777, 0700u);
    EXPECT_EQ(ModeOf(File()) & 07777, 0600u);
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("state")});
    const TReleaseState::TLoaded loaded = TReleaseState::Load(File());
    EXPECT_TRUE(loaded.Problem.isEmpty()) << loaded.Problem.toStdString();
    EXPECT_EQ(loaded.State.Serial(QStringLiteral("ver121")), 2026121001u);
}

TEST_F(ReleaseStateFile, IsReplacedInOneStep)
{
    ASSERT_EQ(WithSerial(1).Save(File()), QString());
    QFile before(File());
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    ASSERT_EQ(WithSerial(2).Save(File()), QString());

    // Whoever had the old file open still reads it whole: the new one took its name, it
    // was not written over.
    EXPECT_EQ(before.readAll(), WithSerial(1).Text());
    EXPECT_EQ(TReleaseState::Load(File()).State.Serial(QStringLiteral("ver121")), 2u);
    EXPECT_EQ(ModeOf(File()) & 07777, 0600u);
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("state")});
}

TEST_F(ReleaseStateFile, AWriteThatFailsLeavesTheOldFile)
{
    TReleaseState big = WithSerial(1);
    for (int i = 0; i < 100; ++i)
        big.RaiseSerial(QStringLiteral("v%1").arg(i), 2026121001);
    ASSERT_EQ(WithSerial(1).Save(File()), QString());
    {
        const FileSizeLimit limit(200);
        EXPECT_TRUE(big.Save(File()).startsWith(QStringLiteral("The file ") + File() + QStringLiteral(" cannot be written: ")));
    }
    EXPECT_EQ(m_config.read(QStringLiteral("kaplix-setup/state")), WithSerial(1).Text());
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("state")}) << "no part of the new file is left";
}

TEST_F(ReleaseStateFile, AFolderTheUserCannotWriteLeavesTheOldFile)
{
    KX_RUN_AS_ORDINARY_USER();
    ASSERT_EQ(WithSerial(1).Save(File()), QString());
    SetMode(Folder(), 0500);
    EXPECT_TRUE(WithSerial(2).Save(File()).contains(QStringLiteral("cannot be written")));
    SetMode(Folder(), 0700);
    EXPECT_EQ(TReleaseState::Load(File()).State.Serial(QStringLiteral("ver121")), 1u);
}

TEST_F(ReleaseStateFile, IsNotWrittenIntoAFolderOthersMayChange)
{
    QDir().mkpath(Folder());
    SetMode(Folder(), 0777);
    EXPECT_EQ(WithSerial(1).Save(File()), QStringLiteral("The folder ") + Folder() + QStringLiteral(" may be changed by others"));
    EXPECT_FALSE(QFile::exists(File()));
}

// A state file that is there but cannot be trusted or understood: what the test leaves there,
// and the start of what the user is told.
struct DamageCase {
    const char* name;
    std::function<void(const QString& folder, const QString& file)> damage;
    const char* problem;  // after the path of the file or folder
    friend void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }
};

class DamagedReleaseStateFile : public ReleaseStateFile, public testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedReleaseStateFile, IsReportedNeverTakenAsEmpty)
{
    KX_RUN_AS_ORDINARY_USER();
    ASSERT_EQ(WithSerial(2026121005).Save(File()), QString());
    GetParam().damage(Folder(), File());
    const TReleaseState::TLoaded loaded = TReleaseState::Load(File());
    EXPECT_TRUE(loaded.Problem.contains(QString::fromUtf8(GetParam().problem))) << loaded.Problem.toStdString();
    EXPECT_TRUE(loaded.Problem.contains(Folder())) << loaded.Problem.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedReleaseStateFile,
    testing::Values(
        DamageCase{"Garbled",
                   [](const QString&, const QString& file) {
                       QFile f(file);
                       ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
                       f.write(QByteArray("kaplix-setup state 1\nserial ver121 20261") + QByteArray(3, '\0'));
                   },
                   "is not a state file of this program"},
        DamageCase{"OthersMayWriteIt", [](const QString&, const QString& file) { SetMode(file, 0666); },
                   "may be changed by others"},
        DamageCase{"OthersMayWriteItsFolder", [](const QString& folder, const QString&) { SetMode(folder, 0777); },
                   "may be changed by others"},
        DamageCase{"ALink",
                   [](const QString& folder, const QString& file) {
                       ASSERT_TRUE(QFile::rename(file, folder + QStringLiteral("/elsewhere")));
                       ASSERT_TRUE(QFile::link(folder + QStringLiteral("/elsewhere"), file));
                   },
                   "is a link"},
        DamageCase{"AFolder",
                   [](const QString&, const QString& file) {
                       ASSERT_TRUE(QFile::remove(file));
                       ASSERT_TRUE(QDir().mkdir(file));
                   },
                   "is not a regular file"},
        DamageCase{"TooLarge",
                   [](const QString&, const QString& file) {
                       QFile f(file);
                       ASSERT_TRUE(f.resize(TReleaseState::MaxSize + 1));
                   },
                   "is larger than"},
        DamageCase{"UnreadableToTheUser", [](const QString&, const QString& file) { SetMode(file, 0200); },
                   "cannot be read"}),
    caseName);

} // namespace
