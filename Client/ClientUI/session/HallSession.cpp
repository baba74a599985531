#include "session/HallSession.h"

#include <sys/stat.h>

#include "common/Cipher.h"
#include "common/GbkText.h"
#include "common/HallProtocol.h"
#include "common/IniFile.h"
#include "common/NetUtils.h"
#include "common/TextUtils.h"
#include "session/ClientSocketInf.h"
#include "session/RoomAddress.h"

namespace {

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A value that is present must be a whole number; an absent one takes the
// default.
std::optional<std::int64_t> ReadNumber(const IniFile& ini, std::string_view key, std::int64_t def) {
    if (!ini.ValueExists("server", key))
        return def;
    return ParseDecimal(TrimBlanks(ini.ReadString("server", key, "")));
}

}  // namespace

std::optional<THallServerList> LoadHallServerList(const std::string& path,
                                                  std::uint32_t (*resolve)(std::string_view)) {
    if (!FileExists(path))
        return std::nullopt;
    IniFile ini(path);
    auto count = ReadNumber(ini, "ServerCount", 0);
    auto port = ReadNumber(ini, "ServerPort", 7400);
    if (!count || *count < 0 || !port || *port < 1 || *port > 65535)
        return std::nullopt;
    THallServerList list;
    list.Port = static_cast<std::uint16_t>(*port);
    for (std::int64_t i = 1; i <= *count && i <= 1000; ++i) {
        std::string host = TrimBlanks(ini.ReadString("server", "Server" + std::to_string(i), ""));
        if (host.empty())
            continue;
        if (std::uint32_t address = resolve(host))
            list.Addresses.push_back(IpToText(address));
    }
    return list;
}

THallSession::THallSession(IHallSessionView& view, IHallTransport* transport, TEnvironment env)
    : view_(view), transport_(transport), env_(std::move(env)) {
    if (!env_.Resolve)
        env_.Resolve = &ResolveHost;
}

bool THallSession::LoadServerList() {
    hallServers_.clear();
    auto list = env_.LoadServers ? env_.LoadServers() : std::nullopt;
    if (!list)
        return false;
    hallServers_ = std::move(list->Addresses);
    serverPort_ = list->Port;
    return true;
}

void THallSession::BeginLogin() {
    if (Busy())
        return;
    loginRequested_ = 1;
    if (hallServers_.empty())
        LoadServerList();
    if (hallServers_.empty() || !transport_) {
        Fail(TextNoServer());
        return;
    }
    ConnectFirst();
}

void THallSession::ConnectFirst() {
    stage_ = TStage::Connecting;
    transport_->Connect(hallServers_.front(), serverPort_);
}

void THallSession::Fail(const std::string& text) {
    stage_ = TStage::Idle;
    view_.ShowLoginError(text);
}

void THallSession::OnConnected(long error) {
    if (stage_ != TStage::Connecting)
        return;
    if (error != 0) {
        if (!hallServers_.empty())
            hallServers_.erase(hallServers_.begin());
        if (!hallServers_.empty())
            ConnectFirst();
        else
            Fail(TextTimedOut());
        return;
    }
    std::int32_t number = ParseAccountNumber(TrimBlanks(view_.AccountText())).value_or(0);
    auto request = MakeRouteRequest(env_.Resolve(hallServers_.front()), serverPort_, number);
    stage_ = TStage::Routing;
    transport_->Send(RecordBytes(request));
}

void THallSession::OnReceive(std::string_view record) {
    auto code = HallRecordCode(record);
    if (code == kHallVersionReply && stage_ == TStage::Routing)
        OnVersionReply(record);
    else if (code == kHallLoginReply && stage_ == TStage::LoggingIn)
        OnLoginReply(record);
    else if (stage_ == TStage::Routing || stage_ == TStage::LoggingIn)
        // Any record stops the socket's reply timer, so a server that answers
        // with something else would keep the login waiting for good.
        Fail(TextNoServer());
    // Records nobody waits for are ignored.
}

void THallSession::OnVersionReply(std::string_view record) {
    if (loginRequested_ == 0 || stage_ != TStage::Routing)
        return;
    auto reply = DecodeVersionReply(record);
    if (!reply) {
        Fail(TextNoServer());
        return;
    }
    sessionValue_ = reply->SessionValue.Get();
    auto required = static_cast<std::uint32_t>(reply->RequiredVersion.Get());
    if (env_.ProgramVersion && *env_.ProgramVersion == required) {
        std::string password = view_.PasswordText();
        auto request = MakeLoginRequest(view_.AccountText(), Md5Hex(password), password,
                                        env_.MacAddress ? env_.MacAddress() : std::string(),
                                        env_.TickCount ? env_.TickCount() : 0);
        stage_ = TStage::LoggingIn;
        transport_->Send(RecordBytes(request));
        return;
    }
    stage_ = TStage::Idle;
    view_.CompleteLogin(1);
    view_.VersionMismatch();
}

void THallSession::OnLoginReply(std::string_view record) {
    if (stage_ != TStage::LoggingIn)
        return;
    auto reply = DecodeLoginReply(record);
    if (!reply) {
        Fail(TextNoServer());
        return;
    }
    stage_ = TStage::Idle;
    if (std::string error = reply->ErrorText.Get(); !error.empty()) {
        view_.ShowLoginError(error);
        return;
    }
    view_.CompleteLogin(0);
    THallUser user;
    user.UserNumber = reply->UserNumber.Get();
    user.NickName = reply->NickName.Get();
    user.Face = reply->Face.Get();
    user.GiftPoints = reply->GiftPoints.Get();
    user.Gold = reply->Gold.Get();
    user.Role = static_cast<std::uint16_t>(reply->Role.Get());
    user.Level = static_cast<std::uint16_t>(reply->Level.Get());
    user.Star = static_cast<std::uint16_t>(reply->Star.Get());
    user.LineType = static_cast<std::uint16_t>(reply->LineType.Get());
    user_ = user;
    loggedIn_ = true;
    // A login retried after a refused lock brings the same servers again.
    roomServers_.clear();
    for (const auto& entry : reply->RoomServers) {
        if (auto server = ParseRoomServerEntry(entry.Get(), env_.Resolve))
            AddRoomServer(roomServers_, *server, user.LineType);
    }
    view_.LoginAccepted(user_);
}

void THallSession::OnClosed(long reason) {
    if (stage_ == TStage::Idle || stage_ == TStage::Connecting)
        return;
    Fail(reason == kSocketTimedOut ? TextTimedOut() : TextNoServer());
}

#define GBK_TEXT(name, utf8)                             \
    const std::string& THallSession::name() {            \
        static const std::string text = Utf8ToGbk(utf8); \
        return text;                                     \
    }
GBK_TEXT(TextNoServer, "连接服务器失败！")
GBK_TEXT(TextTimedOut, "与服务器连接超时！请检查网络状况！")
GBK_TEXT(TextDamagedInstall, "安装文件被损坏，请重新下载安装！")
#undef GBK_TEXT
