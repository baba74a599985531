// The gifts the user gave and received during one stay in a room, merged by
// gift and by the other user. The room window owns one for its whole life
// and hands it to the hall when it closes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TGiftStatRecord {
    std::int32_t PeerID = 0;  // the receiver of a sent gift, the giver of a received one
    std::string PeerNick;     // GBK, at most 31 bytes
    std::int32_t GiftID = 0;
    std::int32_t GiftKind = 0;  // 3 and 5: the receiver gains gold, else points
    std::string GiftName;       // GBK, at most 30 bytes
    std::int32_t Count = 0;
    std::int32_t Cost = 0;
    std::int32_t Gain = 0;
};

class TGiftStatistic {
  public:
    // Adds to the entry of the same gift and peer in the chosen list, or
    // appends a copy (names cut to their field sizes).
    void Add(const TGiftStatRecord& entry, bool received);
    int Count(bool received) const;
    // Null past the end.
    const TGiftStatRecord* Item(int index, bool received) const;
    bool Empty() const { return received_.empty() && sent_.empty(); }

  private:
    std::vector<TGiftStatRecord> received_;
    std::vector<TGiftStatRecord> sent_;
};
