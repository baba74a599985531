// TfrmLogin: the first window. It validates input, locks its inputs while
// the hall works, and reacts to the outcome the hall reports back. After a
// successful login it stays alive, hidden: the hall and the rooms read the
// typed account and password from it.
#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class TWebBrowser;
class TfrmDownload;

// What the login window asks of the hall.
class ILoginHall {
  public:
    virtual ~ILoginHall() = default;
    virtual void BeginLogin() = 0;
    virtual bool AcquireAccountLock(const std::string& account) = 0;
    virtual void ReleaseAccountLock() = 0;
};

class TfrmLogin : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmLogin(ILoginHall& hall, QWidget* parent = nullptr);
    ~TfrmLogin() override;

    // Operations the hall and the registration window use.
    void ShowLoginError(const std::string& text);
    void CompleteLogin(int outcome);
    bool ShowUpdateDialog();
    void LoginWith(const std::string& account, const std::string& password);
    void EnableInputs(bool enabled);
    void SetBusy(bool busy);

    // The typed account (as typed) and the plain password, GBK.
    std::string AccountText() const;
    std::string PasswordText() const;
    bool RememberPassword() const;
    int LoginKind() const { return loginKind_; }

    // The components, named as the hall and the tests know them.
    QLabel* imgLoginbar;
    TWebBrowser* wbLoginBar;
    QFrame* bsSkinPanel1;
    QLabel* Label1;
    QLabel* lbLogin;
    QLabel* lbPwd;
    QComboBox* cbbServers;
    QComboBox* cbbUserID;
    QLineEdit* edtPassword;
    QCheckBox* ckNotepwd;
    QCheckBox* ckAutoLogin;
    QLabel* lbFindPwd;
    QPushButton* btnLogin;
    QPushButton* btnVisitorLogin;
    QPushButton* btnRegist;

    void btnLoginClick();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate();
    void FillAccountList();
    void LoadProfileOf(const std::string& account);
    void cbbUserIDChange(const QString& text);
    void btnVisitorLoginClick();
    void btnRegistClick();
    void wbLoginBarNavigateComplete2(bool ok);
    bool AccountKeyPress(QKeyEvent* key);
    bool PasswordKeyPress(QKeyEvent* key);
    void Message(const std::string& text, const std::string& caption);

    ILoginHall& hall_;
    int loginKind_ = 0;
    TfrmDownload* download_ = nullptr;
};
