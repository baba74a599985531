// Who may do what in a room. Every rule takes the ranks the service itself
// holds for the users (never what a client claims): `role` is the effective
// role, the higher of the account's role and the user's rank in the room
// (owner 50, deputy 49, room manager 30, temporary manager 29).
#pragma once

#include <cstdint>

namespace roomsvc::rules {

inline bool IsMember(int level) {
    return level > 1009;
}
// Member grades of the 10xx family at or above `grade`.
inline bool IsMemberGrade(int level, int grade) {
    return level >= grade && level / 100 == 10;
}
inline bool IsStarLevel(int level) {
    return level >= 2016 && level <= 2023;
}

// The ranks the hall lets past room passwords and offers hidden entry.
inline bool IsPrivileged(int role, int level) {
    return role == 255 || role == 235 || role == 70 || (role == 10 && level >= 1050);
}
inline bool MayPassPassword(int role, int level) {
    return role >= 49 || IsPrivileged(role, level);
}
inline bool MayEnterHidden(int role, int level) {
    return IsPrivileged(role, level);
}
inline bool MayEnterClosed(int role) {
    return role >= 49;
}
inline bool SeesHidden(int role) {
    return role == 235 || role == 255;
}

// Nobody acts on a user of the same or a higher rank.
inline bool Outranks(int actor, int target) {
    return actor > target;
}

inline bool MayPunish(int mode, int role, int level, int targetRole) {
    if (!Outranks(role, targetRole))
        return false;
    switch (mode) {
        case 1:
            return role >= 29;
        case 2:
        case 4:
            return role >= 49 || (role >= 29 && IsMemberGrade(level, 1060));
        case 3:
            return role >= 235;
        default:
            return false;
    }
}
inline bool MayBanChat(int role, int targetRole) {
    return role >= 29 && Outranks(role, targetRole);
}
inline bool MayAddTempManager(int role, int targetRole) {
    return role >= 30 && targetRole < 29;
}
inline bool MayRemoveTempManager(int role, int targetRole) {
    return role >= 30 && targetRole == 29;
}
// `ownerOrDeputy`: the owner or one of the first two deputies of the room.
inline bool MayAddRoomManager(int role, bool ownerOrDeputy, int targetRole) {
    int low = role & 0xFF;
    bool may = low == 49 || low == 50 || low == 235 || low == 255 || ownerOrDeputy;
    return may && targetRole < 30;
}
inline bool MayCancelPublicMic(int role) {
    return role >= 30;
}
inline bool MayCancelPrivateMic(int role, int level) {
    return role >= 49 || IsMemberGrade(level, 1050) || IsStarLevel(level);
}
inline bool MayInvite(int kind, int role, int level) {
    if (kind == 1)
        return role >= 30;
    if (kind == 3)
        return role >= 49 || IsMemberGrade(level, 1050);
    return false;
}
inline bool MayQueryDetails(int role) {
    return role >= 235;
}
inline bool MayQueryIp(int role, int level) {
    return role > 49 || IsMemberGrade(level, 1060);
}
inline bool MayEditRoom(int role) {
    return role == 49 || role == 50 || role >= 235;
}
inline bool MaySendRoomNotice(int role, bool roomAllows) {
    return role >= 30 && (roomAllows || role >= 235);
}
inline bool MaySendSystemNotice(int role) {
    return role >= 235;
}
inline bool MayShake(int role) {
    return role > 9;
}
inline bool MayQueuePublicMic(int role, bool freeMic) {
    return freeMic || role >= 29;
}
inline bool MayOpenPrivateMic(int role, int level, bool freeMic) {
    return freeMic || role >= 29 || IsMember(level);
}
// Type 2 is open to all, type 3 to members and managers; type 4 asks the holder.
inline bool MayWatchWithoutConsent(int micType, int role, int level) {
    if (micType == 2)
        return true;
    if (micType == 3)
        return IsMember(level) || role >= 29;
    return false;
}
inline bool MayHorn(int level) {
    return IsMember(level);
}
inline bool MayDice(int level, bool roomAllows) {
    return roomAllows && IsMember(level);
}

}  // namespace roomsvc::rules
