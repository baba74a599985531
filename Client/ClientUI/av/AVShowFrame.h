// One video window: the AV control showing one microphone holder, with his
// name, rank icon, quick-gift buttons, a toolbar shown while the mouse is over
// the picture, a spectrum bar and a pop-up menu. The room starts and clears
// it; the frame decides nothing about who is shown.
#pragma once

#include <QFrame>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QLabel;
class QMenu;
class QAction;
class QMovie;
class QTimer;
class QToolButton;
class TAVEngine2;

// "<appDir>Dat/<code>.gif": the role code for roles 49, 50, 100 and 200 (low
// byte), else the level code when the level's hundreds are 10 or 20, else the
// role code.
std::string RankIconPath(std::string_view appDir, std::uint16_t role, std::uint16_t level);

// The next free capture file "<folder>/<user><NNN>.bmp": `captureCount` grows
// by one and keeps growing while `exists` says the name is taken.
std::string NextCapturePath(std::string_view folder, std::int32_t userId, int& captureCount,
                            const std::function<bool(const std::string&)>& exists);

class TframeAVShow : public QFrame {
    Q_OBJECT

  public:
    explicit TframeAVShow(QWidget* parent = nullptr);
    ~TframeAVShow() override;

    // Shows one holder. role and level are his codes; serverAddress is
    // dotted text; the room passes quality 100 and isLocal twice.
    void StartShow(bool isLocal, std::int32_t userId, const std::string& nickName,
                   std::uint16_t role, std::uint16_t level, std::int16_t micType,
                   const std::string& serverAddress, std::uint16_t port, std::int32_t quality,
                   bool localFlag);
    void ClearShow();
    // Private-mic frames: the frame can be dragged inside its parent by its
    // bottom bar, name and picture, and shows its close button.
    void MakeFloating();
    bool IsFloating() const { return floating_; }

    // The holder renamed.
    void SetShownNick(const std::string& nickName);

    std::int32_t ShownUserId = 0;
    std::string ShownNick;  // GBK
    std::int16_t MicType = -1;
    bool AudioOn = false;
    bool VideoOn = false;
    int CaptureCount = 0;

    // Events raised to the room; each only when set.
    std::function<void(const std::string& path)> OnCaptureVideo;
    std::function<void(std::int32_t, const std::string&)> OnSelectUserToChat;
    std::function<void(std::int32_t, const std::string&)> OnSelectUserToGift;
    std::function<void(std::int32_t, const std::string&)> OnFindUserInUserList;
    std::function<void(std::int32_t, const std::string&)> OnCancelMic;
    std::function<void(std::int32_t)> OnGiveGift;
    std::function<void(const QPoint&)> OnSelectGift;
    std::function<void(std::int32_t)> OnCloseVideo;

    // Components, named as the room and the tests know them.
    QFrame* pnlVideoClient;
    TAVEngine2* avngn;
    QLabel* imgFlash;
    QLabel* imgVideoBack;
    QWidget* pnlSpectrum;
    QFrame* pnlVideoTop;
    QToolButton* btnZoomIn;
    QToolButton* btnVideoSwitch;
    QToolButton* btnAudioSwitch;
    QToolButton* btnCaptureVideo;
    QToolButton* btnCloseVideo;
    QFrame* pnlVideoBottom;
    QLabel* imgGif;
    QLabel* lblName;
    QToolButton* btnGift1;
    QToolButton* btnGift2;
    QToolButton* btnVideoRecvMenu;
    QMenu* popMenu;
    QAction* N1;
    QAction* N2;
    QAction* N4;
    QAction* N3;
    QTimer* Timer1;

    // Handlers, public so the room's tests and the toolbar drive them alike.
    void Timer1Timer();
    void btnAudioSwitchClick();
    void btnVideoSwitchClick();
    void btnCaptureVideoClick();
    void btnVideoRecvMenuClick();
    void popMenuPopup();
    // The picture or the name was clicked.
    void SelectHolder();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ShowFirstPicture();
    void SetToolButtonsVisible(bool visible);
    void PlaceBackground();
    bool StartDrag(QWidget* pressed, const QPoint& local, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers, const QPoint& global);

    QMovie* waitMovie_ = nullptr;
    QMovie* backMovie_ = nullptr;
    QMovie* rankMovie_ = nullptr;
    bool floating_ = false;
    bool dragging_ = false;
    QPoint dragOrigin_;
    QPoint dragStartPos_;
};
