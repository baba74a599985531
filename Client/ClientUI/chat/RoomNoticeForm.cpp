#include "chat/RoomNoticeForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "chat/ChatBoxes.h"
#include "chat/ChatTexts.h"
#include "chat/FontFrame.h"
#include "chat/HtmlChatEdit.h"

namespace {

void LayOut(TChatComposeWindow* w, QLabel* label, QPushButton* send, bool withEmotion) {
    auto* layout = new QVBoxLayout(w);
    layout->addWidget(label);
    auto* fontRow = new QHBoxLayout(w->pnlFont);
    fontRow->setContentsMargins(0, 0, 0, 0);
    fontRow->addWidget(w->frmFont);
    layout->addWidget(w->pnlFont);
    layout->addWidget(w->htmlchtdt, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(w->btn2);
    buttons->addWidget(w->btnEmotion);
    w->btnEmotion->setVisible(withEmotion);
    buttons->addStretch(1);
    buttons->addWidget(send);
    layout->addLayout(buttons);
    w->resize(440, 220);
}

}  // namespace

const std::string& SystemNoticePrefix() {
    return GbkText("<FONT STYLE=\"FONT:bold 11pt 宋体; color: red\">【系统通知】：</FONT>");
}

TfrmRoomNotice::TfrmRoomNotice(QWidget* owner)
    : TChatComposeWindow(owner, TFontKey::RoomNotice, kMaxLength, 0) {
    setWindowTitle(GbkToQString(GbkText("临时公告")));
    Label1 = new QLabel(GbkToQString(GbkText("发送临时公告：")), this);
    btnOK = new QPushButton(GbkToQString(GbkText("发送公告")), this);
    LayOut(this, Label1, btnOK, true);
    pnlFont->hide();
    connect(btnOK, &QPushButton::clicked, this, [this] { Send(); });
    htmlchtdt->OnEnterChat = [this] { Send(); };
}

void TfrmRoomNotice::Send() {
    if (htmlchtdt->MessageLength() > kMaxLength) {
        ShowChatBox(this, GbkText("您输入的字数超过最大字符限制！"), GbkText("错误"),
                    TBoxIcon::Error);
        return;
    }
    const std::string message = htmlchtdt->GetChatMessage();
    if (!message.empty() && OnSendNotice) {
        OnSendNotice(message);
    }
}

TfrmSystemNotice::TfrmSystemNotice(QWidget* owner)
    : TChatComposeWindow(owner, TFontKey::SystemNotice, kMaxLength, 0) {
    setWindowTitle(GbkToQString(GbkText("系统公告")));
    lbl1 = new QLabel(GbkToQString(GbkText("请输入系统公告的内容：")), this);
    btnSendNotice = new QPushButton(GbkToQString(GbkText("发送公告")), this);
    LayOut(this, lbl1, btnSendNotice, false);
    btn2->hide();  // the font bar is always shown here
    connect(btnSendNotice, &QPushButton::clicked, this, [this] { Send(); });
}

void TfrmSystemNotice::Send() {
    if (htmlchtdt->MessageLength() > kMaxLength) {
        ShowChatBox(this, GbkText("您输入的字数超过最大字符限制！"), GbkText("提示"),
                    TBoxIcon::Warning);
        return;
    }
    const std::string message = htmlchtdt->GetChatMessage();
    if (!message.empty() && OnSendNotice) {
        OnSendNotice(SystemNoticePrefix() + message);
    }
}
