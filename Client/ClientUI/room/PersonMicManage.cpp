#include "room/PersonMicManage.h"

#include <algorithm>

#include "common/GbkText.h"

void TPersonMicManage::AddViewer(const TPrivateMicViewer& viewer) {
    if (Find(viewer.UserID) != nullptr) {
        return;
    }
    TPrivateMicViewer copy = viewer;
    copy.NickName.resize(GbkSafePrefix(copy.NickName, 31));
    viewers_.push_back(std::move(copy));
}

void TPersonMicManage::RemoveViewer(std::int32_t user) {
    std::erase_if(viewers_, [user](const TPrivateMicViewer& v) { return v.UserID == user; });
}

const TPrivateMicViewer* TPersonMicManage::Find(std::int32_t user) const {
    auto it = std::find_if(viewers_.begin(), viewers_.end(),
                           [user](const TPrivateMicViewer& v) { return v.UserID == user; });
    return it == viewers_.end() ? nullptr : &*it;
}
