#include "room/PriMicMngClass.h"

TPriMicMng::~TPriMicMng() {
    CloseAll();
}

int TPriMicMng::SlotOf(std::int32_t user) const {
    for (int i = 0; i < kSlotCount; ++i) {
        if (slots_[i].Frame && slots_[i].User == user) {
            return i;
        }
    }
    return -1;
}

int TPriMicMng::AddWindow(std::int32_t user, TframeAVShow* frame) {
    if (frame == nullptr || SlotOf(user) >= 0) {
        return -1;
    }
    // With every slot taken the new frame is refused rather than put over a
    // frame that would then play on with nobody able to close it.
    for (int i = 0; i < kSlotCount; ++i) {
        if (!slots_[i].Frame) {
            slots_[i].User = user;
            slots_[i].Frame = frame;
            return i;
        }
    }
    return -1;
}

void TPriMicMng::Release(TSlot& slot) {
    TframeAVShow* frame = slot.Frame;
    slot.Frame = nullptr;
    slot.User = 0;
    if (frame != nullptr) {
        frame->ClearShow();
        frame->hide();
        frame->deleteLater();
    }
}

void TPriMicMng::CloseWindow(std::int32_t user) {
    const int slot = SlotOf(user);
    if (slot >= 0) {
        Release(slots_[slot]);
    }
}

void TPriMicMng::RenameWindow(std::int32_t user, const std::string& nickName) {
    if (TframeAVShow* frame = FindWindow(user)) {
        frame->SetShownNick(nickName);
    }
}

void TPriMicMng::CloseAll() {
    for (TSlot& slot : slots_) {
        Release(slot);
    }
}

TframeAVShow* TPriMicMng::FindWindow(std::int32_t user) const {
    const int slot = SlotOf(user);
    return slot >= 0 ? slots_[slot].Frame.data() : nullptr;
}

TframeAVShow* TPriMicMng::Slot(int slot) const {
    return slot >= 0 && slot < kSlotCount ? slots_[slot].Frame.data() : nullptr;
}

int TPriMicMng::Count() const {
    int n = 0;
    for (const TSlot& slot : slots_) {
        if (slot.Frame)
            ++n;
    }
    return n;
}
