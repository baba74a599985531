// The hall's connection: the socket module's socket as the session's
// transport, and the session as the socket's sink. The hall window owns one;
// tests use it against the real service.
#pragma once

#include <memory>

#include "session/ClientSocketHelper.h"
#include "session/HallSession.h"

class THallConnection final : public IHallTransport {
  public:
    THallConnection();
    ~THallConnection() override;
    THallConnection(const THallConnection&) = delete;
    THallConnection& operator=(const THallConnection&) = delete;

    // Loads the socket module with the application object the module posts
    // its callbacks through. False when the module cannot be loaded.
    bool Open(IApplication* application);
    bool IsOpen() const { return helper_.Socket != nullptr; }
    // Where the callbacks go from now on (null: nowhere).
    void Attach(THallSession* session) { session_ = session; }
    // Closes the socket and unloads the module; no callback runs afterwards.
    void Close();

    // The module's socket (null when not open), for its time-out settings.
    IClientSocket* Socket() const { return helper_.Socket; }

    void Connect(const std::string& host, std::uint16_t port) override;
    void Send(std::string_view record) override;

  private:
    class TSink;
    std::unique_ptr<TSink> sink_;
    TClientSocketHelper helper_;
    THallSession* session_ = nullptr;
};
