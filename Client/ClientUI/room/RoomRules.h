// The room window's decisions that need no widgets: the chat-pane links, the
// shake steps, the reconnect state, the window placement and the seal
// catalogue shared by every room of the process.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

class IClientEngine;

// ---------------------------------------------------------------- links

enum class TChatLinkKind { None, Id, Rm, Mic, Mic1 };

// A chat-pane link target: scheme ":" rest.
struct TChatLink {
    TChatLinkKind Kind = TChatLinkKind::None;
    std::int32_t UserId = 0;  // 0 when the number does not parse
    std::string Action;       // "rm": the text before "_"
    std::string Tail;         // "rm": the number's text; "mic"/"mic1": the text after "_"
};
TChatLink ParseChatLink(std::string_view target);

// What a link changes besides the engine, so the room can apply it to its
// widgets.
class IChatLinkTarget {
  public:
    virtual ~IChatLinkTarget() = default;
    virtual void SelectUserById(std::int32_t userId) = 0;
    // Rewrites the private pane's element with this id: plain text of its
    // content, or nothing at all.
    virtual void PrivateElementToText(const std::string& elementId) = 0;
    virtual void PrivateElementEmpty(const std::string& elementId) = 0;
};

// Runs one link: user numbers above 0 other than the user's own reach the
// engine (or the user list); "rm" and "mic1" rewrite their elements in every
// case. `engine` may be null while the module is reloaded.
void RunChatLink(std::string_view target, std::int32_t myUserId, IClientEngine* engine,
                 IChatLinkTarget& view);

// ---------------------------------------------------------------- shake

// The window shake: every 40 ms the window moves by one step of a square
// (3, 0), (0, -3), (-3, 0), (0, 3), for at most 17 steps or 2000 ms; then it
// goes back to where it started.
class TShakeMotion {
  public:
    struct TStep {
        int Dx = 0;
        int Dy = 0;
    };
    void Start(std::int64_t now) {
        count_ = 0;
        start_ = now;
        running_ = true;
    }
    bool Running() const { return running_; }
    // The move for this tick, or nothing: the shake is over and the window
    // goes back to its starting rectangle.
    std::optional<TStep> Tick(std::int64_t now);
    int Count() const { return count_; }

  private:
    int count_ = 0;
    std::int64_t start_ = 0;
    bool running_ = false;
};

// ---------------------------------------------------------------- reconnect

// The room's connection states after the first entry: reconnecting runs
// from a mode-1 disconnection until the next successful entry.
class TReconnectState {
  public:
    explicit TReconnectState(int intervalMs = 15000) : interval_(intervalMs) {}
    void SetInterval(int ms) { interval_ = ms; }
    int Interval() const { return interval_; }

    // After a mode-1 disconnection: true when the timer is to run. An
    // interval of 0 or less never fires, so the room stays empty.
    bool Begin() {
        reconnecting_ = interval_ > 0;
        return reconnecting_;
    }
    void Entered() { reconnecting_ = false; }
    void Stop() { reconnecting_ = false; }
    // Entry failures stay silent while this is true.
    bool Reconnecting() const { return reconnecting_; }

  private:
    int interval_;
    bool reconnecting_ = false;
};

// ---------------------------------------------------------------- placement

struct TRectI {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};
// Screens wider than 1024 pixels get the window centred in the work area;
// smaller ones get it covering the work area.
TRectI PlaceRoomWindow(const TRectI& workArea, int screenWidth, int windowWidth, int windowHeight);

// ---------------------------------------------------------------- texts

// "%d房间(%s)" and "(%d)%s" (GBK).
std::string RoomCaption(std::int32_t roomId, const std::string& nickName);
std::string RoomNameLabel(std::int32_t roomId, const std::string& roomName);
// "%s(%d) 主动断开了您的私麦连接。"
std::string PrivateMicCutText(const std::string& nickName, std::int32_t userId);

// ---------------------------------------------------------------- seals

struct TSealEntry {
    std::int32_t Key = 0;  // Type * 1000 + ID
    std::int16_t Picture = -1;
    std::int32_t ID = 101;
    std::int32_t Type = 1;
    std::string Name;  // GBK, at most 20 bytes
    std::int32_t Value = 500;
    std::int32_t Time = 50;
};

// The seal catalogue of "Seal/seal.ini", loaded once for the process.
class TSealCatalogue {
  public:
    // Hands a picture file to an image list and returns its position there.
    using TAddPicture = std::function<int(const std::string& path)>;

    bool Empty() const { return entries_.empty(); }
    std::size_t Count() const { return entries_.size(); }
    // Reads the INI file (sealFolder with a trailing "/"); skipped when the
    // catalogue has entries already. Each existing "%.3d.bmp" goes to
    // addBitmap.
    void Load(const std::string& sealFolder, const TAddPicture& addBitmap);
    const TSealEntry* Find(std::int32_t key) const;
    // The PNG list position of a key's picture, loading "%.3d.png" through
    // addPng on first use; -1 for keys of 0 or less, unknown keys and
    // missing pictures.
    int PictureIndex(std::int32_t key, const TAddPicture& addPng);
    void Clear() { entries_.clear(); }

  private:
    std::string folder_;
    std::map<std::int32_t, TSealEntry> entries_;
};

// The process-wide catalogue and entry counter of the room windows.
TSealCatalogue& SealCatalogue();
// Successful room entries (reconnections included) in this process.
extern std::int32_t EnterCount;
