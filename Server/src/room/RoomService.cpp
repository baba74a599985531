#include "RoomService.h"

#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <random>
#include <set>
#include <span>
#include <thread>
#include <unordered_set>

#include "Database.h"
#include "PasswordHash.h"
#include "RoomRules.h"
#include "RoomStore.h"
#include "ServerConfig.h"
#include "ServerLog.h"
#include "TcpListen.h"
#include "common/Framing.h"
#include "common/GbkText.h"
#include "common/NetUtils.h"
#include "common/RoomProtocol.h"
#include "common/TextUtils.h"

namespace roomsvc {

namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using Frame = std::shared_ptr<const std::string>;

// A UTF-8 literal as GBK, converted once per call site.
#define GBK(utf8)                                             \
    ([]() -> const std::string& {                             \
        static const std::string converted = Utf8ToGbk(utf8); \
        return converted;                                     \
    }())

template <typename T>
Frame Make(const T& record) {
    return std::make_shared<const std::string>(EncodeFrame(room::Encode(record)));
}

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string Fill(const std::string& format, const std::string& a) {
    std::string out = format;
    if (auto at = out.find("%s"); at != std::string::npos)
        out.replace(at, 2, a);
    return out;
}

std::string Who(const std::string& nick, std::int32_t id) {
    return HtmlEscapeLine(nick) + "(" + std::to_string(id) + ")";
}

bool IsHexDigest(const std::string& d) {
    if (d.size() != 32)
        return false;
    return std::all_of(d.begin(), d.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

// "\ColorWord" and one or two digits, nothing else.
bool IsColorWordCode(const std::string& body) {
    static const std::string kCode = "\\ColorWord";
    if (body.rfind(kCode, 0) != 0)
        return false;
    std::string rest = body.substr(kCode.size());
    return !rest.empty() && rest.size() <= 2 &&
           std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string NoteHtml(const std::string& notice) {
    return "<HTML><BODY style=\"margin:2; font:10pt; background-color:#FEE9BC\">" +
           HtmlEscapeLine(notice) + "</BODY></HTML>";
}

// Writes one frame to many sockets on two threads. The sockets are taken in
// small chunks by the calling thread and a helper thread alike, so a helper
// that is slow to wake (a busy machine) costs nothing: the caller does the
// work and withdraws the round. The kernel's per-socket send cost is what a
// big room's line costs, so this nearly halves the time to the last member.
class ParallelWriter {
  public:
    ParallelWriter() : helper_([this] { Run(); }) {}
    ~ParallelWriter() {
        stop_ = true;
        state_.fetch_add(kStep, std::memory_order_release);
        state_.notify_one();
        helper_.join();
    }
    ParallelWriter(const ParallelWriter&) = delete;
    ParallelWriter& operator=(const ParallelWriter&) = delete;

    // results[i]: bytes written to fds[i], or -errno.
    void Write(const std::string& data, std::span<const int> fds, std::span<long> results) {
        data_ = &data;
        fds_ = fds;
        results_ = results;
        next_.store(0, std::memory_order_relaxed);
        round_ += kStep;
        state_.store(round_ | kPosted, std::memory_order_release);
        state_.notify_one();
        WriteChunks();
        std::uint32_t posted = round_ | kPosted;
        if (state_.compare_exchange_strong(posted, round_ | kWithdrawn, std::memory_order_acq_rel))
            return;  // the helper never started: every chunk was written here
        const std::uint32_t finished = round_ | kPosted;
        for (std::uint32_t d = done_.load(std::memory_order_acquire); d != finished;
             d = done_.load(std::memory_order_acquire))
            done_.wait(d, std::memory_order_acquire);
    }

  private:
    // The low bits of state_ tell the phase of the round in its upper bits.
    static constexpr std::uint32_t kPosted = 1, kWorking = 2, kWithdrawn = 3, kStep = 4;
    static constexpr std::size_t kChunk = 16;

    void WriteChunks() {
        const std::size_t n = fds_.size();
        for (std::size_t i; (i = next_.fetch_add(kChunk, std::memory_order_relaxed)) < n;) {
            for (std::size_t end = std::min(n, i + kChunk); i < end; ++i) {
                ssize_t w =
                    ::send(fds_[i], data_->data(), data_->size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                results_[i] = w < 0 ? -errno : w;
            }
        }
    }

    void Run() {
        std::uint32_t last = 0;
        for (;;) {
            state_.wait(last, std::memory_order_acquire);
            std::uint32_t s = state_.load(std::memory_order_acquire);
            last = s;
            if (stop_)
                return;
            if ((s & (kStep - 1)) != kPosted)
                continue;
            const std::uint32_t round = s & ~(kStep - 1);
            // Withdrawn meanwhile, or already the next round: look again.
            if (!state_.compare_exchange_strong(s, round | kWorking, std::memory_order_acq_rel))
                continue;
            last = round | kWorking;
            WriteChunks();
            done_.store(round | kPosted, std::memory_order_release);
            done_.notify_one();
        }
    }

    // Set before a round is posted; the helper reads them once it owns it.
    const std::string* data_ = nullptr;
    std::span<const int> fds_;
    std::span<long> results_;
    std::uint32_t round_ = 0;  // caller's thread only
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stop_{false};
    std::atomic<std::uint32_t> state_{0};
    std::atomic<std::uint32_t> done_{0};
    std::thread helper_;
};

}  // namespace

class Session;

struct Member {
    std::shared_ptr<Session> session;
    std::int32_t id = 0;
    std::string nick;  // GBK
    std::int16_t face = 0;
    int accountRole = 0;
    int roomRole = 0;
    int level = 0;
    int star = 0;
    std::int16_t mic = 0;
    bool hidden = false;
    std::int64_t banUntilMs = 0;
    std::int32_t seal = 0;
    std::uint32_t ip = 0;
    std::int32_t gold = 0;
    std::int32_t points = 0;
    std::string digest;
    Clock::time_point entered{};
    Clock::time_point lastChat{};
    Clock::time_point lastShake{};
    std::set<std::int32_t> watching;  // private mics this user watches
    std::set<std::int32_t> viewers;   // users watching this user's private mic
    std::set<std::int32_t> asks;      // users waiting for consent to watch

    int Role() const { return std::max(accountRole, roomRole); }
    bool Banned() const { return banUntilMs > NowMs(); }
    room::Party AsParty() const {
        return {id, nick, static_cast<std::uint16_t>(Role()), static_cast<std::uint16_t>(level),
                seal};
    }
};

struct Room {
    std::int32_t id = 0;
    TRoomInfo info{};
    TRoomTexts texts{};
    std::string passwordHash;
    std::string verifiedPassword;  // the last password that matched the hash
    std::map<std::int32_t, Member> members;
    std::array<std::int32_t, 3> frames{};
    std::deque<std::int32_t> queue;
    std::set<std::int32_t> tempManagers;

    Member* Find(std::int32_t id) {
        auto it = members.find(id);
        return it == members.end() ? nullptr : &it->second;
    }
};

class Core : public std::enable_shared_from_this<Core>, public IRoomDirectory {
  public:
    Core(asio::io_context& io, Database& db, Options options)
        : io_(io),
          store_(db, options.passwordIterations),
          options_(std::move(options)),
          acceptor_(io),
          acceptRetry_(io) {}

    bool Start(std::string* error);
    void Stop();
    std::uint16_t Port() const { return port_; }
    int Occupancy(std::int32_t roomId) override {
        auto it = rooms_.find(roomId);
        if (it == rooms_.end())
            return 0;
        return static_cast<int>(std::count_if(it->second.members.begin(), it->second.members.end(),
                                              [](const auto& m) { return !m.second.hidden; }));
    }
    void ResetCityRanks();

    // From sessions.
    void OnRecord(const std::shared_ptr<Session>& session, const std::string& record);
    void OnClosed(Session& session);
    bool Stopped() const { return stopped_; }
    const Options& Opts() const { return options_; }
    Clock::time_point readAt;  // when the records being handled were read

  private:
    friend class Session;
    void Accept();

    // Sending.
    void SendTo(Member& m, const Frame& f);
    template <typename T>
    void SendTo(Member& m, const T& record) {
        SendTo(m, Make(record));
    }
    void Notice(Member& m, const std::string& text) { SendTo(m, room::NoticeMsg{text, 0}); }
    void PublicNotice(Room& r, const std::string& text) {
        Broadcast(r, Make(room::NoticeMsg{text, 1}));
    }
    void Broadcast(Room& r, const Frame& f, std::int32_t except = 0);
    // To those allowed to see `subject` (hidden users are seen by 235 and 255 only).
    void BroadcastAbout(Room& r, const Member& subject, const Frame& f, std::int32_t except = 0);
    void BroadcastAll(const Frame& f);
    // Sends `f` to every session in targets_.
    void SendToTargets(const Frame& f);
    bool Sees(const Member& viewer, const Member& subject) const {
        return !subject.hidden || viewer.id == subject.id || rules::SeesHidden(viewer.Role());
    }
    room::UserEnterMsg EnterRecord(const Member& m, bool announce) const;
    TRoomInfo InfoFor(const Room& r, const Member& m) const;
    TMyInfo MyInfoOf(const Member& m) const;

    // Entering and leaving.
    void Enter(const std::shared_ptr<Session>& s, const room::EnterReq& req);
    void Refuse(const std::shared_ptr<Session>& s, const std::string& text);
    // Takes the user out of the room: mics, viewers, the list of the others.
    void Detach(Room& r, std::int32_t id, bool announce);
    // Ends the user's session for good with `text` (kick, ban, closed room).
    void Expel(Room& r, std::int32_t id, const std::string& text);
    Room* LoadRoom(std::int32_t id);
    int RoomRank(const Room& r, std::int32_t user);
    void SendRoomTexts(Room& r, Member& m);

    // Microphones.
    void RequestMic(Room& r, Member& m, int type);
    void ReleaseMic(Room& r, Member& m);
    bool TakeFrame(Room& r, Member& m);
    void OpenPrivate(Room& r, Member& m, int type);
    void Watch(Room& r, Member& holder, Member& viewer);
    void Unwatch(Room& r, Member& holder, Member& viewer, bool cut);

    // Handlers of entered users.
    void Handle(Room&, Member&, const room::EnterReq&) {}
    void Handle(Room& r, Member& m, const room::LeaveReq&);
    void Handle(Room&, Member&, const room::PingReq&) {}
    void Handle(Room& r, Member& m, const room::RequestMicReq& q) { RequestMic(r, m, q.micType); }
    void Handle(Room& r, Member& m, const room::ReleaseMicReq&) { ReleaseMic(r, m); }
    void Handle(Room& r, Member& m, const room::InviteToMicReq& q);
    void Handle(Room& r, Member& m, const room::CancelMicReq& q);
    void Handle(Room& r, Member& m, const room::ConnectPrivateMicReq& q);
    void Handle(Room& r, Member& m, const room::DisconnectPrivateMicReq& q);
    void Handle(Room& r, Member& m, const room::CutPrivateMicViewerReq& q);
    void Handle(Room& r, Member& m, const room::AnswerMicRequestReq& q);
    void Handle(Room& r, Member& m, const room::ChatReq& q);
    void Handle(Room& r, Member& m, const room::SendRoomNoticeReq& q);
    void Handle(Room& r, Member& m, const room::SendSystemNoticeReq& q);
    void Handle(Room& r, Member& m, const room::SendHornReq& q);
    void Handle(Room& r, Member& m, const room::SendShakeReq& q);
    void Handle(Room& r, Member& m, const room::ThrowDiceReq& q);
    void Handle(Room& r, Member& m, const room::ModifyMyInfoReq& q);
    void Handle(Room& r, Member& m, const room::AddFavoriteRoomReq& q);
    void Handle(Room& r, Member& m, const room::QueryUserReq& q);
    void Handle(Room& r, Member& m, const room::SetManagerReq& q);
    void Handle(Room& r, Member& m, const room::PunishReq& q);
    void Handle(Room& r, Member& m, const room::SetBanChatReq& q);
    void Handle(Room& r, Member& m, const room::ModifyRoomInfoReq& q);

    void NoRight(Member& m) { Notice(m, GBK("您没有权限执行此操作。")); }
    void SetRole(Room& r, Member& target);

    asio::io_context& io_;
    RoomStore store_;
    Options options_;
    tcp::acceptor acceptor_;
    asio::steady_timer acceptRetry_;
    std::uint16_t port_ = 0;
    bool stopped_ = false;
    std::unordered_set<std::shared_ptr<Session>> sessions_;
    std::map<std::int32_t, Room> rooms_;
    // Account -> the digest that matched and the stored hash it matched, so
    // re-entries skip the slow hash until the password changes.
    std::map<std::int32_t, std::pair<std::string, std::string>> verifiedDigests_;
    std::mt19937 random_{std::random_device{}()};
    // Scratch space of one broadcast, kept to spare allocations per line.
    std::vector<Session*> targets_;
    std::vector<Session*> idle_;
    std::vector<int> idleFds_;
    std::vector<long> written_;
    std::unique_ptr<ParallelWriter> writer_;
};

// ---------------------------------------------------------------------------
// One client connection.

class Session : public std::enable_shared_from_this<Session> {
  public:
    Session(std::shared_ptr<Core> core, tcp::socket socket)
        : core_(std::move(core)),
          socket_(std::move(socket)),
          idle_(socket_.get_executor()),
          decoder_(room::kMaxRecord) {
        asio::error_code ec;
        auto remote = socket_.remote_endpoint(ec);
        if (!ec && remote.address().is_v4()) {
            auto bytes = remote.address().to_v4().to_bytes();
            std::memcpy(&ip, bytes.data(), 4);
        }
        socket_.set_option(tcp::no_delay(true), ec);
        socket_.non_blocking(true, ec);
    }

    void Start() {
        ArmIdle();
        Read();
    }

    void Send(const Frame& f) {
        if (closed_ || closing_)
            return;
        if (Idle()) {
            // Nothing waiting: hand the frame to the socket at once, which is
            // what happens to nearly every frame, and queue only what the
            // socket would not take.
            ssize_t n =
                ::send(socket_.native_handle(), f->data(), f->size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            Written(f, n < 0 ? -errno : n);
            return;
        }
        queued_ += f->size();
        if (queued_ > core_->Opts().maxQueuedBytes) {
            // A client that cannot keep up would make the service hold ever
            // more for it: drop it instead.
            Fail();
            return;
        }
        out_.push_back(f);
        Flush();
    }

    // True when a frame may go straight to the socket.
    bool Idle() const { return !closed_ && !closing_ && !writing_ && out_.empty(); }
    int Fd() { return socket_.native_handle(); }

    // After an idle session's socket was handed `f`: `n` bytes taken, or -errno.
    void Written(const Frame& f, long n) {
        if (n == static_cast<long>(f->size()))
            return;
        if (n < 0 && n != -EAGAIN && n != -EWOULDBLOCK) {
            Fail();
            return;
        }
        std::size_t taken = n < 0 ? 0 : static_cast<std::size_t>(n);
        out_.push_back(f);
        frontOffset_ = taken;
        queued_ += f->size() - taken;
        Flush();
    }

    // Sends happen while the room walks its members, so a failed one must not
    // take the user out of the room there and then: the close comes next.
    void Fail() {
        if (closed_ || failed_)
            return;
        failed_ = closing_ = true;
        asio::post(socket_.get_executor(), [self = shared_from_this()] { self->Close(); });
    }

    // Writes what is queued, then closes.
    void CloseAfterFlush() {
        if (closed_)
            return;
        closing_ = true;
        if (!writing_)
            Close();
    }

    void Close() {
        if (closed_)
            return;
        closed_ = true;
        asio::error_code ec;
        socket_.shutdown(tcp::socket::shutdown_both, ec);
        socket_.close(ec);
        idle_.cancel();
        // A write in flight still refers to its frames; they go with it.
        if (!writing_)
            out_.clear();
        auto self = shared_from_this();
        core_->OnClosed(*this);
    }

    std::uint32_t ip = 0;
    std::int32_t roomId = 0;  // set once entered
    std::int32_t userId = 0;

  private:
    void ArmIdle() {
        idle_.expires_after(std::chrono::milliseconds(core_->Opts().idleTimeoutMs));
        idle_.async_wait([self = shared_from_this()](const asio::error_code& ec) {
            if (!ec && !self->closed_)
                self->Close();
        });
    }

    void Read() {
        socket_.async_read_some(
            asio::buffer(buffer_),
            [self = shared_from_this()](const asio::error_code& ec, std::size_t n) {
                if (self->closed_ || self->core_->Stopped())
                    return;
                if (ec) {
                    self->Close();
                    return;
                }
                self->ArmIdle();
                if (self->core_->Opts().fanOutNs)
                    self->core_->readAt = Clock::now();
                if (!self->decoder_.Feed(self->buffer_.data(), n)) {
                    self->Close();
                    return;
                }
                while (!self->closed_ && !self->closing_) {
                    auto record = self->decoder_.Next();
                    if (!record)
                        break;
                    self->core_->OnRecord(self, *record);
                }
                if (!self->closed_)
                    self->Read();
            });
    }

    void Flush() {
        if (writing_ || out_.empty() || closed_)
            return;
        writing_ = true;
        std::size_t count = std::min<std::size_t>(out_.size(), 256);
        std::vector<asio::const_buffer> buffers;
        buffers.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            buffers.push_back(asio::buffer(*out_[i]));
        buffers[0] += frontOffset_;
        asio::async_write(
            socket_, buffers,
            [self = shared_from_this(), count](const asio::error_code& ec, std::size_t n) {
                self->writing_ = false;
                if (self->closed_)
                    return;
                if (ec) {
                    self->Close();
                    return;
                }
                self->queued_ -= n;
                self->frontOffset_ = 0;
                self->out_.erase(self->out_.begin(), self->out_.begin() + static_cast<long>(count));
                if (!self->out_.empty())
                    self->Flush();
                else if (self->closing_)
                    self->Close();
            });
    }

    std::shared_ptr<Core> core_;
    tcp::socket socket_;
    asio::steady_timer idle_;
    FrameDecoder decoder_;
    std::array<char, 4096> buffer_{};
    std::deque<Frame> out_;
    std::size_t queued_ = 0;
    std::size_t frontOffset_ = 0;  // bytes of out_.front() already written
    bool writing_ = false;
    bool closing_ = false;
    bool failed_ = false;
    bool closed_ = false;
};

// ---------------------------------------------------------------------------

bool Core::Start(std::string* error) {
    if (!store_.CreateSchema(error))
        return false;
    asio::error_code ec;
    switch (OpenListener(acceptor_, options_.host, options_.port, ec)) {
        case ListenFault::None:
            break;
        case ListenFault::BadAddress:
            if (error)
                *error = "room service: bad host " + options_.host;
            return false;
        case ListenFault::Socket:
            if (error)
                *error = "room service: cannot listen: " + ec.message();
            return false;
    }
    port_ = acceptor_.local_endpoint().port();
    Accept();
    return true;
}

void Core::Accept() {
    acceptor_.async_accept(
        [self = shared_from_this()](const asio::error_code& ec, tcp::socket socket) {
            if (self->stopped_)
                return;
            if (!ec) {
                if (self->sessions_.size() >= self->options_.maxConnections) {
                    asio::error_code ignored;
                    socket.close(ignored);
                } else {
                    auto s = std::make_shared<Session>(self, std::move(socket));
                    self->sessions_.insert(s);
                    s->Start();
                }
            } else if (ec != asio::error::operation_aborted) {
                // Out of descriptors and the like: back off instead of spinning.
                self->acceptRetry_.expires_after(std::chrono::milliseconds(200));
                self->acceptRetry_.async_wait([self](const asio::error_code& e) {
                    if (!e && !self->stopped_)
                        self->Accept();
                });
                return;
            } else {
                return;
            }
            self->Accept();
        });
}

void Core::Stop() {
    if (stopped_)
        return;
    stopped_ = true;
    asio::error_code ec;
    acceptor_.close(ec);
    acceptRetry_.cancel();
    auto sessions = std::move(sessions_);
    sessions_.clear();
    rooms_.clear();
    for (auto& s : sessions)
        s->Close();
}

void Core::OnClosed(Session& s) {
    if (stopped_)
        return;
    if (s.roomId != 0) {
        auto it = rooms_.find(s.roomId);
        if (it != rooms_.end()) {
            Member* m = it->second.Find(s.userId);
            if (m && m->session.get() == &s)
                Detach(it->second, s.userId, true);
        }
        s.roomId = 0;
    }
    sessions_.erase(s.shared_from_this());
}

void Core::SendTo(Member& m, const Frame& f) {
    if (m.session)
        m.session->Send(f);
}

void Core::Broadcast(Room& r, const Frame& f, std::int32_t except) {
    targets_.clear();
    for (auto& [id, m] : r.members)
        if (id != except && m.session)
            targets_.push_back(m.session.get());
    SendToTargets(f);
}

void Core::BroadcastAbout(Room& r, const Member& subject, const Frame& f, std::int32_t except) {
    targets_.clear();
    for (auto& [id, m] : r.members)
        if (id != except && m.session && Sees(m, subject))
            targets_.push_back(m.session.get());
    SendToTargets(f);
}

void Core::SendToTargets(const Frame& f) {
    const std::size_t from = options_.parallelFanOutFrom;
    if (from == 0 || targets_.size() < from) {
        for (Session* s : targets_)
            s->Send(f);
        return;
    }
    // Sessions with a backlog keep their order through their queue; only
    // idle ones are written directly, each by exactly one of the threads.
    idle_.clear();
    idleFds_.clear();
    for (Session* s : targets_) {
        if (s->Idle()) {
            idle_.push_back(s);
            idleFds_.push_back(s->Fd());
        } else {
            s->Send(f);
        }
    }
    if (idle_.size() < from) {
        for (Session* s : idle_)
            s->Send(f);
        return;
    }
    if (!writer_)
        writer_ = std::make_unique<ParallelWriter>();
    written_.resize(idle_.size());
    writer_->Write(*f, idleFds_, written_);
    for (std::size_t i = 0; i < idle_.size(); ++i)
        idle_[i]->Written(f, written_[i]);
}

void Core::BroadcastAll(const Frame& f) {
    for (auto& [rid, r] : rooms_)
        Broadcast(r, f);
}

void Core::OnRecord(const std::shared_ptr<Session>& s, const std::string& record) {
    if (stopped_)
        return;
    Room* r = s->roomId ? LoadRoom(s->roomId) : nullptr;
    Member* m = r ? r->Find(s->userId) : nullptr;
    if (m && m->session != s)
        m = nullptr;
    bool ok = room::Dispatch(room::ClientRecords{}, record, [&](const auto& q) {
        using T = std::decay_t<decltype(q)>;
        if constexpr (std::is_same_v<T, room::PingReq>) {
            s->Send(Make(room::PongMsg{q.seq}));
        } else if constexpr (std::is_same_v<T, room::EnterReq>) {
            if (m)
                s->Close();  // one entry per connection
            else
                Enter(s, q);
        } else {
            // Nothing but entering and pings before the room is entered.
            if (!m) {
                s->Close();
                return;
            }
            Handle(*r, *m, q);
        }
    });
    // Truncated, oversized, unknown or malformed: that connection ends, the
    // room goes on.
    if (!ok)
        s->Close();
}

// ---------------------------------------------------------------------------
// Entering and leaving.

Room* Core::LoadRoom(std::int32_t id) {
    auto it = rooms_.find(id);
    if (it != rooms_.end())
        return &it->second;
    auto stored = store_.LoadRoom(id);
    if (!stored)
        return nullptr;
    Room& r = rooms_[id];
    r.id = id;
    r.info = stored->info;
    r.texts = stored->texts;
    r.passwordHash = stored->passwordHash;
    return &r;
}

int Core::RoomRank(const Room& r, std::int32_t user) {
    if (user == r.info.OwnerID.Get())
        return 50;
    for (const auto* d :
         {&r.info.DeputyID1, &r.info.DeputyID2, &r.info.DeputyID3, &r.info.DeputyID4})
        if (d->Get() == user)
            return 49;
    int rank = store_.RoomRole(r.id, user);
    if (r.tempManagers.count(user))
        rank = std::max(rank, 29);
    return rank;
}

void Core::Refuse(const std::shared_ptr<Session>& s, const std::string& text) {
    s->Send(Make(room::EnterFailedMsg{text}));
    s->CloseAfterFlush();
}

TMyInfo Core::MyInfoOf(const Member& m) const {
    TMyInfo me{};
    std::memset(&me, 0, sizeof me);
    me.UserID.Set(m.id);
    me.NickName.Set(m.nick);
    me.Face.Set(m.face);
    me.GiftPoints.Set(m.points);
    me.Gold.Set(m.gold);
    me.Role.Set(static_cast<std::int16_t>(m.Role()));
    me.Level.Set(static_cast<std::int16_t>(m.level));
    me.MyMic.Set(m.mic);
    me.ChatBanned = m.Banned() ? 1 : 0;
    return me;
}

TRoomInfo Core::InfoFor(const Room& r, const Member&) const {
    TRoomInfo info = r.info;
    // The password is kept as a hash only; HasPassword tells whether one is set.
    info.Password.Set("");
    return info;
}

room::UserEnterMsg Core::EnterRecord(const Member& m, bool announce) const {
    room::UserEnterMsg e;
    e.userId = m.id;
    e.nick = m.nick;
    e.face = m.face;
    e.role = static_cast<std::uint16_t>(m.Role());
    e.level = static_cast<std::uint16_t>(m.level);
    e.star = static_cast<std::uint16_t>(m.star);
    e.mic = m.mic;
    e.hidden = m.hidden ? 1 : 0;
    e.chatBanned = m.Banned() ? 1 : 0;
    e.seal = m.seal;
    e.announce = announce ? 1 : 0;
    return e;
}

void Core::Enter(const std::shared_ptr<Session>& s, const room::EnterReq& q) {
    if (q.version != room::kProtocolVersion) {
        Refuse(s, GBK("客户端版本与房间服务器不符，请升级后再进入房间。"));
        return;
    }
    auto account = store_.Account(q.userId);
    if (!account) {
        Refuse(s, GBK("用户不存在，无法进入房间。"));
        return;
    }
    if (account->status != AccountStatus::Active) {
        Refuse(s, GBK("您的帐号已被锁定或封禁，无法进入房间。"));
        return;
    }
    auto known = verifiedDigests_.find(q.userId);
    if (known == verifiedDigests_.end() ||
        known->second != std::make_pair(q.passwordDigest, account->passwordHash)) {
        if (!VerifyPassword(q.passwordDigest, account->passwordHash)) {
            Refuse(s, GBK("用户密码错误，无法进入房间。"));
            return;
        }
        verifiedDigests_[q.userId] = {q.passwordDigest, account->passwordHash};
    }
    Room* r = LoadRoom(q.roomId);
    if (!r) {
        Refuse(s, GBK("房间不存在。"));
        return;
    }
    Member m;
    m.id = q.userId;
    m.nick = Utf8ToGbk(account->nickname);
    m.face = static_cast<std::int16_t>(account->face);
    m.accountRole = account->role;
    m.roomRole = RoomRank(*r, q.userId);
    m.level = account->level;
    m.star = account->star;
    m.gold = account->gold;
    m.points = account->points;
    m.ip = s->ip;
    m.digest = q.passwordDigest;
    const int role = m.Role();
    if (role < 235 && store_.IsBlacklisted(r->id, m.id)) {
        Refuse(s, GBK("您已被列入本房间的黑名单，不能进入。"));
        return;
    }
    if (role < 235 && store_.IsIpBanned(r->id, m.ip)) {
        Refuse(s, GBK("您的IP已被本房间封禁，不能进入。"));
        return;
    }
    if (r->info.RoomClosed && !rules::MayEnterClosed(role)) {
        Refuse(s, GBK("本房间已关闭，暂时不能进入。"));
        return;
    }
    if (r->info.HasPassword && !rules::MayPassPassword(role, m.level)) {
        bool match = !q.roomPassword.empty() && (q.roomPassword == r->verifiedPassword ||
                                                 VerifyPassword(q.roomPassword, r->passwordHash));
        if (!match) {
            Refuse(s, GBK("房间密码错误，无法进入房间。"));
            return;
        }
        r->verifiedPassword = q.roomPassword;
    }
    // Hidden entry is a privilege; others simply enter visibly.
    m.hidden = q.hidden && rules::MayEnterHidden(role, m.level);
    m.banUntilMs = store_.ChatBanUntil(r->id, m.id);
    m.entered = Clock::now();

    if (r->Find(m.id))
        Expel(*r, m.id, GBK("您的帐号已从别处进入本房间。"));

    m.session = s;
    s->roomId = r->id;
    s->userId = m.id;
    Member& me = r->members.emplace(m.id, std::move(m)).first->second;

    room::EnterOkMsg ok;
    ok.roomId = r->id;
    ok.me = MyInfoOf(me);
    ok.info = InfoFor(*r, me);
    ok.texts = r->texts;
    // The answer, the list and the open mics go as one write: a full room's
    // list would otherwise cost a send per member.
    std::string batch = EncodeFrame(room::Encode(ok));
    for (auto& [id, other] : r->members)
        if (Sees(me, other))
            batch += EncodeFrame(room::Encode(EnterRecord(other, false)));
    for (std::uint16_t i = 0; i < r->frames.size(); ++i) {
        Member* holder = r->Find(r->frames[i]);
        if (holder && Sees(me, *holder)) {
            batch += EncodeFrame(room::Encode(room::VideoOpenMsg{
                holder->id, holder->nick, static_cast<std::uint16_t>(holder->Role()),
                static_cast<std::uint16_t>(holder->level), 1, i, options_.mediaAddress,
                options_.mediaAddress, options_.mediaPort}));
        }
    }
    SendTo(me, std::make_shared<const std::string>(std::move(batch)));
    BroadcastAbout(*r, me, Make(EnterRecord(me, r->info.ShowEnterLeave && !me.hidden)), me.id);
    SendRoomTexts(*r, me);
    std::int32_t owner = r->info.OwnerID.Get();
    std::string greeting = r->texts.Greeting.Get();
    if (!greeting.empty() && owner != me.id && r->Find(owner))
        SendTo(me, room::GreetingMsg{greeting});
}

void Core::SendRoomTexts(Room& r, Member& m) {
    std::string note = r.texts.Notice1.Get(), tip = r.texts.Notice2.Get(),
                line = r.texts.Notice3.Get();
    SendTo(m, room::RoomNoteMsg{NoteHtml(note)});
    SendTo(m, room::RollingTipMsg{HtmlEscapeLine(tip), 1});
    if (!line.empty())
        SendTo(m, room::NoticeMsg{HtmlEscapeLine(line), 1});
}

void Core::Detach(Room& r, std::int32_t id, bool announce) {
    Member* m = r.Find(id);
    if (!m)
        return;
    ReleaseMic(r, *m);
    for (std::int32_t holderId : std::set<std::int32_t>(m->watching))
        if (Member* holder = r.Find(holderId))
            Unwatch(r, *holder, *m, false);
    for (auto& [oid, other] : r.members)
        other.asks.erase(id);
    auto it = std::find(r.queue.begin(), r.queue.end(), id);
    if (it != r.queue.end())
        r.queue.erase(it);
    Frame leave = Make(room::UserLeaveMsg{
        id, m->nick,
        announce && r.info.ShowEnterLeave && !m->hidden ? std::uint8_t(1) : std::uint8_t(0)});
    BroadcastAbout(r, *m, leave, id);
    auto session = m->session;
    r.members.erase(id);
    if (session) {
        session->roomId = 0;
        session->userId = 0;
    }
}

void Core::Expel(Room& r, std::int32_t id, const std::string& text) {
    Member* m = r.Find(id);
    if (!m)
        return;
    auto session = m->session;
    if (session)
        session->Send(Make(room::ClosedMsg{text}));
    Detach(r, id, true);
    if (session)
        session->CloseAfterFlush();
}

void Core::Handle(Room& r, Member& m, const room::LeaveReq&) {
    auto session = m.session;
    Detach(r, m.id, true);
    if (session)
        session->CloseAfterFlush();
}

// ---------------------------------------------------------------------------
// Microphones.

bool Core::TakeFrame(Room& r, Member& m) {
    for (std::uint16_t i = 0; i < r.frames.size(); ++i) {
        if (r.frames[i] != 0)
            continue;
        r.frames[i] = m.id;
        m.mic = 1;
        // A hidden holder stays hidden from those who do not see him.
        BroadcastAbout(r, m, Make(room::UserMicMsg{m.id, m.nick, 1}));
        BroadcastAbout(r, m,
                       Make(room::VideoOpenMsg{m.id, m.nick, static_cast<std::uint16_t>(m.Role()),
                                               static_cast<std::uint16_t>(m.level), 1, i,
                                               options_.mediaAddress, options_.mediaAddress,
                                               options_.mediaPort}));
        return true;
    }
    return false;
}

void Core::OpenPrivate(Room& r, Member& m, int type) {
    m.mic = static_cast<std::int16_t>(type);
    BroadcastAbout(r, m, Make(room::UserMicMsg{m.id, m.nick, m.mic}));
    SendTo(m, room::VideoOpenMsg{m.id, m.nick, static_cast<std::uint16_t>(m.Role()),
                                 static_cast<std::uint16_t>(m.level), m.mic, room::kPrivateFrame,
                                 options_.mediaAddress, options_.mediaAddress, options_.mediaPort});
}

void Core::RequestMic(Room& r, Member& m, int type) {
    bool queued = std::find(r.queue.begin(), r.queue.end(), m.id) != r.queue.end();
    if (m.mic != 0 || queued) {
        Notice(m, GBK("您已经在麦上或麦序中了。"));
        return;
    }
    if (type == 1) {
        if (!rules::MayQueuePublicMic(m.Role(), r.info.FreePublicMic)) {
            Notice(m, GBK("本房间不允许自由排麦。"));
            return;
        }
        if (TakeFrame(r, m))
            return;
        r.queue.push_back(m.id);
        Notice(m, GBK("公麦已满，您已排入麦序第") + std::to_string(r.queue.size()) + GBK("位。"));
    } else if (type >= 2 && type <= 4) {
        if (!rules::MayOpenPrivateMic(m.Role(), m.level, r.info.FreePrivateMic)) {
            Notice(m, GBK("本房间不允许自由开私麦。"));
            return;
        }
        OpenPrivate(r, m, type);
    }
}

void Core::ReleaseMic(Room& r, Member& m) {
    auto q = std::find(r.queue.begin(), r.queue.end(), m.id);
    if (q != r.queue.end())
        r.queue.erase(q);
    if (m.mic == 1) {
        for (std::uint16_t i = 0; i < r.frames.size(); ++i) {
            if (r.frames[i] != m.id)
                continue;
            r.frames[i] = 0;
            m.mic = 0;
            BroadcastAbout(r, m, Make(room::VideoCloseMsg{m.id, i}));
            BroadcastAbout(r, m, Make(room::UserMicMsg{m.id, m.nick, 0}));
            // The first in the queue takes the free frame.
            while (!r.queue.empty()) {
                Member* next = r.Find(r.queue.front());
                r.queue.pop_front();
                if (next && TakeFrame(r, *next))
                    break;
            }
        }
        m.mic = 0;
    } else if (m.mic >= 2) {
        Frame close = Make(room::VideoCloseMsg{m.id, room::kPrivateFrame});
        for (std::int32_t v : m.viewers) {
            if (Member* viewer = r.Find(v)) {
                viewer->watching.erase(m.id);
                SendTo(*viewer, close);
            }
        }
        m.viewers.clear();
        m.asks.clear();
        m.mic = 0;
        BroadcastAbout(r, m, Make(room::UserMicMsg{m.id, m.nick, 0}));
    }
}

void Core::Watch(Room&, Member& holder, Member& viewer) {
    if (holder.viewers.count(viewer.id))
        return;
    holder.viewers.insert(viewer.id);
    viewer.watching.insert(holder.id);
    SendTo(viewer, room::VideoOpenMsg{
                       holder.id, holder.nick, static_cast<std::uint16_t>(holder.Role()),
                       static_cast<std::uint16_t>(holder.level), holder.mic, room::kPrivateFrame,
                       options_.mediaAddress, options_.mediaAddress, options_.mediaPort});
    SendTo(holder, room::PrivateMicViewerMsg{viewer.id, viewer.nick,
                                             static_cast<std::uint16_t>(viewer.level), 0, 1});
}

void Core::Unwatch(Room&, Member& holder, Member& viewer, bool cut) {
    if (!holder.viewers.erase(viewer.id))
        return;
    viewer.watching.erase(holder.id);
    if (cut)
        SendTo(viewer, room::PrivateMicCutMsg{holder.id, holder.nick});
    SendTo(holder, room::PrivateMicViewerMsg{viewer.id, viewer.nick,
                                             static_cast<std::uint16_t>(viewer.level), 0, 0});
}

void Core::Handle(Room& r, Member& m, const room::InviteToMicReq& q) {
    Member* t = r.Find(q.userId);
    if (!t || t->id == m.id)
        return;
    if (!rules::MayInvite(q.kind, m.Role(), m.level)) {
        NoRight(m);
        return;
    }
    bool queued = std::find(r.queue.begin(), r.queue.end(), t->id) != r.queue.end();
    if (t->mic != 0 || (queued && q.kind != 1)) {
        Notice(m, GBK("对方已经在麦上了。"));
        return;
    }
    if (q.kind == 1) {
        if (queued)
            r.queue.erase(std::find(r.queue.begin(), r.queue.end(), t->id));
        if (!TakeFrame(r, *t)) {
            r.queue.push_front(t->id);
            Notice(*t, GBK("管理员邀请您主持节目，公麦已满，您排在麦序第1位。"));
        }
    } else {
        OpenPrivate(r, *t, 3);
    }
}

void Core::Handle(Room& r, Member& m, const room::CancelMicReq& q) {
    Member* t = r.Find(q.userId);
    if (!t)
        return;
    if (t->id == m.id) {
        ReleaseMic(r, m);
        return;
    }
    bool queued = std::find(r.queue.begin(), r.queue.end(), t->id) != r.queue.end();
    bool allowed = rules::Outranks(m.Role(), t->Role()) &&
                   (t->mic >= 2 ? rules::MayCancelPrivateMic(m.Role(), m.level)
                                : rules::MayCancelPublicMic(m.Role()));
    if (!allowed) {
        NoRight(m);
        return;
    }
    if (t->mic == 0 && !queued)
        return;
    ReleaseMic(r, *t);
    Notice(*t, GBK("您的麦已被管理员取消。"));
}

void Core::Handle(Room& r, Member& m, const room::ConnectPrivateMicReq& q) {
    Member* holder = r.Find(q.userId);
    if (!holder || holder->id == m.id || !Sees(m, *holder) || holder->mic < 2) {
        Notice(m, GBK("对方没有打开私麦。"));
        return;
    }
    if (holder->viewers.count(m.id))
        return;
    if (rules::MayWatchWithoutConsent(holder->mic, m.Role(), m.level) ||
        rules::SeesHidden(m.Role())) {
        Watch(r, *holder, m);
    } else if (holder->mic == 4) {
        if (holder->asks.insert(m.id).second)
            SendTo(*holder,
                   room::MicConsentAskMsg{m.id, m.nick, static_cast<std::uint16_t>(m.level)});
        Notice(m, GBK("已向对方发出私麦连接请求，请等待对方同意。"));
    } else {
        Notice(m, GBK("对方开的是VIP私麦，只有会员才能观看。"));
    }
}

void Core::Handle(Room& r, Member& m, const room::DisconnectPrivateMicReq& q) {
    if (Member* holder = r.Find(q.userId))
        Unwatch(r, *holder, m, false);
}

void Core::Handle(Room& r, Member& m, const room::CutPrivateMicViewerReq& q) {
    if (Member* viewer = r.Find(q.userId))
        Unwatch(r, m, *viewer, true);
}

void Core::Handle(Room& r, Member& m, const room::AnswerMicRequestReq& q) {
    if (!m.asks.erase(q.userId))
        return;
    Member* viewer = r.Find(q.userId);
    if (!viewer)
        return;
    if (q.agree && m.mic == 4)
        Watch(r, m, *viewer);
    else
        Notice(*viewer, Who(m.nick, m.id) + GBK(" 拒绝了您的私麦连接请求。"));
}

// ---------------------------------------------------------------------------
// Chat, notices, horn and the rest.

void Core::Handle(Room& r, Member& m, const room::ChatReq& q) {
    auto now = Clock::now();
    if (m.Banned()) {
        Notice(m, GBK("您在本房间被禁止发言，请联系房主或巡管申请解禁。"));
        return;
    }
    if (m.Role() <= 1 && now - m.entered < std::chrono::milliseconds(options_.visitorQuietMs)) {
        Notice(m, GBK("游客进房间十秒后才能发言!"));
        return;
    }
    if (now - m.lastChat < std::chrono::milliseconds(options_.chatPaceMs)) {
        Notice(m, GBK("对不起，您说话太快了，请坐下来休息会！"));
        return;
    }
    if (TrimBlanks(q.body).empty())
        return;
    m.lastChat = now;
    bool whisper = q.whisper && q.toUser != 0;
    if (m.Role() != 255) {
        if (whisper && !r.info.AllowPrivateChat) {
            Notice(m, GBK("本房间不允许私聊！"));
            return;
        }
        if (!whisper && !r.info.AllowPublicChat) {
            Notice(m, GBK("本房间不允许公聊！"));
            return;
        }
    }
    bool colorWord = IsColorWordCode(q.body);
    if (colorWord && !r.info.AllowColorWord) {
        Notice(m, GBK("本房间屏蔽了彩字功能。"));
        return;
    }
    room::ChatLineMsg line;
    line.from = m.AsParty();
    Member* to = nullptr;
    if (q.toUser != 0) {
        to = r.Find(q.toUser);
        if (!to || !Sees(m, *to)) {
            Notice(m, GBK("对方已经离开房间。"));
            return;
        }
        line.to = to->AsParty();
    }
    line.whisper = whisper ? 1 : 0;
    line.autoReply = q.autoReply;
    line.body = colorWord ? q.body : room::SanitizeBody(q.body);
    Frame f = Make(line);
    if (whisper) {
        SendTo(*to, f);
        return;
    }
    if (m.hidden)
        BroadcastAbout(r, m, f);
    else
        Broadcast(r, f);
    if (options_.fanOutNs)
        options_.fanOutNs->push_back(
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - readAt).count());
}

void Core::Handle(Room& r, Member& m, const room::SendRoomNoticeReq& q) {
    if (m.Role() < 30) {
        Notice(m, GBK("您没有发送临时公告的权限。"));
        return;
    }
    if (!rules::MaySendRoomNotice(m.Role(), r.info.AllowRoomNotice)) {
        Notice(m, GBK("本房间目前不允许发送临时公告。"));
        return;
    }
    if (TrimBlanks(q.text).empty())
        return;
    Broadcast(r, Make(room::RoomNoticeLineMsg{m.id, m.nick, r.id, 0, room::SanitizeBody(q.text)}));
}

void Core::Handle(Room& r, Member& m, const room::SendSystemNoticeReq& q) {
    if (!rules::MaySendSystemNotice(m.Role())) {
        NoRight(m);
        return;
    }
    if (TrimBlanks(q.text).empty())
        return;
    BroadcastAll(
        Make(room::SystemNoticeLineMsg{m.id, m.nick, r.id, 0, room::SanitizeBody(q.text)}));
}

void Core::Handle(Room& r, Member& m, const room::SendHornReq& q) {
    if (!rules::MayHorn(m.level)) {
        Notice(m, GBK("注册用户暂时无法使用此功能，请升级成VIP用户！"));
        return;
    }
    if (TrimBlanks(q.body).empty())
        return;
    int price = q.world ? options_.worldHornPrice : options_.hornPrice;
    auto balance = store_.DebitGold(m.id, price);
    if (!balance) {
        Notice(m, GBK("您的金币不足，发送") + (q.world ? GBK("世界喇叭") : GBK("小喇叭")) +
                      GBK("需要") + std::to_string(price) + GBK("金币。"));
        return;
    }
    m.gold = *balance;
    SendTo(m, room::BalanceMsg{m.gold, m.points});
    BroadcastAll(Make(room::HornMsg{m.id, m.nick, r.id, q.world, room::SanitizeBody(q.body)}));
}

void Core::Handle(Room& r, Member& m, const room::SendShakeReq& q) {
    if (!rules::MayShake(m.Role())) {
        Notice(m, GBK("您没有发送窗口抖动的权限。"));
        return;
    }
    Member* t = r.Find(q.userId);
    if (!t || t->id == m.id || !Sees(m, *t)) {
        Notice(m, GBK("请选择一个有效用户。"));
        return;
    }
    auto now = Clock::now();
    if (m.lastShake != Clock::time_point{} &&
        now - m.lastShake < std::chrono::milliseconds(options_.shakePaceMs)) {
        Notice(m, GBK("您发送窗口抖动过于频繁，请稍候再发。"));
        return;
    }
    m.lastShake = now;
    SendTo(*t, room::ShakeMsg{m.id, m.nick});
}

void Core::Handle(Room& r, Member& m, const room::ThrowDiceReq&) {
    if (!rules::IsMember(m.level)) {
        Notice(m, GBK("注册用户暂时无法使用此功能，请升级成VIP用户！"));
        return;
    }
    if (!rules::MayDice(m.level, r.info.AllowDice)) {
        Notice(m, GBK("本房间不允许掷骰子。"));
        return;
    }
    auto now = Clock::now();
    if (now - m.lastChat < std::chrono::milliseconds(options_.chatPaceMs)) {
        Notice(m, GBK("对不起，您说话太快了，请坐下来休息会！"));
        return;
    }
    m.lastChat = now;
    std::uniform_int_distribution<int> die(1, 6);
    BroadcastAbout(r, m,
                   Make(room::DiceMsg{m.id, m.nick, static_cast<std::uint8_t>(die(random_))}));
}

void Core::Handle(Room& r, Member& m, const room::ModifyMyInfoReq& q) {
    if (q.currentDigest != m.digest) {
        Notice(m, GBK("密码错误，个人资料没有修改。"));
        return;
    }
    std::string nick = HtmlEscapeLine(TrimBlanks(q.nick));
    nick = nick.substr(0, GbkSafePrefix(nick, 30));
    if (nick.empty()) {
        Notice(m, GBK("昵称不能为空"));
        return;
    }
    if (!q.newDigest.empty() && !IsHexDigest(q.newDigest)) {
        Notice(m, GBK("新密码无效，个人资料没有修改。"));
        return;
    }
    std::int16_t face = std::max<std::int16_t>(q.face, 0);
    if (!store_.UpdateAccount(m.id, nick, face, q.newDigest)) {
        Notice(m, GBK("个人资料保存失败，请稍后再试。"));
        return;
    }
    m.nick = nick;
    m.face = face;
    if (!q.newDigest.empty()) {
        m.digest = q.newDigest;
        verifiedDigests_.erase(m.id);
    }
    BroadcastAbout(r, m, Make(room::UserChangedMsg{m.id, m.nick, m.face}));
    Notice(m, GBK("个人资料修改成功。"));
}

void Core::Handle(Room& r, Member& m, const room::AddFavoriteRoomReq&) {
    if (store_.AddFavorite(m.id, r.id))
        Notice(m, GBK("已将本房间加入您的收藏。"));
    else
        Notice(m, GBK("收藏房间失败，请稍后再试。"));
}

void Core::Handle(Room& r, Member& m, const room::QueryUserReq& q) {
    Member* t = r.Find(q.userId);
    if (!t || !Sees(m, *t))
        return;
    if (q.what == static_cast<std::uint8_t>(room::QueryKind::Details)) {
        if (!rules::MayQueryDetails(m.Role())) {
            NoRight(m);
            return;
        }
        SendTo(m, room::UserDetailsMsg{t->id, t->points, t->gold, t->ip});
    } else if (q.what == static_cast<std::uint8_t>(room::QueryKind::Ip)) {
        if (!rules::MayQueryIp(m.Role(), m.level)) {
            NoRight(m);
            return;
        }
        Notice(m, Who(t->nick, t->id) + GBK(" 的IP地址是: ") + IpToText(t->ip));
    }
}

void Core::SetRole(Room& r, Member& t) {
    t.roomRole = RoomRank(r, t.id);
    BroadcastAbout(r, t, Make(room::UserRoleMsg{t.id, static_cast<std::uint16_t>(t.Role())}));
}

void Core::Handle(Room& r, Member& m, const room::SetManagerReq& q) {
    Member* t = r.Find(q.userId);
    if (q.op == static_cast<std::uint8_t>(room::ManagerOp::AddRoom)) {
        std::int32_t me = m.id;
        bool ownerOrDeputy = me == r.info.OwnerID.Get() || me == r.info.DeputyID1.Get() ||
                             me == r.info.DeputyID2.Get();
        int targetRole = 0;
        if (t) {
            targetRole = t->Role();
        } else if (auto account = store_.Account(q.userId)) {
            targetRole = std::max(account->role, RoomRank(r, q.userId));
        } else {
            Notice(m, GBK("用户不存在。"));
            return;
        }
        if (q.userId == m.id || !rules::MayAddRoomManager(m.Role(), ownerOrDeputy, targetRole)) {
            NoRight(m);
            return;
        }
        if (!store_.AddRoomManager(r.id, q.userId)) {
            Notice(m, GBK("任命房间管理员失败，请稍后再试。"));
            return;
        }
        if (t)
            SetRole(r, *t);
        Notice(m, GBK("已任命房间管理员。"));
        return;
    }
    if (!t || t->id == m.id)
        return;
    if (q.op == static_cast<std::uint8_t>(room::ManagerOp::AddTemp)) {
        if (!rules::MayAddTempManager(m.Role(), t->Role())) {
            NoRight(m);
            return;
        }
        r.tempManagers.insert(t->id);
        SetRole(r, *t);
    } else if (q.op == static_cast<std::uint8_t>(room::ManagerOp::RemoveTemp)) {
        if (!rules::MayRemoveTempManager(m.Role(), t->Role()) || !r.tempManagers.count(t->id)) {
            NoRight(m);
            return;
        }
        r.tempManagers.erase(t->id);
        SetRole(r, *t);
    }
}

void Core::Handle(Room& r, Member& m, const room::PunishReq& q) {
    if (q.userId == m.id)
        return;
    Member* t = r.Find(q.userId);
    int targetRole = 0;
    if (t) {
        targetRole = t->Role();
    } else if (auto account = store_.Account(q.userId); account && q.mode == 4) {
        targetRole = std::max(account->role, RoomRank(r, q.userId));
    } else {
        Notice(m, GBK("对方已经离开房间。"));
        return;
    }
    if (!rules::MayPunish(q.mode, m.Role(), m.level, targetRole)) {
        NoRight(m);
        return;
    }
    bool stored = true;
    if (q.mode == 2 || q.mode == 4)
        stored = store_.AddBlacklist(r.id, q.userId);
    if (q.mode == 3)
        stored = store_.AddIpBan(r.id, t->ip);
    if (!stored) {
        Notice(m, GBK("操作失败，请稍后再试。"));
        return;
    }
    if (q.mode == 4)
        Notice(m, GBK("已将该用户加入本房间黑名单。"));
    // A blacklisted user who is present leaves as well.
    if (!t)
        return;
    std::string target = Who(t->nick, t->id), actor = Who(m.nick, m.id);
    std::int32_t id = t->id;
    bool hidden = t->hidden;
    Expel(r, id,
          Fill(q.mode == 4 ? GBK("您已被 %s 加入本房间黑名单。") : GBK("您已被 %s 踢出房间。"),
               actor));
    if (!hidden)
        PublicNotice(r, target + GBK(" 被 ") + actor + GBK(" 踢出了房间。"));
}

void Core::Handle(Room& r, Member& m, const room::SetBanChatReq& q) {
    Member* t = r.Find(q.userId);
    if (!t || t->id == m.id)
        return;
    if (!rules::MayBanChat(m.Role(), t->Role())) {
        NoRight(m);
        return;
    }
    // At most 30 days; a missing duration means one day.
    std::int64_t ms = q.durationMs > 0 ? q.durationMs : 86400000;
    ms = std::min<std::int64_t>(ms, 30LL * 86400000);
    std::int64_t until = q.on ? NowMs() + ms : 0;
    if (!store_.SetChatBan(r.id, t->id, until)) {
        Notice(m, GBK("操作失败，请稍后再试。"));
        return;
    }
    t->banUntilMs = until;
    BroadcastAbout(r, *t,
                   Make(room::UserBanChatMsg{t->id, static_cast<std::uint8_t>(q.on ? 1 : 0)}));
}

void Core::Handle(Room& r, Member& m, const room::ModifyRoomInfoReq& q) {
    if (!rules::MayEditRoom(m.Role())) {
        NoRight(m);
        return;
    }
    TRoomInfo info = r.info;
    TRoomTexts texts = r.texts;
    std::optional<std::string> newPassword;
    if (q.infoChanged) {
        const TRoomInfo& in = q.info;
        std::string name = TrimBlanks(in.RoomName.Get());
        if (!name.empty())
            info.RoomName.Set(name);
        // Deputies are the owner's choice.
        if (m.id == r.info.OwnerID.Get() || m.Role() >= 235) {
            info.DeputyID1 = in.DeputyID1;
            info.DeputyID2 = in.DeputyID2;
            info.DeputyID3 = in.DeputyID3;
            info.DeputyID4 = in.DeputyID4;
        }
        int speed = in.GiftSpeed.Get();
        if (speed == 200 || speed == 100 || speed == 66 || speed == 40 || speed == 20)
            info.GiftSpeed.Set(speed);
        auto flag = [](unsigned char v) { return static_cast<unsigned char>(v ? 1 : 0); };
        info.AllowDice = flag(in.AllowDice);
        info.FreePublicMic = flag(in.FreePublicMic);
        info.FreePrivateMic = flag(in.FreePrivateMic);
        info.RoomClosed = flag(in.RoomClosed);
        info.AllowColorWord = flag(in.AllowColorWord);
        info.AllowPublicChat = flag(in.AllowPublicChat);
        info.AllowPrivateChat = flag(in.AllowPrivateChat);
        info.AllowRoomNotice = flag(in.AllowRoomNotice);
        info.ShowEnterLeave = flag(in.ShowEnterLeave);
        std::string password = in.Password.Get();
        if (!in.HasPassword) {
            if (r.info.HasPassword)
                newPassword = std::string();
            info.HasPassword = 0;
        } else if (!password.empty()) {
            newPassword = password;
            info.HasPassword = 1;
        } else {
            // Asked for a password without giving one: keep whatever was set.
            info.HasPassword = r.passwordHash.empty() ? 0 : 1;
        }
    }
    if (q.textsChanged) {
        texts.Greeting.Set(q.texts.Greeting.Get());
        texts.Notice1.Set(q.texts.Notice1.Get());
        texts.Notice2.Set(q.texts.Notice2.Get());
        texts.Notice3.Set(q.texts.Notice3.Get());
    }
    std::string newHash;
    if (!store_.SaveRoom(r.id, info, q.infoChanged, newPassword, texts, q.textsChanged, &newHash)) {
        Notice(m, GBK("房间设置保存失败，请稍后再试。"));
        return;
    }
    bool closing = !r.info.RoomClosed && info.RoomClosed;
    r.info = info;
    r.texts = texts;
    if (newPassword) {
        r.passwordHash = newHash;
        r.verifiedPassword = *newPassword;
    }
    // Deputies may have changed.
    for (auto& [id, other] : r.members) {
        int before = other.Role();
        other.roomRole = RoomRank(r, id);
        if (other.Role() != before)
            BroadcastAbout(r, other,
                           Make(room::UserRoleMsg{id, static_cast<std::uint16_t>(other.Role())}));
    }
    for (auto& [id, other] : r.members) {
        SendTo(other, room::RoomSettingsMsg{InfoFor(r, other), r.texts});
        if (q.textsChanged)
            SendRoomTexts(r, other);
    }
    Notice(m, GBK("房间设置已保存。"));
    if (closing) {
        std::vector<std::int32_t> out;
        for (auto& [id, other] : r.members)
            if (!rules::MayEnterClosed(other.Role()))
                out.push_back(id);
        for (std::int32_t id : out)
            Expel(r, id, GBK("本房间已关闭。"));
    }
}

void Core::ResetCityRanks() {
    BroadcastAll(Make(room::RankResetMsg{}));
}

// ---------------------------------------------------------------------------

Options OptionsFrom(const ServerConfig& config) {
    Options o;
    o.host = config.host;
    o.port = config.roomPort;
    o.mediaAddress = ResolveHost(config.AdvertisedHost());
    o.mediaPort = static_cast<std::uint16_t>(config.roomPort ? config.roomPort + 10 : 0);
    o.passwordIterations = config.passwordIterations;
    o.idleTimeoutMs = std::max(config.idleTimeoutMs, 30000u);
    return o;
}

RoomService::RoomService(asio::io_context& io, Database& db, Options options)
    : core_(std::make_shared<Core>(io, db, std::move(options))) {}

RoomService::~RoomService() {
    core_->Stop();
}

bool RoomService::Start(std::string* error) {
    return core_->Start(error);
}
void RoomService::Stop() {
    core_->Stop();
}
IRoomDirectory& RoomService::Directory() {
    return *core_;
}
std::uint16_t RoomService::Port() const {
    return core_->Port();
}
void RoomService::ResetCityRanks() {
    core_->ResetCityRanks();
}

}  // namespace roomsvc

std::unique_ptr<IRoomService> CreateRoomService(asio::io_context& io, Database& db,
                                                const ServerConfig& config) {
    auto service = std::make_unique<roomsvc::RoomService>(io, db, roomsvc::OptionsFrom(config));
    std::string error;
    if (!service->Start(&error)) {
        if (config.log)
            config.log->Write(error);
        return nullptr;
    }
    return service;
}
