// The panel as a widget, headless: painting, mouse, hints, the search box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <string>
#include <vector>

#include "common/GbkText.h"
#include "foundation/ChatApplication.h"
#include "foundation/ImageList.h"
#include "room/HintWindow.h"
#include "room/UserListPanel.h"
#include "room/UserListView.h"

namespace {

QApplication& UserListApp() {
    static int argc = 1;
    static char name[] = "RoomTests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
            return existing;
        return static_cast<QApplication*>(new TChatApplication(argc, argv));
    }();
    return *app;
}

std::string G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

struct Event {
    std::string which;
    bool hasRow;
    std::int32_t id;
    std::string nick;
    bool operator==(const Event&) const = default;
};

class UserListPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UserListApp();
        panel = std::make_unique<TUserListPanel>();
        panel->resize(260, 300);
        panel->SetUserID(1);
        panel->OnSelectUser = Recorder("select");
        panel->OnSelectUserToGift = Recorder("gift");
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
        view = panel->lvList;
    }

    TUserListPanel::TSelectUser Recorder(const std::string& which) {
        return [this, which](const TRoomUser* row, std::int32_t id, const std::string& nick) {
            events.push_back({which, row != nullptr, id, nick});
        };
    }

    void Add(std::int32_t id, const std::string& nick, int role = 1, int level = 0, int mic = 0,
             bool hidden = false) {
        panel->AddUser(id, nick, role, level, 0, mic, 0, false, hidden, false, -1);
    }

    QPoint RowPoint(int row, int column = kColNick) const {
        return QPoint(TUserListView::ColumnLeft(column) + 5,
                      row * TUserListView::kRowHeight + TUserListView::kRowHeight / 2 -
                          view->verticalScrollBar()->value());
    }

    void Press(Qt::MouseButton button, QPoint at,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(view->viewport(), button, modifiers, at);
        QTest::mouseRelease(view->viewport(), button, modifiers, at);
    }

    void Move(QPoint at) {
        QMouseEvent e(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &e);
    }

    QImage Grab() const { return view->viewport()->grab().toImage(); }

    std::unique_ptr<TUserListPanel> panel;
    TUserListView* view = nullptr;
    std::vector<Event> events;
};

TEST_F(UserListPanelTest, TabCaptionsFollowTheCounters) {
    Add(2, "a", 30, 0, 1);
    Add(3, "b");
    QApplication::processEvents();
    EXPECT_EQ(panel->pcUserList->tabText(0), QString::fromUtf8("全部/2"));
    EXPECT_EQ(panel->pcUserList->tabText(1), QString::fromUtf8("管理/1"));
    EXPECT_EQ(panel->pcUserList->tabText(2), QString::fromUtf8("麦序/1"));
    panel->RemoveUser(2);
    panel->FlushView();
    EXPECT_EQ(panel->pcUserList->tabText(0), QString::fromUtf8("全部/1"));
    EXPECT_EQ(panel->pcUserList->tabText(2), QString::fromUtf8("麦序/0"));
}

TEST_F(UserListPanelTest, LeftClickRaisesBothEventsExceptForOwnRow) {
    Add(1, "me", 1, 1010);  // first row (key 60)
    Add(2, "other");
    Press(Qt::LeftButton, RowPoint(1));
    EXPECT_EQ(events,
              (std::vector<Event>{{"select", true, 2, "other"}, {"gift", true, 2, "other"}}));
    EXPECT_EQ(panel->SelectedUser(), panel->FindUser(2));
    events.clear();
    Press(Qt::LeftButton, RowPoint(0));  // own row: selected, no events
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(panel->SelectedUser(), panel->FindUser(1));
    Press(Qt::LeftButton, RowPoint(1), Qt::ShiftModifier);  // with a modifier: no events
    EXPECT_TRUE(events.empty());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(1));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), (Event{"gift", true, 2, "other"}));
    events.clear();
    Press(Qt::LeftButton, QPoint(10, 200));  // below the rows
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(panel->SelectedUser(), nullptr);
}

TEST_F(UserListPanelTest, RightClickOpensTheMenuOnlyOverARow) {
    QMenu menu;
    menu.addAction("x");
    panel->SetPopupMenu(&menu);
    Add(2, "other");
    const auto contextMenu = [&](QPoint at) {
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &e);
    };
    Press(Qt::RightButton, QPoint(10, 200));
    contextMenu(QPoint(10, 200));
    EXPECT_FALSE(menu.isVisible());
    Press(Qt::RightButton, RowPoint(0));
    contextMenu(RowPoint(0));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(panel->SelectedUser(), panel->FindUser(2));
    EXPECT_TRUE(events.empty());  // the right button raises no selection event
    menu.hide();
}

TEST_F(UserListPanelTest, RowColoursAndHiddenUsersInGreen) {
    Add(2, "WWWWWWWW", 1, 0, 0, /*hidden=*/true);
    Add(3, "WWWWWWWW");
    Add(4, "WWWWWWWW", 30);
    const int x = TUserListView::ColumnLeft(kColNumber) + kUserListColumnWidths[kColNumber] - 3;
    QImage img = Grab();
    EXPECT_EQ(img.pixelColor(x, RowPoint(0).y()), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(x, RowPoint(1).y()), QColor(234, 234, 234));
    // Count the text pixels of each colour family in a row's nickname cell.
    const auto inks = [&](int row) {
        int green = 0, red = 0, dark = 0;
        const int top = row * TUserListView::kRowHeight;
        for (int y = top; y < top + TUserListView::kRowHeight; ++y)
            for (int px = TUserListView::ColumnLeft(kColNick);
                 px < TUserListView::ColumnLeft(kColNumber); ++px) {
                const QColor c = img.pixelColor(px, y);
                if (c.green() > c.red() + 60 && c.green() > c.blue() + 60)
                    ++green;
                else if (c.red() > c.green() + 60)
                    ++red;
                else if (c.value() < 100)
                    ++dark;
            }
        return std::array<int, 3>{green, red, dark};
    };
    const auto hidden = inks(0), plain = inks(1), manager = inks(2);
    EXPECT_GT(hidden[0], 0);
    EXPECT_EQ(hidden[1] + hidden[2], 0);
    EXPECT_GT(plain[2], 0);
    EXPECT_EQ(plain[0] + plain[1], 0);
    EXPECT_GT(manager[1], 0);

    view->setFocus();
    panel->LocateUser(3);
    img = Grab();
    EXPECT_EQ(img.pixelColor(x, RowPoint(1).y()), QColor(177, 225, 248));
}

TEST_F(UserListPanelTest, HintsByColumn) {
    Add(2, "nick", 30, 1010, 2);
    Move(RowPoint(0, kColNick));
    EXPECT_TRUE(panel->FHintWindow->isVisible());
    EXPECT_EQ(panel->FHintWindow->Text(), QString("nick\n(2)"));
    const QPoint global = view->viewport()->mapToGlobal(RowPoint(0, kColNick));
    EXPECT_GT(panel->FHintWindow->geometry().top(), global.y());  // below the pointer
    Move(RowPoint(0, kColMic));
    EXPECT_EQ(panel->FHintWindow->Text(), QString::fromUtf8("私麦(所有人可连接麦)"));
    Move(RowPoint(0, kColRank));
    EXPECT_EQ(panel->FHintWindow->Text(), QString::fromUtf8("蓝色VIP"));
    Move(QPoint(10, 250));  // no row
    EXPECT_FALSE(panel->FHintWindow->isVisible());
    Move(RowPoint(0, kColNumber));
    EXPECT_TRUE(panel->FHintWindow->isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view, &leave);
    EXPECT_FALSE(panel->FHintWindow->isVisible());
}

TEST_F(UserListPanelTest, TypingSearchesAndClearingReturnsToEverybody) {
    Add(2, G("张三"));
    Add(3, G("李四"), 30);
    Add(4, "Zoe");
    panel->SetActiveTab(kTabManagers);
    ASSERT_EQ(panel->Model().RowCount(), 1);
    panel->SetActiveTab(kTabAll);
    panel->activateWindow();
    QApplication::setActiveWindow(panel.get());
    panel->edtSearch->setFocus();
    ASSERT_TRUE(panel->edtSearch->hasFocus());
    QTest::keyClicks(panel->edtSearch, "zs");
    ASSERT_EQ(panel->Model().RowCount(), 1);
    EXPECT_EQ(panel->Model().RowUser(0)->UserID, 2);
    // A user who enters during a search is searched too.
    Add(5, G("赵四"));
    EXPECT_EQ(panel->Model().RowCount(), 2);
    panel->SetActiveTab(kTabMic);
    QTest::keyClick(panel->edtSearch, Qt::Key_Backspace);
    QTest::keyClick(panel->edtSearch, Qt::Key_Backspace);
    EXPECT_EQ(panel->pcUserList->currentIndex(), kTabAll);
    EXPECT_EQ(panel->Model().RowCount(), 4);
    // Text set by the program does not search.
    panel->edtSearch->clearFocus();
    panel->edtSearch->setText("1003");
    EXPECT_EQ(panel->Model().RowCount(), 4);
}

TEST_F(UserListPanelTest, SelectByIdAndLocate) {
    for (int id = 2; id < 80; ++id)
        Add(id, "u" + std::to_string(id));
    Add(80, "mic", 1, 0, 1);
    panel->SelectUserById(1);  // the current user: ignored
    EXPECT_TRUE(events.empty());
    panel->SelectUserById(79);
    EXPECT_EQ(events, (std::vector<Event>{{"select", true, 79, "u79"}}));
    EXPECT_EQ(panel->SelectedUser(), panel->FindUser(79));
    EXPECT_GT(view->verticalScrollBar()->value(), 0);
    const QRect rowRect = view->RowRect(panel->Model().RowOf(79));
    EXPECT_TRUE(view->viewport()->rect().contains(rowRect));
    panel->SetActiveTab(kTabMic);
    events.clear();
    panel->SelectUserById(5);  // listed, not on this tab
    EXPECT_EQ(events, (std::vector<Event>{{"select", false, 5, "u5"}}));
    panel->SelectUserById(999);
    EXPECT_EQ(events.size(), 1u);
    panel->LocateUser(80);
    EXPECT_EQ(panel->SelectedUser(), panel->FindUser(80));
    EXPECT_TRUE(view->hasFocus());
}

TEST_F(UserListPanelTest, RemovingTheSelectedUserClearsTheSelection) {
    Add(2, "a");
    Add(3, "b");
    Press(Qt::LeftButton, RowPoint(0));
    ASSERT_EQ(panel->SelectedUser(), panel->FindUser(2));
    panel->RemoveUser(2);
    EXPECT_EQ(panel->SelectedUser(), nullptr);
    EXPECT_EQ(panel->Model().RowCount(), 1);
}

TEST(HintWindow, StaysOnScreenAndBreaksLinesAtCarriageReturns) {
    UserListApp();
    THK_HintWindow hint;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    hint.ShowHintAt(QPoint(screen.right() - 2, screen.bottom() - 2), QString("abc\r(12345)"));
    ASSERT_TRUE(hint.isVisible());
    EXPECT_EQ(hint.Text(), QString("abc\n(12345)"));
    EXPECT_TRUE(screen.contains(hint.geometry()));
    const QRect oneLine = hint.CalcHintRect(screen.width(), "abc");
    EXPECT_GT(hint.height(), oneLine.height());
    hint.ShowHintAt(QPoint(10, 10), QString());
    EXPECT_FALSE(hint.isVisible());
}

}  // namespace
