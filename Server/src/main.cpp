// ChatRoomServer: the reference service. Runs until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <iostream>

#include "ChatServer.h"

int main(int argc, char** argv) {
    ServerConfig config;
    if (auto error = ParseServerArgs(argc, argv, config)) {
        std::cerr << *error;
        return error->rfind("usage:", 0) == 0 ? 0 : 2;
    }
    ChatServer server(config, true);
    std::string error;
    if (!server.Start(&error)) {
        std::cerr << "ChatRoomServer: " << error << "\n";
        return 1;
    }
    asio::signal_set signals(server.Io(), SIGINT, SIGTERM);
    signals.async_wait([&](const asio::error_code& ec, int) {
        if (!ec)
            server.Stop();
    });
    std::signal(SIGPIPE, SIG_IGN);
    server.Run();
    return 0;
}
