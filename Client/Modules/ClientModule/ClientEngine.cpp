// The chat engine: IClientEngine over the room protocol.
//
// Two sides share one Core. The network side (socket, framing, write queue)
// runs only on the module's worker thread; the room side (records, sink,
// connection generation) only on the UI thread, reached through PostToUi.
// Every network event carries the generation of the connection it belongs to,
// so events of a connection that was left, replaced or closed are dropped.
#include <dlfcn.h>

#include <asio.hpp>
#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EngineLines.h"
#include "EngineWorker.h"
#include "ModuleApplication.h"
#include "common/Framing.h"
#include "common/GbkText.h"
#include "common/RoomProtocol.h"
#include "engine/ClientEngineInf.h"

#define CHATROOM_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace engine {

namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

std::atomic<std::uint16_t> roomPort{room::kDefaultPort};
constexpr auto kConnectTimeout = std::chrono::seconds(5);
constexpr auto kPingInterval = std::chrono::seconds(15);
constexpr auto kSilenceLimit = std::chrono::seconds(45);

#define GBK(utf8)                                             \
    ([]() -> const std::string& {                             \
        static const std::string converted = Utf8ToGbk(utf8); \
        return converted;                                     \
    }())

std::string ModuleDir() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleDir), &info) && info.dli_fname) {
        std::string path = info.dli_fname;
        auto slash = path.rfind('/');
        if (slash != std::string::npos)
            return path.substr(0, slash + 1);
    }
    return "./";
}

const PictureFolders& Folders() {
    static const PictureFolders folders = PictureFolders::Under(ModuleDir());
    return folders;
}

std::string Str(const char* text) {
    return text ? std::string(text) : std::string();
}

class Core;

// What the network side hands the room side: records read from a connection,
// or another event as a task.
struct UiItem {
    std::shared_ptr<Core> core;
    std::uint64_t gen = 0;
    std::vector<std::string> records;
    std::function<void(Core&)> task;
};

// One queue from the worker thread to the UI thread for all engines: a burst
// of reads on many connections costs one post to the UI thread, not one each.
// Items keep the order they were handed over in.
class UiMailbox {
  public:
    void Put(UiItem item) {
        bool first;
        {
            std::lock_guard lock(mutex_);
            first = items_.empty();
            items_.push_back(std::move(item));
        }
        if (first && !PostToUi([this] { Drain(); })) {
            // No UI thread to take them (start-up or shutdown): dropped.
            std::lock_guard lock(mutex_);
            items_.clear();
        }
    }

  private:
    void Drain();

    std::mutex mutex_;
    std::vector<UiItem> items_;
};

UiMailbox& Mailbox() {
    // Deliberately never destroyed, like the worker whose posts it carries.
    static UiMailbox* mailbox = new UiMailbox();
    return *mailbox;
}

class Core : public std::enable_shared_from_this<Core> {
  public:
    Core() : io_(EngineIo()) { std::memset(&me_, 0, sizeof me_); }

    // ---- Room side (UI thread) ------------------------------------------

    void FromNet(const UiItem& item) {
        if (item.task) {
            item.task(*this);
            return;
        }
        for (const auto& r : item.records)
            OnNetRecord(item.gen, r);
    }

    IClientViewSink* sink = nullptr;
    std::vector<std::uint32_t> servers;
    TMyInfo me_;
    TRoomInfo info_{};
    TRoomTexts texts_{};

    void EnterRoom(const room::EnterReq& req) {
        if (closed_)
            return;
        ++gen_;
        entered_ = false;
        roomId_ = req.roomId;
        std::memset(&me_, 0, sizeof me_);
        me_.UserID.Set(req.userId);
        auto frame = std::make_shared<std::string>(EncodeFrame(room::Encode(req)));
        asio::post(io_,
                   [self = shared_from_this(), gen = gen_, list = servers, port = roomPort.load(),
                    frame] { self->NetStart(gen, list, port, frame); });
    }

    template <typename T>
    void Send(const T& record) {
        if (closed_ || !entered_)
            return;
        auto frame = std::make_shared<std::string>(EncodeFrame(room::Encode(record)));
        asio::post(io_,
                   [self = shared_from_this(), gen = gen_, frame] { self->NetSend(gen, frame); });
    }

    void Leave() {
        if (entered_)
            Send(room::LeaveReq{});
        entered_ = false;
        DropConnection();
    }

    void Close() {
        if (closed_)
            return;
        Leave();
        closed_ = true;
        sink = nullptr;
    }

  private:
    // Ends the current connection once what was queued has been written; its
    // later events are stale.
    void DropConnection() {
        asio::post(io_, [self = shared_from_this(), gen = gen_] { self->NetClose(gen, true); });
        ++gen_;
    }

    void Lost(const std::string& text) {
        DropConnection();
        bool wasIn = entered_;
        entered_ = false;
        if (!sink)
            return;
        if (wasIn)
            sink->OnDisconnected(text.c_str(), 1);
        else
            sink->OnEnterFailed(text.c_str());
    }

    void OnNetRecord(std::uint64_t gen, const std::string& record) {
        if (closed_ || gen != gen_)
            return;
        if (!room::Dispatch(room::ServiceRecords{}, record, [this](const auto& r) { Handle(r); })) {
            Lost(GBK("收到无法识别的数据，与房间服务器的连接已断开。"));
        }
    }

    void OnNetLost(std::uint64_t gen, const std::string& text) {
        if (closed_ || gen != gen_)
            return;
        Lost(text);
    }

    // Lines of a kind the user masks are not built at all (a room full of
    // arrivals makes many of them).
    static constexpr std::int32_t kMaskUserEL = 2;
    bool Masked(std::int32_t maskKind) { return sink && sink->IsMasked(maskKind) != 0; }

    bool IsMe(std::int32_t id) const { return id != 0 && id == me_.UserID.Get(); }
    void Line(const std::string& html, bool isPublic, std::uint16_t kind) {
        if (sink)
            sink->OnMessage(html.c_str(), isPublic ? 1 : 0, kind);
    }

    void Handle(const room::EnterOkMsg& m) {
        if (entered_)
            return;
        entered_ = true;
        roomId_ = m.roomId;
        me_ = m.me;
        info_ = m.info;
        texts_ = m.texts;
        if (sink) {
            std::string name = info_.RoomName.Get();
            sink->OnRoomEntered(name.c_str(), 0, roomId_, me_.Gold.Get(), me_.GiftPoints.Get(),
                                static_cast<std::uint16_t>(me_.Role.Get()), 0);
        }
    }
    void Handle(const room::EnterFailedMsg& m) {
        DropConnection();
        entered_ = false;
        if (sink)
            sink->OnEnterFailed(m.text.c_str());
    }
    void Handle(const room::PongMsg&) {}
    void Handle(const room::ClosedMsg& m) {
        DropConnection();
        entered_ = false;
        if (sink)
            sink->OnDisconnected(m.text.c_str(), 0);
    }
    void Handle(const room::UserEnterMsg& m) {
        if (!sink)
            return;
        sink->OnUserEnter(m.userId, m.nick.c_str(), static_cast<std::uint16_t>(m.face), m.role,
                          m.level, m.star, m.mic, m.camera, m.hidden, m.chatBanned, m.seal);
        if (m.announce && sink && !Masked(kMaskUserEL))
            Line(EnterLine({m.userId, m.nick, m.role, m.level, m.seal}, Folders()), true, 3);
    }
    void Handle(const room::UserLeaveMsg& m) {
        if (!sink)
            return;
        sink->OnUserLeave(m.userId);
        if (m.announce && sink && !Masked(kMaskUserEL))
            Line(LeaveLine(m.userId, m.nick), true, 3);
    }
    void Handle(const room::UserMicMsg& m) {
        if (IsMe(m.userId))
            me_.MyMic.Set(m.mic);
        if (sink)
            sink->OnUserMic(m.userId, 0, 0, 0, m.mic);
        if (m.mic >= 2 && m.mic <= 4 && !IsMe(m.userId))
            Line(PrivateMicLine(m.userId, m.nick, m.mic), true, 0);
    }
    void Handle(const room::UserRoleMsg& m) {
        if (IsMe(m.userId))
            me_.Role.Set(static_cast<std::int16_t>(m.role));
        if (sink)
            sink->OnUserRole(m.userId, m.role);
    }
    void Handle(const room::UserChangedMsg& m) {
        if (IsMe(m.userId)) {
            me_.NickName.Set(m.nick);
            me_.Face.Set(m.face);
        }
        if (sink)
            sink->OnUserChanged(m.userId, m.nick.c_str(), static_cast<std::uint16_t>(m.face));
    }
    void Handle(const room::UserBanChatMsg& m) {
        if (IsMe(m.userId))
            me_.ChatBanned = m.banned;
        if (sink)
            sink->OnUserBanChat(m.userId, 0, m.banned);
    }
    void Handle(const room::ChatLineMsg& m) {
        if (!sink)
            return;
        const std::string& body = m.body;
        if (body.rfind("\\ColorWord", 0) == 0) {
            std::string toNick = m.to.userId == 0 ? GBK("大家") : m.to.nick;
            sink->OnColorWord(m.from.nick.c_str(), toNick.c_str(), body.c_str(), m.from.userId,
                              m.to.userId, m.from.role, m.from.level, m.to.role, m.to.level,
                              m.from.seal, m.to.seal);
        } else {
            LineUser from{m.from.userId, m.from.nick, m.from.role, m.from.level, m.from.seal};
            LineUser to{m.to.userId, m.to.nick, m.to.role, m.to.level, m.to.seal};
            std::string html = ChatLine(from, to, m.whisper, m.autoReply, body, Folders());
            if (m.whisper)
                Line(html, false, 2);
            else
                Line(html, true, 1);
        }
        // Auto replies never trigger another auto reply, so two users who
        // both have one switched on do not answer each other for ever.
        if (sink && IsMe(m.to.userId) && !IsMe(m.from.userId) && !m.autoReply)
            sink->OnChatToMe(m.from.userId, m.from.nick.c_str(), 0);
    }
    void Handle(const room::NoticeMsg& m) { Line(SystemLine(m.text), m.isPublic, 0); }
    void Handle(const room::HornMsg& m) {
        if (!sink)
            return;
        std::string html =
            HornLine(m.userId, m.nick, m.world, m.world ? m.roomId : 0, m.body, Folders());
        sink->OnHorn(html.c_str());
    }
    void Handle(const room::RollingTipMsg& m) {
        if (sink)
            sink->OnRollingTip(room::SanitizeBody(m.html).c_str(), m.kind);
    }
    void Handle(const room::RoomNoteMsg& m) {
        if (sink)
            sink->OnRoomNote(m.html.c_str());
    }
    void Handle(const room::ShakeMsg& m) {
        if (!sink)
            return;
        sink->OnShake();
        Line(ShakeLine(m.userId, m.nick), false, 0);
    }
    void Handle(const room::DiceMsg& m) { Line(DiceLine(m.userId, m.nick, m.value), true, 0); }
    void Handle(const room::RoomNoticeLineMsg& m) {
        if (!sink)
            return;
        std::string body = ExpandEmotionCodes(room::SanitizeBody(m.body), Folders());
        sink->OnRollingTip(body.c_str(), 0);
        Line(RoomNoticeLine(m.userId, m.nick, m.body, Folders()), true, 0);
    }
    void Handle(const room::SystemNoticeLineMsg& m) {
        Line(SystemNoticeLine(m.body, Folders()), true, 0);
    }
    void Handle(const room::GreetingMsg& m) { Line(GreetingLine(m.text), false, 0); }
    void Handle(const room::VideoOpenMsg& m) {
        if (!sink)
            return;
        if (IsMe(m.userId))
            me_.MyMic.Set(m.mic);
        sink->OnVideoOpen(IsMe(m.userId) ? 1 : 0, m.userId, m.nick.c_str(), m.role, m.level, m.mic,
                          m.frame, static_cast<std::int32_t>(m.address1),
                          static_cast<std::int32_t>(m.address2), m.port);
    }
    void Handle(const room::VideoCloseMsg& m) {
        if (sink)
            sink->OnVideoClose(m.userId, m.frame);
    }
    void Handle(const room::PrivateMicCutMsg& m) {
        if (sink)
            sink->OnPrivateMicCut(m.userId, m.nick.c_str());
    }
    void Handle(const room::PrivateMicViewerMsg& m) {
        if (sink)
            sink->OnPrivateMicViewer(m.userId, m.nick.c_str(), m.level, m.second, m.op);
    }
    void Handle(const room::MicConsentAskMsg& m) { Line(ConsentLine(m.userId, m.nick), false, 0); }
    void Handle(const room::UserDetailsMsg& m) {
        if (sink)
            sink->OnUserDetails(m.userId, m.points, m.gold, static_cast<std::int32_t>(m.ip));
    }
    void Handle(const room::BalanceMsg& m) {
        me_.Gold.Set(m.gold);
        me_.GiftPoints.Set(m.points);
        if (sink)
            sink->OnBalance(m.gold, m.points);
    }
    void Handle(const room::RoomSettingsMsg& m) {
        std::string before = info_.RoomName.Get();
        info_ = m.info;
        texts_ = m.texts;
        std::string after = info_.RoomName.Get();
        if (sink && after != before)
            sink->OnRoomName(roomId_, after.c_str());
    }
    void Handle(const room::RankResetMsg&) {
        if (sink)
            sink->OnRankReset();
    }
    void Handle(const room::MyInfoMsg& m) {
        std::int32_t id = me_.UserID.Get();
        me_ = m.me;
        me_.UserID.Set(id);
    }

    // ---- Network side (worker thread) -----------------------------------

    void PostUi(std::function<void(Core&)> task) {
        Mailbox().Put({shared_from_this(), 0, {}, std::move(task)});
    }

    void NetStart(std::uint64_t gen, std::vector<std::uint32_t> list, std::uint16_t port,
                  std::shared_ptr<std::string> enterFrame) {
        NetClose(netGen_, false);
        netGen_ = gen;
        candidates_ = std::move(list);
        port_ = port;
        enterFrame_ = std::move(enterFrame);
        TryServer(0);
    }

    void TryServer(std::size_t index) {
        if (index >= candidates_.size()) {
            std::uint64_t gen = netGen_;
            PostUi([gen](Core& c) { c.OnNetLost(gen, GBK("无法连接到房间服务器。")); });
            return;
        }
        socket_ = std::make_unique<tcp::socket>(io_);
        decoder_ = std::make_unique<FrameDecoder>(room::kMaxRecord);
        outq_.clear();
        writing_ = false;
        closeAfterFlush_ = false;
        timer_ = std::make_unique<asio::steady_timer>(io_);
        timer_->expires_after(kConnectTimeout);
        std::uint64_t gen = netGen_;
        timer_->async_wait([self = shared_from_this(), gen](const asio::error_code& ec) {
            if (!ec && gen == self->netGen_ && self->socket_ && !self->connected_)
                self->socket_->close();
        });
        connected_ = false;
        // Addresses arrive in network byte order, as they lie in memory.
        asio::ip::address_v4::bytes_type bytes;
        std::memcpy(bytes.data(), &candidates_[index], 4);
        tcp::endpoint endpoint(asio::ip::address_v4(bytes), port_);
        socket_->async_connect(endpoint,
                               [self = shared_from_this(), gen, index](const asio::error_code& ec) {
                                   if (gen != self->netGen_)
                                       return;
                                   if (ec) {
                                       self->TryServer(index + 1);
                                       return;
                                   }
                                   self->connected_ = true;
                                   asio::error_code ignored;
                                   self->socket_->set_option(tcp::no_delay(true), ignored);
                                   self->lastHeard_ = Clock::now();
                                   self->outq_.push_back(self->enterFrame_);
                                   self->Flush();
                                   self->Read();
                                   self->Tick();
                               });
    }

    void Tick() {
        timer_->expires_after(kPingInterval);
        std::uint64_t gen = netGen_;
        timer_->async_wait([self = shared_from_this(), gen](const asio::error_code& ec) {
            if (ec || gen != self->netGen_ || !self->socket_)
                return;
            if (Clock::now() - self->lastHeard_ > kSilenceLimit) {
                self->NetFail(GBK("房间服务器没有响应，连接已断开。"));
                return;
            }
            self->outq_.push_back(
                std::make_shared<std::string>(EncodeFrame(room::Encode(room::PingReq{}))));
            self->Flush();
            self->Tick();
        });
    }

    void Read() {
        std::uint64_t gen = netGen_;
        socket_->async_read_some(
            asio::buffer(buffer_),
            [self = shared_from_this(), gen](const asio::error_code& ec, std::size_t n) {
                if (gen != self->netGen_ || !self->socket_)
                    return;
                if (ec) {
                    self->NetFail(GBK("与房间服务器的连接已断开。"));
                    return;
                }
                self->lastHeard_ = Clock::now();
                if (!self->decoder_->Feed(self->buffer_.data(), n)) {
                    self->NetFail(GBK("收到无法识别的数据，与房间服务器的连接已断开。"));
                    return;
                }
                // One item per read, however many records it completed.
                std::vector<std::string> records;
                while (auto record = self->decoder_->Next())
                    records.push_back(std::move(*record));
                if (!records.empty())
                    Mailbox().Put({self, gen, std::move(records), {}});
                self->Read();
            });
    }

    void NetFail(const std::string& text) {
        std::uint64_t gen = netGen_;
        NetClose(gen, false);
        PostUi([gen, text](Core& c) { c.OnNetLost(gen, text); });
    }

    void NetSend(std::uint64_t gen, std::shared_ptr<std::string> frame) {
        if (gen != netGen_ || !socket_ || closeAfterFlush_)
            return;
        outq_.push_back(std::move(frame));
        if (connected_)
            Flush();
    }

    void Flush() {
        if (writing_ || outq_.empty() || !socket_)
            return;
        writing_ = true;
        std::vector<asio::const_buffer> buffers;
        std::size_t count = std::min<std::size_t>(outq_.size(), 64);
        for (std::size_t i = 0; i < count; ++i)
            buffers.push_back(asio::buffer(*outq_[i]));
        std::uint64_t gen = netGen_;
        asio::async_write(
            *socket_, buffers,
            [self = shared_from_this(), gen, count](const asio::error_code& ec, std::size_t) {
                if (gen != self->netGen_ || !self->socket_)
                    return;
                self->writing_ = false;
                if (ec) {
                    self->NetFail(GBK("与房间服务器的连接已断开。"));
                    return;
                }
                self->outq_.erase(self->outq_.begin(),
                                  self->outq_.begin() + static_cast<long>(count));
                if (!self->outq_.empty())
                    self->Flush();
                else if (self->closeAfterFlush_)
                    self->NetClose(gen, false);
            });
    }

    void NetClose(std::uint64_t gen, bool afterFlush) {
        if (gen != netGen_ || !socket_)
            return;
        if (afterFlush && connected_ && (writing_ || !outq_.empty())) {
            closeAfterFlush_ = true;
            return;
        }
        asio::error_code ignored;
        socket_->shutdown(tcp::socket::shutdown_both, ignored);
        socket_->close(ignored);
        if (timer_)
            timer_->cancel();
        // Handlers still queued see a new generation and stop.
        ++netGen_;
        socket_.reset();
        outq_.clear();
        writing_ = false;
    }

    asio::io_context& io_;
    // Room side.
    bool closed_ = false;
    bool entered_ = false;
    std::uint64_t gen_ = 0;
    std::int32_t roomId_ = 0;
    // Network side.
    std::uint64_t netGen_ = 0;
    std::vector<std::uint32_t> candidates_;
    std::uint16_t port_ = room::kDefaultPort;
    std::shared_ptr<std::string> enterFrame_;
    std::unique_ptr<tcp::socket> socket_;
    std::unique_ptr<asio::steady_timer> timer_;
    std::unique_ptr<FrameDecoder> decoder_;
    std::deque<std::shared_ptr<std::string>> outq_;
    std::array<char, 8192> buffer_{};
    bool writing_ = false;
    bool connected_ = false;
    bool closeAfterFlush_ = false;
    Clock::time_point lastHeard_{};
};

void UiMailbox::Drain() {
    // A local batch: a sink may run a nested event loop that drains again.
    std::vector<UiItem> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(items_);
    }
    for (const UiItem& item : batch)
        item.core->FromNet(item);
}

// The object handed out by CreateClientEngine; the room holds one reference.
class EngineObject final : public IClientEngine {
  public:
    EngineObject() : core_(std::make_shared<Core>()) {}

    long QueryInterface(const TGuid& iid, void** object) override {
        static constexpr TGuid kUnknown = {0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
        if (object == nullptr)
            return kE_NOINTERFACE;
        if (iid == IID_IClientEngine || iid == kUnknown) {
            AddRef();
            *object = static_cast<IClientEngine*>(this);
            return kS_OK;
        }
        *object = nullptr;
        return kE_NOINTERFACE;
    }
    unsigned long AddRef() override { return ++refs_; }
    unsigned long Release() override {
        unsigned long left = --refs_;
        if (left == 0) {
            core_->Close();
            delete this;
        }
        return left;
    }

    void SetViewSink(IClientViewSink* sink) override { core_->sink = sink; }
    void AddServer(std::uint32_t address) override { core_->servers.push_back(address); }
    void ClearServers() override { core_->servers.clear(); }
    void EnterRoom(std::int32_t roomId, std::int32_t userId, const char* roomPassword,
                   const char* passwordDigest, std::uint16_t hallValue, std::int32_t hidden,
                   std::int32_t enterCount) override {
        room::EnterReq req;
        req.roomId = roomId;
        req.userId = userId;
        req.roomPassword = Str(roomPassword);
        req.passwordDigest = Str(passwordDigest);
        req.hallValue = hallValue;
        req.hidden = hidden ? 1 : 0;
        req.enterCount = enterCount;
        core_->EnterRoom(req);
    }
    void LeaveRoom() override { core_->Leave(); }
    void RequestMic(std::int32_t micType) override {
        core_->Send(room::RequestMicReq{static_cast<std::int16_t>(micType)});
    }
    void InviteToMic(std::int32_t kind, std::int32_t userId) override {
        core_->Send(room::InviteToMicReq{static_cast<std::uint8_t>(kind), userId});
    }
    void ReleaseMic() override { core_->Send(room::ReleaseMicReq{}); }
    void CancelMic(std::int32_t userId) override { core_->Send(room::CancelMicReq{userId}); }
    void Reserved12() override {}
    void SendChat(std::int32_t toUserId, const char* toNick, std::int32_t isPrivate,
                  std::int32_t autoReply, const char* html) override {
        room::ChatReq req;
        req.toUser = toUserId;
        req.toNick = Str(toNick);
        req.whisper = isPrivate ? 1 : 0;
        req.autoReply = autoReply ? 1 : 0;
        req.body = Str(html);
        core_->Send(req);
    }
    // Gifts, cheques, points exchange and seals have codes reserved in the
    // protocol; the service does not offer them yet, so nothing is sent.
    void SendGift(std::int32_t, std::int32_t, std::int32_t, const char*, std::int32_t) override {}
    void SendCheque(std::int32_t, std::int32_t, std::int32_t, const char*) override {}
    TMyInfo* GetMyInfo() override { return &core_->me_; }
    void ModifyMyInfo(const char* currentDigest, const char* nickName, const char* newDigest,
                      std::int32_t face) override {
        room::ModifyMyInfoReq req;
        req.currentDigest = Str(currentDigest);
        req.nick = Str(nickName);
        req.newDigest = Str(newDigest);
        req.face = static_cast<std::int16_t>(face);
        core_->Send(req);
    }
    void ExchangePoints(std::int32_t) override {}
    void ThrowDice(std::int32_t value) override { core_->Send(room::ThrowDiceReq{value}); }
    void AddFavoriteRoom() override { core_->Send(room::AddFavoriteRoomReq{}); }
    void QueryUserDetails(std::int32_t userId) override {
        core_->Send(
            room::QueryUserReq{static_cast<std::uint8_t>(room::QueryKind::Details), userId});
    }
    void SendSeal(std::int32_t, std::int32_t, const char*) override {}
    void ClearSeal(std::int32_t, const char*) override {}
    void QueryUserIP(std::int32_t userId) override {
        core_->Send(room::QueryUserReq{static_cast<std::uint8_t>(room::QueryKind::Ip), userId});
    }
    void AddTempManager(std::int32_t userId) override { Manager(room::ManagerOp::AddTemp, userId); }
    void RemoveTempManager(std::int32_t userId) override {
        Manager(room::ManagerOp::RemoveTemp, userId);
    }
    void AddRoomManager(std::int32_t userId) override { Manager(room::ManagerOp::AddRoom, userId); }
    void PunishUser(std::int32_t mode, std::int32_t userId) override {
        core_->Send(room::PunishReq{static_cast<std::uint8_t>(mode), userId});
    }
    void SendRoomNotice(const char* text) override {
        core_->Send(room::SendRoomNoticeReq{Str(text)});
    }
    void SendSystemNotice(const char* text) override {
        core_->Send(room::SendSystemNoticeReq{Str(text)});
    }
    void SendHorn(const char* html, std::int32_t world) override {
        core_->Send(room::SendHornReq{Str(html), static_cast<std::uint8_t>(world ? 1 : 0)});
    }
    TRoomInfo* GetRoomInfo() override { return &core_->info_; }
    TRoomTexts* GetRoomTexts() override { return &core_->texts_; }
    void ModifyRoomInfo(const TRoomInfo* info, std::int32_t roomChanged, const TRoomTexts* texts,
                        std::int32_t textsChanged) override {
        room::ModifyRoomInfoReq req;
        req.info = info ? *info : core_->info_;
        req.infoChanged = info && roomChanged ? 1 : 0;
        req.texts = texts ? *texts : core_->texts_;
        req.textsChanged = texts && textsChanged ? 1 : 0;
        core_->Send(req);
    }
    void ConnectPrivateMic(std::int32_t userId) override {
        core_->Send(room::ConnectPrivateMicReq{userId});
    }
    void DisconnectPrivateMic(std::int32_t userId) override {
        core_->Send(room::DisconnectPrivateMicReq{userId});
    }
    void CutPrivateMicViewer(std::int32_t userId) override {
        core_->Send(room::CutPrivateMicViewerReq{userId});
    }
    void AnswerMicRequest(std::int32_t userId, std::int32_t accept) override {
        core_->Send(room::AnswerMicRequestReq{userId, static_cast<std::uint8_t>(accept ? 1 : 0)});
    }
    void SetBanChat(std::int32_t userId, std::int32_t kind, std::int32_t milliseconds,
                    std::int32_t on) override {
        core_->Send(room::SetBanChatReq{userId, static_cast<std::uint8_t>(kind), milliseconds,
                                        static_cast<std::uint8_t>(on ? 1 : 0)});
    }
    void CloseEngine() override { core_->Close(); }
    void SendShake(std::int32_t userId) override { core_->Send(room::SendShakeReq{userId}); }

  private:
    ~EngineObject() = default;
    void Manager(room::ManagerOp op, std::int32_t userId) {
        core_->Send(room::SetManagerReq{static_cast<std::uint8_t>(op), userId});
    }
    std::atomic<unsigned long> refs_{1};
    std::shared_ptr<Core> core_;
};

}  // namespace
}  // namespace engine

CHATROOM_MODULE_EXPORT IClientEngine* CreateClientEngine() {
    return new engine::EngineObject();
}

// The port of the room service; every room server listens on the same one.
// Tests and the load tool point the module at a service on another port.
CHATROOM_MODULE_EXPORT void SetRoomServicePort(std::uint16_t port) {
    engine::roomPort = port;
}
