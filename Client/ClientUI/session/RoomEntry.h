// What a lobby navigation to a "room:" address leads to: the open-room check,
// the room allowance, the hidden-entry and password prompts, then the room.
// The prompts and windows are behind IRoomEntryUi so tests drive the rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "session/RoomAddress.h"

class IRoomEntryUi {
  public:
    virtual ~IRoomEntryUi() = default;
    // Restores and raises the open room window of this id; false when none.
    virtual bool BringRoomToFront(std::int32_t roomId) = 0;
    virtual int OpenRoomCount() = 0;
    // Message box with caption "提示" and the information icon.
    virtual void ShowInfo(const std::string& text) = 0;
    // The hidden-entry prompt: its modal result (1 = enter hidden) and
    // whether "下次不提示" was ticked.
    virtual int AskHidden(bool& dontAskAgain) = 0;
    // The room password box; nothing when cancelled.
    virtual std::optional<std::string> AskRoomPassword() = 0;
    virtual void OpenRoom(const TRoomCommand& room, bool hidden, const std::string& password) = 0;
    virtual void Log(const std::string& text) = 0;
};

class TRoomEntry {
  public:
    // Handles one navigation. Returns true when the address is a room
    // command (the navigation is then cancelled), false for every other
    // address, which navigates normally.
    bool Navigate(std::string_view address, std::uint16_t role, std::uint16_t level,
                  IRoomEntryUi& ui);

    bool HiddenEntry() const { return hiddenEntry_; }
    bool DontAskHidden() const { return dontAskHidden_; }
    const std::string& RoomPassword() const { return roomPassword_; }

  private:
    bool hiddenEntry_ = false;
    bool dontAskHidden_ = false;
    std::string roomPassword_;
};
