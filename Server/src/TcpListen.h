// Opening a listening TCP socket, shared by the hall and the room service.
#pragma once

#include <asio.hpp>

#include <cstdint>
#include <string>

enum class ListenFault { None, BadAddress, Socket };

// Opens `acceptor` on host:port with address reuse and the system's backlog.
// On a Socket fault `error` holds the system's reason.
ListenFault OpenListener(asio::ip::tcp::acceptor& acceptor, const std::string& host,
                         std::uint16_t port, asio::error_code& error);
