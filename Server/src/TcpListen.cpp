#include "TcpListen.h"

ListenFault OpenListener(asio::ip::tcp::acceptor& acceptor, const std::string& host,
                         std::uint16_t port, asio::error_code& error) {
    auto address = asio::ip::make_address(host, error);
    if (error)
        return ListenFault::BadAddress;
    asio::ip::tcp::endpoint endpoint(address, port);
    acceptor.open(endpoint.protocol(), error);
    if (!error)
        acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true), error);
    if (!error)
        acceptor.bind(endpoint, error);
    if (!error)
        acceptor.listen(asio::socket_base::max_listen_connections, error);
    return error ? ListenFault::Socket : ListenFault::None;
}
