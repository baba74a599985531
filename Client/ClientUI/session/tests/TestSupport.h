// Shared pieces of the session tests: the built program folder, an
// application object whose posted tasks the test runs itself, and a Qt
// application for the parts that post through Qt.
#pragma once

#include <unistd.h>

#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "common/ModuleApi.h"
#include "foundation/Globals.h"
#include "session/WebBrowser.h"

inline void UseBuiltProgramFolder() {
    AppDir = std::string(CHATROOM_TEST_APP_DIR) + "/";
}

// Tasks posted by a module from any thread wait until Pump runs them.
class TQueuedApplication : public IApplication {
  public:
    void Post(std::function<void()> task) override {
        std::lock_guard guard(lock_);
        tasks_.push_back(std::move(task));
    }
    // Runs posted tasks until `done` holds or the time is up.
    bool Pump(const std::function<bool()>& done,
              std::chrono::milliseconds limit = std::chrono::milliseconds(10000)) {
        auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::function<void()> task;
            {
                std::lock_guard guard(lock_);
                if (!tasks_.empty()) {
                    task = std::move(tasks_.front());
                    tasks_.pop_front();
                }
            }
            if (task)
                task();
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

  private:
    std::mutex lock_;
    std::deque<std::function<void()>> tasks_;
};

// The one Qt application of the test process, made on first use and
// destroyed when the tests end (not by exit handlers: the browser engine's
// clean-up needs the thread data that is gone by then).
QApplication& TestQtApp();

// Processes Qt events until `done` holds or the time is up.
inline bool PumpQt(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::milliseconds(10000)) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // Outside a running loop windows closed with WA_DeleteOnClose would
        // wait for one.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
