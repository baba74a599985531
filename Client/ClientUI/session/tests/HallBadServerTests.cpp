// Servers that misbehave after accepting the connection: the login ends in
// the failure text and the session can start again; nothing hangs.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "TestSupport.h"
#include "common/Framing.h"
#include "session/HallConnection.h"
#include "session/HallSession.h"

namespace {

enum class Misbehaviour { CloseMidRecord, Garbage, OversizedLength, UnknownRecord, Silent };

// Accepts one connection, reads what the client sends first, then
// misbehaves and keeps the connection open until it is destroyed.
class BadServer {
  public:
    explicit BadServer(Misbehaviour how) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(fd_, 1);
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this, how] { Serve(how); });
    }
    ~BadServer() {
        stop_ = true;
        shutdown(fd_, SHUT_RDWR);
        close(fd_);
        thread_.join();
    }
    std::uint16_t Port() const { return port_; }

  private:
    void Serve(Misbehaviour how) {
        int c = accept(fd_, nullptr, nullptr);
        if (c < 0)
            return;
        char buf[256];
        (void)!recv(c, buf, sizeof buf, 0);
        std::string reply;
        switch (how) {
            case Misbehaviour::CloseMidRecord:
                reply = EncodeFrame(std::string(30, '\x01')).substr(0, 12);
                break;
            case Misbehaviour::Garbage:
                reply = "\xff\xff\xff\x7fthis is no record";
                break;
            case Misbehaviour::OversizedLength:
                reply = std::string("\x00\x00\x10\x00", 4) + std::string(64, 'x');
                break;
            case Misbehaviour::UnknownRecord:
                // Well framed, but no reply of the hall protocol.
                reply = EncodeFrame(std::string(600, '\0'));
                break;
            case Misbehaviour::Silent:
                break;
        }
        if (!reply.empty())
            (void)!send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
        if (how == Misbehaviour::CloseMidRecord) {
            close(c);
            return;
        }
        // Open until the test ends: only the client may end the wait.
        while (!stop_)
            usleep(10000);
        close(c);
    }

    int fd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct View : IHallSessionView {
    std::vector<std::string> errors;
    std::string AccountText() const override { return "10001"; }
    std::string PasswordText() const override { return "pw"; }
    void ShowLoginError(const std::string& text) override { errors.push_back(text); }
    void CompleteLogin(int) override {}
    void VersionMismatch() override {}
    void LoginAccepted(const THallUser&) override {}
};

}  // namespace

TEST(HallBadServer, EveryMisbehaviourEndsInTheFailureText) {
    UseBuiltProgramFolder();
    for (auto how :
         {Misbehaviour::CloseMidRecord, Misbehaviour::Garbage, Misbehaviour::OversizedLength,
          Misbehaviour::UnknownRecord, Misbehaviour::Silent}) {
        SCOPED_TRACE(static_cast<int>(how));
        BadServer server(how);
        TQueuedApplication app;
        THallConnection connection;
        ASSERT_TRUE(connection.Open(&app));
        connection.Socket()->SetReplyTimeout(300);
        View view;
        THallSession::TEnvironment env;
        env.LoadServers = [&] { return THallServerList{{"127.0.0.1"}, server.Port()}; };
        env.ProgramVersion = 0x01000001;
        THallSession session(view, &connection, env);
        connection.Attach(&session);
        session.LoadServerList();
        session.BeginLogin();
        ASSERT_TRUE(app.Pump([&] { return !session.Busy(); }, std::chrono::milliseconds(5000)));
        ASSERT_EQ(view.errors.size(), 1u);
        EXPECT_EQ(view.errors[0], how == Misbehaviour::Silent ? THallSession::TextTimedOut()
                                                              : THallSession::TextNoServer());
        EXPECT_FALSE(session.LoggedIn());
    }
}
