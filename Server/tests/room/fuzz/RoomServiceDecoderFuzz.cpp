// Fuzz target for the room service's record decoding: arbitrary bytes go
// through the frame decoder and the decoder of every client record. A record
// that decodes must encode back to exactly its bytes, and message bodies
// must come out of the sanitiser with no markup but font runs.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/Framing.h"
#include "common/RoomProtocol.h"

namespace {

void CheckBody(const std::string& body) {
    std::string clean = room::SanitizeBody(body);
    // Every '<' left must open or close a font run.
    for (std::size_t at = clean.find('<'); at != std::string::npos; at = clean.find('<', at + 1)) {
        std::string_view rest = std::string_view(clean).substr(at);
        if (rest.rfind("<FONT STYLE=\"", 0) != 0 && rest.rfind("</FONT>", 0) != 0)
            std::abort();
    }
    if (room::SanitizeBody(clean) != clean)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FrameDecoder decoder(room::kMaxRecord);
    decoder.Feed(data, size);
    while (auto record = decoder.Next()) {
        room::Dispatch(room::ClientRecords{}, *record, [&](const auto& r) {
            if (room::Encode(r) != *record)
                std::abort();
            using T = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<T, room::ChatReq> || std::is_same_v<T, room::SendHornReq>)
                CheckBody(r.body);
            if constexpr (std::is_same_v<T, room::SendRoomNoticeReq>)
                CheckBody(r.text);
        });
    }
    return 0;
}
