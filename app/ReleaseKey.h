#pragma once

#include <QByteArray>

// The public key that signs the checksum lists of our releases: the base64 line of a minisign
// ".pub" file ("RW..."). Built in (the CMake setting KX_RELEASE_KEY); the environment variable
// KAPLIX_RELEASE_KEY replaces it when set, for tests and the demo. Empty when there is none:
// downloads then use a checksum list only when the server has one, unsigned.
QByteArray ReleaseKey();
