// The download dialog's figures, free of any widget.
#pragma once

#include <cstdint>
#include <string>

class TDownloadProgress {
  public:
    // Message 6579: the total size. Resets the speed reference.
    void SetTotal(std::int64_t bytes);
    // Message 6578: bytes received so far; returns the gauge value 0-100.
    int SetReceived(std::int64_t bytes);
    // One speed tick (every second): KB received since the previous tick.
    std::int64_t Tick();

    std::int64_t TotalKB() const { return total_ / 1000; }
    // The gauge: received KB over total KB in per cent. Files below 1000
    // bytes have no whole KB, so their percentage is taken over bytes.
    int Percent() const;
    // "<percent>% 正在下载" (GBK).
    std::string ProgressText() const;

  private:
    std::int64_t total_ = 0;
    std::int64_t received_ = 0;
    std::int64_t lastTick_ = 0;
};
