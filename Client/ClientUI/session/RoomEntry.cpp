#include "session/RoomEntry.h"

#include "session/HallRules.h"

bool TRoomEntry::Navigate(std::string_view address, std::uint16_t role, std::uint16_t level,
                          IRoomEntryUi& ui) {
    roomPassword_.clear();
    auto parsed = ParseRoomAddress(address);
    if (!parsed.IsRoomScheme)
        return false;
    if (!parsed.Command) {
        ui.Log(parsed.Error);
        return true;
    }
    const TRoomCommand& room = *parsed.Command;
    if (ui.BringRoomToFront(room.RoomId))
        return true;
    if (!RoomAllowed(level, role, ui.OpenRoomCount())) {
        ui.ShowInfo(RoomLimitMessage(role));
        return true;
    }
    const bool privileged = HasHiddenRight(role, level);
    hiddenEntry_ = false;
    if (room.HiddenGiven) {
        hiddenEntry_ = room.Hidden;
    } else if (privileged) {
        if (dontAskHidden_) {
            hiddenEntry_ = true;
        } else {
            bool dontAsk = false;
            if (ui.AskHidden(dontAsk) == 1) {
                hiddenEntry_ = true;
                if (dontAsk)
                    dontAskHidden_ = true;
            }
        }
    }
    if (room.HasPassword && !privileged) {
        auto answer = ui.AskRoomPassword();
        if (!answer || answer->empty())
            return true;
        roomPassword_ = *answer;
    }
    ui.OpenRoom(room, hiddenEntry_, roomPassword_);
    return true;
}
