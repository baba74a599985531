#include "common/Framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

TEST(Framing, EncodeWritesLittleEndianCountThenRecord) {
    EXPECT_EQ(EncodeFrame("abc"),
              "\x03\x00\x00\x00"s
              "abc");
    std::string big(0x0201, 'x');
    EXPECT_EQ(EncodeFrame(big).substr(0, 4), "\x01\x02\x00\x00"s);
}

TEST(Framing, DecoderReassemblesRecordsFromAnySplit) {
    std::string stream =
        EncodeFrame("first") + EncodeFrame(std::string(300, '\0')) + EncodeFrame("z");
    // Every split point between one-byte feeds and the whole stream at once.
    for (std::size_t chunk : {std::size_t(1), std::size_t(3), std::size_t(7), stream.size()}) {
        FrameDecoder d(1024);
        std::vector<std::string> got;
        for (std::size_t i = 0; i < stream.size(); i += chunk) {
            ASSERT_TRUE(d.Feed(std::string_view(stream).substr(i, chunk)));
            while (auto r = d.Next())
                got.push_back(*r);
        }
        ASSERT_EQ(got.size(), 3u) << "chunk " << chunk;
        EXPECT_EQ(got[0], "first");
        EXPECT_EQ(got[1], std::string(300, '\0'));
        EXPECT_EQ(got[2], "z");
        EXPECT_FALSE(d.Partial());
    }
}

TEST(Framing, DecoderReportsCutRecordAsPartial) {
    FrameDecoder d(64);
    std::string frame = EncodeFrame("hello");
    EXPECT_TRUE(d.Feed(frame.substr(0, 2)));
    EXPECT_TRUE(d.Partial());
    EXPECT_TRUE(d.Feed(frame.substr(2, 5)));
    EXPECT_TRUE(d.Partial());
    EXPECT_FALSE(d.Next());
}

TEST(Framing, DecoderStopsForGoodOnImpossibleCount) {
    struct Case {
        std::string bytes;
        FrameError error;
    } cases[] = {
        {"\x00\x00\x00\x00"s, FrameError::Empty},
        {"\x41\x00\x00\x00"s, FrameError::Oversize},  // one above the maximum
        {"\xFF\xFF\xFF\xFF"s, FrameError::Oversize},
        {"GET / HTTP/1.1\r\n"s, FrameError::Oversize},  // text read as a count
    };
    for (const auto& c : cases) {
        FrameDecoder d(0x40);
        // A good record first: it stays available after the error.
        EXPECT_FALSE(d.Feed(EncodeFrame("ok") + c.bytes));
        EXPECT_EQ(d.Error(), c.error);
        EXPECT_EQ(d.Next(), "ok");
        EXPECT_FALSE(d.Feed(EncodeFrame("later")));
        EXPECT_FALSE(d.Next());
    }
    FrameDecoder atMax(0x40);
    EXPECT_TRUE(atMax.Feed(EncodeFrame(std::string(0x40, 'm'))));
    EXPECT_EQ(atMax.Next()->size(), 0x40u);
}
