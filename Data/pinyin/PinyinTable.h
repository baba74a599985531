// The toneless pinyin syllable of every GBK double-byte code. The data is
// generated (PinyinTable.cpp, see README.txt beside this file).
#pragma once

#include <cstdint>

inline constexpr int kPinyinLeadFirst = 0x81;
inline constexpr int kPinyinLeadCount = 0xFE - 0x81 + 1;
inline constexpr int kPinyinTrailFirst = 0x40;
inline constexpr int kPinyinTrailsPerLead = 0xFE - 0x40 + 1;

// Alphabetical, lower case, "v" for u-umlaut; entry 0 is the empty text.
extern const int kPinyinSyllableCount;
extern const char* const kPinyinSyllables[];
// Leads 0x81..0xFE by trails 0x40..0xFE; 0 = no syllable.
extern const std::uint16_t kPinyinCodes[kPinyinLeadCount * kPinyinTrailsPerLead];

// The syllable of the pair, or nullptr when the pair has none.
inline const char* PinyinSyllableOf(unsigned char lead, unsigned char trail) {
    if (lead < kPinyinLeadFirst || lead > 0xFE || trail < kPinyinTrailFirst || trail > 0xFE)
        return nullptr;
    const std::uint16_t n = kPinyinCodes[(lead - kPinyinLeadFirst) * kPinyinTrailsPerLead +
                                         (trail - kPinyinTrailFirst)];
    return n == 0 || n > kPinyinSyllableCount ? nullptr : kPinyinSyllables[n];
}
