#include "av/ControlFrame.h"

#include <QAction>
#include <QCursor>
#include <QGridLayout>
#include <QMenu>
#include <QSlider>
#include <QToolButton>
#include <map>

#include "foundation/APIUtils.h"
#include "foundation/SkinData.h"

namespace {

QString Qt8(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QToolButton* MakeButton(QWidget* parent, const char* name, const char* skin) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    SetSkinName(button, skin);
    return button;
}

QSlider* MakeSlider(QWidget* parent, const char* name) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    SetSkinName(slider, "htrackbar");
    slider->setRange(0, 65535);
    slider->setValue(50);
    return slider;
}

}  // namespace

std::string MicStateSkinName(int micType) {
    if (micType == -1 || micType == 0) {
        return "button_mic_state_-1";
    }
    if (micType >= 1 && micType <= 4) {
        return "button_mic_state_" + std::to_string(micType);
    }
    return {};
}

TframeControl::TframeControl(QWidget* parent) : QFrame(parent) {
    setObjectName("frameUserCtr");
    auto* outer = new QGridLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    bsSkinPanel1 = new QFrame(this);
    bsSkinPanel1->setObjectName("bsSkinPanel1");
    SetSkinName(bsSkinPanel1, "panel_room_left_bottom");
    outer->addWidget(bsSkinPanel1, 0, 0);

    auto* grid = new QGridLayout(bsSkinPanel1);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(1);
    btnVolumeSend = MakeButton(bsSkinPanel1, "btnVolumeSend", "button_volumesend");
    btnVolumeSend->setCheckable(true);
    btnVolumeRece = MakeButton(bsSkinPanel1, "btnVolumeRece", "button_volumerece");
    btnVolumeRece->setCheckable(true);
    trdVolumeSend = MakeSlider(bsSkinPanel1, "trdVolumeSend");
    trdVolumeRece = MakeSlider(bsSkinPanel1, "trdVolumeRece");
    btnAddMic = MakeButton(bsSkinPanel1, "btnAddMic", "button_mic_state_-1");
    btnPersonMicmanager =
        MakeButton(bsSkinPanel1, "btnPersonMicmanager", "button_control_mic_manager");
    btnPersonMicmanager->setText(Qt8("私麦管理"));
    btnPersonMicmanager->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    btnAdvanceSet = MakeButton(bsSkinPanel1, "btnAdvanceSet", "button_control_advance_set");
    btnAdvanceSet->setText(Qt8("高级设置"));
    btnAdvanceSet->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    grid->addWidget(btnVolumeSend, 0, 0);
    grid->addWidget(trdVolumeSend, 0, 1);
    grid->addWidget(btnAddMic, 0, 2, 2, 1);
    grid->addWidget(btnVolumeRece, 1, 0);
    grid->addWidget(trdVolumeRece, 1, 1);
    grid->addWidget(btnPersonMicmanager, 2, 0, 1, 2);
    grid->addWidget(btnAdvanceSet, 2, 2);
    grid->setColumnStretch(1, 1);

    bsSkinPopupMenu1 = new QMenu(this);
    N1 = bsSkinPopupMenu1->addAction(Qt8("公麦"));
    N2 = bsSkinPopupMenu1->addAction(Qt8("私麦(所有人可连)"));
    VIP1 = bsSkinPopupMenu1->addAction(Qt8("私麦(VIP可连)"));
    N3 = bsSkinPopupMenu1->addAction(Qt8("私麦(需我同意可连)"));
    N4 = bsSkinPopupMenu1->addAction(Qt8("下麦"));
    connect(N1, &QAction::triggered, this, [this] { MicRequest(1); });
    connect(N2, &QAction::triggered, this, [this] { MicRequest(2); });
    connect(VIP1, &QAction::triggered, this, [this] { MicRequest(3); });
    connect(N3, &QAction::triggered, this, [this] { MicRequest(4); });
    connect(N4, &QAction::triggered, this, [this] { MicRequest(0); });
    connect(btnAddMic, &QToolButton::clicked, this,
            [this] { bsSkinPopupMenu1->popup(QCursor::pos()); });

    // The volumes belong to the audio settings (the system mixer); until
    // they are wired the sliders only say so in the log.
    connect(trdVolumeSend, &QSlider::sliderReleased, this, [this] { MixerMissing(); });
    connect(trdVolumeRece, &QSlider::sliderReleased, this, [this] { MixerMissing(); });
    connect(btnVolumeSend, &QToolButton::clicked, this, [this] { MixerMissing(); });
    connect(btnVolumeRece, &QToolButton::clicked, this, [this] { MixerMissing(); });
}

void TframeControl::MixerMissing() {
    if (!mixerLogged_) {
        mixerLogged_ = true;
        WriteLog("audio strip: no mixer attached, volume and mute changes are not applied");
    }
}

void TframeControl::MicRequest(int mode) {
    if (OnMicRequest) {
        OnMicRequest(mode);
    }
}

void TframeControl::SetMicState(int micType) {
    const std::string skin = MicStateSkinName(micType);
    if (skin.empty()) {
        WriteLog("audio strip: no button picture for mic type " + std::to_string(micType));
        return;
    }
    SetSkinName(btnAddMic, skin.c_str());
}

std::string TframeControl::MicStateSkin() const {
    return btnAddMic->property("skin").toString().toStdString();
}
