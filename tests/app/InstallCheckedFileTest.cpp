#include "tests/app/InstallFormFixture.h"

#include "app/DownloadMessages.h"
#include "controls/GlowButton.h"
#include "controls/OfficeRadioGroup.h"
#include "tests/support/CaseName.h"
#include "tests/support/FreePort.h"
#include "tests/support/MinisignKey.h"
#include "tests/support/ReleaseList.h"
#include "tests/support/NginxServer.h"
#include "tests/support/QtPrinters.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <cstdio>
#include <utility>

namespace {

const QString SetupFile = QStringLiteral("KXsetup64.exe");
const QString VersionDir = QStringLiteral("download/ver121/");
// The setup program of version 12.1, and an older one of the same name.
const QByteArray Program = "MZ" + QByteArray(70000, 'p');
const QByteArray Older = "MZ" + QByteArray(50000, 'o');

// The 64-bit row's Install button against a mirror of version 12.1 on nginx, with a release
// key made for the test.
class InstallChecked : public WithMinisignKeys<InstallFormTest> {
protected:
    void SetUp() override
    {
        InstallFormTest::SetUp();
        ASSERT_TRUE(s_release->isValid()) << "minisign is missing: scripts/bootstrap installs it";
    }

    void Serve(const QString& name, const QByteArray& content) { m_files.write(VersionDir + name, content); }
    // The version's checksum list naming the file with the bytes given, signed with key.
    void ServeList(const QByteArray& listed, const MinisignKey& key, const QString& name = SetupFile)
    {
        const QByteArray list = releaseListLine(listed, name);
        Serve(QStringLiteral("SHA256SUMS"), list);
        Serve(QStringLiteral("SHA256SUMS.minisig"), key.sign(list, MinisignKey::Mode::Prehashed, releaseStamp()));
    }
    void UseReleaseKey() { qputenv("KAPLIX_RELEASE_KEY", s_release->publicKey()); }

    void StartMirror()
    {
        m_server = std::make_unique<NginxServer>(m_files.path());
        ASSERT_TRUE(m_server->isRunning());
        qputenv("KAPLIX_DOWNLOAD_URL", m_server->url(QString()).toLocal8Bit());
    }

    // The window, with the hook between the check and the start when given.
    std::unique_ptr<TInstallForm> OpenWith(std::function<void(const QString&)> afterCheck = {})
    {
        TInstallEnvironment environment = Environment();
        environment.OnSetupFileChecked = std::move(afterCheck);
        auto form = std::make_unique<TInstallForm>(environment);
        form->show();
        return form;
    }

    // Downloads the 64-bit setup file into the temporary directory.
    static void DownloadIntoTemporaryDirectory(TInstallForm& form)
    {
        form.InstallToGrp->SetItemIndex(1);
        QTest::mouseClick(form.Download3, Qt::LeftButton);
    }

    static bool Logged(const TInstallForm& form, const QString& line) { return MemoLines(form).contains(line); }

    QStringList StartCopies() const
    {
        return QDir(m_temp.path()).entryList({QStringLiteral("kaplix-start-*")}, QDir::AllEntries | QDir::Hidden);
    }

    TempDir m_files;
    std::unique_ptr<NginxServer> m_server;
};

TEST_F(InstallChecked, AfterAVerifiedDownloadItIsThatFileThatStartsNotAnOlderOneBesideTheProgram)
{
    const QString older = m_startup.write(SetupFile, Older);
    UseReleaseKey();
    Serve(SetupFile, Program);
    ServeList(Program, *s_release);
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = OpenWith();
    DownloadIntoTemporaryDirectory(*form);
    ASSERT_EQ(answerer.captions().value(1), QStringLiteral("Information")) << "downloaded and verified";

    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    EXPECT_EQ(answerer.answered(), 2) << "no question for the verified file";
    const QString downloaded = m_temp.filePath(SetupFile);
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(IsStartCopyOf(m_opened[0], downloaded)) << m_opened[0].toStdString();
    EXPECT_TRUE(m_openedContents[0] == Program) << "the downloaded program, not the older one";
    EXPECT_TRUE(Logged(*form, QStringLiteral("Downloading file ") + downloaded));
    EXPECT_FALSE(Logged(*form, QStringLiteral("Downloading file ") + older));
}

// Every version's setup files have the same names: the file there is the version this
// program downloaded, told in the row's hint and description, and one of another version
// than the chosen one starts only after a question that names both and offers the download.
struct OtherVersionCase {
    const char* name;
    const char* button;       // the answer to the question
    QByteArray started;       // what starts; empty for nothing
    QByteArray fileAfter;     // the setup file afterwards
    const char* versionAfter; // the version the row then tells
    friend void PrintTo(const OtherVersionCase& c, std::ostream* os) { *os << c.name; }
};

class OtherVersion : public InstallChecked, public testing::WithParamInterface<OtherVersionCase> {};

const QByteArray Program120 = "MZ" + QByteArray(60000, 'q');

TEST_P(OtherVersion, StartsOnlyAfterAQuestionThatNamesBothVersions)
{
    const OtherVersionCase& c = GetParam();
    UseReleaseKey();
    Serve(SetupFile, Program);
    ServeList(Program, *s_release);
    const QByteArray list120 = releaseListLine(Program120, SetupFile);
    m_files.write(QStringLiteral("download/ver120/") + SetupFile, Program120);
    m_files.write(QStringLiteral("download/ver120/SHA256SUMS"), list120);
    m_files.write(QStringLiteral("download/ver120/SHA256SUMS.minisig"),
                  s_release->sign(list120, MinisignKey::Mode::Prehashed,
                                  releaseStamp(QStringLiteral("12.0"), QStringLiteral("ver120"))));
    StartMirror();
    ModalAnswerer answerer({Ok, Ok, {{}, QString::fromLatin1(c.button)}, Ok});
    QString question;
    answerer.setInspector([&question](QWidget* dialog) {
        if (dialog->windowTitle() == QStringLiteral("Another version")) {
            question = dialog->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
            if (QDir().mkpath(QStringLiteral(KX_SCREENSHOT_DIR)))
                dialog->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/box-another-version.png"));
        }
    });
    auto form = OpenWith();
    QTest::mouseClick(form->Download3, Qt::LeftButton);
    ASSERT_EQ(answerer.captions().value(1), QStringLiteral("Information")) << "12.1 downloaded and verified";
    EXPECT_EQ(form->Install64Btn->Hint(), QStringLiteral("version 12.1"));
    EXPECT_EQ(form->Install64Btn->accessibleDescription(), QStringLiteral("Install file is present, version 12.1"));

    form->VersionRadio->SetItemIndex(7); // 12.0
    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    ASSERT_GE(answerer.answered(), 3);
    EXPECT_EQ(answerer.captions()[2], QStringLiteral("Another version"));
    const QString file = m_startup.filePath(SetupFile);
    EXPECT_EQ(question, QStringLiteral("The install file ") + file + QStringLiteral(
                            " is version 12.1, and version 12.0 is chosen.\nDownload version 12.0 and install that, "
                            "or install version 12.1 as it is?"));
    EXPECT_EQ(m_openedContents, c.started.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{c.started});
    EXPECT_TRUE(m_startup.read(SetupFile) == c.fileAfter);
    EXPECT_EQ(form->Install64Btn->Hint(), QStringLiteral("version ") + QLatin1String(c.versionAfter));

    // What was downloaded is remembered: a new window tells the version as well.
    form.reset();
    ModalAnswerer again({Ok});
    auto next = OpenWith();
    EXPECT_EQ(next->Install64Btn->Hint(), QStringLiteral("version ") + QLatin1String(c.versionAfter));
}

INSTANTIATE_TEST_SUITE_P(Answers, OtherVersion, testing::Values(
    OtherVersionCase{"DownloadTheChosenVersion", "Download 12.0", {}, Program120, "12.0"},
    OtherVersionCase{"InstallTheFileThere", "Install 12.1", Program, Program, "12.1"},
    OtherVersionCase{"Cancel", "Cancel", {}, Program, "12.1"}),
    caseName);

TEST_F(InstallChecked, AFileThisProgramDidNotDownloadHasNoKnownVersion)
{
    m_startup.write(SetupFile, Program);
    ModalAnswerer answerer({Ok});
    auto form = OpenWith();
    EXPECT_EQ(form->Install64Btn->Hint(), QStringLiteral("version not known"));
    EXPECT_EQ(form->Install64Btn->accessibleDescription(), QStringLiteral("Install file is present, version not known"));
    EXPECT_EQ(form->Install32Btn->accessibleDescription(), QStringLiteral("Install file is missing"));
}

TEST_F(InstallChecked, AFoundFileThatTheSignedListNamesStartsWithoutAQuestion)
{
    const QString setup = m_startup.write(SetupFile, Program);
    UseReleaseKey();
    ServeList(Program, *s_release);
    StartMirror();
    ModalAnswerer answerer({Ok, Ok});
    auto form = OpenWith();

    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    EXPECT_EQ(answerer.answered(), 1) << "only the start-up box";
    ASSERT_EQ(m_opened.size(), 2);
    EXPECT_TRUE(IsStartCopyOf(m_opened[0], setup)) << m_opened[0].toStdString();
    EXPECT_NE(m_opened[0], m_opened[1]) << "each start has a copy of its own";
    EXPECT_EQ(m_openedContents, QList<QByteArray>({Program, Program}));
    EXPECT_EQ(MemoLines(*form).filter(QStringLiteral("Downloading file ")),
              QStringList({QStringLiteral("Downloading file ") + setup, QStringLiteral("Downloading file ") + setup}));
}

// A found file that cannot be checked against the signed list of the chosen version: the
// box says so, and the file starts only when the user says so.
struct UncheckedCase {
    const char* name;
    // Fills the mirror (and the release key) given the test, the release key and a stranger's.
    void (*prepare)(InstallChecked& test, const MinisignKey& key, const MinisignKey& stranger);
    // How the reason in the box begins.
    QString why;
    friend void PrintTo(const UncheckedCase& c, std::ostream* os) { *os << c.name; }
};

class UncheckedFile : public InstallChecked, public testing::WithParamInterface<UncheckedCase> {
public:
    using InstallChecked::Serve;
    using InstallChecked::ServeList;
    using InstallChecked::UseReleaseKey;
};

TEST_P(UncheckedFile, IsStartedOnlyWhenTheUserSaysSo)
{
    const QString setup = m_startup.write(SetupFile, Older);
    GetParam().prepare(static_cast<InstallChecked&>(*this), *s_release, *s_stranger);
    if (!qEnvironmentVariableIsSet("KAPLIX_DOWNLOAD_URL"))
        StartMirror();
    ModalAnswerer answerer({Ok, Cancel, StartAnyway});
    auto form = OpenWith();
    const QStringList report = MemoLines(*form);

    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    ASSERT_EQ(answerer.answered(), 2);
    EXPECT_EQ(answerer.captions()[1], QStringLiteral("Warning"));
    const QString prefix = QStringLiteral("Install file not verified.\n") + setup + u'\n' + GetParam().why;
    EXPECT_TRUE(answerer.messages()[1].startsWith(prefix)) << answerer.messages()[1].toStdString();
    EXPECT_TRUE(m_opened.isEmpty()) << "Cancel starts nothing";
    EXPECT_EQ(MemoLines(*form), report) << "and logs nothing";
    EXPECT_TRUE(StartCopies().isEmpty());

    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    ASSERT_EQ(answerer.answered(), 3);
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(IsStartCopyOf(m_opened[0], setup));
    EXPECT_TRUE(m_openedContents[0] == Older);
    EXPECT_TRUE(Logged(*form, QStringLiteral("Downloading file ") + setup));
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, UncheckedFile,
    testing::Values(
        UncheckedCase{"NoReleaseKey",
                      [](InstallChecked& t, const MinisignKey& key, const MinisignKey&) {
                          static_cast<UncheckedFile&>(t).ServeList(Older, key);
                      },
                      QStringLiteral("This program has no release key to check setup files with.")},
        UncheckedCase{"NoList",
                      [](InstallChecked& t, const MinisignKey&, const MinisignKey&) {
                          static_cast<UncheckedFile&>(t).UseReleaseKey();
                      },
                      DownloadProblemText(dpNotFound) + QStringLiteral("\nDetails: SHA256SUMS: ")},
        UncheckedCase{"ListSignedByAStranger",
                      [](InstallChecked& t, const MinisignKey&, const MinisignKey& stranger) {
                          auto& test = static_cast<UncheckedFile&>(t);
                          test.UseReleaseKey();
                          test.ServeList(Older, stranger);
                      },
                      DownloadProblemText(dpNotVerified) + QStringLiteral("\nDetails: SHA256SUMS: ")},
        UncheckedCase{"ListWithoutTheFile",
                      [](InstallChecked& t, const MinisignKey& key, const MinisignKey&) {
                          auto& test = static_cast<UncheckedFile&>(t);
                          test.UseReleaseKey();
                          test.ServeList(Older, key, QStringLiteral("KXsetup32.exe"));
                      },
                      DownloadProblemText(dpNotVerified)
                          + QStringLiteral("\nDetails: SHA256SUMS does not name KXsetup64.exe")},
        UncheckedCase{"NotTheListedFile",
                      [](InstallChecked& t, const MinisignKey& key, const MinisignKey&) {
                          auto& test = static_cast<UncheckedFile&>(t);
                          test.UseReleaseKey();
                          test.ServeList(Program, key);
                      },
                      QStringLiteral("It differs from the file that the signed checksum list of version 12.1 names.")},
        UncheckedCase{"NoConnection",
                      [](InstallChecked& t, const MinisignKey&, const MinisignKey&) {
                          static_cast<UncheckedFile&>(t).UseReleaseKey();
                          qputenv("KAPLIX_DOWNLOAD_URL", QStringLiteral("http://127.0.0.1:%1").arg(freeTcpPort()).toLocal8Bit());
                      },
                      DownloadProblemText(dpNoConnection)}),
    caseName);

// Another program put in the file's place after it was checked, and before it starts: what
// starts is the checked file or nothing, never the planted one.
struct SwapCase {
    const char* name;
    // Makes the 64-bit setup file the Install button finds, and the answers to the boxes.
    void (*prepare)(InstallChecked& test, TInstallForm& form, const MinisignKey& key);
    // The answers to the boxes after the start-up box and before the error box.
    QList<ModalAnswerer::Answer> answers;
    friend void PrintTo(const SwapCase& c, std::ostream* os) { *os << c.name; }
};

class SwapAfterTheCheck : public InstallChecked, public testing::WithParamInterface<SwapCase> {
public:
    using InstallChecked::DownloadIntoTemporaryDirectory;
    using InstallChecked::Serve;
    using InstallChecked::ServeList;
    using InstallChecked::UseReleaseKey;
    TempDir& Startup() { return m_startup; }
};

TEST_P(SwapAfterTheCheck, NeverStartsThePlantedProgram)
{
    UseReleaseKey();
    StartMirror();
    QList<ModalAnswerer::Answer> answers = {Ok};
    answers << GetParam().answers << Ok;
    ModalAnswerer answerer(answers);
    QString checked;
    auto form = OpenWith([&](const QString& path) {
        checked = path;
        // As another user would: a new file renamed over the name, then the old one's bytes gone.
        const QString planted = path + QStringLiteral(".planted");
        QFile file(planted);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("MZ planted program");
        file.close();
        ASSERT_TRUE(::rename(QFile::encodeName(planted).constData(), QFile::encodeName(path).constData()) == 0);
    });
    GetParam().prepare(*this, *form, *s_release);
    const QStringList report = MemoLines(*form);

    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    ASSERT_FALSE(checked.isEmpty()) << "the hook ran";
    EXPECT_TRUE(m_opened.isEmpty()) << "nothing was started";
    ASSERT_EQ(answerer.answered(), answers.size());
    EXPECT_EQ(answerer.captions().last(), QStringLiteral("Error"));
    EXPECT_EQ(answerer.messages().last(),
              QStringLiteral("Install file not started.\n") + checked + QStringLiteral("\nThe file has changed since it was checked"));
    EXPECT_EQ(MemoLines(*form), report);
    EXPECT_TRUE(StartCopies().isEmpty()) << "no copy is left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Checks, SwapAfterTheCheck,
    testing::Values(
        SwapCase{"DownloadedAndVerified",
                 [](InstallChecked& t, TInstallForm& form, const MinisignKey& key) {
                     auto& test = static_cast<SwapAfterTheCheck&>(t);
                     test.Serve(SetupFile, Program);
                     test.ServeList(Program, key);
                     SwapAfterTheCheck::DownloadIntoTemporaryDirectory(form);
                 },
                 {Ok}},
        SwapCase{"FoundAndNamedInTheSignedList",
                 [](InstallChecked& t, TInstallForm& form, const MinisignKey& key) {
                     auto& test = static_cast<SwapAfterTheCheck&>(t);
                     test.Startup().write(SetupFile, Program);
                     test.ServeList(Program, key);
                     form.RefreshSetupFiles();
                 },
                 {}},
        SwapCase{"StartedAnyway",
                 [](InstallChecked& t, TInstallForm& form, const MinisignKey&) {
                     static_cast<SwapAfterTheCheck&>(t).Startup().write(SetupFile, Older);
                     form.RefreshSetupFiles();
                 },
                 {StartAnyway}}),
    caseName);

} // namespace
