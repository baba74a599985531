// The horn window: a 200-byte message in the stored horn font, always at 10
// points, sent through the receiver's callback with the world flag (the
// world horn is hidden, so the flag is always false).
#pragma once

#include <functional>
#include <string>

#include "chat/ChatComposeWindow.h"

class QLabel;
class QRadioButton;

class TfrmLaba : public TChatComposeWindow {
    Q_OBJECT

  public:
    static constexpr int kMaxLength = 200;
    static constexpr int kFontSize = 10;

    explicit TfrmLaba(QWidget* owner = nullptr);

    // "发送喇叭" or Enter: the length check, then the message leaves.
    void Send();

    std::function<void(const std::string& text, bool world)> OnSendHorn;

    QPushButton* btnOK;
    QLabel* lblaba;
    QRadioButton* CheckBoxLaba;
    QRadioButton* CheckBoxWorldLaba;
};
