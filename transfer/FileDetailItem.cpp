#include "transfer/FileDetailItem.h"

#include <stdexcept>

TFileDetailItem* TFileDetailItems::Add()
{
    return FItems.emplace_back(std::make_unique<TFileDetailItem>()).get();
}

TFileDetailItem* TFileDetailItems::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw std::out_of_range("TFileDetailItems::Insert: index out of range");
    return FItems.insert(FItems.begin() + Index, std::make_unique<TFileDetailItem>())->get();
}

TFileDetailItem* TFileDetailItems::GetItem(int Index) const
{
    return FItems.at(static_cast<std::size_t>(Index)).get();
}

void TFileDetailItems::SetItem(int Index, const TFileDetailItem& Value)
{
    *GetItem(Index) = Value;
}

void TFileDetailItems::Delete(int Index)
{
    GetItem(Index); // range check
    FItems.erase(FItems.begin() + Index);
}
