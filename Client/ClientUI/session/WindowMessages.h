// Windows that receive posted messages by a 32-bit handle, as the outside
// modules address them (DownloadInf.h).
#pragma once

#include <cstdint>
#include <functional>

using TWindowMessageHandler =
    std::function<void(std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam)>;

// Registers a receiver for as long as the object lives. Handles are never
// reused, so a message posted to a closed window is dropped, not delivered
// to a newer one.
class TMessageWindow {
  public:
    explicit TMessageWindow(TWindowMessageHandler handler);
    ~TMessageWindow();
    TMessageWindow(const TMessageWindow&) = delete;
    TMessageWindow& operator=(const TMessageWindow&) = delete;

    std::uint32_t Handle() const { return handle_; }

  private:
    std::uint32_t handle_;
};

// Any thread: queues the message for the UI thread. False when no window
// has this handle at posting time.
bool PostWindowMessage(std::uint32_t window, std::uint32_t message, std::intptr_t wParam,
                       std::intptr_t lParam);

extern "C" bool ChatRoomPostWindowMessage(std::uint32_t window, std::uint32_t message,
                                          std::intptr_t wParam, std::intptr_t lParam);
