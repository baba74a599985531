#include "EngineWorker.h"

#include <thread>

namespace engine {

asio::io_context& EngineIo() {
    struct Worker {
        asio::io_context io;
        asio::executor_work_guard<asio::io_context::executor_type> guard{asio::make_work_guard(io)};
        Worker() {
            std::thread([this] { io.run(); }).detach();
        }
    };
    // Deliberately never destroyed: see the header.
    static Worker* worker = new Worker();
    return worker->io;
}

}  // namespace engine
