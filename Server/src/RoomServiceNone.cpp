// Stand-in while the room service is not built in: a weak definition, so the
// one in Server/src/room/ replaces it without any build change.
#include "RoomServicePlugin.h"

__attribute__((weak)) std::unique_ptr<IRoomService> CreateRoomService(asio::io_context&, Database&,
                                                                      const ServerConfig&) {
    return nullptr;
}
