#include "session/RoomWindowInf.h"

namespace {
TRoomWindowFactory& Factory() {
    static TRoomWindowFactory factory;
    return factory;
}
TShowMyGiftsHook& GiftsHook() {
    static TShowMyGiftsHook hook;
    return hook;
}
}  // namespace

void SetRoomWindowFactory(TRoomWindowFactory factory) {
    Factory() = std::move(factory);
}
const TRoomWindowFactory& RoomWindowFactory() {
    return Factory();
}
void SetShowMyGiftsHook(TShowMyGiftsHook hook) {
    GiftsHook() = std::move(hook);
}
const TShowMyGiftsHook& ShowMyGiftsHook() {
    return GiftsHook();
}
