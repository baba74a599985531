#include "session/DownloadProgress.h"

#include <algorithm>

#include "common/GbkText.h"

void TDownloadProgress::SetTotal(std::int64_t bytes) {
    total_ = std::max<std::int64_t>(bytes, 0);
    lastTick_ = 0;
}

int TDownloadProgress::SetReceived(std::int64_t bytes) {
    received_ = std::max<std::int64_t>(bytes, 0);
    return Percent();
}

std::int64_t TDownloadProgress::Tick() {
    std::int64_t speed = (received_ - lastTick_) / 1000;
    lastTick_ = received_;
    return speed;
}

int TDownloadProgress::Percent() const {
    std::int64_t percent = 0;
    if (total_ / 1000 > 0)
        percent = (received_ / 1000) * 100 / (total_ / 1000);
    else if (total_ > 0)
        percent = received_ * 100 / total_;
    return static_cast<int>(std::clamp<std::int64_t>(percent, 0, 100));
}

std::string TDownloadProgress::ProgressText() const {
    static const std::string suffix = Utf8ToGbk("% 正在下载");
    return std::to_string(Percent()) + suffix;
}
