#pragma once

#include <QByteArray>
#include <QList>

// The public keys that sign the checksum lists of our releases: base64 lines of minisign
// ".pub" files ("RW..."), separated by blanks. A list signed with any of them is taken, so a
// new key can be given out while lists signed with the old one are still on the mirrors.
// Built in (the CMake setting KX_RELEASE_KEY); the environment variable KAPLIX_RELEASE_KEY
// replaces them when set, for tests and the demo. Empty when there is none: downloads then
// use a checksum list only when the server has one, unsigned.
QList<QByteArray> ReleaseKeys();
