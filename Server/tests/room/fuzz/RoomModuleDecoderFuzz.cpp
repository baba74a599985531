// Fuzz target for the engine module's side: arbitrary bytes go through the
// frame decoder and the decoder of every service record, and each decoded
// record is turned into the lines the engine would show.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "EngineLines.h"
#include "common/Framing.h"
#include "common/RoomProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const engine::PictureFolders folders{"/e/", "/v/", "/s/", "/d/"};
    FrameDecoder decoder(room::kMaxRecord);
    decoder.Feed(data, size);
    while (auto record = decoder.Next()) {
        room::Dispatch(room::ServiceRecords{}, *record, [&](const auto& r) {
            if (room::Encode(r) != *record)
                std::abort();
            using T = std::decay_t<decltype(r)>;
            std::string line;
            if constexpr (std::is_same_v<T, room::ChatLineMsg>) {
                engine::LineUser from{r.from.userId, r.from.nick, r.from.role, r.from.level,
                                      r.from.seal};
                engine::LineUser to{r.to.userId, r.to.nick, r.to.role, r.to.level, r.to.seal};
                line = engine::ChatLine(from, to, r.whisper, r.autoReply, r.body, folders);
            } else if constexpr (std::is_same_v<T, room::HornMsg>) {
                line = engine::HornLine(r.userId, r.nick, r.world, r.roomId, r.body, folders);
            } else if constexpr (std::is_same_v<T, room::GreetingMsg>) {
                line = engine::GreetingLine(r.text);
            } else if constexpr (std::is_same_v<T, room::MicConsentAskMsg>) {
                line = engine::ConsentLine(r.userId, r.nick);
            } else if constexpr (std::is_same_v<T, room::UserEnterMsg>) {
                line = engine::EnterLine({r.userId, r.nick, r.role, r.level, r.seal}, folders);
            }
            // A nickname never opens a tag of its own.
            if (line.find("<script") != std::string::npos)
                std::abort();
        });
    }
    return 0;
}
