#include "av/AVShowFrame.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QMovie>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "av/AVCtrl2_TLB.h"
#include "common/GbkText.h"
#include "foundation/APIUtils.h"
#include "foundation/AppPaths.h"
#include "foundation/Globals.h"
#include "foundation/ResDll.h"
#include "foundation/SkinData.h"

namespace {

// The control's first picture is handled from the event queue, never inside
// the control's own callback.
const QEvent::Type kFirstPictureEvent = static_cast<QEvent::Type>(QEvent::User + 123);

constexpr int kBottomBarHeight = 20;
constexpr int kTopBarHeight = 24;

QString Qt8(const std::string& gbk) {
    return QString::fromStdString(GbkToUtf8(gbk));
}

QString FileName(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

QToolButton* MakeButton(QWidget* parent, const char* name, const char* skin) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    SetSkinName(button, skin);
    return button;
}

const std::string& Text(const char* utf8) {
    // Callers pass literals only; each is converted once.
    static std::map<const char*, std::string> cache;
    auto it = cache.find(utf8);
    if (it == cache.end()) {
        it = cache.emplace(utf8, Utf8ToGbk(utf8)).first;
    }
    return it->second;
}

}  // namespace

std::string RankIconPath(std::string_view appDir, std::uint16_t role, std::uint16_t level) {
    const int lowRole = role & 0xFF;
    int code = lowRole;
    if (lowRole != 49 && lowRole != 50 && lowRole != 100 && lowRole != 200) {
        const int hundreds = level / 100;
        if (hundreds == 10 || hundreds == 20) {
            code = level;
        }
    }
    return std::string(appDir) + "Dat/" + std::to_string(code) + ".gif";
}

std::string NextCapturePath(std::string_view folder, std::int32_t userId, int& captureCount,
                            const std::function<bool(const std::string&)>& exists) {
    std::string path;
    do {
        ++captureCount;
        char number[16];
        std::snprintf(number, sizeof number, "%.3d", captureCount);
        path = std::string(folder) + "/" + std::to_string(userId) + number + ".bmp";
    } while (exists && exists(path));
    return path;
}

TframeAVShow::TframeAVShow(QWidget* parent) : QFrame(parent) {
    resize(250, 210);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnlVideoClient = new QFrame(this);
    pnlVideoClient->setObjectName("pnlVideoClient");
    SetSkinName(pnlVideoClient, "panel_video_client");
    auto* clientLayout = new QVBoxLayout(pnlVideoClient);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    avngn = new TAVEngine2(pnlVideoClient);
    avngn->setObjectName("avngn");
    clientLayout->addWidget(avngn);
    layout->addWidget(pnlVideoClient, 1);

    imgFlash = new QLabel(avngn);
    imgFlash->setObjectName("imgFlash");
    imgFlash->setScaledContents(true);
    imgFlash->hide();
    imgVideoBack = new QLabel(avngn);
    imgVideoBack->setObjectName("imgVideoBack");
    imgVideoBack->setScaledContents(true);
    // Presses on the pictures belong to the control underneath.
    imgFlash->setAttribute(Qt::WA_TransparentForMouseEvents);
    imgVideoBack->setAttribute(Qt::WA_TransparentForMouseEvents);
    pnlSpectrum = new QWidget(avngn);
    pnlSpectrum->setObjectName("pnlSpectrum");
    SetSkinName(pnlSpectrum, "gauge_spectrum");
    pnlSpectrum->resize(70, 20);
    pnlSpectrum->hide();

    pnlVideoTop = new QFrame(this);
    pnlVideoTop->setObjectName("pnlVideoTop");
    SetSkinName(pnlVideoTop, "panel_video_top");
    pnlVideoTop->setFixedHeight(kTopBarHeight);
    auto* topLayout = new QHBoxLayout(pnlVideoTop);
    topLayout->setContentsMargins(2, 0, 2, 0);
    topLayout->setSpacing(1);
    btnZoomIn = MakeButton(pnlVideoTop, "btnZoomIn", "toolbutton_video_zoomin");
    btnVideoSwitch = MakeButton(pnlVideoTop, "btnVideoSwitch", "toolbutton_video_switch");
    btnVideoSwitch->setCheckable(true);
    btnAudioSwitch = MakeButton(pnlVideoTop, "btnAudioSwitch", "toolbutton_video_audioswitch");
    btnAudioSwitch->setCheckable(true);
    btnAudioSwitch->setChecked(true);
    btnCaptureVideo = MakeButton(pnlVideoTop, "btnCaptureVideo", "toolbutton_video_capture");
    btnCloseVideo = MakeButton(pnlVideoTop, "btnCloseVideo", "toolbutton_video_close");
    btnCloseVideo->setToolTip(Qt8(Text("关闭")));
    btnCloseVideo->hide();
    topLayout->addWidget(btnZoomIn);
    topLayout->addWidget(btnVideoSwitch);
    topLayout->addWidget(btnAudioSwitch);
    topLayout->addWidget(btnCaptureVideo);
    topLayout->addStretch(1);
    topLayout->addWidget(btnCloseVideo);
    pnlVideoTop->hide();

    pnlVideoBottom = new QFrame(this);
    pnlVideoBottom->setObjectName("pnlVideoBottom");
    SetSkinName(pnlVideoBottom, "panel_video_bottom");
    pnlVideoBottom->setFixedHeight(kBottomBarHeight);
    auto* bottomLayout = new QHBoxLayout(pnlVideoBottom);
    bottomLayout->setContentsMargins(2, 0, 2, 0);
    bottomLayout->setSpacing(1);
    imgGif = new QLabel(pnlVideoBottom);
    imgGif->setObjectName("imgGif");
    imgGif->setFixedSize(16, 16);
    imgGif->setScaledContents(true);
    lblName = new QLabel(pnlVideoBottom);
    lblName->setObjectName("lblName");
    lblName->setAlignment(Qt::AlignCenter);
    lblName->setCursor(Qt::PointingHandCursor);
    btnGift1 = MakeButton(pnlVideoBottom, "btnGift1", "toolbutton_video_gift1");
    btnGift2 = MakeButton(pnlVideoBottom, "btnGift2", "toolbutton_video_gift2");
    btnVideoRecvMenu = MakeButton(pnlVideoBottom, "btnVideoRecvMenu", "button_video_menu");
    bottomLayout->addWidget(imgGif);
    bottomLayout->addWidget(lblName, 1);
    bottomLayout->addWidget(btnGift1);
    bottomLayout->addWidget(btnGift2);
    bottomLayout->addWidget(btnVideoRecvMenu);
    layout->addWidget(pnlVideoBottom);

    popMenu = new QMenu(this);
    N1 = popMenu->addAction(Qt8(Text("选中聊天")));
    N2 = popMenu->addAction(Qt8(Text("选中赠送")));
    N4 = popMenu->addAction(Qt8(Text("取消主持")));
    popMenu->addSeparator();
    N3 = popMenu->addAction(Qt8(Text("用户定位")));
    connect(popMenu, &QMenu::aboutToShow, this, [this] { popMenuPopup(); });
    connect(N1, &QAction::triggered, this, [this] {
        if (OnSelectUserToChat)
            OnSelectUserToChat(ShownUserId, ShownNick);
    });
    connect(N2, &QAction::triggered, this, [this] {
        if (OnSelectUserToGift)
            OnSelectUserToGift(ShownUserId, ShownNick);
    });
    connect(N4, &QAction::triggered, this, [this] {
        if (OnCancelMic)
            OnCancelMic(ShownUserId, ShownNick);
    });
    connect(N3, &QAction::triggered, this, [this] {
        if (OnFindUserInUserList)
            OnFindUserInUserList(ShownUserId, ShownNick);
    });

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    connect(btnZoomIn, &QToolButton::clicked, this, [this] { avngn->ZoomIn(); });
    connect(btnVideoSwitch, &QToolButton::clicked, this, [this] { btnVideoSwitchClick(); });
    connect(btnAudioSwitch, &QToolButton::clicked, this, [this] { btnAudioSwitchClick(); });
    connect(btnCaptureVideo, &QToolButton::clicked, this, [this] { btnCaptureVideoClick(); });
    connect(btnCloseVideo, &QToolButton::clicked, this, [this] {
        if (OnCloseVideo)
            OnCloseVideo(ShownUserId);
    });
    connect(btnGift1, &QToolButton::clicked, this, [this] {
        if (OnGiveGift)
            OnGiveGift(ShownUserId);
    });
    connect(btnGift2, &QToolButton::clicked, this, [this] {
        if (OnSelectGift) {
            OnSelectGift(btnGift2->mapToGlobal(btnGift2->rect().bottomRight()));
        }
    });
    connect(btnVideoRecvMenu, &QToolButton::clicked, this, [this] { btnVideoRecvMenuClick(); });

    avngn->OnVideoOut = [this] {
        QCoreApplication::postEvent(this, new QEvent(kFirstPictureEvent));
    };
    avngn->OnFFTOut = [this](const std::int16_t*, std::int32_t) {
        // The bar draws the data itself once the spectrum panel is in place.
        pnlSpectrum->show();
        pnlSpectrum->raise();
    };
    avngn->OnClick = [this] { SelectHolder(); };
    avngn->OnMouseDown = [this] {
        if (MicType > 1) {
            StartDrag(avngn, QPoint(1, 1), Qt::LeftButton, Qt::NoModifier, QCursor::pos());
        }
    };

    lblName->installEventFilter(this);
    pnlVideoBottom->installEventFilter(this);
    avngn->installEventFilter(this);

    if (ResDll != nullptr) {
        waitMovie_ = new QMovie(this);
        if (ResDll->LoadGif(*waitMovie_, "gifVideoWait", "GIF")) {
            imgFlash->setMovie(waitMovie_);
        }
        backMovie_ = new QMovie(this);
        if (ResDll->LoadGif(*backMovie_, "gifVideoBack", "GIF")) {
            imgVideoBack->setMovie(backMovie_);
            backMovie_->start();
        }
    }

    // Empty until the room starts a show.
    imgVideoBack->show();
    SetToolButtonsVisible(false);
    btnGift1->setEnabled(false);
    btnGift2->setEnabled(false);
    PlaceBackground();
}

TframeAVShow::~TframeAVShow() {
    Timer1->stop();
    avngn->StopAV();
}

void TframeAVShow::SetToolButtonsVisible(bool visible) {
    btnZoomIn->setVisible(visible);
    btnVideoSwitch->setVisible(visible);
    btnAudioSwitch->setVisible(visible);
    btnCaptureVideo->setVisible(visible);
}

void TframeAVShow::StartShow(bool isLocal, std::int32_t userId, const std::string& nickName,
                             std::uint16_t role, std::uint16_t level, std::int16_t micType,
                             const std::string& serverAddress, std::uint16_t port,
                             std::int32_t quality, bool localFlag) {
    SetToolButtonsVisible(true);
    ShownUserId = userId;
    ShownNick = nickName;
    MicType = micType;
    lblName->setText(Qt8(nickName));
    Timer1->start();

    imgFlash->show();
    imgFlash->raise();
    if (waitMovie_ != nullptr)
        waitMovie_->start();
    imgVideoBack->hide();

    avngn->SetTuningA(2500);
    avngn->SetTuningB(2500);
    avngn->StartAV(serverAddress, port, quality, localFlag);

    // The user's own microphone starts muted so he does not hear himself.
    if (isLocal) {
        AudioOn = false;
        VideoOn = true;
        avngn->PlayAudio(false);
        btnAudioSwitch->setChecked(true);
    } else {
        AudioOn = true;
        VideoOn = true;
        avngn->PlayAudio(true);
        btnAudioSwitch->setChecked(false);
    }
    btnVideoSwitch->setChecked(false);

    btnGift1->setEnabled(true);
    btnGift2->setEnabled(true);

    imgGif->clear();
    delete rankMovie_;
    rankMovie_ = nullptr;
    const std::string icon = RankIconPath(AppDir, role, level);
    if (FileExists(icon)) {
        rankMovie_ = new QMovie(FileName(icon), "GIF", this);
        if (rankMovie_->isValid()) {
            imgGif->setMovie(rankMovie_);
            rankMovie_->start();
        }
    }
}

void TframeAVShow::ClearShow() {
    SetToolButtonsVisible(false);
    ShownUserId = 0;
    MicType = -1;
    Timer1->stop();
    avngn->StopAV();
    lblName->clear();
    ShownNick.clear();
    imgVideoBack->show();
    imgFlash->hide();
    if (waitMovie_ != nullptr)
        waitMovie_->stop();
    pnlSpectrum->hide();
    btnGift1->setEnabled(false);
    btnGift2->setEnabled(false);
    imgGif->clear();
    delete rankMovie_;
    rankMovie_ = nullptr;
}

void TframeAVShow::MakeFloating() {
    floating_ = true;
    btnCloseVideo->show();
}

void TframeAVShow::SetShownNick(const std::string& nickName) {
    ShownNick = nickName;
    lblName->setText(Qt8(nickName));
}

void TframeAVShow::Timer1Timer() {
    const QPoint mouse = QCursor::pos();
    const QRect area(mapToGlobal(QPoint(0, 0)), size());
    const bool inside = mouse.x() > area.left() && mouse.x() < area.left() + area.width() &&
                        mouse.y() > area.top() && mouse.y() < area.top() + area.height();
    if (inside) {
        const QPoint at = avngn->mapTo(this, QPoint(0, 0));
        pnlVideoTop->setGeometry(at.x(), at.y(), avngn->width(), kTopBarHeight);
        pnlVideoTop->show();
        pnlVideoTop->raise();
    } else {
        pnlVideoTop->hide();
    }
}

void TframeAVShow::btnAudioSwitchClick() {
    if (ShownUserId == 0) {
        btnAudioSwitch->setChecked(!AudioOn);
        return;
    }
    AudioOn = !AudioOn;
    avngn->PlayAudio(AudioOn);
    btnAudioSwitch->setChecked(!AudioOn);
    pnlSpectrum->hide();
}

void TframeAVShow::btnVideoSwitchClick() {
    if (ShownUserId == 0) {
        btnVideoSwitch->setChecked(!VideoOn);
        return;
    }
    VideoOn = !VideoOn;
    avngn->ShowVideo(VideoOn);
    btnVideoSwitch->setChecked(!VideoOn);
    imgVideoBack->setVisible(!VideoOn);
    pnlSpectrum->update();
}

void TframeAVShow::btnCaptureVideoClick() {
    const std::string folder = AppPath("Users/" + CurrentUserId + "/capture");
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(folder), ec);
    const std::string path = NextCapturePath(folder, ShownUserId, CaptureCount, FileExists);
    if (avngn->Capture(path) == 1 && OnCaptureVideo) {
        OnCaptureVideo(path);
    }
}

void TframeAVShow::popMenuPopup() {
    N4->setVisible(MicType == 1);
}

void TframeAVShow::btnVideoRecvMenuClick() {
    if (ShownUserId == 0) {
        return;
    }
    popMenu->popup(QCursor::pos());
}

void TframeAVShow::SelectHolder() {
    // An empty frame has nobody to pick.
    if (ShownUserId == 0) {
        return;
    }
    const std::int32_t user = ShownUserId;
    const std::string nick = ShownNick;
    if (OnSelectUserToChat)
        OnSelectUserToChat(user, nick);
    if (OnSelectUserToGift)
        OnSelectUserToGift(user, nick);
    if (OnFindUserInUserList)
        OnFindUserInUserList(user, nick);
}

void TframeAVShow::ShowFirstPicture() {
    imgFlash->hide();
    if (waitMovie_ != nullptr)
        waitMovie_->stop();
    imgVideoBack->hide();
    pnlSpectrum->move(2, avngn->height() - 2 - pnlSpectrum->height());
}

void TframeAVShow::PlaceBackground() {
    imgVideoBack->setGeometry(0, 0, avngn->width(), avngn->height());
    imgFlash->setGeometry(0, 0, avngn->width(), avngn->height());
}

void TframeAVShow::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    PlaceBackground();
}

bool TframeAVShow::StartDrag(QWidget* pressed, const QPoint& local, Qt::MouseButtons buttons,
                             Qt::KeyboardModifiers modifiers, const QPoint& global) {
    if (!floating_ || buttons != Qt::LeftButton || modifiers != Qt::NoModifier) {
        return false;
    }
    if (pressed != avngn &&
        !(local.x() > 0 && local.x() < width() && local.y() > 0 && local.y() < kBottomBarHeight)) {
        return false;
    }
    dragging_ = true;
    dragOrigin_ = global;
    dragStartPos_ = pos();
    raise();
    grabMouse();
    return true;
}

bool TframeAVShow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == lblName || watched == pnlVideoBottom) {
            StartDrag(static_cast<QWidget*>(watched), mouse->position().toPoint(), mouse->buttons(),
                      mouse->modifiers(), mouse->globalPosition().toPoint());
        }
    } else if (event->type() == QEvent::MouseButtonRelease && watched == lblName) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            lblName->rect().contains(mouse->position().toPoint())) {
            SelectHolder();
        }
    } else if (event->type() == QEvent::Resize && watched == avngn) {
        PlaceBackground();
    }
    return QFrame::eventFilter(watched, event);
}

bool TframeAVShow::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (StartDrag(this, mouse->position().toPoint(), mouse->buttons(), mouse->modifiers(),
                          mouse->globalPosition().toPoint())) {
                return true;
            }
            break;
        }
        case QEvent::MouseMove:
            if (dragging_) {
                const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
                move(dragStartPos_ + (global - dragOrigin_));
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (dragging_) {
                dragging_ = false;
                releaseMouse();
                return true;
            }
            break;
        default:
            if (event->type() == kFirstPictureEvent) {
                ShowFirstPicture();
                return true;
            }
            break;
    }
    return QFrame::event(event);
}
