#pragma once

#include <QString>

#include <cstdint>

// Choosing and creating local targets. Local paths use the native separator "/".

// True when Name is one plain file name: not empty, not "." or "..", no separator of either
// kind and no NUL. A name taken from an address or a listing must pass before it is joined
// to a target directory, so it can never lead out of it.
bool IsPlainFileName(const QString& Name);
// The text before the last separator ("/" or "\") of Path; empty when it has none.
QString DirectoryPart(const QString& Path);
// Name when Dir is empty; otherwise Dir and Name with exactly the separator Dir lacks.
QString JoinPath(const QString& Dir, const QString& Name);
// True when Path names an existing directory.
bool DirExists(const QString& Path);
// True when Path names something that exists (a link: what it points to).
bool FileExists(const QString& Path);
// True when Dir exists or could be created with its missing parents; an empty Dir is true.
bool ForceDirs(const QString& Dir);
// Path without its extension (from the last "." of the last component).
QString StripExt(const QString& Path);
// The first of "name(1).ext", "name(2).ext", ... that names nothing on disk yet.
QString UniqueFileName(const QString& Path);
// Size in bytes, or -1 when the file cannot be examined.
std::int64_t LocalFileSize(const QString& Path);
