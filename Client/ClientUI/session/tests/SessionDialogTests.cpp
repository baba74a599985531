// The small session windows: network choice, the room-entry hint's time-out,
// the exit dialog and the registration page's account texts.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include "TestSupport.h"
#include "common/GbkText.h"
#include "foundation/ProfileStore.h"
#include "foundation/ResModule.h"
#include "session/ExitMessagebox.h"
#include "session/LoginHintForm.h"
#include "session/NetChooseForm.h"
#include "session/WbRegistForm.h"

TEST(NetChoose, StartsOnTelecomStoresOkAndIgnoresCancel) {
    TestQtApp();
    QTemporaryDir dir;
    SetRegistryPathForTests(dir.path().toStdString() + "/registry.ini");
    {
        TfrmNetChoose dialog;
        EXPECT_TRUE(dialog.crbTelecom->isChecked());
        EXPECT_EQ(ReadNetType(), 0);
        dialog.crbNetcom->setChecked(true);
        dialog.btnCancel->click();
        EXPECT_EQ(ReadNetType(), 0);
        dialog.crbNetcom->setChecked(true);
        dialog.btnOK->click();
        EXPECT_EQ(ReadNetType(), 1);
    }
    TfrmNetChoose again;
    EXPECT_TRUE(again.crbNetcom->isChecked());
    SetRegistryPathForTests({});
}

TEST(LoginHint, TimeOutClosesTheRoomUnlessTheRoomHidItFirst) {
    TestQtApp();
    QWidget hall;
    QWidget contents(&hall);
    std::vector<std::string> messages;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages.push_back(box->text().toStdString());
            box->done(QMessageBox::Ok);
        }
    });
    closer.start(10);

    TfrmLoginHint hint(&hall, &contents);
    hint.tmrTimeOver->setInterval(100);
    auto* room = new QWidget(&hall, Qt::Window);
    room->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> watch(room);

    // The room is ready in time: it hides the hint, nothing else happens.
    contents.setEnabled(false);
    hint.show();
    EXPECT_EQ(hint.Label1->text(), QString::fromUtf8("正在创建房间..."));
    hint.AttachRoom(room);
    hint.hide();
    EXPECT_FALSE(hint.tmrTimeOver->isActive());
    EXPECT_TRUE(contents.isEnabled());
    PumpQt([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(watch);

    // No answer in time: the message, and the room is closed.
    contents.setEnabled(false);
    hint.show();
    hint.AttachRoom(room);
    ASSERT_TRUE(PumpQt([&] { return watch.isNull(); }, std::chrono::milliseconds(3000)));
    EXPECT_EQ(messages, std::vector<std::string>{"与服务器连接失败！"});
    EXPECT_FALSE(hint.isVisible());
    EXPECT_TRUE(contents.isEnabled());
}

TEST(WbRegist, LaterElementsOverrideEarlierOnes) {
    auto read = [](QVariantMap texts) { return TfrmWbRegist::ReadAccount(texts); };
    EXPECT_EQ(read({{"Label1", "111"}, {"Account", " 900001\n"}, {"LogonPassword", "pw"}}),
              (std::pair<std::string, std::string>{"900001", "pw"}));
    EXPECT_EQ(read({{"Label1", "111"}, {"Label2", "p2"}}),
              (std::pair<std::string, std::string>{"111", "p2"}));
    EXPECT_EQ(read({}), (std::pair<std::string, std::string>{"", ""}));
}

TEST(ExitMsg, SkinnedButtonsKeepTheirWordsAndGiveTheirResults) {
    TestQtApp();
    UseBuiltProgramFolder();
    TgResModule module(AppDir);  // the installed skin
    ASSERT_FALSE(module.skinData1.IsEmpty());
    TfrmExitMsg dialog;
    struct Case {
        QPushButton* button;
        const char* words;
        int result;
    };
    for (const Case& c :
         {Case{dialog.btnChangeAccount, "切换帐号", 6}, Case{dialog.btnExit, "退出", 1}}) {
        QTimer::singleShot(0, c.button, &QPushButton::click);
        EXPECT_EQ(dialog.exec(), c.result);
        EXPECT_EQ(c.button->text(), QString::fromUtf8(c.words));
        EXPECT_FALSE(c.button->icon().isNull());
    }
    qApp->setStyleSheet({});  // the skin stays with this test
}
