#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

// Splits fuzzer bytes into the values a target needs.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* Data, std::size_t Size) : FData(Data), FSize(Size) {}

    // The rest of the input as UTF-16 code units (any 16-bit values, unpaired surrogates too).
    QString RestAsText()
    {
        const std::size_t units = (FSize - FPos) / 2;
        QString text(static_cast<qsizetype>(units), Qt::Uninitialized);
        std::memcpy(text.data(), FData + FPos, units * 2);
        FPos = FSize;
        return text;
    }
    // The rest of the input as Latin-1 text, as a server's bytes arrive.
    QString RestAsLatin1()
    {
        const QString text = QString::fromLatin1(reinterpret_cast<const char*>(FData + FPos),
                                                 static_cast<qsizetype>(FSize - FPos));
        FPos = FSize;
        return text;
    }
    template <typename T> T Take()
    {
        T value{};
        const std::size_t n = sizeof(T) <= FSize - FPos ? sizeof(T) : FSize - FPos;
        std::memcpy(&value, FData + FPos, n);
        FPos += n;
        return value;
    }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};
