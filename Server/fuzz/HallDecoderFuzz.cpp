// Fuzz target for the hall's record handling: arbitrary bytes go through the
// frame decoder, every record decoder and the hall's answer logic over an
// in-memory database. Built with libFuzzer (clang, CHATROOM_FUZZ=ON) or as a
// plain program that replays files (ReplayMain.cpp).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "Database.h"
#include "HallLogic.h"
#include "ServerConfig.h"
#include "common/Framing.h"
#include "common/HallProtocol.h"

namespace {

struct World {
    World() {
        config.passwordIterations = 1000;
        std::string error;
        db = Database::Open(":memory:", config, &error);
        if (!db)
            std::abort();
        logic = std::make_unique<HallLogic>(*db, config);
    }
    ServerConfig config;
    std::unique_ptr<Database> db;
    std::unique_ptr<HallLogic> logic;
};

// A record that decodes must be exactly the bytes it came from.
template <typename T>
void CheckRoundTrip(const std::optional<T>& decoded, std::string_view bytes) {
    if (decoded && RecordBytes(*decoded) != bytes)
        std::abort();
}

void OneRecord(World& w, std::string_view record) {
    CheckRoundTrip(DecodeRouteRequest(record), record);
    CheckRoundTrip(DecodeVersionReply(record), record);
    CheckRoundTrip(DecodeLoginRequest(record), record);
    if (auto reply = DecodeLoginReply(record)) {
        CheckRoundTrip(reply, record);
        (void)reply->ErrorText.Get();
        for (const auto& s : reply->RoomServers)
            (void)s.Get();
    }
    int failed = 0;
    auto outcome = w.logic->Handle(record, failed);
    // Whatever the hall answers must itself be a well-formed reply.
    if (!outcome.reply.empty() && !DecodeVersionReply(outcome.reply) &&
        !DecodeLoginReply(outcome.reply))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static World world;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    OneRecord(world, input);

    // The same bytes as a stream, fed in pieces whose sizes the first byte picks.
    FrameDecoder decoder(kHallMaxRecordSize);
    std::size_t step = size ? (data[0] % 17) + 1 : 1;
    for (std::size_t at = 0; at < size && !decoder.Failed(); at += step) {
        decoder.Feed(input.substr(at, step));
        while (auto record = decoder.Next()) {
            if (record->empty() || record->size() > kHallMaxRecordSize)
                std::abort();
            OneRecord(world, *record);
        }
    }
    return 0;
}
