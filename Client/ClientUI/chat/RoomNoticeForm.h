// The two notice windows. The temporary room notice (800 bytes, "临时公告")
// is sent by managers; the system notice (200 bytes, "系统公告") by the
// highest roles, with a red "【系统通知】：" label in front and no Enter key.
#pragma once

#include <functional>
#include <string>

#include "chat/ChatComposeWindow.h"

class QLabel;

class TfrmRoomNotice : public TChatComposeWindow {
    Q_OBJECT

  public:
    static constexpr int kMaxLength = 800;
    explicit TfrmRoomNotice(QWidget* owner = nullptr);
    void Send();

    std::function<void(const std::string& text)> OnSendNotice;

    QLabel* Label1;
    QPushButton* btnOK;
};

class TfrmSystemNotice : public TChatComposeWindow {
    Q_OBJECT

  public:
    static constexpr int kMaxLength = 200;
    explicit TfrmSystemNotice(QWidget* owner = nullptr);
    void Send();

    std::function<void(const std::string& text)> OnSendNotice;

    QLabel* lbl1;
    QPushButton* btnSendNotice;
};

// The red label put in front of a system notice.
const std::string& SystemNoticePrefix();
