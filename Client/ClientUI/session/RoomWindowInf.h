// What the hall needs of a room window. The room window's own unit
// implements IRoomWindow and registers its factory at program start; until
// one is registered the hall opens no room.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class QWidget;
class TGiftStatistic;  // the room's gift statistics, handed over on close

class IRoomWindow {
  public:
    virtual ~IRoomWindow() = default;

    // The room's top-level window. It is destroyed when closed, which is how
    // the hall counts open rooms.
    virtual QWidget* Window() = 0;
    // The room id given to OpenRoom (0 before).
    virtual std::int32_t RoomId() const = 0;

    // Called by the hall, in this order, once each (AddRoomServer once per
    // room server).
    virtual void SetCloseHandler(std::function<void(TGiftStatistic&)> handler) = 0;
    // IPv4 address in network byte order.
    virtual void AddRoomServer(std::uint32_t address) = 0;
    virtual void SetReconnectInterval(int milliseconds) = 0;
    // Texts are GBK.
    virtual void OpenRoom(std::int32_t roomId, std::int32_t userId, bool hidden,
                          std::uint16_t hallValue, const std::string& passwordDigest,
                          const std::string& roomPassword) = 0;
};

// Creates a hidden room window owned by `owner` (the hall), detached as a
// top-level window. Returns nullptr when the room cannot be created (its
// engine module cannot be loaded); the hall then reports the failure.
using TRoomWindowFactory = std::function<IRoomWindow*(QWidget* owner)>;
void SetRoomWindowFactory(TRoomWindowFactory factory);
const TRoomWindowFactory& RoomWindowFactory();

// Shows the user's gifts of a closed room when the statistic holds any
// (registered by the gifts unit; without it the hall shows nothing).
using TShowMyGiftsHook = std::function<void(QWidget* hall, TGiftStatistic& statistic)>;
void SetShowMyGiftsHook(TShowMyGiftsHook hook);
const TShowMyGiftsHook& ShowMyGiftsHook();
