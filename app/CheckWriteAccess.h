#pragma once

#include <QString>

// Result codes of CheckWriteAccess.
enum TWriteAccess : int {
    waWritable = 0,
    waNotADirectory = -1,
    waTestFileStuck = -2,   // "kaplixTest.txt" is there and cannot be deleted
    waWriteFailed = -3,
    waReadOnlyOrMissing = -4,
};

// Probes whether a directory can be written by creating, writing and deleting the file
// "kaplixTest.txt" in it. Leaves no test file behind when it returns waWritable.
int CheckWriteAccess(const QString& Path);
