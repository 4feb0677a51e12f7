#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// One entry of an FTP directory listing.
class TFileDetailItem {
public:
    static constexpr std::uint32_t DirectoryAttribute = 0x10;

    std::uint32_t FileAttributes = 0;
    QString Filename;
    std::uint32_t FileSizeLow = 0;
    std::uint32_t FileSizeHigh = 0;
    // Last-write time: 100-nanosecond intervals since 1601-01-01 UTC.
    std::uint64_t FileDate = 0;

    std::int64_t FileSize() const
    {
        return static_cast<std::int64_t>((std::uint64_t(FileSizeHigh) << 32) | FileSizeLow);
    }
    bool IsDirectory() const { return (FileAttributes & DirectoryAttribute) != 0; }
};

// The listing: entries in the server's order.
class TFileDetailItems {
public:
    TFileDetailItem* Add();
    TFileDetailItem* Insert(int Index);
    TFileDetailItem* GetItem(int Index) const;
    void SetItem(int Index, const TFileDetailItem& Value);
    TFileDetailItem* operator[](int Index) const { return GetItem(Index); }

    int Count() const { return static_cast<int>(FItems.size()); }
    void Clear() { FItems.clear(); }
    void Delete(int Index);

private:
    std::vector<std::unique_ptr<TFileDetailItem>> FItems;
};
