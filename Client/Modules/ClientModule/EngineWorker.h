// The one network thread the module's engines share: an Asio io_context that
// is started with the first engine and lives as long as the process (the
// module is never unloaded), so sockets and timers owned by engines, or by
// tasks still queued for the UI thread, are always destroyed while their
// io_context exists.
#pragma once

#include <asio.hpp>

namespace engine {

asio::io_context& EngineIo();

}  // namespace engine
