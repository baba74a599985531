// The service in-process on free loopback ports with a fresh data folder, and
// a blocking hall client with time-outs for driving it.
#pragma once

#include <gtest/gtest.h>
#include <asio.hpp>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "ChatServer.h"
#include "common/Framing.h"
#include "common/HallProtocol.h"

inline std::filesystem::path FreshDataDir(const std::string& tag) {
    auto dir = std::filesystem::temp_directory_path() /
               ("chatroom-" + tag + "-" + std::to_string(::getpid()) + "-" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::remove_all(dir);
    return dir;
}

class TestServer {
  public:
    explicit TestServer(std::function<void(ServerConfig&)> adjust = {},
                        std::filesystem::path dir = {}) {
        dir_ = dir.empty() ? FreshDataDir("srv") : dir;
        ServerConfig c;
        c.dataDir = dir_.string();
        c.hallPort = c.webPort = c.roomPort = 0;
        c.passwordIterations = 1000;  // tests need no slow hashes
        if (adjust)
            adjust(c);
        server_ = std::make_unique<ChatServer>(c);
        std::string error;
        ok_ = server_->Start(&error);
        EXPECT_TRUE(ok_) << error;
        if (ok_)
            thread_ = std::thread([this] { server_->Run(); });
    }
    ~TestServer() {
        Shutdown();
        if (removeDir_)
            std::filesystem::remove_all(dir_);
    }
    void Shutdown() {
        if (!server_)
            return;
        server_->Stop();
        if (thread_.joinable())
            thread_.join();
        server_.reset();
    }
    void KeepDir() { removeDir_ = false; }

    ChatServer& operator*() { return *server_; }
    ChatServer* operator->() { return server_.get(); }
    const std::filesystem::path& Dir() const { return dir_; }
    bool Ok() const { return ok_; }

  private:
    std::filesystem::path dir_;
    std::unique_ptr<ChatServer> server_;
    std::thread thread_;
    bool ok_ = false;
    bool removeDir_ = true;
};

// Blocking hall connection; every wait ends after `timeout`.
class HallClient {
  public:
    explicit HallClient(std::uint16_t port,
                        std::chrono::milliseconds timeout = std::chrono::milliseconds(3000))
        : socket_(io_), timeout_(timeout) {
        asio::error_code ec;
        socket_.connect({asio::ip::make_address("127.0.0.1"), port}, ec);
        connected_ = !ec;
    }
    bool Connected() const { return connected_; }

    void SendRaw(std::string_view bytes) {
        asio::error_code ec;
        asio::write(socket_, asio::buffer(bytes.data(), bytes.size()), ec);
    }
    void Send(std::string_view record) { SendRaw(EncodeFrame(record)); }

    // The next record, or nothing when the connection ended or time ran out.
    std::optional<std::string> Receive() {
        FrameDecoder& d = decoder_;
        auto deadline = std::chrono::steady_clock::now() + timeout_;
        while (true) {
            if (auto r = d.Next())
                return r;
            if (!ReadSome(deadline))
                return std::nullopt;
            d.Feed(buf_, got_);
        }
    }

    // True when the service closes the connection before the time-out.
    bool ClosedByPeer() {
        auto deadline = std::chrono::steady_clock::now() + timeout_;
        while (ReadSome(deadline)) {
        }
        return eof_;
    }

    std::optional<THallLoginReply> Login(std::string_view account, std::string_view password);

  private:
    // Reads once; false on end of stream, error or time-out.
    bool ReadSome(std::chrono::steady_clock::time_point deadline) {
        got_ = 0;
        bool done = false;
        asio::error_code result;
        socket_.async_read_some(asio::buffer(buf_), [&](const asio::error_code& ec, std::size_t n) {
            result = ec;
            got_ = n;
            done = true;
        });
        io_.restart();
        io_.run_until(deadline);
        if (!done) {
            socket_.cancel();
            io_.restart();
            io_.run();
            return false;
        }
        if (result) {
            eof_ = result == asio::error::eof || result == asio::error::connection_reset;
            return false;
        }
        return true;
    }

    asio::io_context io_;
    asio::ip::tcp::socket socket_;
    std::chrono::milliseconds timeout_;
    FrameDecoder decoder_{1 << 20};
    char buf_[4096];
    std::size_t got_ = 0;
    bool connected_ = false;
    bool eof_ = false;
};

#include "common/Cipher.h"

// The plain-password field stays empty: the service must not need it.
inline std::optional<THallLoginReply> HallClient::Login(std::string_view account,
                                                        std::string_view password) {
    Send(RecordBytes(MakeLoginRequest(account, Md5Hex(password), "", "", 0)));
    auto r = Receive();
    if (!r)
        return std::nullopt;
    return DecodeLoginReply(*r);
}
