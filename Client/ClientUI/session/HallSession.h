// The hall's side of the login, free of any window: walking the hall server
// list, the route and version exchange, the login request and the login
// reply. The hall window owns one and forwards the socket callbacks to it;
// tests drive it with a fake connection and a fake view.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "session/HallRules.h"

// The hall server list of "loginsl.dat" after resolving: dotted addresses of
// the servers that resolved, in file order.
struct THallServerList {
    std::vector<std::string> Addresses;
    std::uint16_t Port = 7400;
};

// Reads and resolves the list. Nothing when the file is missing or its
// "server" section is malformed (count or port present but not a number, a
// negative count, a port outside 1-65535). An entry that does not resolve is
// skipped.
std::optional<THallServerList> LoadHallServerList(const std::string& path,
                                                  std::uint32_t (*resolve)(std::string_view));

// What the login reply says about the user.
struct THallUser {
    std::int32_t UserNumber = 0;
    std::string NickName;  // GBK
    std::int16_t Face = 0;
    std::int32_t GiftPoints = 0;
    std::int32_t Gold = 0;
    std::uint16_t Role = 0;
    std::uint16_t Level = 0;
    std::uint16_t Star = 0;
    std::uint16_t LineType = 0;
};

class IHallTransport {
  public:
    virtual ~IHallTransport() = default;
    // Starts connecting; the outcome comes back through OnConnected.
    virtual void Connect(const std::string& host, std::uint16_t port) = 0;
    virtual void Send(std::string_view record) = 0;
};

// The login window and the hall's own reactions, as the session sees them.
class IHallSessionView {
  public:
    virtual ~IHallSessionView() = default;
    virtual std::string AccountText() const = 0;   // as typed
    virtual std::string PasswordText() const = 0;  // plain
    virtual void ShowLoginError(const std::string& text) = 0;
    // 0 = the server accepted the login, 1 = the client is too old.
    virtual void CompleteLogin(int outcome) = 0;
    // The hall asks the update question and ends the program.
    virtual void VersionMismatch() = 0;
    // The hall shows the lobby and the user's data.
    virtual void LoginAccepted(const THallUser& user) = 0;
};

class THallSession {
  public:
    struct TEnvironment {
        // Reloads the hall server list; nothing when the file is damaged.
        std::function<std::optional<THallServerList>()> LoadServers;
        std::uint32_t (*Resolve)(std::string_view) = nullptr;
        std::optional<std::uint32_t> ProgramVersion;  // nothing: unreadable, never matches
        std::function<std::string()> MacAddress;
        std::function<std::int32_t()> TickCount;
    };

    // `transport` may be null: the socket module could not be loaded.
    THallSession(IHallSessionView& view, IHallTransport* transport, TEnvironment env);

    // Loads the list as at creation; false when the file is damaged (the
    // hall shows "安装文件被损坏，请重新下载安装！").
    bool LoadServerList();
    void BeginLogin();

    // Socket callbacks.
    void OnConnected(long error);
    void OnReceive(std::string_view record);
    // An established connection ended (server closed, garbled stream, or no
    // reply in time).
    void OnClosed(long reason);

    // The room servers of the login reply and the user's data.
    const std::vector<TRoomServer>& RoomServers() const { return roomServers_; }
    const THallUser& User() const { return user_; }
    bool LoggedIn() const { return loggedIn_; }
    const std::vector<std::string>& HallServers() const { return hallServers_; }
    std::uint16_t ServerPort() const { return serverPort_; }
    // Waiting for the server's part of the exchange (a connection, a version
    // reply or a login reply).
    bool Busy() const { return stage_ != TStage::Idle; }

    // GBK message texts of the session.
    static const std::string& TextNoServer();  // "连接服务器失败！"
    static const std::string& TextTimedOut();  // "与服务器连接超时！请检查网络状况！"
    static const std::string& TextDamagedInstall();  // "安装文件被损坏，请重新下载安装！"

  private:
    enum class TStage { Idle, Connecting, Routing, LoggingIn };

    void ConnectFirst();
    void OnVersionReply(std::string_view record);
    void OnLoginReply(std::string_view record);
    void Fail(const std::string& text);

    IHallSessionView& view_;
    IHallTransport* transport_;
    TEnvironment env_;
    std::vector<std::string> hallServers_;
    std::uint16_t serverPort_ = 7400;
    std::uint16_t loginRequested_ = 0;
    TStage stage_ = TStage::Idle;
    bool loggedIn_ = false;
    std::int32_t sessionValue_ = 0;
    THallUser user_;
    std::vector<TRoomServer> roomServers_;
};
