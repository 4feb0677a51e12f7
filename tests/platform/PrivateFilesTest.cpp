#include "platform/files/PrivateFiles.h"

#include "tests/support/CaseName.h"
#include "tests/support/FileOwnership.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SavedEnvironment.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// TMPDIR, XDG_CACHE_HOME and HOME of the test's own, restored afterwards. The directories
// are made before the variables change, so they lie where every test's files lie.
class PrivateTempDirTest : public testing::Test {
protected:
    void SetUp() override
    {
        qunsetenv("TMPDIR");
        qputenv("XDG_CACHE_HOME", m_cache.path().toLocal8Bit());
        qputenv("HOME", m_home.path().toLocal8Bit());
    }

    QString CacheFolder() const { return m_cache.filePath(QStringLiteral("kaplix-setup")); }

    SavedEnvironment m_saved{"TMPDIR", "XDG_CACHE_HOME", "HOME"};
    TempDir m_tmp;
    TempDir m_cache;
    TempDir m_home;
};

TEST_F(PrivateTempDirTest, PrivateTmpdirIsTakenAsItIs)
{
    qputenv("TMPDIR", (m_tmp.path() + u'/').toLocal8Bit());
    const platform::PrivateTempDir temp = platform::privateTempDir();
    EXPECT_EQ(temp.path, m_tmp.path());
    EXPECT_TRUE(temp.problem.isEmpty());
    EXPECT_FALSE(QFile::exists(CacheFolder()));
}

struct TmpdirCase {
    const char* name;
    // Makes TMPDIR, given a private folder to work with; returns false to skip (not root).
    std::function<bool(const TempDir&)> prepare;
    friend void PrintTo(const TmpdirCase& c, std::ostream* os) { *os << c.name; }
};

class TmpdirPassedOver : public PrivateTempDirTest, public testing::WithParamInterface<TmpdirCase> {};

TEST_P(TmpdirPassedOver, ForAFolderOfOursInTheCache)
{
    if (!GetParam().prepare(m_tmp))
        GTEST_SKIP() << "giving a folder to another user needs root";
    const platform::PrivateTempDir temp = platform::privateTempDir();
    EXPECT_EQ(temp.path, CacheFolder());
    EXPECT_TRUE(temp.problem.isEmpty()) << temp.problem.toStdString();
    const mode_t mode = ModeOf(CacheFolder());
    EXPECT_TRUE(S_ISDIR(mode));
    EXPECT_EQ(mode & 07777, mode_t(0700));
}

INSTANTIATE_TEST_SUITE_P(Tmpdirs, TmpdirPassedOver, testing::Values(
    TmpdirCase{"Unset", [](const TempDir&) { return true; }},
    TmpdirCase{"SharedLikeSlashTmp", [](const TempDir& dir) {
        SetMode(dir.path(), 01777);
        qputenv("TMPDIR", dir.path().toLocal8Bit());
        return true;
    }},
    TmpdirCase{"GroupMayWrite", [](const TempDir& dir) {
        SetMode(dir.path(), 0770);
        qputenv("TMPDIR", dir.path().toLocal8Bit());
        return true;
    }},
    TmpdirCase{"OthersMayWrite", [](const TempDir& dir) {
        SetMode(dir.path(), 0703);
        qputenv("TMPDIR", dir.path().toLocal8Bit());
        return true;
    }},
    TmpdirCase{"LinkToAPrivateFolder", [](const TempDir& dir) {
        const QString link = dir.filePath(QStringLiteral("link"));
        QDir().mkdir(dir.filePath(QStringLiteral("real")));
        QFile::link(dir.filePath(QStringLiteral("real")), link);
        qputenv("TMPDIR", link.toLocal8Bit());
        return true;
    }},
    TmpdirCase{"OfAnotherUser", [](const TempDir& dir) {
        if (!IsRoot())
            return false;
        const QString theirs = dir.filePath(QStringLiteral("theirs"));
        QDir().mkdir(theirs);
        SetMode(theirs, 0700);
        GiveToNobody(theirs);
        qputenv("TMPDIR", theirs.toLocal8Bit());
        return true;
    }},
    TmpdirCase{"Missing", [](const TempDir& dir) {
        qputenv("TMPDIR", dir.filePath(QStringLiteral("absent")).toLocal8Bit());
        return true;
    }},
    TmpdirCase{"AFile", [](const TempDir& dir) {
        qputenv("TMPDIR", dir.write(QStringLiteral("file")).toLocal8Bit());
        return true;
    }},
    TmpdirCase{"Relative", [](const TempDir&) {
        qputenv("TMPDIR", "tmp");
        return true;
    }}),
    caseName);

TEST_F(PrivateTempDirTest, WithoutCacheVariableTheFolderGoesBelowHome)
{
    for (const char* cache : {"", "relative/cache"}) {
        qputenv("XDG_CACHE_HOME", cache);
        const QString expected = m_home.filePath(QStringLiteral(".cache/kaplix-setup"));
        EXPECT_EQ(platform::privateTempDir().path, expected) << cache;
        EXPECT_EQ(ModeOf(expected) & 07777, mode_t(0700));
        EXPECT_EQ(ModeOf(m_home.filePath(QStringLiteral(".cache"))) & 07777, mode_t(0700)) << "created private too";
    }
}

TEST_F(PrivateTempDirTest, AnExistingFolderOfOursThatOnlyWeWriteIsKept)
{
    QDir().mkdir(CacheFolder());
    SetMode(CacheFolder(), 0755);
    m_cache.write(QStringLiteral("kaplix-setup/KXsetup64.exe"));
    EXPECT_EQ(platform::privateTempDir().path, CacheFolder());
    EXPECT_TRUE(QFile::exists(m_cache.filePath(QStringLiteral("kaplix-setup/KXsetup64.exe"))));
}

struct CacheFolderCase {
    const char* name;
    // Spoils the cache folder; returns false to skip (not root).
    std::function<bool(const QString& folder, const TempDir& cache)> spoil;
    const char* problem;
    const char* folder = "kaplix-setup";  // where the folder was looked for, below the cache
    friend void PrintTo(const CacheFolderCase& c, std::ostream* os) { *os << c.name; }
};

class NoPrivateTempDir : public PrivateTempDirTest, public testing::WithParamInterface<CacheFolderCase> {};

TEST_P(NoPrivateTempDir, IsReportedWithTheReason)
{
    qputenv("TMPDIR", m_tmp.path().toLocal8Bit());
    SetMode(m_tmp.path(), 01777);
    const CacheFolderCase& c = GetParam();
    if (!c.spoil(CacheFolder(), m_cache))
        GTEST_SKIP() << "giving a folder to another user needs root";
    const QString folder = m_cache.filePath(QString::fromLatin1(c.folder));
    const platform::PrivateTempDir temp = platform::privateTempDir();
    EXPECT_TRUE(temp.path.isEmpty()) << temp.path.toStdString();
    EXPECT_EQ(temp.problem, QStringLiteral("The temporary directory ") + folder + u' ' + QString::fromLatin1(c.problem));
}

INSTANTIATE_TEST_SUITE_P(CacheFolders, NoPrivateTempDir, testing::Values(
    CacheFolderCase{"OthersMayWrite", [](const QString& folder, const TempDir&) {
        QDir().mkdir(folder);
        SetMode(folder, 0777);
        return true;
    }, "may be changed by others"},
    CacheFolderCase{"GroupMayWrite", [](const QString& folder, const TempDir&) {
        QDir().mkdir(folder);
        SetMode(folder, 0770);
        return true;
    }, "may be changed by others"},
    CacheFolderCase{"LinkElsewhere", [](const QString& folder, const TempDir& cache) {
        QDir().mkdir(cache.filePath(QStringLiteral("elsewhere")));
        QFile::link(cache.filePath(QStringLiteral("elsewhere")), folder);
        return true;
    }, "is a link"},
    CacheFolderCase{"AFile", [](const QString& folder, const TempDir& cache) {
        cache.write(QFileInfo(folder).fileName());
        return true;
    }, "is not a directory"},
    CacheFolderCase{"OfAnotherUser", [](const QString& folder, const TempDir&) {
        if (!IsRoot())
            return false;
        QDir().mkdir(folder);
        SetMode(folder, 0700);
        GiveToNobody(folder);
        return true;
    }, "belongs to another user"},
    CacheFolderCase{"CannotBeCreated", [](const QString&, const TempDir& cache) {
        const QString file = cache.write(QStringLiteral("file"));
        qputenv("XDG_CACHE_HOME", file.toLocal8Bit());
        return true;
    }, "cannot be created", "file/kaplix-setup"}),
    caseName);

// A folder with a file in it for each case of whyUnsafeToRun.
struct RunCase {
    const char* name;
    // Prepares dir/setup.exe (already written, 0644, ours); returns false to skip (not root).
    std::function<bool(const TempDir& dir, const TempDir& elsewhere)> prepare;
    const char* reason;  // empty: safe to run
    friend void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }
};

class SafeToRun : public testing::TestWithParam<RunCase> {};

TEST_P(SafeToRun, OnlyWhatNobodyElseCouldChange)
{
    TempDir folder;
    TempDir elsewhere;
    const QString setup = folder.write(QStringLiteral("setup.exe"), "MZ");
    SetMode(setup, 0644);
    if (!GetParam().prepare(folder, elsewhere))
        GTEST_SKIP() << "giving a file to another user needs root";
    EXPECT_EQ(platform::whyUnsafeToRun(setup), QString::fromLatin1(GetParam().reason));
    SetMode(folder.path(), 0700);
}

INSTANTIATE_TEST_SUITE_P(Files, SafeToRun, testing::Values(
    RunCase{"OursReadableByAll", [](const TempDir&, const TempDir&) { return true; }, ""},
    RunCase{"OursExecutable", [](const TempDir& dir, const TempDir&) {
        SetMode(dir.filePath(QStringLiteral("setup.exe")), 0755);
        return true;
    }, ""},
    RunCase{"OursInAStickySharedFolder", [](const TempDir& dir, const TempDir&) {
        SetMode(dir.path(), 01777);
        return true;
    }, ""},
    RunCase{"GroupMayWrite", [](const TempDir& dir, const TempDir&) {
        SetMode(dir.filePath(QStringLiteral("setup.exe")), 0664);
        return true;
    }, "The file may be changed by others"},
    RunCase{"OthersMayWrite", [](const TempDir& dir, const TempDir&) {
        SetMode(dir.filePath(QStringLiteral("setup.exe")), 0646);
        return true;
    }, "The file may be changed by others"},
    RunCase{"OfAnotherUser", [](const TempDir& dir, const TempDir&) {
        if (!IsRoot())
            return false;
        GiveToNobody(dir.filePath(QStringLiteral("setup.exe")));
        return true;
    }, "The file belongs to another user"},
    RunCase{"LinkToAFileElsewhere", [](const TempDir& dir, const TempDir& elsewhere) {
        const QString target = elsewhere.write(QStringLiteral("other.exe"), "MZ");
        QFile::remove(dir.filePath(QStringLiteral("setup.exe")));
        QFile::link(target, dir.filePath(QStringLiteral("setup.exe")));
        return true;
    }, "The file is a link"},
    RunCase{"LinkWithinTheFolder", [](const TempDir& dir, const TempDir&) {
        const QString target = dir.write(QStringLiteral("real.exe"), "MZ");
        QFile::remove(dir.filePath(QStringLiteral("setup.exe")));
        QFile::link(target, dir.filePath(QStringLiteral("setup.exe")));
        return true;
    }, "The file is a link"},
    RunCase{"Pipe", [](const TempDir& dir, const TempDir&) {
        QFile::remove(dir.filePath(QStringLiteral("setup.exe")));
        return ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("setup.exe"))).constData(), 0600) == 0;
    }, "The file is not a regular file"},
    RunCase{"Missing", [](const TempDir& dir, const TempDir&) {
        QFile::remove(dir.filePath(QStringLiteral("setup.exe")));
        return true;
    }, "The file cannot be examined"},
    RunCase{"FolderOthersMayWrite", [](const TempDir& dir, const TempDir&) {
        SetMode(dir.path(), 0777);
        return true;
    }, "The folder of the file may be changed by others"},
    RunCase{"FolderOfAnotherUser", [](const TempDir& dir, const TempDir&) {
        if (!IsRoot())
            return false;
        GiveToNobody(dir.path());
        return true;
    }, "The folder of the file may be changed by others"}),
    caseName);

} // namespace

// The same choices made by a user who is not root: the shared /tmp belongs to root, so it is
// passed over for a folder of the user's own below the home directory, and a program that
// belongs to root is not the user's to start.
TEST_F(PrivateTempDirTest, AnOrdinaryUserGetsAFolderOfTheirOwn)
{
    KX_RUN_AS_ORDINARY_USER();
    qputenv("TMPDIR", "/tmp");
    qunsetenv("XDG_CACHE_HOME");
    const platform::PrivateTempDir chosen = platform::privateTempDir();
    EXPECT_EQ(chosen.path, m_home.filePath(QStringLiteral(".cache/kaplix-setup")));
    struct stat entry {};
    ASSERT_EQ(::lstat(QFile::encodeName(chosen.path).constData(), &entry), 0);
    EXPECT_EQ(entry.st_uid, ::geteuid());
    EXPECT_EQ(entry.st_mode & 07777, 0700u);
    EXPECT_FALSE(platform::whyUnsafeToRun(QStringLiteral("/bin/sh")).isEmpty());
}

namespace {

// A setup file three folders below a folder of the test's own, base/a/b/c/setup.exe (folders
// 0755, file 0644), and what is done to the way to it.
struct WalkCase {
    const char* name;
    // Changes the way below base; returns false to skip (giving away needs root).
    std::function<bool(const QString& base)> prepare;
    // The first folder on the way that others may change, relative to base; empty: none.
    const char* unsafeFolder;
    // The path handed over, relative to base.
    const char* setup = "a/b/c/setup.exe";
    friend void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.name; }
};

bool MakeLink(const QString& base, const char* link, const char* target)
{
    return QFile::link(base + u'/' + QString::fromLatin1(target), base + u'/' + QString::fromLatin1(link));
}

// Whoever may change a folder on the way to a file or a private folder can put another in its
// place: the whole way from "/" is looked at, links followed.
class FolderWalk : public testing::TestWithParam<WalkCase> {
protected:
    void Check()
    {
        const WalkCase& c = GetParam();
        TempDir base;
        const QString setup = base.write(QStringLiteral("a/b/c/setup.exe"), "MZ");
        SetMode(setup, 0644);
        for (const char* folder : {"a", "a/b", "a/b/c"})
            SetMode(base.filePath(QString::fromLatin1(folder)), 0755);
        if (!c.prepare(base.path()))
            GTEST_SKIP() << "giving a folder to another user needs root";
        const QString given = base.filePath(QString::fromLatin1(c.setup));
        const QString folder = QFileInfo(given).path();
        const QString unsafe = *c.unsafeFolder ? base.filePath(QString::fromLatin1(c.unsafeFolder)) : QString();

        QString reason;
        if (!unsafe.isEmpty()) {
            reason = unsafe == QFileInfo(folder).canonicalFilePath()
                ? QStringLiteral("The folder of the file may be changed by others")
                : QStringLiteral("The folder ") + unsafe + QStringLiteral(" above the file may be changed by others");
        }
        EXPECT_EQ(platform::whyUnsafeToRun(given), reason);

        // The file's folder as TMPDIR, and as the cache folder the private folder is made in
        // when TMPDIR is passed over.
        const SavedEnvironment saved{"TMPDIR", "XDG_CACHE_HOME"};
        qputenv("TMPDIR", folder.toLocal8Bit());
        qputenv("XDG_CACHE_HOME", folder.toLocal8Bit());
        const platform::PrivateTempDir temp = platform::privateTempDir();
        if (unsafe.isEmpty()) {
            EXPECT_EQ(temp.path, folder);
        } else {
            EXPECT_TRUE(temp.path.isEmpty()) << temp.path.toStdString();
            EXPECT_EQ(temp.problem, QStringLiteral("The temporary directory ") + folder
                                        + QStringLiteral("/kaplix-setup lies in the folder ") + unsafe
                                        + QStringLiteral(", which others may change"));
        }
        for (const char* open : {"a", "a/b", "a/b/c", "open"})
            ::chmod(QFile::encodeName(base.filePath(QString::fromLatin1(open))).constData(), 0700);
    }
};

TEST_P(FolderWalk, FindsTheFirstFolderOthersMayChange)
{
    Check();
}

// The same as a user who is not root: the folders above the test's own, /tmp among them,
// belong to root, and the test's to the user.
class FolderWalkOfAnOrdinaryUser : public FolderWalk {};

TEST_P(FolderWalkOfAnOrdinaryUser, FindsTheFirstFolderOthersMayChange)
{
    KX_RUN_AS_ORDINARY_USER();
    Check();
}

const WalkCase OrdinaryWalks[] = {
    {"AllOurs", [](const QString&) { return true; }, ""},
    {"StickySharedFolderAbove", [](const QString& base) {
        SetMode(base + QStringLiteral("/a"), 01777);
        return true;
    }, ""},
    {"OthersMayWriteAFolderAbove", [](const QString& base) {
        SetMode(base + QStringLiteral("/a"), 0777);
        return true;
    }, "a"},
    {"GroupMayWriteAFolderAbove", [](const QString& base) {
        SetMode(base + QStringLiteral("/a/b"), 0775);
        return true;
    }, "a/b"},
    {"OthersMayWriteTheFolderOfTheFile", [](const QString& base) {
        SetMode(base + QStringLiteral("/a/b/c"), 0757);
        return true;
    }, "a/b/c"},
    {"OurLinkInAStickyFolder", [](const QString& base) {
        SetMode(base + QStringLiteral("/a"), 01777);
        return MakeLink(base, "a/link", "a/b");
    }, "", "a/link/c/setup.exe"},
    {"LinkToAFolderOthersMayWrite", [](const QString& base) {
        QDir().mkpath(base + QStringLiteral("/open/c"));
        QFile::copy(base + QStringLiteral("/a/b/c/setup.exe"), base + QStringLiteral("/open/c/setup.exe"));
        SetMode(base + QStringLiteral("/open"), 0777);
        return MakeLink(base, "a/b/elsewhere", "open");
    }, "open", "a/b/elsewhere/c/setup.exe"},
};

INSTANTIATE_TEST_SUITE_P(Ways, FolderWalkOfAnOrdinaryUser, testing::ValuesIn(OrdinaryWalks), caseName);
INSTANTIATE_TEST_SUITE_P(Ways, FolderWalk, testing::ValuesIn(OrdinaryWalks), caseName);
// Another user's folder or link on the way: only root can make one.
INSTANTIATE_TEST_SUITE_P(OtherUsers, FolderWalk, testing::Values(
    WalkCase{"AFolderAboveOfAnotherUser", [](const QString& base) {
        if (!IsRoot())
            return false;
        GiveToNobody(base + QStringLiteral("/a"));
        return true;
    }, "a"},
    WalkCase{"AnotherUsersFolderInAStickyFolder", [](const QString& base) {
        if (!IsRoot())
            return false;
        SetMode(base + QStringLiteral("/a"), 01777);
        GiveToNobody(base + QStringLiteral("/a/b"));
        return true;
    }, "a/b"},
    WalkCase{"AnotherUsersLinkInAStickyFolder", [](const QString& base) {
        if (!IsRoot() || !MakeLink(base, "a/link", "a/b"))
            return false;
        SetMode(base + QStringLiteral("/a"), 01777);
        GiveToNobody(base + QStringLiteral("/a/link"));
        return true;
    }, "a", "a/link/c/setup.exe"}),
    caseName);

// A program of the system (root's) or the user's, found through links as Debian's
// alternatives lead to Wine, and what keeps one from being trusted.
TEST(UntrustedProgram, RootsProgramsThroughTheSystemsLinksAreTrusted)
{
    for (const char* path : {"/bin/sh", "/usr/bin/env"})
        EXPECT_EQ(platform::whyUntrustedProgram(QString::fromLatin1(path)), QString()) << path;
    EXPECT_EQ(platform::whyUntrustedProgram(QStringLiteral("/nonexistent/wine")), QStringLiteral("cannot be examined"));
}

} // namespace
