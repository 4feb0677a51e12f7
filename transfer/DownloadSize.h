#pragma once

#include <cstdint>

// The sizes a job allows the file it downloads: exactly Expected bytes, and no more than Max
// bytes; -1 leaves either open. A body that goes on past what is allowed is read one byte
// beyond it and no further, so the byte too many is seen without more of the body.
struct TDownloadSize {
    std::int64_t Expected = -1;
    std::int64_t Max = -1;

    // The most bytes the file may have; -1 for no limit.
    std::int64_t Limit() const;
    // Whether a file of Size bytes is what the job allows.
    bool Fits(std::int64_t Size) const;
    // Whether a file a server announces as Size bytes may be it; an unknown size (below 0) may.
    bool MayBe(std::int64_t Size) const;
    // How many bytes the next read may ask for when Done bytes are there, at most Block: 0
    // once one byte more than the limit is there.
    std::int64_t NextRead(std::int64_t Done, std::int64_t Block) const;
};
