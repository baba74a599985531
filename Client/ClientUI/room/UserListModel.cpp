// The user list's rules and rows, without widgets.
#include <algorithm>
#include <utility>

#include "common/CodeTables.h"
#include "common/GbkText.h"
#include "room/UserListPanel.h"

namespace {

int LowByte(int role) {
    return role & 0xFF;
}

bool IsStarCode(int star) {
    return star >= 2016 && star <= 2023;
}

// A star counts for the host grades only (levels 2000 to 2099).
bool HostWithStar(int level, int star) {
    return IsStarCode(star) && level / 100 == 20;
}

int LevelSortKey(int level) {
    switch (level) {
        case 1010:
            return 60;
        case 1020:
            return 65;
        case 1022:
            return 49;
        case 1024:
            return 56;
        case 1030:
            return 210;
        case 1040:
            return 220;
        case 1050:
            return 230;
        case 1060:
            return 50;
        case 1070:
            return 57;
        case 1080:
            return 58;
        case 1090:
            return 59;
        case 2010:
            return 70;
        case 2011:
            return 80;
        case 2012:
            return 90;
        case 2013:
            return 100;
        case 2014:
            return 110;
        case 2015:
            return 120;
        case 2025:
            return 150;
        case 2030:
            return 152;
        case 2040:
            return 154;
        case 2500:
            return 165;
        default:
            return 10;
    }
}

int LevelRankImage(int level) {
    if (level >= 2016 && level <= 2023)
        return 107;
    switch (level) {
        case 100:
            return 47;
        case 1010:
            return 59;
        case 1020:
            return 51;
        case 1022:
        case 1060:
            return 79;
        case 1024:
        case 1070:
            return 155;
        case 1030:
            return 55;
        case 1040:
            return 71;
        case 1050:
            return 75;
        case 1080:
            return 159;
        case 1090:
            return 163;
        case 2010:
            return 83;
        case 2011:
            return 87;
        case 2012:
            return 91;
        case 2013:
            return 95;
        case 2014:
            return 99;
        case 2015:
            return 103;
        case 2025:
            return 115;
        case 2030:
            return 111;
        case 2040:
            return 119;
        case 2500:
            return 127;
        default:
            return -1;
    }
}

constexpr int kImageMicBase = 41;  // + mic type; 41 alone is the camera
constexpr int kImageChatBanned = 39;
constexpr int kMaxFace = 38;

bool Privileged(const TRoomUser& u) {
    return IsPrivileged(static_cast<std::uint8_t>(LowByte(u.Role)),
                        static_cast<std::uint16_t>(u.Level));
}

std::string NickCut(const std::string& nick) {
    return nick.substr(0, GbkSafePrefix(nick, kNickNameMaxBytes));
}

// Texts converted to GBK once.
const std::string& CameraText() {
    static const std::string t = Utf8ToGbk("摄像头");
    return t;
}

const std::string& CaptionPrefix(int tab) {
    static const std::array<std::string, 3> t = {Utf8ToGbk("全部/"), Utf8ToGbk("管理/"),
                                                 Utf8ToGbk("麦序/")};
    return t[static_cast<std::size_t>(tab)];
}

// What the search item of a user is made from.
std::string SearchTextOf(const TRoomUser& u) {
    return u.NickName + '\t' + std::to_string(u.UserID);
}

std::string SearchExtraOf(const TRoomUser& u) {
    std::string extra;
    if (u.Mic > 0)
        extra = MicTypeName(u.Mic);
    else if (u.Camera)
        extra = CameraText();
    extra += '\t';
    extra += LevelTitle(static_cast<std::uint8_t>(LowByte(u.Role)),
                        static_cast<std::uint16_t>(u.Level), static_cast<std::uint16_t>(u.Star));
    return extra;
}

}  // namespace

TIconCell TIconCell::Static(int image) {
    const auto i = static_cast<std::int16_t>(image);
    return {i, i, i};
}

TIconCell TIconCell::Animated(int first, int last) {
    return {static_cast<std::int16_t>(first), static_cast<std::int16_t>(last),
            static_cast<std::int16_t>(first)};
}

std::int16_t UserSortKey(int role, int level, int star) {
    int key = LevelSortKey(level);
    if (HostWithStar(level, star) && key < 130)
        key = 130;
    switch (LowByte(role)) {
        case 25:
            key = 165;
            break;
        case 49:
            key = level == 2500 ? 162 : 160;
            break;
        case 50:
            key = 170;
            break;
        case 60:
            key = 20;
            break;
        case 70:
            key = 30;
            break;
        case 100:
            key = 280;
            break;
        case 200:
            key = 270;
            break;
        case 235:
            key = 35;
            break;
        case 255:
            key = 40;
            break;
        default:
            break;
    }
    return static_cast<std::int16_t>(key);
}

bool UserBadge(int role, int level) {
    if (role < 25)
        return false;
    switch (level) {
        case 1022:
        case 1024:
        case 1050:
        case 1060:
        case 1070:
        case 1080:
        case 1090:
            return false;
        default:
            break;
    }
    switch (LowByte(role)) {
        case 49:
        case 50:
        case 70:
        case 100:
        case 200:
        case 255:
            return false;
        default:
            return true;
    }
}

int UserRankImage(int role, int level, int star) {
    int r = LevelRankImage(level);
    if (HostWithStar(level, star))
        r = 107;
    switch (LowByte(role)) {
        case 25:
        case 50:
            r = 127;
            break;
        case 60:
            r = 131;
            break;
        case 70:
            r = 135;
            break;
        case 100:
            r = 143;
            break;
        case 200:
            r = 147;
            break;
        case 235:
            r = 67;
            break;
        case 255:
            r = 139;
            break;
        default:
            break;
    }
    if (level == 2500)
        r = 127;
    if (LowByte(role) == 100)
        r = 143;
    else if (LowByte(role) == 200)
        r = 147;
    return r;
}

TIconCell UserMicCell(const TRoomUser& u) {
    if (u.Mic > 0)
        return TIconCell::Static(kImageMicBase + u.Mic);
    if (u.Camera && !Privileged(u))
        return TIconCell::Static(kImageMicBase);
    return TIconCell::None();
}

std::array<TIconCell, 3> UserCells(const TRoomUser& u) {
    const int r = UserRankImage(u.Role, u.Level, u.Star);
    const TIconCell rank = r >= 0 ? TIconCell::Animated(r, r + 3) : TIconCell::None();
    std::array<TIconCell, 3> cells;
    if (Privileged(u)) {
        cells[0] = TIconCell::None();
        cells[2] = u.ChatBanned ? TIconCell::Static(kImageChatBanned) : rank;
    } else {
        cells[0] = rank;
        const int face = u.Face >= 0 && u.Face <= kMaxFace ? u.Face : 0;
        cells[2] = TIconCell::Static(u.ChatBanned ? kImageChatBanned : face);
    }
    cells[1] = UserMicCell(u);
    if (LowByte(u.Role) == 49)
        cells[2] = TIconCell::Animated(123, 126);
    else if (LowByte(u.Role) == 50)
        cells[2] = TIconCell::Animated(151, 154);
    return cells;
}

bool UserInTab(const TRoomUser& u, int tab) {
    switch (tab) {
        case kTabManagers:
            return u.Role >= 25 && u.Role <= 255;
        case kTabMic:
            return CountsAsOnMic(u.Mic);
        default:
            return true;
    }
}

bool CountsAsUser(const TRoomUser& u) {
    return u.UserID > 0;
}
bool CountsAsManager(int role) {
    return LowByte(role) >= 25;
}
bool CountsAsOnMic(int mic) {
    return mic >= 1 && mic <= 20;
}

std::string UserHintText(const TRoomUser& u, int column) {
    const bool privileged = Privileged(u);
    switch (column) {
        case kColRank:
        case kColFace:
            if (column == kColRank && privileged)
                return {};
            return LevelTitle(static_cast<std::uint8_t>(LowByte(u.Role)),
                              static_cast<std::uint16_t>(u.Level),
                              static_cast<std::uint16_t>(u.Star));
        case kColMic:
            if (privileged)
                return {};
            if (u.Mic > 0)
                return MicTypeName(u.Mic);
            return u.Camera ? CameraText() : std::string();
        case kColNick:
        case kColNumber:
            return u.NickName + "\r(" + std::to_string(u.UserID) + ")";
        default:
            return {};
    }
}

// ---- TUserListModel -------------------------------------------------------

TRoomUser* TUserListModel::AddUser(std::int32_t user, const std::string& nickName, int role,
                                   int level, int star, int mic, int face, bool camera, bool hidden,
                                   bool chatBanned, std::int32_t sealPicture) {
    if (byId_.count(user))
        return nullptr;
    auto rec = std::make_unique<TRoomUser>();
    rec->UserID = user;
    rec->NickName = NickCut(nickName);
    rec->Role = static_cast<std::int16_t>(role);
    rec->Level = static_cast<std::int16_t>(level);
    rec->Star = static_cast<std::int16_t>(star);
    rec->Mic = static_cast<std::int16_t>(mic);
    rec->Face = static_cast<std::int16_t>(face);
    rec->Camera = camera;
    rec->Hidden = hidden;
    rec->ChatBanned = chatBanned;
    rec->SealPicture = sealPicture;
    rec->SortKey = UserSortKey(rec->Role, rec->Level, rec->Star);
    rec->Badge = UserBadge(rec->Role, rec->Level);
    TRoomUser* u = rec.get();
    users_.push_back(std::move(rec));
    byId_.emplace(user, u);
    BuildRow(*u);
    CountUser(*u, +1);
    search_.Append(std::to_string(user), SearchTextOf(*u), SearchExtraOf(*u));
    if (!searchText_.empty())
        Search();
    return u;
}

void TUserListModel::RemoveUser(std::int32_t user) {
    auto it = byId_.find(user);
    if (it == byId_.end())
        return;
    CountUser(*it->second, -1);
    DropRow(user);
    const std::size_t index = IndexOf(*it->second);
    byId_.erase(it);
    search_.RemoveAt(index);
    users_.erase(users_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TUserListModel::ClearUsers() {
    rows_.clear();
    byId_.clear();
    users_.clear();
    search_.Clear();
    allCount_ = managerCount_ = micCount_ = 0;
}

TRoomUser* TUserListModel::FindUser(std::int32_t user) const {
    auto it = byId_.find(user);
    return it == byId_.end() ? nullptr : it->second;
}

int TUserListModel::RowOf(std::int32_t user) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i]->UserID == user)
            return static_cast<int>(i);
    return -1;
}

void TUserListModel::CountUser(const TRoomUser& u, int sign) {
    if (CountsAsUser(u))
        allCount_ += sign;
    if (CountsAsManager(u.Role))
        managerCount_ += sign;
    if (CountsAsOnMic(u.Mic))
        micCount_ += sign;
}

void TUserListModel::BuildRow(TRoomUser& u) {
    u.Cells = UserCells(u);
    if (!UserInTab(u, activeTab_))
        return;
    // Before the first row with a smaller key: equal keys keep their order.
    auto pos = std::partition_point(rows_.begin(), rows_.end(),
                                    [&u](const TRoomUser* r) { return r->SortKey >= u.SortKey; });
    rows_.insert(pos, &u);
}

void TUserListModel::DropRow(std::int32_t user) {
    const int row = RowOf(user);
    if (row >= 0)
        rows_.erase(rows_.begin() + row);
}

void TUserListModel::RebuildRows(bool filtered) {
    rows_.clear();
    std::vector<TRoomUser*> candidates;
    if (filtered) {
        // Item i belongs to users_[i].
        for (std::size_t i : search_.SearchIndexes(searchText_))
            if (i < users_.size())
                candidates.push_back(users_[i].get());
    } else {
        candidates.reserve(users_.size());
        for (const auto& u : users_)
            candidates.push_back(u.get());
    }
    // Every change to a record rebuilds its cells at once, so they are
    // current here; only the animation goes on from where it was.
    for (TRoomUser* u : candidates)
        if (UserInTab(*u, activeTab_))
            rows_.push_back(u);
    std::stable_sort(rows_.begin(), rows_.end(), [](const TRoomUser* a, const TRoomUser* b) {
        return a->SortKey > b->SortKey;
    });
}

void TUserListModel::SetActiveTab(int tab) {
    activeTab_ = tab >= kTabAll && tab <= kTabMic ? tab : kTabAll;
    RebuildRows(false);
}

void TUserListModel::SetUserMic(std::int32_t user, int mic) {
    TRoomUser* u = FindUser(user);
    if (!u)
        return;
    micCount_ += int(CountsAsOnMic(mic)) - int(CountsAsOnMic(u->Mic));
    u->Mic = static_cast<std::int16_t>(mic);
    u->Cells[1] = UserMicCell(*u);
    UpdateSearchItem(*u);
}

void TUserListModel::SetUserRole(std::int32_t user, int role) {
    TRoomUser* u = FindUser(user);
    if (!u)
        return;
    managerCount_ += int(CountsAsManager(role)) - int(CountsAsManager(u->Role));
    u->Role = static_cast<std::int16_t>(role);
    UpdateSearchItem(*u);
    u->SortKey = UserSortKey(u->Role, u->Level, u->Star);
    u->Badge = UserBadge(u->Role, u->Level);
    DropRow(user);
    BuildRow(*u);
}

void TUserListModel::SetUserNameFace(std::int32_t user, const std::string& nickName, int face) {
    TRoomUser* u = FindUser(user);
    if (!u)
        return;
    u->NickName = NickCut(nickName);
    u->Face = static_cast<std::int16_t>(face);
    UpdateSearchItem(*u);
    DropRow(user);
    BuildRow(*u);
}

void TUserListModel::SetUserBanChat(std::int32_t user, bool banned) {
    TRoomUser* u = FindUser(user);
    if (!u)
        return;
    u->ChatBanned = banned;
    DropRow(user);
    BuildRow(*u);
}

void TUserListModel::SetUserSeal(std::int32_t user, std::int32_t sealPicture) {
    if (TRoomUser* u = FindUser(user))
        u->SealPicture = sealPicture;
}

void TUserListModel::ResetCityRanks() {
    // SetUserRole moves rows, never records, so the walk over users_ holds.
    for (const auto& u : users_)
        if (u->Role == 100 || u->Role == 200)
            SetUserRole(u->UserID, u->Level / 100);
}

std::string TUserListModel::TabCaption(int tab) const {
    switch (tab) {
        case kTabManagers:
            return CaptionPrefix(tab) + std::to_string(managerCount_);
        case kTabMic:
            return CaptionPrefix(tab) + std::to_string(micCount_);
        default:
            return CaptionPrefix(kTabAll) + std::to_string(allCount_);
    }
}

std::size_t TUserListModel::IndexOf(const TRoomUser& u) const {
    for (std::size_t i = 0; i < users_.size(); ++i)
        if (users_[i].get() == &u)
            return i;
    return users_.size();
}

void TUserListModel::UpdateSearchItem(const TRoomUser& u) {
    search_.UpdateAt(IndexOf(u), SearchTextOf(u), SearchExtraOf(u));
}

void TUserListModel::Search() {
    // The items follow every change as it happens (see UpdateSearchItem), so
    // they are as a rebuild would make them.
    if (searchText_.empty()) {
        activeTab_ = kTabAll;
        RebuildRows(false);
    } else {
        RebuildRows(true);
    }
}

void TUserListModel::Tick() {
    for (TRoomUser* u : rows_)
        for (TIconCell& c : u->Cells)
            c.Advance();
}
