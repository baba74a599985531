// The login window's own behaviour: the account list, remembered passwords,
// key handling and the outcome of a login.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "TestSupport.h"
#include "common/GbkText.h"
#include "common/IniFile.h"
#include "foundation/ProfileStore.h"
#include "session/LoginForm.h"

namespace {

struct FakeHall : ILoginHall {
    std::vector<std::string> calls;
    bool lockFree = true;
    void BeginLogin() override { calls.push_back("begin"); }
    bool AcquireAccountLock(const std::string& account) override {
        calls.push_back("lock " + account);
        return lockFree;
    }
    void ReleaseAccountLock() override { calls.push_back("release"); }
};

class LoginForm : public ::testing::Test {
  protected:
    void SetUp() override {
        TestQtApp();
        AppDir = dir_.path().toStdString() + "/";
        SetRegistryPathForTests(AppDir + "registry.ini");
        // Every message box is answered at once and its text kept.
        closer_.setInterval(10);
        QObject::connect(&closer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages_.push_back(Utf8ToGbk(box->text().toStdString()));
                box->done(QMessageBox::Ok);
            }
        });
        closer_.start();
    }
    void TearDown() override {
        SetRegistryPathForTests({});
        UseBuiltProgramFolder();
    }
    static void Key(QWidget* target, int key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
    }

    QTemporaryDir dir_;
    QTimer closer_;
    std::vector<std::string> messages_;
    FakeHall hall_;
};

}  // namespace

TEST_F(LoginForm, NoProfilesLeavesTheAccountEmpty) {
    TfrmLogin login(hall_);
    EXPECT_EQ(login.cbbUserID->count(), 0);
    EXPECT_EQ(login.AccountText(), "");
    EXPECT_EQ(login.cbbServers->currentIndex(), 0);  // NetType created as 0
}

TEST_F(LoginForm, LastAccountWithItsRememberedPasswordUntilTheNextKey) {
    SaveProfileAfterLogin("alice", "a-pass", false, false);
    SaveProfileAfterLogin("guest1", "g-pass", true, true);  // visitors are not offered
    SaveProfileAfterLogin("bob", "b-pass", true, false);    // the last login
    TfrmLogin login(hall_);
    ASSERT_EQ(login.cbbUserID->count(), 2);
    EXPECT_EQ(login.AccountText(), "bob");
    EXPECT_EQ(login.PasswordText(), "b-pass");
    EXPECT_TRUE(login.RememberPassword());

    // Typed keys reach the combo box, which holds the focus for its line edit.
    QWidget* account = login.cbbUserID;
    ASSERT_EQ(login.cbbUserID->lineEdit()->focusProxy(), account);
    Key(account, Qt::Key_X, "x");
    EXPECT_EQ(login.AccountText(), "bobx");
    EXPECT_EQ(login.PasswordText(), "");
    EXPECT_FALSE(login.RememberPassword());

    // A double-byte character is discarded and changes nothing.
    login.cbbUserID->setEditText("bob");
    ASSERT_EQ(login.PasswordText(), "b-pass");
    Key(account, Qt::Key_unknown, QString::fromUtf8("中"));
    EXPECT_EQ(login.PasswordText(), "b-pass");
    EXPECT_EQ(login.AccountText(), "bob");

    // Enter with a remembered password: focus to the password, emptied.
    login.show();
    account->setFocus();
    Key(account, Qt::Key_Return, "\r");
    EXPECT_EQ(login.PasswordText(), "");
    EXPECT_TRUE(login.edtPassword->hasFocus() || QApplication::focusWidget() == nullptr);
    EXPECT_TRUE(hall_.calls.empty());
}

TEST_F(LoginForm, LoginButtonChecksInputsThenWaitsForTheHall) {
    TfrmLogin login(hall_);
    login.btnLogin->click();
    ASSERT_TRUE(PumpQt([&] { return !messages_.empty(); }));
    EXPECT_EQ(GbkToUtf8(messages_[0]), "帐号和密码不能为空！");
    EXPECT_TRUE(hall_.calls.empty());

    login.cbbUserID->setEditText("10001");
    login.edtPassword->setText("pw");
    login.btnLogin->click();
    EXPECT_EQ(hall_.calls, std::vector<std::string>{"begin"});
    EXPECT_FALSE(login.btnLogin->isEnabled());
    EXPECT_FALSE(login.edtPassword->isEnabled());
}

TEST_F(LoginForm, AcceptedLoginTakesTheLockAndSavesTheProfile) {
    TfrmLogin login(hall_);
    login.cbbUserID->setEditText(" 10001 ");
    login.edtPassword->setText("pw");
    login.ckNotepwd->setChecked(true);
    login.CompleteLogin(0);
    EXPECT_EQ(login.result(), 1);
    EXPECT_EQ(hall_.calls, std::vector<std::string>{"lock  10001 "});
    auto profile = LoadProfile("10001");
    ASSERT_TRUE(profile);
    EXPECT_TRUE(profile->Remember);
    EXPECT_EQ(profile->Password, "pw");
    EXPECT_EQ(ReadLastUser(), "10001");
}

TEST_F(LoginForm, RefusedLockShowsItsMessageAndUnlocks) {
    hall_.lockFree = false;
    TfrmLogin login(hall_);
    login.cbbUserID->setEditText("10001");
    login.edtPassword->setText("pw");
    login.SetBusy(true);
    login.CompleteLogin(0);
    EXPECT_EQ(hall_.calls, (std::vector<std::string>{"lock 10001", "release"}));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(GbkToUtf8(messages_[0]), "该用户号已经在本机上登录了！");
    EXPECT_TRUE(login.btnLogin->isEnabled());
    EXPECT_NE(login.result(), 1);
    EXPECT_FALSE(LoadProfile("10001"));  // nothing saved
}

TEST_F(LoginForm, LoginErrorEmptiesThePasswordAndVersionMismatchCancels) {
    TfrmLogin login(hall_);
    login.cbbUserID->setEditText("10001");
    login.edtPassword->setText("pw");
    login.SetBusy(true);
    login.ShowLoginError(Utf8ToGbk("密码错误"));
    EXPECT_EQ(GbkToUtf8(messages_.at(0)), "密码错误");
    EXPECT_EQ(login.PasswordText(), "");
    EXPECT_TRUE(login.edtPassword->isEnabled());
    EXPECT_EQ(login.LoginKind(), 3);
    login.CompleteLogin(1);
    EXPECT_EQ(login.result(), 2);
}
