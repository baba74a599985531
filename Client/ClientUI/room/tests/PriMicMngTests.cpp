#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>

#include "av/AVShowFrame.h"
#include "room/PersonMicManage.h"
#include "room/PriMicMngClass.h"
#include "room/tests/RoomFakeEngine.h"

namespace {

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(PriMicMng, SlotsFillInOrderAndPlaceTheFrames) {
    RoomTestApp();
    QWidget room;
    TPriMicMng manager;
    manager.SetFrameSize(240, 200);
    std::vector<QPointer<TframeAVShow>> frames;
    for (int user = 1; user <= 6; ++user) {
        frames.emplace_back(new TframeAVShow(&room));
        EXPECT_EQ(manager.AddWindow(user, frames.back()), user - 1);
    }
    auto* seventh = new TframeAVShow(&room);
    EXPECT_EQ(manager.AddWindow(7, seventh), 6);
    EXPECT_EQ(manager.SlotLeft(6), 248);
    EXPECT_EQ(manager.SlotTop(6), 105 + 2 * 200);
    EXPECT_EQ(manager.SlotLeft(4), 248 + 240);
    EXPECT_EQ(manager.SlotTop(4), 105 + 200);

    // A user has one window at most; the frame stays the caller's.
    auto* again = new TframeAVShow(&room);
    EXPECT_EQ(manager.AddWindow(3, again), -1);
    delete again;
    EXPECT_EQ(manager.FindWindow(3), frames[2]);

    manager.RenameWindow(3, "renamed");
    EXPECT_EQ(frames[2]->ShownNick, "renamed");
    EXPECT_EQ(frames[2]->lblName->text(), "renamed");

    // Closing clears at once and frees later, so a frame can close itself.
    frames[1]->ShownUserId = 2;
    manager.CloseWindow(2);
    EXPECT_EQ(manager.FindWindow(2), nullptr);
    ASSERT_FALSE(frames[1].isNull());
    EXPECT_EQ(frames[1]->ShownUserId, 0);
    EXPECT_TRUE(frames[1]->isHidden());
    FlushDeletes();
    EXPECT_TRUE(frames[1].isNull());
    manager.CloseWindow(2);  // nothing left to close

    // The freed slot is the first one handed out again.
    auto* next = new TframeAVShow(&room);
    EXPECT_EQ(manager.AddWindow(8, next), 1);
    EXPECT_EQ(manager.Count(), 7);
    manager.CloseAll();
    FlushDeletes();
    EXPECT_EQ(manager.Count(), 0);
    for (const auto& f : frames)
        EXPECT_TRUE(f.isNull());
}

TEST(PriMicMng, AFullManagerRefusesInsteadOfLosingAFrame) {
    RoomTestApp();
    QWidget room;
    TPriMicMng manager;
    for (int user = 1; user <= TPriMicMng::kSlotCount; ++user) {
        ASSERT_GE(manager.AddWindow(user, new TframeAVShow(&room)), 0);
    }
    QPointer<TframeAVShow> eleventh = new TframeAVShow(&room);
    EXPECT_EQ(manager.AddWindow(11, eleventh), -1);
    EXPECT_EQ(manager.Count(), TPriMicMng::kSlotCount);
    for (int user = 1; user <= TPriMicMng::kSlotCount; ++user) {
        EXPECT_NE(manager.FindWindow(user), nullptr);
    }
    delete eleventh.data();
}

TEST(PersonMicManage, ViewersKeepTheirArrivalOrderOnce) {
    TPersonMicManage viewers;
    TPrivateMicViewer v;
    for (std::int32_t id : {5, 3, 9}) {
        v.UserID = id;
        v.NickName = std::string(40, 'x');
        viewers.AddViewer(v);
    }
    v.UserID = 3;
    viewers.AddViewer(v);
    ASSERT_EQ(viewers.Count(), 3);
    EXPECT_EQ(viewers.Item(1).UserID, 3);
    EXPECT_EQ(viewers.Item(0).NickName.size(), 31u);
    viewers.RemoveViewer(5);
    viewers.RemoveViewer(77);
    ASSERT_EQ(viewers.Count(), 2);
    EXPECT_EQ(viewers.Item(0).UserID, 3);
}

}  // namespace
