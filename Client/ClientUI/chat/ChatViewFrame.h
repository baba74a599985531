// TframeChatView: the room's chat frame. It holds the public and private
// panes, the editor, the chat toolbar and the choice of chat partner, and
// turns the editor's content into a message for the room. The room takes over
// the buttons whose rules depend on rank or room switches by setting the
// frame's events; without them those buttons do nothing.
#pragma once

#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

#include "chat/ChatSendRules.h"
#include "chat/Reply.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolButton;
class QPushButton;
class THtmlChatEdit;
class THtmlChatView;
class TRollingTipPanel;
class TframeFont;
struct TChatFont;

class TframeChatView : public QWidget {
    Q_OBJECT

  public:
    using TSendChatEvent =
        std::function<void(std::int32_t userIdTo, const std::string& nickNameTo, bool isStealthily,
                           bool isAutoReply, const std::string& html)>;
    using TMenuItemEvent = std::function<void(int position, int count)>;

    static constexpr int kMaxMessageLength = 700;

    explicit TframeChatView(QWidget* parent = nullptr);

    // Chat partner.
    void SelectChatTarget(std::int32_t id, const std::string& nickName);
    void RenameChatTarget(std::int32_t id, const std::string& nickName);
    void RemoveChatTarget(std::int32_t id);
    void GetChatTarget(std::int32_t& id, std::string& nickName) const;
    const TChatTargets& Targets() const { return targets_; }

    // Loads the font into the font bar and the editor; hides the font bar.
    void ApplyChatFont(const std::string& fontString);
    // The echo line, then the hand-over to OnSendChat.
    void SendMessage(const std::string& body);
    // To OnSendChat with the current partner, not whispered, no echo.
    void SendRaw(const std::string& text);
    void ShowSystemNotice(const std::string& text);
    // The frame's own send step (after the room's checks): the editor's
    // message goes, or the shortcut phrases open when there is none.
    void SendEditorMessage();

    // The auto-reply flag and text; the button follows UpdateAutoReplyButton.
    TAutoReplyState AutoReply;
    void UpdateAutoReplyButton();

    // Opens a menu at the mouse cursor (tests watch it instead).
    std::function<void(QMenu* menu)> PopupMenu;
    void Popup(QMenu* menu);

    TSendChatEvent OnSendChat;
    std::function<void(const std::string& fontString)> OnChangeFont;

    // The room's handlers of the toolbar. OnSendClick runs for Send and for
    // Enter in the editor; without it the frame's own send step runs.
    std::function<void()> OnSendClick;
    // The cursor position at the press on "表情".
    std::function<void(const QPoint& at)> OnSelectEmotion;
    std::function<void()> OnLaba;
    std::function<void()> OnRoomNotice;
    std::function<void()> OnShakeSomeBody;
    std::function<void()> OnBet;
    std::function<void()> OnFavorites;
    std::function<void()> OnAutoReply;
    std::function<void()> OnNotifyPopup;
    std::function<void()> OnMiLaba;
    std::function<void()> OnMiSendSystem;
    std::function<void()> OnIcoInfo;
    // Items of the menus the room fills, by position from 0.
    TMenuItemEvent OnColorWordItem;
    TMenuItemEvent OnAutoReplyItem;
    TMenuItemEvent OnShortCutReplyItem;
    std::function<void()> OnShortCutReplyPopup;

    // Components.
    TRollingTipPanel* pnlTop;
    QWidget* pnlCenter;
    QWidget* pnlCTop;
    THtmlChatView* hcvPublic;
    QSplitter* Splitter1;
    QWidget* pnlCBottom;
    THtmlChatView* hcvPrivate;
    QWidget* pnlFont;
    TframeFont* frmFont;
    QWidget* pnlBottom;
    QWidget* bsknpnlToolBar;
    QLabel* lblTo;
    QComboBox* cbbNickNameTo;
    QCheckBox* ckStealthily;
    QToolButton* btnSelectFont;
    QToolButton* btnSelectEmotion;
    QToolButton* btnVIPEmotion;
    QToolButton* btnLaba;
    QToolButton* btnRoomNotice;
    QToolButton* btnMaskOffSet;
    QToolButton* btnClearScreen;
    QToolButton* btnShakeSomeBody;
    QToolButton* btnBet;
    QToolButton* btnFavorites;
    QCheckBox* ckScroll;
    QPushButton* btnAutoReply;
    THtmlChatEdit* hceChat;
    QWidget* pnlSend;
    QPushButton* btnSendMsg;

    QMenu* popClear;
    QAction* N1;  // "清除公聊信息"
    QAction* N2;  // "清除私聊信息"
    QAction* N3;  // "禁止公屏滚动"
    QAction* N5;  // "禁止私屏滚动"
    QMenu* popMaskOffType;
    QMenu* popAutoReply;
    QMenu* popShortCutReply;
    QMenu* popNotify;
    QAction* miLaba;
    QAction* miSendSystem;
    QMenu* popColorWord;
    QMenu* popIcoInfo;
    QAction* MenuItem1;  // "图标说明"

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildCenter();
    QWidget* BuildBottom();
    QWidget* BuildToolBar();
    void BuildMenus();
    void ConnectControls();
    // The partner box and the whisper box show the partner list's state.
    void ShowTargets();
    void FontChanged(const TChatFont& font, const std::string& fontString);

    TChatTargets targets_;
    QPoint emotionAt_;
};
