#include "platform/desktop/WindowsProgram.h"
#include "platform/desktop/WineLauncher.h"

#include "tests/support/CaseName.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SavedEnvironment.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinePrefix.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

using platform::WindowsProgramKind;

// A real PE32 and a real PE32+ program, built once for the suite with the MinGW-w64 tools.
class WindowsPrograms : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<TempDir>();
        if (QStandardPaths::findExecutable(QStringLiteral("x86_64-w64-mingw32-g++")).isEmpty()) {
            s_problem = QStringLiteral("no MinGW-w64 cross compiler (Debian package g++-mingw-w64-x86-64)");
            return;
        }
        s_problem = buildBareWindowsProgram(program32(), 32);
        if (s_problem.isEmpty())
            s_problem = buildBareWindowsProgram(program64(), 64);
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    void SetUp() override { ASSERT_TRUE(s_problem.isEmpty()) << s_problem.toStdString(); }

public:
    static QString program32() { return s_dir->filePath(QStringLiteral("setup32.exe")); }
    static QString program64() { return s_dir->filePath(QStringLiteral("setup64.exe")); }
    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

protected:
    static inline std::unique_ptr<TempDir> s_dir;
    static inline QString s_problem;
    TempDir m_files;
};

// What a file is, from its headers: never from its name.
struct KindCase {
    const char* name;
    std::function<QByteArray()> bytes;  // null: no file at all
    WindowsProgramKind kind;
    friend void PrintTo(const KindCase& c, std::ostream* out) { *out << c.name; }
};

class ProgramKinds : public WindowsPrograms, public testing::WithParamInterface<KindCase> {};

TEST_P(ProgramKinds, AreToldByTheHeaders)
{
    const KindCase& c = GetParam();
    const QString path = c.bytes ? m_files.write(QStringLiteral("setup.exe"), c.bytes())
                                 : m_files.filePath(QStringLiteral("setup.exe"));
    EXPECT_EQ(platform::windowsProgramKind(path), c.kind);
}

QByteArray withHeaderOffset(QByteArray program, quint32 offset)
{
    program.replace(0x3C, 4, QByteArray(reinterpret_cast<const char*>(&offset), 4));
    return program;
}

INSTANTIATE_TEST_SUITE_P(Files, ProgramKinds, testing::Values(
    KindCase{"Pe32", [] { return WindowsPrograms::read(WindowsPrograms::program32()); }, WindowsProgramKind::Bits32},
    KindCase{"Pe32Plus", [] { return WindowsPrograms::read(WindowsPrograms::program64()); }, WindowsProgramKind::Bits64},
    KindCase{"TextNamedLikeAProgram", [] { return QByteArray("MZ but only words"); }, WindowsProgramKind::NotAProgram},
    KindCase{"Empty", [] { return QByteArray(); }, WindowsProgramKind::NotAProgram},
    KindCase{"CutAfterTheStub", [] { return WindowsPrograms::read(WindowsPrograms::program32()).left(0x40); },
             WindowsProgramKind::NotAProgram},
    KindCase{"HeaderOffsetFarPastTheFile", [] {
        return withHeaderOffset(WindowsPrograms::read(WindowsPrograms::program32()), 0xFFFFFFF0u);
    }, WindowsProgramKind::NotAProgram},
    KindCase{"HeaderOffsetIntoTheStub", [] {
        return withHeaderOffset(WindowsPrograms::read(WindowsPrograms::program64()), 0);
    }, WindowsProgramKind::NotAProgram},
    KindCase{"NoFile", nullptr, WindowsProgramKind::NotAProgram}),
    caseName);

// Wine installations laid out as distributions and Wine's own builds lay them out.
struct WineTreeCase {
    const char* name;
    const char* program;            // in bin/
    QStringList files;               // more files of the installation
    bool runs32;
    friend void PrintTo(const WineTreeCase& c, std::ostream* out) { *out << c.name; }
};

const WineTreeCase WineTrees[] = {
    {"DistributionWithout32BitPart", "wine", {"lib/wine/wine64"}, false},
    {"DistributionWith32BitPart", "wine", {"lib/wine/wine64", "lib/wine/wine"}, true},
    {"DistributionWine64Without32BitPart", "wine64", {"lib/wine/wine64"}, false},
    {"UpstreamWine64Alone", "wine64", {}, false},
    {"UpstreamWithBoth", "wine64", {"bin/wine"}, true},
    {"UnknownLayout", "wine", {}, true},
};

class WineTrees32 : public testing::TestWithParam<WineTreeCase> {
protected:
    // Builds the installation; returns the path of its program.
    QString Install(const WineTreeCase& c)
    {
        for (const QString& file : c.files + QStringList{QStringLiteral("bin/") + QLatin1String(c.program)}) {
            const QString path = m_tree.write(file, "#!/bin/sh\nexit 0\n");
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        return m_tree.filePath(QStringLiteral("bin/") + QLatin1String(c.program));
    }
    TempDir m_tree;
};

TEST_P(WineTrees32, AreKnownToRunOrNotRun32BitPrograms)
{
    EXPECT_EQ(platform::wineRuns32BitPrograms(Install(GetParam())), GetParam().runs32);
}

TEST_P(WineTrees32, AreKnownAlsoThroughALinkToTheirProgram)
{
    const QString program = Install(GetParam());
    TempDir alternatives;
    const QString link = alternatives.filePath(QLatin1String(GetParam().program));
    ASSERT_TRUE(QFile::link(program, link));
    // The link's own folder says nothing of the installation; what it leads to does.
    EXPECT_EQ(platform::wineRuns32BitPrograms(link), GetParam().runs32);
}

INSTANTIATE_TEST_SUITE_P(Layouts, WineTrees32, testing::ValuesIn(WineTrees), caseName);

// A 32-bit setup program is not handed to a Wine that cannot run it; a 64-bit one is.
class StartWith64BitWine : public WindowsPrograms {
protected:
    void SetUp() override
    {
        WindowsPrograms::SetUp();
        qputenv("PATH", "");
        for (const QString& file : {QStringLiteral("lib/wine/wine64"), QStringLiteral("bin/wine")}) {
            const QString path = m_tree.write(file, QStringLiteral("#!/bin/sh\n: > '%1'\n").arg(started()).toUtf8());
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
    QString started() const { return m_record.filePath(QStringLiteral("started")); }
    QStringList wineFolders() const { return {m_tree.filePath(QStringLiteral("bin"))}; }

    SavedEnvironment m_saved{"PATH"};
    TempDir m_tree;
    TempDir m_record;
};

TEST_F(StartWith64BitWine, Refuses32BitProgramsAndSaysWhich)
{
    const QString setup = m_files.write(QStringLiteral("KXsetup32.exe"), read(program32()));
    const platform::ProgramStart start = platform::startWithWine(setup, wineFolders());
    EXPECT_EQ(start.status, platform::ProgramStart::Status::Wine32Missing);
    EXPECT_EQ(start.problem, QStringLiteral("The Wine program ") + wineFolders()[0] + QStringLiteral("/wine runs no "
                                                                                                     "32-bit Windows program"));
    EXPECT_FALSE(QFileInfo::exists(started()));
}

TEST_F(StartWith64BitWine, Starts64BitPrograms)
{
    const QString setup = m_files.write(QStringLiteral("KXsetup64.exe"), read(program64()));
    EXPECT_TRUE(platform::startWithWine(setup, wineFolders()).started());
}

} // namespace
