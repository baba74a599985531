// What the generated pictures show, and at which index or name: the single
// list that the generator, the sheet and the data checks share.
#pragma once

#include <QString>
#include <vector>

#include "Art.h"

namespace designs {

// Frames of the 16 x 16 user image list that precede the rank animations
// ("UserLevel"); the rank animations ("UserOrder") follow as index 47 on.
inline constexpr int kHeadCount = 39;  // indexes 0-38, also the "UserHead" pictures
inline constexpr int kChatBannedIndex = 39;
inline constexpr int kCameraIndex = 41;  // 41 + mic type for mic holders (1-4)
inline constexpr int kLevelFrames = 47;  // frames of "UserLevel"
inline constexpr int kFirstRank = 47;    // first frame of "UserOrder"
inline constexpr int kRankCount = 30;    // four-frame animations 47-166
inline constexpr int kRankFrames = 4;

// Artwork code of user head picture i (0-38).
const std::vector<QString>& HeadArt();

// Artwork of frames 39-46 of "UserLevel".
struct MarkIcon {
    int Index;
    QString Art;
    QString Overlay;  // small second picture in the lower right, or empty
    QString Title;    // what the icon means (for the sheet and the legend)
};
const std::vector<MarkIcon>& MarkIcons();

// The rank animation that starts at frame `FirstFrame` of the user image list.
struct Rank {
    int FirstFrame;
    art::BadgeStyle Style;
    QString Title;
};
const std::vector<Rank>& Ranks();
const Rank* RankAt(int firstFrame);

// Badge GIFs of the "Dat\" folder: role and level codes and the rank they show.
struct DatBadge {
    int Code;
    int RankFrame;  // a Ranks() entry, or -1 for a badge of its own
    art::BadgeStyle Own;
    QString Title;
};
const std::vector<DatBadge>& DatBadges();

// "MicroType" (16 x 16, menu and mic pictures) and "HallNavigation" (42 x 41).
struct Icon {
    QString Art;
    QString Overlay;
    QString Title;
};
const std::vector<Icon>& MicroIcons();
const std::vector<Icon>& NavigationIcons();

}  // namespace designs
