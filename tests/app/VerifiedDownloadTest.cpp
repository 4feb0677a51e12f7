#include "tests/app/InstallFormFixture.h"

#include "app/DownloadMessages.h"
#include "controls/GlowButton.h"
#include "tests/support/CaseName.h"
#include "tests/support/FreePort.h"
#include "tests/support/MinisignKey.h"
#include "tests/support/NginxServer.h"
#include "tests/support/QtPrinters.h"
#include "transfer/WebTransfer.h"

#include <QCryptographicHash>
#include <QDir>
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

QByteArray ListLine(const QByteArray& data, const QString& name)
{
    return Sha256Hex(data) + "  " + name.toUtf8() + "\n";
}

// The assistant downloading the 64-bit setup file of version 12.1 from nginx, with a setup
// file of an earlier download in the start-up directory, and a release key made for the test.
class VerifiedDownload : public InstallFormTest {
protected:
    void SetUp() override
    {
        InstallFormTest::SetUp();
        ASSERT_TRUE(s_key->isValid()) << "minisign is missing: scripts/bootstrap installs it";
        m_startup.write(SetupFile, "old");
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
    // The list of the files, and its signature made with key (none without).
    void ServeList(const QByteArray& list, const MinisignKey* key)
    {
        Serve(QStringLiteral("SHA256SUMS"), list);
        if (key)
            Serve(QStringLiteral("SHA256SUMS.minisig"), key->sign(list));
    }

    void UseReleaseKey() { qputenv("KAPLIX_RELEASE_KEY", s_key->publicKey()); }

    // Starts the server and points the assistant at it, after the addresses given.
    void StartMirror(const QString& before = {})
    {
        m_server = std::make_unique<NginxServer>(m_files.path());
        ASSERT_TRUE(m_server->isRunning());
        qputenv("KAPLIX_DOWNLOAD_URL", (before + m_server->url(QString())).toLocal8Bit());
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
    EXPECT_EQ(form->WebTransfer->Items()[0]->ExpectedSHA256, QString::fromLatin1(Sha256Hex(Program)));
    EXPECT_TRUE(QDir(m_temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty())
        << "the lists are gone from the temporary directory";
}

// Under a release key: what the mirror serves, and what the user is told.
struct RefusalCase {
    const char* name;
    // Fills the mirror given the signing key and a stranger's.
    void (*serve)(VerifiedDownload& test, const MinisignKey& key, const MinisignKey& stranger);
    TDownloadProblem problem;
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

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Error"));
    const QString expected =
        DownloadFailureText(GetParam().problem, SetupFile, QStringLiteral("12.1"), QString()).replace(u'\r', u'\n');
    EXPECT_TRUE(answerer.messages().value(1).startsWith(expected + QStringLiteral("\nDetails: ")))
        << answerer.messages().value(1).toStdString();
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
                        test.Serve(QStringLiteral("SHA256SUMS.minisig"), key.sign(ListLine(Program, SetupFile)));
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
        RefusalCase{"NoList",
                    [](VerifiedDownload& t, const MinisignKey&, const MinisignKey&) {
                        static_cast<VerifiedDownloadRefusal&>(t).Serve(SetupFile, Program);
                    },
                    dpNotVerified},
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
                    dpNotAProgram}),
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
    Serve(SetupFile, Program);
    ServeList(ListLine(Program, SetupFile), s_key.get());
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

    EXPECT_EQ(answerer.captions().value(1), QStringLiteral("Error"));
    EXPECT_TRUE(answerer.messages().value(1).startsWith(
        DownloadFailureText(dpNotFound, SetupFile, QStringLiteral("12.1"), QString()).replace(u'\r', u'\n')))
        << answerer.messages().value(1).toStdString();
    EXPECT_EQ(m_startup.read(SetupFile), QByteArray("old"));
    EXPECT_EQ(MemoLines(*form).filter(QStringLiteral("Could not download")).size(), 2);
}

} // namespace

namespace {

TEST_F(VerifiedDownload, WithoutAPrivateFolderNoListIsFetchedAndNothingIsVerified)
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
    EXPECT_TRUE(answerer.messages()[2].contains(DownloadProblemText(dpNotVerified))) << answerer.messages()[2].toStdString();
    EXPECT_EQ(m_startup.read(SetupFile), QByteArray("old"));
    EXPECT_EQ(form.WebTransfer->Items().Count(), 0) << "no list was fetched into a folder others can reach";
}

} // namespace
