#include "tests/app/InstallFormFixture.h"

#include "app/DownloadMessages.h"
#include "app/ChecksumList.h"
#include "app/ReleaseState.h"
#include "controls/GlowButton.h"
#include "tests/support/CaseName.h"
#include "tests/support/FileOwnership.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FreePort.h"
#include "tests/support/MinisignKey.h"
#include "tests/support/NginxServer.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedHttpServer.h"
#include "transfer/WebTransfer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

const QString SetupFile = QStringLiteral("KXsetup64.exe");
const QString VersionDir = QStringLiteral("download/ver121/");
// A Windows program begins with "MZ"; the rest stands in for the setup program.
const QByteArray Program = "MZ" + QByteArray(70000, 'p');

QByteArray Sha256Hex(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

// The lines a release list has for a file: its checksum as sha256sum writes it, and its size.
QByteArray SumLine(const QByteArray& data, const QString& name)
{
    return Sha256Hex(data) + "  " + name.toUtf8() + "\n";
}

QByteArray SizeLine(const QByteArray& data, const QString& name)
{
    return "# size " + QByteArray::number(data.size()) + ' ' + name.toUtf8() + "\n";
}

QByteArray ListLine(const QByteArray& data, const QString& name)
{
    return SumLine(data, name) + SizeLine(data, name);
}

// What the release key signs with a list of version 12.1: the release, a serial, an expiry.
QString Stamp(const char* version, const char* directory, std::uint64_t serial, const char* expires)
{
    return QStringLiteral("kaplix %1 %2 serial=%3 expires=%4")
        .arg(QLatin1String(version), QLatin1String(directory))
        .arg(serial)
        .arg(QLatin1String(expires));
}

const QString CurrentStamp = Stamp("12.1", "ver121", 2026121005, "2027-06-30");

// The assistant downloading the 64-bit setup file of version 12.1 from nginx, with a setup
// file of an earlier download in the start-up directory, and a release key made for the test.
class VerifiedDownload : public InstallFormTest {
protected:
    void SetUp() override
    {
        InstallFormTest::SetUp();
        ASSERT_TRUE(s_key->isValid()) << "minisign is missing: scripts/bootstrap installs it";
        m_startup.write(SetupFile, "old");
        // Within the life of the lists the tests sign.
        m_now = QDateTime(QDate(2027, 1, 15), QTime(12, 0), Qt::UTC);
    }

    static void SetUpTestSuite()
    {
        s_key = std::make_unique<MinisignKey>();
        s_stranger = std::make_unique<MinisignKey>();
    }
    static void TearDownTestSuite()
    {
        s_key.reset();
        s_stranger.reset();
    }

    // Puts a file into the version directory of the mirror.
    void Serve(const QString& name, const QByteArray& content) { m_files.write(VersionDir + name, content); }
    // The list of the files, and its signature made with key (none without) under the stamp.
    void ServeList(const QByteArray& list, const MinisignKey* key, const QString& stamp = CurrentStamp)
    {
        Serve(QStringLiteral("SHA256SUMS"), list);
        if (key)
            Serve(QStringLiteral("SHA256SUMS.minisig"), key->sign(list, MinisignKey::Mode::Prehashed, stamp));
    }

    void UseReleaseKey() { qputenv("KAPLIX_RELEASE_KEY", s_key->publicKey()); }

    // Starts the server and points the assistant at it, after the addresses given.
    void StartMirror(const QString& before = {})
    {
        m_server = std::make_unique<NginxServer>(m_files.path());
        ASSERT_TRUE(m_server->isRunning());
        UseMirrors(before + m_server->url(QString()));
    }

    static void UseMirrors(const QString& addresses) { qputenv("KAPLIX_DOWNLOAD_URL", addresses.toLocal8Bit()); }

    // The setup file and its list, signed with the release key as the current list of 12.1.
    void ServeRelease()
    {
        Serve(SetupFile, Program);
        ServeList(ListLine(Program, SetupFile), s_key.get());
    }

    // The error box of a download that failed for problem, its details saying details.
    static void ExpectFailureBox(const ModalAnswerer& answerer, TDownloadProblem problem, const QString& details = {})
    {
        EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Error"));
        const QString message = answerer.messages().value(1);
        const QString expected =
            DownloadFailureText(problem, SetupFile, QStringLiteral("12.1"), QString()).replace(u'\r', u'\n');
        EXPECT_TRUE(message.startsWith(expected + QStringLiteral("\nDetails: "))) << message.toStdString();
        EXPECT_TRUE(message.contains(details)) << message.toStdString();
    }

    // What the window remembers of version 12.1 between runs; 0 when nothing.
    std::uint64_t RememberedSerial() const
    {
        return TReleaseState::Load(StateFile()).State.Serial(QStringLiteral("ver121"));
    }
    void Remember(std::uint64_t serial) const
    {
        TReleaseState state;
        state.RaiseSerial(QStringLiteral("ver121"), serial);
        ASSERT_EQ(state.Save(StateFile()), QString());
    }

    // Clicks Download of the 64-bit row; the answerer takes the start-up box and one more.
    std::unique_ptr<TInstallForm> Download(ModalAnswerer& answerer)
    {
        auto form = Open();
        QTest::mouseClick(form->Download3, Qt::LeftButton);
        EXPECT_EQ(answerer.answered(), 2);
        return form;
    }

    QStringList StartupEntries() const
    {
        return QDir(m_startup.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    // The line the Memo has about the download, or empty.
    static QString ReportLine(const TInstallForm& form, const QString& start)
    {
        for (const QString& line : MemoLines(form)) {
            if (line.startsWith(start))
                return line;
        }
        return {};
    }

    static std::unique_ptr<MinisignKey> s_key;
    static std::unique_ptr<MinisignKey> s_stranger;
    TempDir m_files;
    std::unique_ptr<NginxServer> m_server;
};

std::unique_ptr<MinisignKey> VerifiedDownload::s_key;
std::unique_ptr<MinisignKey> VerifiedDownload::s_stranger;

TEST_F(VerifiedDownload, FileNamedInTheSignedListIsPlacedAndReportedVerified)
{
    UseReleaseKey();
    Serve(SetupFile, Program);
    ServeList(ListLine("MZ other", QStringLiteral("KXsetup32.exe")) + ListLine(Program, SetupFile), s_key.get());
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Information"));
    EXPECT_TRUE(m_startup.read(SetupFile) == Program);
    EXPECT_EQ(StartupEntries(), QStringList{SetupFile});
    EXPECT_EQ(ReportLine(*form, QStringLiteral("Downloaded")),
              QStringLiteral("Downloaded KXsetup64.exe for version 12.1 from ") + m_server->url(QString())
                  + QStringLiteral(": verified by a signed checksum list"));
    const TWebTransferItem& job = *form->WebTransfer->Items()[0];
    EXPECT_EQ(job.ExpectedSHA256, QString::fromLatin1(Sha256Hex(Program)));
    EXPECT_EQ(job.ExpectedSize, Program.size());
    EXPECT_TRUE(job.Resume && job.ResumeFromAnySource);
    EXPECT_TRUE(QDir(m_temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty())
        << "the lists are gone from the temporary directory";
    EXPECT_EQ(RememberedSerial(), 2026121005u);
}

TEST_F(VerifiedDownload, TheEngineGivesUpOnASilentOrTricklingServer)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    EXPECT_EQ(form->WebTransfer->ResponseHeadTimeout, 60000);
    EXPECT_EQ(form->WebTransfer->LowSpeedLimit, 1024);
    EXPECT_EQ(form->WebTransfer->LowSpeedTime, 30);
}

// Under a release key: what the mirror serves, and what the user is told.
struct RefusalCase {
    const char* name;
    // Fills the mirror given the signing key and a stranger's.
    void (*serve)(VerifiedDownload& test, const MinisignKey& key, const MinisignKey& stranger);
    TDownloadProblem problem;
    const char* details = "";  // what the box's details say, where that matters
    friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class VerifiedDownloadRefusal : public VerifiedDownload, public testing::WithParamInterface<RefusalCase> {
public:
    using VerifiedDownload::Serve;
    using VerifiedDownload::ServeList;
};

TEST_P(VerifiedDownloadRefusal, KeepsTheOldFileAndSaysWhy)
{
    UseReleaseKey();
    GetParam().serve(*this, *s_key, *s_stranger);
    StartMirror();
    ModalAnswerer answerer({Ok, Ok, Ok});
    auto form = Download(answerer);

    ExpectFailureBox(answerer, GetParam().problem, QString::fromUtf8(GetParam().details));
    EXPECT_EQ(m_startup.read(SetupFile), QByteArray("old"));
    EXPECT_EQ(StartupEntries(), QStringList{SetupFile}) << "nothing of the refused file is left";
    EXPECT_TRUE(form->Install64Btn->isEnabled()) << "the old file is still there to install";
    EXPECT_FALSE(ReportLine(*form, QStringLiteral("Could not download KXsetup64.exe for version 12.1 from ")).isEmpty());
    EXPECT_TRUE(ReportLine(*form, QStringLiteral("Downloaded")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Mirrors, VerifiedDownloadRefusal,
    testing::Values(
        RefusalCase{"TamperedFile",
                    [](VerifiedDownload& t, const MinisignKey& key, const MinisignKey&) {
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        test.Serve(SetupFile, "MZ" + QByteArray(70000, 'e'));
                        test.ServeList(ListLine(Program, SetupFile), &key);
                    },
                    dpDamaged},
        RefusalCase{"TamperedList",
                    [](VerifiedDownload& t, const MinisignKey& key, const MinisignKey&) {
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        const QByteArray evil = "MZ" + QByteArray(70000, 'e');
                        test.Serve(SetupFile, evil);
                        test.Serve(QStringLiteral("SHA256SUMS.minisig"),
                                   key.sign(ListLine(Program, SetupFile), MinisignKey::Mode::Prehashed, CurrentStamp));
                        test.Serve(QStringLiteral("SHA256SUMS"), ListLine(evil, SetupFile));
                    },
                    dpNotVerified},
        RefusalCase{"ListSignedByAStranger",
                    [](VerifiedDownload& t, const MinisignKey&, const MinisignKey& stranger) {
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        test.Serve(SetupFile, Program);
                        test.ServeList(ListLine(Program, SetupFile), &stranger);
                    },
                    dpNotVerified},
        // A mirror without the version's list does not have the version: no alarm.
        RefusalCase{"NoList",
                    [](VerifiedDownload& t, const MinisignKey&, const MinisignKey&) {
                        static_cast<VerifiedDownloadRefusal&>(t).Serve(SetupFile, Program);
                    },
                    dpNotFound},
        RefusalCase{"UnsignedList",
                    [](VerifiedDownload& t, const MinisignKey&, const MinisignKey&) {
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        test.Serve(SetupFile, Program);
                        test.ServeList(ListLine(Program, SetupFile), nullptr);
                    },
                    dpNotVerified},
        RefusalCase{"SignedListWithoutTheFile",
                    [](VerifiedDownload& t, const MinisignKey& key, const MinisignKey&) {
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        test.Serve(SetupFile, Program);
                        test.ServeList(ListLine(Program, QStringLiteral("KXsetup32.exe")), &key);
                    },
                    dpNotVerified},
        RefusalCase{"SignedLoginPageInsteadOfTheProgram",
                    [](VerifiedDownload& t, const MinisignKey& key, const MinisignKey&) {
                        // Even a listed file must be a program.
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        const QByteArray page = "<html><body>Log in to the hotel network</body></html>\n";
                        test.Serve(SetupFile, page);
                        test.ServeList(ListLine(page, SetupFile), &key);
                    },
                    dpNotAProgram},
        RefusalCase{"ListFileAndSignatureOfAnEarlierVersion",
                    [](VerifiedDownload& t, const MinisignKey& key, const MinisignKey&) {
                        // All three as the vendor signed them for 9.21, served as 12.1.
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        const QByteArray earlier = "MZ" + QByteArray(50000, '9');
                        test.Serve(SetupFile, earlier);
                        test.ServeList(ListLine(earlier, SetupFile), &key, Stamp("9.21", "ver921", 2024010101, "2027-06-30"));
                    },
                    dpNotVerified, "The checksum list on this server is for version 9.21, not 12.1"},
        RefusalCase{"ExpiredList",
                    [](VerifiedDownload& t, const MinisignKey& key, const MinisignKey&) {
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        test.Serve(SetupFile, Program);
                        test.ServeList(ListLine(Program, SetupFile), &key, Stamp("12.1", "ver121", 2026121005, "2027-01-10"));
                    },
                    dpOutOfDate, "The checksum list on this server expired on 2027-01-10: the mirror is out of date"},
        RefusalCase{"ListSignedWithoutTheRelease",
                    [](VerifiedDownload& t, const MinisignKey& key, const MinisignKey&) {
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        test.Serve(SetupFile, Program);
                        const QByteArray list = ListLine(Program, SetupFile);
                        test.Serve(QStringLiteral("SHA256SUMS"), list);
                        test.Serve(QStringLiteral("SHA256SUMS.minisig"), key.sign(list));
                    },
                    dpNotVerified, "does not name its product, version, serial and expiry date"},
        RefusalCase{"SignedListWithoutTheSize",
                    [](VerifiedDownload& t, const MinisignKey& key, const MinisignKey&) {
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        test.Serve(SetupFile, Program);
                        test.ServeList(SumLine(Program, SetupFile), &key);
                    },
                    dpNotVerified, "SHA256SUMS gives no size for KXsetup64.exe"},
        RefusalCase{"FileLongerThanItsSignedSize",
                    [](VerifiedDownload& t, const MinisignKey& key, const MinisignKey&) {
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        test.Serve(SetupFile, Program + QByteArray(300000, 'x'));
                        test.ServeList(ListLine(Program, SetupFile), &key);
                    },
                    dpDamaged, "Unexpected size of "},
        RefusalCase{"FileShorterThanItsSignedSize",
                    [](VerifiedDownload& t, const MinisignKey& key, const MinisignKey&) {
                        auto& test = static_cast<VerifiedDownloadRefusal&>(t);
                        test.Serve(SetupFile, Program.left(60000));
                        test.ServeList(ListLine(Program, SetupFile), &key);
                    },
                    dpDamaged, "Unexpected size of "}),
    caseName);

TEST_F(VerifiedDownload, WithoutAKeyAnUnsignedListIsUsedAndReported)
{
    Serve(SetupFile, Program);
    ServeList(ListLine(Program, SetupFile), nullptr);
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_TRUE(m_startup.read(SetupFile) == Program);
    EXPECT_TRUE(ReportLine(*form, QStringLiteral("Downloaded KXsetup64.exe"))
                    .endsWith(QStringLiteral(": checked against an unsigned checksum list")));
    EXPECT_EQ(form->WebTransfer->Items()[0]->ExpectedSHA256, QString::fromLatin1(Sha256Hex(Program)));
}

TEST_F(VerifiedDownload, WithoutAKeyAnUnsignedListStillCatchesADamagedFile)
{
    Serve(SetupFile, "MZ" + QByteArray(70000, 'e'));
    ServeList(ListLine(Program, SetupFile), nullptr);
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Error"));
    EXPECT_TRUE(answerer.messages().value(1).contains(QStringLiteral("damaged or altered on its way")));
    EXPECT_EQ(m_startup.read(SetupFile), QByteArray("old"));
    EXPECT_EQ(StartupEntries(), QStringList{SetupFile});
}

TEST_F(VerifiedDownload, WithoutAKeyOrAListTheFileIsReportedNotVerified)
{
    Serve(SetupFile, Program);
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_TRUE(m_startup.read(SetupFile) == Program);
    EXPECT_TRUE(ReportLine(*form, QStringLiteral("Downloaded KXsetup64.exe"))
                    .endsWith(QStringLiteral(": not verified: no checksum list names it")));
    EXPECT_TRUE(form->WebTransfer->Items()[0]->ExpectedSHA256.isEmpty());
}

TEST_F(VerifiedDownload, APageOfAPublicNetworkIsNotTakenForTheSetupProgram)
{
    Serve(SetupFile, "<!DOCTYPE html><html><body>Accept the terms of this network</body></html>\n");
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Error"));
    EXPECT_TRUE(answerer.messages().value(1).contains(QStringLiteral("login page of a public network or a proxy")))
        << answerer.messages().value(1).toStdString();
    EXPECT_EQ(m_startup.read(SetupFile), QByteArray("old"));
    EXPECT_EQ(StartupEntries(), QStringList{SetupFile});
}

TEST_F(VerifiedDownload, ADeadFirstMirrorIsPassedForTheNextWithItsOwnList)
{
    UseReleaseKey();
    ServeRelease();
    const QString dead = QStringLiteral("http://127.0.0.1:%1").arg(freeTcpPort());
    StartMirror(dead + QStringLiteral(" \t"));
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Information")) << "no box for the dead mirror";
    EXPECT_TRUE(m_startup.read(SetupFile) == Program);
    EXPECT_EQ(ReportLine(*form, QStringLiteral("Could not download")),
              QStringLiteral("Could not download KXsetup64.exe for version 12.1 from ") + dead + QStringLiteral(": ")
                  + DownloadProblemText(dpNoConnection));
    EXPECT_TRUE(ReportLine(*form, QStringLiteral("Downloaded KXsetup64.exe for version 12.1 from ") + m_server->url({}))
                    .endsWith(QStringLiteral("verified by a signed checksum list")));
    EXPECT_EQ(form->WebTransfer->Items()[0]->URL, m_server->url(u'/' + VersionDir + SetupFile));
}

TEST_F(VerifiedDownload, WhenEveryMirrorFailsOneBoxTellsTheLastReason)
{
    UseReleaseKey();
    // The first mirror has no list, the second has not the file.
    ServeList(ListLine(Program, SetupFile), s_key.get());
    TempDir other;
    other.write(VersionDir + SetupFile, Program);
    NginxServer listless(other.path());
    ASSERT_TRUE(listless.isRunning());
    StartMirror(listless.url(QString()) + u' ');
    ModalAnswerer answerer({Ok, Ok, Ok});
    auto form = Download(answerer);

    ExpectFailureBox(answerer, dpNotFound);
    EXPECT_EQ(m_startup.read(SetupFile), QByteArray("old"));
    EXPECT_EQ(MemoLines(*form).filter(QStringLiteral("Could not download")).size(), 2);
}

} // namespace

namespace {

// The lists are kept in memory, where nobody else can change them: a download needs no
// private folder to be verified, and the temporary directory is never written.
TEST_F(VerifiedDownload, WithoutAPrivateFolderTheListsAreStillFetchedAndTheFileVerified)
{
    UseReleaseKey();
    Serve(SetupFile, Program);
    ServeList(ListLine(Program, SetupFile), s_key.get());
    StartMirror();
    ModalAnswerer answerer({Ok, Ok, Ok});
    TInstallEnvironment environment = Environment();
    environment.TempDir.clear();
    environment.TempDirProblem = QStringLiteral("no folder of the user's own");
    TInstallForm form(environment);
    form.show();
    QTest::mouseClick(form.Download3, Qt::LeftButton);

    ASSERT_EQ(answerer.answered(), 3) << "the write access problem, the start-up report and the download";
    EXPECT_EQ(answerer.captions().value(2), QStringLiteral("Information"));
    EXPECT_TRUE(m_startup.read(SetupFile) == Program);
    EXPECT_EQ(ReportLine(form, QStringLiteral("Downloaded")),
              QStringLiteral("Downloaded KXsetup64.exe for version 12.1 from ") + m_server->url(QString())
                  + QStringLiteral(": verified by a signed checksum list"));
    EXPECT_TRUE(QDir(m_temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

// The checksum lists come in a run that shows its dialog only when they are slow to come: a
// download from a mirror that answers at once shows one progress dialog, the file's.
TEST_F(VerifiedDownload, ADownloadShowsOneProgressDialogTheFilesOwn)
{
    UseReleaseKey();
    Serve(SetupFile, Program);
    ServeList(ListLine(Program, SetupFile), s_key.get());
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = Open();
    QStringList shown;
    form->WebTransfer->OnBeforeDialogShow = [&shown](TWebTransfer* engine, QWidget*) {
        for (int i = 0; i < engine->Items().Count(); ++i)
            shown << engine->Items()[i]->URL.section(u'/', -1);
    };
    QTest::mouseClick(form->Download3, Qt::LeftButton);
    EXPECT_EQ(answerer.answered(), 2);
    EXPECT_EQ(shown, QStringList{SetupFile});
    EXPECT_TRUE(m_startup.read(SetupFile) == Program);
}

// Replay: a server that hands out an older list of the version than one taken before.
TEST_F(VerifiedDownload, AListWithALowerSerialThanRememberedIsRefusedAndTheRecordKept)
{
    UseReleaseKey();
    Remember(2026121007);
    const QByteArray before = m_config.read(QStringLiteral("kaplix-setup/state"));
    ServeRelease();
    StartMirror();
    ModalAnswerer answerer({Ok, Ok, Ok});
    auto form = Download(answerer);

    ExpectFailureBox(answerer, dpOutOfDate,
                     QStringLiteral("Details: The checksum list on this server has serial 2026121005, lower than "
                                    "2026121007 seen before for version 12.1: the mirror is out of date"));
    EXPECT_EQ(m_startup.read(SetupFile), QByteArray("old"));
    EXPECT_EQ(m_config.read(QStringLiteral("kaplix-setup/state")), before);
}

TEST_F(VerifiedDownload, ATakenListRaisesTheRememberedSerialInAPrivateFile)
{
    KX_RUN_AS_ORDINARY_USER();
    UseReleaseKey();
    Remember(2026121001);
    ServeRelease();
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Information"));
    EXPECT_EQ(RememberedSerial(), 2026121005u);
    EXPECT_EQ(ModeOf(QFileInfo(StateFile()).path()) & 07777, 0700u);
    EXPECT_EQ(ModeOf(StateFile()) & 07777, 0600u);
    EXPECT_EQ(QDir(QFileInfo(StateFile()).path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("state")});
}

TEST_F(VerifiedDownload, ARecordThatCannotBeReadStopsTheDownloadBeforeAnyServerIsAsked)
{
    UseReleaseKey();
    m_config.write(QStringLiteral("kaplix-setup/state"), "kaplix-setup state 1\nserial ver121 20261");
    ServeRelease();
    StartMirror();
    ModalAnswerer answerer({Ok, Ok, Ok});
    auto form = Download(answerer);

    ExpectFailureBox(answerer, dpNoReleaseRecord, StateFile());
    EXPECT_EQ(form->WebTransfer->Items().Count(), 0) << "nothing was fetched";
    EXPECT_EQ(m_startup.read(SetupFile), QByteArray("old"));
    EXPECT_EQ(m_config.read(QStringLiteral("kaplix-setup/state")), QByteArray("kaplix-setup state 1\nserial ver121 20261"));
}

TEST_F(VerifiedDownload, AMirrorWithAnOutOfDateListIsPassedForTheNext)
{
    UseReleaseKey();
    TempDir stale;
    stale.write(VersionDir + SetupFile, Program);
    const QByteArray list = ListLine(Program, SetupFile);
    stale.write(VersionDir + QStringLiteral("SHA256SUMS"), list);
    stale.write(VersionDir + QStringLiteral("SHA256SUMS.minisig"),
                s_key->sign(list, MinisignKey::Mode::Prehashed, Stamp("12.1", "ver121", 2026121001, "2026-12-31")));
    NginxServer staleMirror(stale.path());
    ASSERT_TRUE(staleMirror.isRunning());
    Serve(SetupFile, Program);
    ServeList(list, s_key.get());
    StartMirror(staleMirror.url(QString()) + u' ');
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Information"));
    EXPECT_EQ(ReportLine(*form, QStringLiteral("Could not download")),
              QStringLiteral("Could not download KXsetup64.exe for version 12.1 from ") + staleMirror.url(QString())
                  + QStringLiteral(": ") + DownloadProblemText(dpOutOfDate));
    EXPECT_TRUE(m_startup.read(SetupFile) == Program);
}

// Key rotation: the assistant holds the old key and the new one; the mirror's list is signed
// with the new.
TEST_F(VerifiedDownload, AListSignedWithTheSecondOfTwoKeysIsTaken)
{
    qputenv("KAPLIX_RELEASE_KEY", s_stranger->publicKey() + "  \t" + s_key->publicKey() + '\n');
    ServeRelease();
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Information"));
    EXPECT_TRUE(m_startup.read(SetupFile) == Program);
    EXPECT_TRUE(ReportLine(*form, QStringLiteral("Downloaded KXsetup64.exe"))
                    .endsWith(QStringLiteral(": verified by a signed checksum list")));
}

// A server that answers the request for the list or its signature with a body that never
// ends: the assistant stops reading at the limit of a list, and never writes more of it.
struct EndlessCase {
    const char* name;
    const char* endless;  // the file answered without end
    friend void PrintTo(const EndlessCase& c, std::ostream* os) { *os << c.name; }
};

class EndlessList : public VerifiedDownload, public testing::WithParamInterface<EndlessCase> {};

TEST_P(EndlessList, IsNotWrittenBeyondTheLimitOfAList)
{
    UseReleaseKey();
    ServeRelease();
    ScriptedHttpServer mirror(m_files.path());
    ASSERT_TRUE(mirror.isRunning());
    UseMirrors(mirror.url(QStringLiteral("/mirror/endless=") + QString::fromLatin1(GetParam().endless)));
    ModalAnswerer answerer({Ok, Ok, Ok});
    std::unique_ptr<TInstallForm> form;
    {
        // Any write beyond what a list may be fails, as on a full disk.
        const FileSizeLimit limit(TChecksumList::MaxSize + 1);
        form = Download(answerer);
    }

    ExpectFailureBox(answerer, dpNotVerified,
                     QStringLiteral("Details: ") + QString::fromLatin1(GetParam().endless)
                         + QStringLiteral(": larger than a checksum list can be"));
    EXPECT_EQ(m_startup.read(SetupFile), QByteArray("old"));
}

INSTANTIATE_TEST_SUITE_P(Mirrors, EndlessList,
                         testing::Values(EndlessCase{"List", "SHA256SUMS"}, EndlessCase{"Signature", "SHA256SUMS.minisig"}),
                         caseName);

// A vendor signs the release with the commands the README gives (scripts/sign-release runs
// them), and the assistant takes what they make.
TEST_F(VerifiedDownload, TheReadmesSigningCommandsMakeAListTheAssistantTakes)
{
    UseReleaseKey();
    Serve(SetupFile, Program);
    Serve(QStringLiteral("setup.exe"), "MZ" + QByteArray(1000, 'd'));
    QProcess sign;
    sign.setWorkingDirectory(m_files.filePath(VersionDir));
    sign.setStandardInputFile(QProcess::nullDevice());
    sign.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sign.start(QStringLiteral("bash"), {QStringLiteral(KX_SOURCE_DIR "/scripts/sign-release"), s_key->secretKeyPath(),
                                        QStringLiteral("12.1"), QStringLiteral("ver121"), QStringLiteral("2026121001"),
                                        QStringLiteral("2027-06-30"), QStringLiteral("setup.exe"), SetupFile});
    ASSERT_TRUE(sign.waitForFinished(30000));
    ASSERT_EQ(sign.exitCode(), 0);
    EXPECT_EQ(m_files.read(VersionDir + QStringLiteral("SHA256SUMS")),
              SumLine("MZ" + QByteArray(1000, 'd'), QStringLiteral("setup.exe")) + SumLine(Program, SetupFile)
                  + SizeLine("MZ" + QByteArray(1000, 'd'), QStringLiteral("setup.exe")) + SizeLine(Program, SetupFile));
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Information")) << answerer.messages().value(1).toStdString();
    EXPECT_TRUE(m_startup.read(SetupFile) == Program);
    EXPECT_TRUE(ReportLine(*form, QStringLiteral("Downloaded KXsetup64.exe"))
                    .endsWith(QStringLiteral(": verified by a signed checksum list")));
    EXPECT_EQ(RememberedSerial(), 2026121001u);
}

// Two mirrors of the same release: the first breaks off the setup file after Cut bytes and
// then answers only "busy, come back in an hour"; the second is whole.
class MirrorResume : public VerifiedDownload {
protected:
    static constexpr int Cut = 30000;

    void SetUp() override
    {
        VerifiedDownload::SetUp();
        UseReleaseKey();
        ServeRelease();
    }

    // The requests server had for the setup file.
    static QVector<ScriptedHttpServer::Request> FileRequests(const ScriptedHttpServer& server)
    {
        QVector<ScriptedHttpServer::Request> requests;
        for (const ScriptedHttpServer::Request& request : server.requests()) {
            if (request.target.endsWith(u'/' + SetupFile))
                requests.append(request);
        }
        return requests;
    }
};

TEST_F(MirrorResume, TheNextMirrorGoesOnWhereTheLastStopped)
{
    ScriptedHttpServer first(m_files.path());
    ScriptedHttpServer second(m_files.path());
    ASSERT_TRUE(first.isRunning() && second.isRunning());
    UseMirrors(first.url(QStringLiteral("/mirror/cut=%1&fail=9").arg(Cut)) + u' ' + second.url(QStringLiteral("/mirror")));
    ModalAnswerer answerer({Ok, Ok});
    auto form = Download(answerer);

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Information")) << answerer.messages().value(1).toStdString();
    EXPECT_TRUE(m_startup.read(SetupFile) == Program);
    EXPECT_EQ(StartupEntries(), QStringList{SetupFile});
    const QVector<ScriptedHttpServer::Request> asked = FileRequests(second);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(Cut));
    EXPECT_EQ(form->WebTransfer->Items()[0]->ResumedBytes(), Cut);
    for (const ScriptedHttpServer::Request& request : second.requests())
        EXPECT_FALSE(request.target.contains(QStringLiteral("SHA256SUMS"))) << "the first list holds for every mirror";
    EXPECT_TRUE(ReportLine(*form, QStringLiteral("Downloaded KXsetup64.exe for version 12.1 from ") + second.url(QStringLiteral("/mirror")))
                    .endsWith(QStringLiteral(": verified by a signed checksum list")));
}

// The second mirror's rest does not belong to the first one's part: nothing of either is
// kept, the whole file is asked for once more from the first mirror that answers, and only
// when that fails too is the user told.
struct WholeAgainCase {
    const char* name;
    int firstFails;    // answers of the first mirror that are "busy" after its cut
    bool placed;       // the whole file came from the first mirror
    friend void PrintTo(const WholeAgainCase& c, std::ostream* os) { *os << c.name; }
};

class MirrorResumeMismatch : public MirrorResume, public testing::WithParamInterface<WholeAgainCase> {};

TEST_P(MirrorResumeMismatch, FetchesTheWholeFileOnceMore)
{
    TempDir other;
    QByteArray changed = Program;
    changed[Cut + 100] = 'X';
    other.write(VersionDir + SetupFile, changed);
    ScriptedHttpServer first(m_files.path());
    ScriptedHttpServer second(other.path());
    ASSERT_TRUE(first.isRunning() && second.isRunning());
    UseMirrors(first.url(QStringLiteral("/mirror/cut=%1&fail=%2").arg(Cut).arg(GetParam().firstFails)) + u' '
               + second.url(QStringLiteral("/mirror")));
    ModalAnswerer answerer({Ok, Ok, Ok});
    auto form = Download(answerer);

    const QVector<ScriptedHttpServer::Request> fromFirst = FileRequests(first);
    const QVector<ScriptedHttpServer::Request> fromSecond = FileRequests(second);
    ASSERT_FALSE(fromSecond.isEmpty());
    EXPECT_EQ(fromSecond[0].headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(Cut));
    ASSERT_GE(fromFirst.size(), 3) << "cut, busy, and the whole file asked for once more";
    EXPECT_FALSE(fromFirst[2].headers.contains(QStringLiteral("range"))) << "the whole file, from its first byte";
    if (GetParam().placed) {
        EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Information")) << answerer.messages().value(1).toStdString();
        EXPECT_TRUE(m_startup.read(SetupFile) == Program);
        EXPECT_EQ(fromSecond.size(), 1);
    } else {
        ExpectFailureBox(answerer, dpDamaged);
        EXPECT_EQ(answerer.answered(), 2) << "one box for the whole download";
        EXPECT_EQ(m_startup.read(SetupFile), QByteArray("old"));
        ASSERT_EQ(fromSecond.size(), 2);
        EXPECT_FALSE(fromSecond[1].headers.contains(QStringLiteral("range")));
    }
    EXPECT_EQ(StartupEntries(), QStringList{SetupFile}) << "no part is left";
}

INSTANTIATE_TEST_SUITE_P(Mirrors, MirrorResumeMismatch,
                         testing::Values(WholeAgainCase{"FirstMirrorBackInTime", 1, true},
                                         WholeAgainCase{"WholeFileDamagedToo", 9, false}),
                         caseName);

} // namespace
