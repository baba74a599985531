#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "common/GbkText.h"
#include "room/RoomRules.h"
#include "room/RoomTexts.h"
#include "room/tests/RoomFakeEngine.h"

namespace {

constexpr std::int32_t kMe = 1000;

class TRecordingLinkTarget : public IChatLinkTarget {
  public:
    std::vector<std::string> Calls;
    void SelectUserById(std::int32_t userId) override {
        Calls.push_back("Select(" + std::to_string(userId) + ")");
    }
    void PrivateElementToText(const std::string& id) override {
        Calls.push_back("Text(" + id + ")");
    }
    void PrivateElementEmpty(const std::string& id) override {
        Calls.push_back("Empty(" + id + ")");
    }
};

struct TLinkCase {
    const char* Target;
    std::vector<std::string> Engine;
    std::vector<std::string> View;
};

TEST(ChatLinks, EachSchemeDoesWhatItsTargetSays) {
    const std::vector<TLinkCase> cases = {
        {"id:25:abc", {}, {"Select(25)"}},
        {"ID:25:", {}, {"Select(25)"}},
        // Without the closing ":" the number does not count.
        {"id:25", {}, {}},
        {"id:1000:", {}, {}},
        {"id:x:", {}, {}},
        {"rm:agree_25", {"AnswerMicRequest(25,1)"}, {"Text(action_25)"}},
        {"Rm:refuse_25", {"AnswerMicRequest(25,0)"}, {"Text(action_25)"}},
        {"rm:other_25", {}, {"Text(action_25)"}},
        // The user's own number sends nothing but still settles the links.
        {"rm:agree_1000", {}, {"Text(action_1000)"}},
        {"rm:agree_x", {}, {"Text(action_x)"}},
        {"mic:25_3", {"ConnectPrivateMic(25)"}, {}},
        {"mic:1000_3", {}, {}},
        {"mic1:25_7", {"ConnectPrivateMic(25)"}, {"Empty(need_arrow_7)"}},
        {"mic1:0_7", {}, {"Empty(need_arrow_7)"}},
        {"http://example.invalid/", {}, {}},
        {"nothing", {}, {}},
    };
    for (const TLinkCase& c : cases) {
        SCOPED_TRACE(c.Target);
        TRecordingEngine engine;
        TRecordingLinkTarget view;
        RunChatLink(c.Target, kMe, &engine, view);
        EXPECT_EQ(engine.Calls, c.Engine);
        EXPECT_EQ(view.Calls, c.View);
    }
}

TEST(ChatLinks, WithoutAnEngineOnlyTheViewChanges) {
    TRecordingLinkTarget view;
    RunChatLink("rm:agree_25", kMe, nullptr, view);
    RunChatLink("mic1:25_2", kMe, nullptr, view);
    EXPECT_EQ(view.Calls, (std::vector<std::string>{"Text(action_25)", "Empty(need_arrow_2)"}));
}

TEST(WindowShake, SquareStepsThenHomeAfterSeventeenTicksOrTwoSeconds) {
    TShakeMotion shake;
    shake.Start(1000);
    int dx = 0, dy = 0, ticks = 0;
    std::int64_t now = 1000;
    while (auto step = shake.Tick(now)) {
        if (ticks < 4) {
            static const int kExpect[4][2] = {{3, 0}, {0, -3}, {-3, 0}, {0, 3}};
            EXPECT_EQ(step->Dx, kExpect[ticks][0]);
            EXPECT_EQ(step->Dy, kExpect[ticks][1]);
        }
        dx += step->Dx;
        dy += step->Dy;
        ++ticks;
        now += 40;
    }
    EXPECT_EQ(ticks, 17);
    EXPECT_FALSE(shake.Running());
    EXPECT_EQ(dx, 3);  // 17 steps end one step off; the window goes home after
    EXPECT_EQ(dy, 0);

    // A slow timer ends on time rather than on count.
    shake.Start(0);
    EXPECT_TRUE(shake.Tick(0).has_value());
    EXPECT_TRUE(shake.Tick(2000).has_value());
    EXPECT_FALSE(shake.Tick(2001).has_value());
}

TEST(Reconnect, IntervalZeroNeverReconnects) {
    TReconnectState state(8000);
    EXPECT_FALSE(state.Reconnecting());
    EXPECT_TRUE(state.Begin());
    EXPECT_TRUE(state.Reconnecting());
    state.Entered();
    EXPECT_FALSE(state.Reconnecting());
    state.SetInterval(0);
    EXPECT_FALSE(state.Begin());
    EXPECT_FALSE(state.Reconnecting());
}

TEST(RoomWindowPlace, WideScreensCentreSmallOnesFill) {
    const TRectI area{0, 0, 1280, 990};
    const TRectI centred = PlaceRoomWindow(area, 1280, 1000, 680);
    EXPECT_EQ(centred.Left, 140);
    EXPECT_EQ(centred.Top, 155);
    EXPECT_EQ(centred.Width, 1000);
    const TRectI filled = PlaceRoomWindow({0, 0, 1024, 738}, 1024, 1000, 680);
    EXPECT_EQ(filled.Width, 1024);
    EXPECT_EQ(filled.Height, 738);
}

TEST(RoomTexts, CaptionsAndCutLine) {
    EXPECT_EQ(RoomCaption(88, RoomText("小李")), RoomText("88房间(小李)"));
    EXPECT_EQ(RoomNameLabel(88, RoomText("大厅")), RoomText("(88)大厅"));
    EXPECT_EQ(PrivateMicCutText(RoomText("小李"), 25),
              RoomText("小李(25) 主动断开了您的私麦连接。"));
}

// A seal folder with an INI of three entries and pictures for some of them.
class SealCatalogueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path().toStdString() + "/";
        const std::string ini = "[Count]\r\nCount=3\r\n[1]\r\nID=101\r\nType=1\r\nName=" +
                                Utf8ToGbk("一二三四五六七八九十一") +
                                "\r\n[2]\r\nID=7\r\nType=2\r\n"
                                "[3]\r\nType=1\r\nID=101\r\nValue=9\r\n";
        Write("seal.ini", ini);
        QImage picture(10, 10, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        picture.save(dir_.filePath("101.bmp"));
        picture.save(dir_.filePath("101.png"));
    }
    void Write(const char* name, const std::string& bytes) {
        QFile file(dir_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QTemporaryDir dir_;
    std::string folder_;
};

TEST_F(SealCatalogueTest, LoadsOnceWithKeysNamesAndPictures) {
    TSealCatalogue catalogue;
    std::vector<std::string> bitmaps;
    auto addBitmap = [&](const std::string& path) {
        bitmaps.push_back(path);
        return static_cast<int>(bitmaps.size()) - 1;
    };
    catalogue.Load(folder_, addBitmap);
    // Both entries with ID 101 bring their bitmap; the first keeps key 1101.
    EXPECT_EQ(bitmaps.size(), 2u);
    ASSERT_NE(catalogue.Find(1101), nullptr);
    EXPECT_EQ(catalogue.Find(1101)->Value, 500);
    EXPECT_EQ(catalogue.Find(1101)->Name.size(), 20u);
    ASSERT_NE(catalogue.Find(2007), nullptr);
    EXPECT_EQ(catalogue.Find(2007)->Time, 50);

    catalogue.Load(folder_, addBitmap);
    EXPECT_EQ(bitmaps.size(), 2u);

    int pngs = 0;
    auto addPng = [&](const std::string&) { return 40 + pngs++; };
    EXPECT_EQ(catalogue.PictureIndex(1101, addPng), 40);
    EXPECT_EQ(catalogue.PictureIndex(1101, addPng), 40);  // loaded once
    EXPECT_EQ(pngs, 1);
    EXPECT_EQ(catalogue.PictureIndex(2007, addPng), -1);  // no picture file
    EXPECT_EQ(catalogue.PictureIndex(0, addPng), -1);
    EXPECT_EQ(catalogue.PictureIndex(-5, addPng), -1);
    EXPECT_EQ(catalogue.PictureIndex(9999, addPng), -1);
}

TEST(SealCatalogue, MissingIniGivesAnEmptyCatalogue) {
    TSealCatalogue catalogue;
    catalogue.Load("/nonexistent-seal-folder/", {});
    EXPECT_TRUE(catalogue.Empty());
    EXPECT_EQ(catalogue.PictureIndex(1101, {}), -1);
}

}  // namespace
