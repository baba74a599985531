#include "session/WindowMessages.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct TRegistry {
    std::mutex lock;  // posts come from the service's threads
    std::uint32_t next = 1;
    std::map<std::uint32_t, std::shared_ptr<TWindowMessageHandler>> windows;
};

TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}

}  // namespace

TMessageWindow::TMessageWindow(TWindowMessageHandler handler) {
    auto& r = Registry();
    std::lock_guard guard(r.lock);
    handle_ = r.next++;
    r.windows[handle_] = std::make_shared<TWindowMessageHandler>(std::move(handler));
}

TMessageWindow::~TMessageWindow() {
    auto& r = Registry();
    std::lock_guard guard(r.lock);
    r.windows.erase(handle_);
}

bool PostWindowMessage(std::uint32_t window, std::uint32_t message, std::intptr_t wParam,
                       std::intptr_t lParam) {
    {
        auto& r = Registry();
        std::lock_guard guard(r.lock);
        if (!r.windows.count(window))
            return false;
    }
    auto* app = QCoreApplication::instance();
    if (!app)
        return false;
    QMetaObject::invokeMethod(
        app,
        [window, message, wParam, lParam] {
            std::shared_ptr<TWindowMessageHandler> handler;
            {
                auto& r = Registry();
                std::lock_guard guard(r.lock);
                auto it = r.windows.find(window);
                if (it == r.windows.end())
                    return;
                handler = it->second;
            }
            (*handler)(message, wParam, lParam);
        },
        Qt::QueuedConnection);
    return true;
}

extern "C" __attribute__((visibility("default"))) bool ChatRoomPostWindowMessage(
    std::uint32_t window, std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam) {
    return PostWindowMessage(window, message, wParam, lParam);
}
