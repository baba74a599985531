// TfrmLoginHint: "正在创建房间..." while a room window is being created and
// entered. The hall disables its contents meanwhile (not the hall window
// itself: that would disable the room windows it owns too); hiding the hint
// enables them again. A room that is not ready within 15 seconds is closed with a message.
#pragma once

#include <QDialog>
#include <QPointer>
#include <string>

class QLabel;
class QTimer;

class TfrmLoginHint : public QDialog {
    Q_OBJECT

  public:
    TfrmLoginHint(QWidget* hall, QWidget* hallContents);

    // Label text (GBK), repainted at once.
    void SetHintText(const std::string& text);
    // Remembers the room window being entered and starts the timeout.
    void AttachRoom(QWidget* room);
    QWidget* AttachedRoom() const { return room_; }

    QLabel* imgBack;
    QLabel* Label1;
    QTimer* tmrTimeOver;

    void tmrTimeOverTimer();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPointer<QWidget> hall_;
    QPointer<QWidget> contents_;
    QPointer<QWidget> room_;
};

// The one hint, created by the hall when it is first shown; the room windows
// show their progress through it.
extern TfrmLoginHint* LoginHint;
