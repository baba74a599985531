// TfrmRoom: the window of one chat room. It owns one engine instance, is the
// engine's view sink, and turns every engine event into a change of its
// parts: the user list, the chat panes, the video frames and private-mic
// windows, the audio strip, and the parts other units install (RoomParts.h).
// User actions go the other way: only the room calls the engine.
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/ClientEngineInf.h"
#include "engine/ClientViewSinkInf.h"
#include "room/PersonMicForm.h"
#include "room/RoomParts.h"
#include "room/RoomRules.h"
#include "room/UserActions.h"
#include "room/UserInfoForm.h"
#include "session/RoomWindowInf.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QSplitter;
class QTimer;
class QToolButton;
class TClientEngineHelper;
class TframeAVShow;
class TframeControl;
class TGiftStatistic;
class THtmlChatEdit;
class THtmlChatView;
class THTMLRoomNote;
class TRollingTipPanel;
class TPersonMicManage;
class TPriMicMng;
struct TRoomUser;
class TUserListPanel;

// Where the room's engine comes from: the module by default, a fake in
// tests.
class IRoomEngineSource {
  public:
    virtual ~IRoomEngineSource() = default;
    // Loads afresh and creates an engine; false when that fails.
    virtual bool CreateInstance() = 0;
    // Closes and releases the engine and unloads the module.
    virtual void CloseInstance() = 0;
    virtual IClientEngine* Engine() = 0;
};

// The default source: the engine module through TClientEngineHelper.
std::unique_ptr<IRoomEngineSource> MakeModuleEngineSource();

// Places where installed parts put their widgets.
enum class TRoomPartPlace { ChatFrame, GiftPanel, RoomNote };

class TfrmRoom : public QWidget, public IClientViewSink, public IRoomWindow {
    Q_OBJECT

  public:
    // Message boxes go through here, so tests can answer them.
    enum class TBoxIcon { Information, Error };
    using TMessageBox = std::function<void(QWidget* owner, const std::string& text,
                                           const std::string& caption, TBoxIcon icon)>;
    static void SetMessageBoxHandler(TMessageBox handler);

    // A hidden room window. `owner` (the hall) gets the message boxes of a
    // failed entry; the window itself stays top-level with its own taskbar
    // button. Check Created() afterwards: without an engine the room cannot
    // work and must be closed.
    explicit TfrmRoom(QWidget* owner = nullptr, std::unique_ptr<IRoomEngineSource> source = {});
    ~TfrmRoom() override;
    bool Created() const { return created_; }

    // IRoomWindow.
    QWidget* Window() override { return this; }
    std::int32_t RoomId() const override { return roomId_; }
    void SetCloseHandler(std::function<void(TGiftStatistic&)> handler) override;
    void AddRoomServer(std::uint32_t address) override;
    void SetReconnectInterval(int milliseconds) override;
    void OpenRoom(std::int32_t roomId, std::int32_t userId, bool hidden, std::uint16_t hallValue,
                  const std::string& passwordDigest, const std::string& roomPassword) override;

    // The one entry for lines into the chat panes (GBK HTML).
    void ShowLine(const std::string& html, bool isPublic, std::uint16_t kind);
    void ShowSystemLine(const std::string& text);
    // A notice in the private pane, through the chat frame when installed.
    void ShowSystemNotice(const std::string& text);
    void ConnectRoom();

    IClientEngine* Engine() const { return engine_; }
    // Null until the engine has entered the room.
    const TMyInfo* GetMyInfo() const;
    std::int32_t MyUserId() const;

    // The chat frame reports a font change (font description text).
    void ChangeFont(const std::string& font);
    // The chat frame's shake button.
    void ShakeSomeBody();
    // Shakes this window.
    void StartShake();

    // Lets an installed part put its widget in its place.
    void PlacePart(TRoomPartPlace place, QWidget* widget);
    // A chat frame brings its own panes and editor in place of the room's.
    void UseChatPanes(THtmlChatView* publicPane, THtmlChatView* privatePane, THtmlChatEdit* editor);
    const TRoomParts& Parts() const { return parts_; }
    TRoomParts& Parts() { return parts_; }

    // State, for the other parts of the room and for tests.
    const std::vector<std::string>& ServerList() const { return serverList_; }
    const std::string& PasswordDigest() const { return passwordDigest_; }
    void SetPasswordDigest(const std::string& digest) { passwordDigest_ = digest; }
    bool Closing() const { return closing_; }
    bool Reconnecting() const { return reconnect_.Reconnecting(); }
    TframeAVShow* MyVideoFrame() const { return myVideoFrame_; }
    TGiftStatistic& GiftStatistic() { return *giftStatistic_; }
    TPriMicMng& PriMicMng() { return *priMicMng_; }
    TPersonMicManage& PersonMicManage() { return *personMicManage_; }

    // Components.
    QFrame* pnlCaption;
    QLabel* lblCaption;
    QToolButton* btnSysMenu;
    QMenu* popSystem;
    QFrame* pnlTop;
    QLabel* lblRoomName;
    QLabel* lbID;
    QLabel* lbName;
    QToolButton* btnRoomOwnerSetting;
    QWidget* pnlRoomNote;
    THTMLRoomNote* HTMLRoomNote;
    QWidget* pnlLeft;
    std::array<TframeAVShow*, 3> Frames{};
    TframeControl* frameUserCtr;
    QWidget* frameChatView;
    TRollingTipPanel* pnlRollingTip;
    THtmlChatView* hcvPublic;
    THtmlChatView* hcvPrivate;
    THtmlChatEdit* hceChat;
    QToolButton* btnShakeSomeBody;
    QWidget* pnlRight;
    QWidget* pnlUserInfo;
    QLabel* imgHead;
    QLabel* lblName;
    TUserListPanel* pnlUserList;
    QToolButton* btnLookMe;
    QMenu* popUserList;
    std::array<QAction*, kUserMenuItemCount> UserMenuItems{};
    QWidget* pnlGift;
    QWidget* pnlHorn;
    THtmlChatView* ChatHorn;
    QToolButton* btnModifyInfo;
    QToolButton* btnAddCards;
    QTimer* TimerShake;
    QTimer* tmrReConnect;

    // Handlers the widgets call; public so tests reach them as the user would.
    void tmrReConnectTimer();
    void TimerShakeTimer();
    void OnMicRequest(int mode);
    void OnCloseVideo(std::int32_t user);
    void btnPersonMicmanagerClick();
    void popUserListPopup();
    void UserMenuClick(TUserMenuItem item);
    void ChatLinkSelected(const std::string& target);
    // The private-mic viewers dialog, once created.
    TfrmPersonMic* PersonMicDialog() const { return frmPersonMic_; }
    TfrmUserInfo* UserInfoDialog() const { return frmUserInfo_; }

    // IUnknownBase: the window's life is its own, references change nothing.
    long QueryInterface(const TGuid& iid, void** object) override;
    unsigned long AddRef() override { return 1; }
    unsigned long Release() override { return 1; }

    // IClientViewSink.
    void OnMessage(const char* html, std::uint8_t isPublic, std::uint16_t kind) override;
    void OnRoomEntered(const char* roomName, std::int32_t unused1, std::int32_t roomId,
                       std::int32_t gold, std::int32_t points, std::uint16_t role,
                       std::int32_t unused2) override;
    void OnBalance(std::int32_t gold, std::int32_t points) override;
    void OnEnterFailed(const char* text) override;
    void OnRollingTip(const char* text, std::uint16_t kind) override;
    void OnRoomNote(const char* text) override;
    void OnHorn(const char* html) override;
    void OnUserEnter(std::int32_t user, const char* nickName, std::uint16_t face,
                     std::uint16_t role, std::uint16_t level, std::uint16_t star,
                     std::int16_t micType, std::uint8_t camera, std::uint8_t hidden,
                     std::uint8_t chatBanned, std::int32_t sealKey) override;
    void OnUserLeave(std::int32_t user) override;
    void OnUserMic(std::int32_t user, std::int32_t unused1, std::int32_t unused2,
                   std::int32_t unused3, std::int16_t micType) override;
    void OnUserRole(std::int32_t user, std::uint16_t role) override;
    void OnUserChanged(std::int32_t user, const char* nickName, std::uint16_t face) override;
    void OnUserDetails(std::int32_t user, std::int32_t points, std::int32_t gold,
                       std::int32_t ipAddress) override;
    void OnRoomName(std::int32_t roomId, const char* name) override;
    void OnVideoOpen(std::uint8_t self, std::int32_t user, const char* nickName, std::uint16_t role,
                     std::uint16_t level, std::int16_t micType, std::uint16_t frameIndex,
                     std::int32_t address1, std::int32_t address2, std::uint16_t port) override;
    void OnVideoClose(std::int32_t user, std::uint16_t frameIndex) override;
    void OnPrivateMicCut(std::int32_t user, const char* nickName) override;
    void OnDisconnected(const char* text, std::int32_t mode) override;
    void OnChatToMe(std::int32_t user, const char* nickName, std::int32_t unused) override;
    void OnColorWord(const char* senderNick, const char* receiverNick, const char* message,
                     std::int32_t sender, std::int32_t receiver, std::uint16_t senderRole,
                     std::uint16_t senderLevel, std::uint16_t receiverRole,
                     std::uint16_t receiverLevel, std::int32_t senderSealKey,
                     std::int32_t receiverSealKey) override;
    void OnUserBanChat(std::int32_t user, std::int32_t unused, std::uint8_t banned) override;
    void OnGiftRecord(std::int32_t giver, std::int32_t receiver, const char* giverNick,
                      const char* receiverNick, std::int32_t gift, std::int32_t giftKind,
                      std::int32_t count, const char* giftName, std::int32_t cost,
                      std::int32_t gain) override;
    void OnPrivateMicViewer(std::int32_t user, const char* nickName, std::uint16_t level,
                            std::uint16_t second, std::uint16_t operation) override;
    void OnUserSeal(std::int32_t user, std::int32_t sealKey) override;
    void OnShake() override;
    std::uint8_t IsTopGift(std::int32_t gift) override;
    const char* GetGiftUnit(std::int32_t gift) override;
    void OnRankReset() override;
    std::uint8_t IsMasked(std::int32_t maskKind) override;

    // Monotonic milliseconds; tests move the clock.
    static void SetTickSourceForTests(std::function<std::int64_t()> ticks);
    static std::int64_t Now();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    class TLinkTarget;

    void BuildForm();
    QWidget* BuildCaption();
    QWidget* BuildTop();
    QWidget* BuildLeft();
    QWidget* BuildCentre();
    QWidget* BuildRight();
    void BuildUserMenu();
    void Initialise();
    void SetFrameEvents(TframeAVShow* frame, bool floating);
    void ReleaseEngine();
    void LeaveOnce();
    void StopAllVideo();
    void FirstShow();
    void ShowBox(QWidget* owner, const std::string& text, const char* caption, TBoxIcon icon);
    // Logs, once per call name, a call whose part is not installed.
    void Missing(const char* call);
    int SealPicture(std::int32_t sealKey);
    TUserMenuContext MenuContext(const TRoomUser& target) const;
    std::int16_t MyRole() const;

    // Frame and pane handlers.
    void SelectToChat(std::int32_t user, const std::string& nickName);
    void SelectToGift(std::int32_t user, const std::string& nickName);
    void FindInUserList(std::int32_t user);
    void CaptureVideo(const std::string& path);
    void CancelMicOf(std::int32_t user);
    void GiveQuickGift(std::int32_t user);
    void SelectGift(const QPoint& at);

    QPointer<QWidget> owner_;
    std::unique_ptr<IRoomEngineSource> source_;
    IClientEngine* engine_ = nullptr;
    bool created_ = false;
    bool closing_ = false;
    bool shownOnce_ = false;
    bool reloadPending_ = false;
    bool left_ = false;

    std::int32_t roomId_ = 0;
    std::int32_t entryUserId_ = 0;
    std::string roomPassword_;
    std::string passwordDigest_;
    std::uint16_t hallValue_ = 0;
    std::uint8_t hidden_ = 0;
    std::vector<std::string> serverList_;
    std::function<void(TGiftStatistic&)> closeHandler_;

    TframeAVShow* myVideoFrame_ = nullptr;
    std::int64_t entryTick_ = 0;
    std::int64_t lastSendTick_ = 0;
    std::optional<std::int64_t> lastShakeTick_;
    TShakeMotion shake_;
    QRect shakeRect_;
    TReconnectState reconnect_;

    TRoomParts parts_;
    std::set<std::string> missingLogged_;
    std::unique_ptr<TGiftStatistic> giftStatistic_;
    std::unique_ptr<TPersonMicManage> personMicManage_;
    std::unique_ptr<TPriMicMng> priMicMng_;
    std::unique_ptr<TLinkTarget> linkTarget_;
    TUserMenuState userMenu_;
    QPointer<TfrmPersonMic> frmPersonMic_;
    QPointer<TfrmUserInfo> frmUserInfo_;
    QSplitter* chatSplitter_ = nullptr;
    QWidget* defaultChat_ = nullptr;
};

// Registers the room window with the hall (the program entry calls it).
void RegisterRoomWindow();
