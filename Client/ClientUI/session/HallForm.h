// TfrmHall: the main window. Invisible during the login, it owns the hall
// server connection and tells the login window the outcome; afterwards it is
// the lobby: the user's top bar, the tool buttons and the lobby page, whose
// "room:" navigations it turns into room windows. It also decides what
// closing the program means.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "session/AccountLock.h"
#include "session/HallConnection.h"
#include "session/HallSession.h"
#include "session/LoginForm.h"
#include "session/RoomEntry.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QUrl;
class IRoomWindow;
class TGiftStatistic;
class TWebBrowser;
class TfrmExitMsg;
class TfrmHideLogon;
class TfrmNetChoose;

class TfrmHall : public QMainWindow,
                 public ILoginHall,
                 private IHallSessionView,
                 private IRoomEntryUi {
    Q_OBJECT

  public:
    // Later units add their part of the hall's creation (the gift
    // catalogues, the emoticon picker) through this hook.
    static void SetCreationHook(std::function<void(TfrmHall&)> hook);

    // `application` is handed to the socket module; null leaves the hall
    // without a connection (the login then reports that no server answers).
    explicit TfrmHall(IApplication* application, QWidget* parent = nullptr);
    ~TfrmHall() override;

    void SetLoginWindow(TfrmLogin* login) { login_ = login; }

    // ILoginHall.
    void BeginLogin() override;
    bool AcquireAccountLock(const std::string& account) override;
    void ReleaseAccountLock() override;

    THallSession& Session() { return *session_; }
    const TRoomEntry& RoomEntryState() const { return entry_; }
    // A lobby navigation: true when it is a room command (then cancelled
    // and handled).
    bool wbHallBeforeNavigate2(const QUrl& url);
    // Handed to every room window; called with its gift statistic on close.
    void ShowMyGifts(TGiftStatistic& statistic);
    // Closes every open room window (a snapshot of at most 255 first).
    void CloseAllRooms();
    int OpenRoomCount() override;

    QWidget* Contents() const { return contents_; }
    QFrame* pnlTop;
    QLabel* imgHead;
    QLabel* Label3;
    QLabel* lbName;
    QLabel* Label4;
    QLabel* lbGoldScore;
    QLabel* Label5;
    QLabel* lbGiftScore;
    QLabel* Label6;
    QLabel* lbLevel;
    QToolButton* btnHomePage;
    QToolButton* btnHT;
    QToolButton* btnExchange;
    QToolButton* btnAddGoldScore;
    QToolButton* btnHelp;
    QToolButton* btnNetChoose;
    QToolButton* btnUpdateUserInfo;
    QFrame* pnlclient;
    TWebBrowser* wbHall;
    QLineEdit* edtRoomID;
    QPushButton* btnInRoom;
    QPushButton* btnDebug;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildForm();
    void FormCreate();
    void OpenUserInfo();
    void btnNetChooseClick();
    void btnInRoomClick();
    void btnDebugClick();
    std::string PasswordDigest() const;

    // IHallSessionView.
    std::string AccountText() const override;
    std::string PasswordText() const override;
    void ShowLoginError(const std::string& text) override;
    void CompleteLogin(int outcome) override;
    void VersionMismatch() override;
    void LoginAccepted(const THallUser& user) override;

    // IRoomEntryUi.
    bool BringRoomToFront(std::int32_t roomId) override;
    void ShowInfo(const std::string& text) override;
    int AskHidden(bool& dontAskAgain) override;
    std::optional<std::string> AskRoomPassword() override;
    void OpenRoom(const TRoomCommand& room, bool hidden, const std::string& password) override;
    void Log(const std::string& text) override;

    struct TOpenRoom {
        QPointer<QWidget> window;
        IRoomWindow* room;
    };
    IRoomWindow* FindRoom(std::int32_t roomId);
    IRoomWindow* CreateRoomWindow();
    void PrepareRoom(IRoomWindow& room);

    QWidget* contents_ = nullptr;
    TfrmLogin* login_ = nullptr;
    THallConnection connection_;
    std::unique_ptr<THallSession> session_;
    TAccountLock lock_;
    TRoomEntry entry_;
    std::vector<TOpenRoom> rooms_;
    std::string debugRoomServer_;
    TfrmNetChoose* netChoose_ = nullptr;
    TfrmHideLogon* hideLogon_ = nullptr;
    TfrmExitMsg* exitMsg_ = nullptr;
    QWidget* debugWindow_ = nullptr;
    bool closeConfirmed_ = false;
};
