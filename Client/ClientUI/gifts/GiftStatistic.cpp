#include "gifts/GiftStatistic.h"

#include "common/GbkText.h"

void TGiftStatistic::Add(const TGiftStatRecord& entry, bool received) {
    std::vector<TGiftStatRecord>& list = received ? received_ : sent_;
    for (TGiftStatRecord& r : list) {
        if (r.GiftID == entry.GiftID && r.PeerID == entry.PeerID) {
            // Sums wrap rather than overflow: the figures are only shown.
            r.Count = static_cast<std::int32_t>(static_cast<std::uint32_t>(r.Count) +
                                                static_cast<std::uint32_t>(entry.Count));
            r.Cost = static_cast<std::int32_t>(static_cast<std::uint32_t>(r.Cost) +
                                               static_cast<std::uint32_t>(entry.Cost));
            r.Gain = static_cast<std::int32_t>(static_cast<std::uint32_t>(r.Gain) +
                                               static_cast<std::uint32_t>(entry.Gain));
            return;
        }
    }
    TGiftStatRecord copy = entry;
    copy.PeerNick.resize(GbkSafePrefix(copy.PeerNick, 31));
    copy.GiftName.resize(GbkSafePrefix(copy.GiftName, 30));
    list.push_back(std::move(copy));
}

int TGiftStatistic::Count(bool received) const {
    return static_cast<int>((received ? received_ : sent_).size());
}

const TGiftStatRecord* TGiftStatistic::Item(int index, bool received) const {
    const std::vector<TGiftStatRecord>& list = received ? received_ : sent_;
    if (index < 0 || index >= static_cast<int>(list.size())) {
        return nullptr;
    }
    return &list[static_cast<std::size_t>(index)];
}
