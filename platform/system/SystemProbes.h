#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// What the assistant learns about the machine it runs on. Windows paths the program knows
// by heart ("C:\...") live below the Windows compatibility prefix here.

// Directory of the running executable, without a trailing separator.
QString executableDir();
// The shell's special folder of the given number; only the program-files folder (38) is
// known, every other number gives an empty text.
QString specialFolder(int folder);
// The Windows compatibility prefix Wine keeps its drive C: in: $WINEPREFIX, else ~/.wine.
QString winePrefix();
// Drive C: of the compatibility prefix: winePrefix() followed by "/drive_c".
QString driveC();
// A Windows path on drive C: ("C:\Program Files\x") as a local path; "\" becomes "/".
// Any other text only has its separators turned.
QString localPathOf(const QString& windowsPath);
// True when a Windows path ("C:\kaplix\bin\kaplix3.exe", or a local absolute path with
// either separator) names an existing file, each component matched without regard to letter
// case as Windows does.
bool windowsFileExists(const QString& windowsPath);
// True when the machine's own processor is 64-bit x86, whatever this build is.
bool isNative64Bit();

struct FileAttributes {
    bool readable = false;  // the attributes could be read (the path exists)
    bool directory = false;
    bool readOnly = false;  // the owner may not write, or the file system refuses writes
};
// The attributes of a path, following symbolic links.
FileAttributes fileAttributes(const QString& path);

// The path of an existing entry below dir whose name matches relative ("documents/x.pdf",
// "\" or "/" separated) component by component without regard to letter case; an exact
// match wins. Empty when there is none.
QString findPathIgnoringCase(const QString& dir, const QString& relative);
// True when findPathIgnoringCase finds a regular file (not a directory).
bool fileExistsIgnoringCase(const QString& dir, const QString& relative);

// The entries of one folder, listed once: several names are looked up without regard to
// letter case without listing the folder again for each (a downloads folder may hold
// thousands of files).
class FolderEntries {
public:
    explicit FolderEntries(const QString& dir);

    // As findPathIgnoringCase below this folder, its first component found in the listing.
    QString pathOf(const QString& relative) const;
    // True when pathOf(relative) is a regular file (not a directory).
    bool holdsFile(const QString& relative) const;

private:
    QString m_dir;
    QStringList m_names;
};

} // namespace platform
