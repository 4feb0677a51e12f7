#pragma once

#include <QByteArray>
#include <QtGlobal>

// Content for test files whose every byte follows from its position: byte i is
// (i * step + offset) % period, so what arrived can be compared with what was sent.
struct BytePattern {
    int step = 1;
    int offset = 0;
    int period = 256;
};

// What the scripted HTTP server sends for a size (body_of in scripted_http_server.py, whose
// shift is the offset). Every block of 256 bytes, and so of 4096, is alike.
inline constexpr BytePattern ServedPattern{};

// A period of 251 bytes, a prime: no two blocks of a power-of-two size are alike, so a block
// that is lost, repeated or moved shows.
inline constexpr BytePattern PrimePattern{31, 0, 251};

inline QByteArray patternedBytes(qint64 size, BytePattern pattern = ServedPattern)
{
    QByteArray result(static_cast<qsizetype>(size), Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        result[static_cast<qsizetype>(i)] = static_cast<char>((i * pattern.step + pattern.offset) % pattern.period);
    return result;
}
