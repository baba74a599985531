// The floating video windows of the private mics the user watches: ten
// slots, each empty or holding one frame, placed in a grid over the room
// window's client area.
#pragma once

#include <QPointer>
#include <array>
#include <cstdint>
#include <string>

#include "av/AVShowFrame.h"

class TPriMicMng {
  public:
    static constexpr int kSlotCount = 10;

    TPriMicMng() = default;
    ~TPriMicMng();
    TPriMicMng(const TPriMicMng&) = delete;
    TPriMicMng& operator=(const TPriMicMng&) = delete;

    // The size every floating frame gets (that of the first fixed frame).
    void SetFrameSize(int width, int height) {
        frameWidth_ = width;
        frameHeight_ = height;
    }

    // The first empty slot takes the frame (the manager then owns it) and its
    // number comes back; -1 when the user has a frame already or every slot
    // is taken, and the frame stays the caller's.
    int AddWindow(std::int32_t user, TframeAVShow* frame);
    // Empties the user's slot, clears the frame and destroys it once control
    // is back in the event loop (it may be inside its own close button's
    // click). Nothing when the user has no frame.
    void CloseWindow(std::int32_t user);
    void RenameWindow(std::int32_t user, const std::string& nickName);
    void CloseAll();

    TframeAVShow* FindWindow(std::int32_t user) const;
    TframeAVShow* Slot(int slot) const;
    int Count() const;

    int SlotLeft(int slot) const { return 248 + (slot % 3) * frameWidth_; }
    int SlotTop(int slot) const { return 105 + (slot / 3) * frameHeight_; }

  private:
    struct TSlot {
        std::int32_t User = 0;
        QPointer<TframeAVShow> Frame;
    };
    int SlotOf(std::int32_t user) const;
    void Release(TSlot& slot);

    std::array<TSlot, kSlotCount> slots_{};
    int frameWidth_ = 250;
    int frameHeight_ = 210;
};
