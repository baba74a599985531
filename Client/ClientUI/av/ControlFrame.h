// The user's own audio strip at the bottom of the room's left column: the
// send and receive volumes with their mute buttons, the microphone button and
// its request menu, and the private-mic manager and advanced settings buttons
// the room handles.
#pragma once

#include <QFrame>
#include <functional>
#include <string>

class QAction;
class QMenu;
class QSlider;
class QToolButton;

// The skin of the microphone button for a mic type: "button_mic_state_-1"
// for -1 and 0, "button_mic_state_<n>" for 1 to 4, empty for any other type
// (the button then keeps its skin).
std::string MicStateSkinName(int micType);

class TframeControl : public QFrame {
    Q_OBJECT

  public:
    explicit TframeControl(QWidget* parent = nullptr);

    // Shows the user's microphone state on the microphone button.
    void SetMicState(int micType);
    // The skin the microphone button carries now.
    std::string MicStateSkin() const;

    // Raised by the microphone menu with the mode of its item: 1 public,
    // 2 private for everybody, 3 private for VIPs, 4 private with consent,
    // 0 leave the microphone.
    std::function<void(int mode)> OnMicRequest;

    QFrame* bsSkinPanel1;
    QToolButton* btnVolumeSend;
    QToolButton* btnVolumeRece;
    QSlider* trdVolumeSend;
    QSlider* trdVolumeRece;
    QToolButton* btnAddMic;
    QToolButton* btnPersonMicmanager;
    QToolButton* btnAdvanceSet;
    QMenu* bsSkinPopupMenu1;
    QAction* N1;
    QAction* VIP1;
    QAction* N2;
    QAction* N3;
    QAction* N4;

  private:
    void MicRequest(int mode);
    void MixerMissing();

    bool mixerLogged_ = false;
};
