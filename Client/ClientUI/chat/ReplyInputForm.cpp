#include "chat/ReplyInputForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "chat/ChatBoxes.h"
#include "chat/ChatFormat.h"
#include "chat/ChatTexts.h"
#include "chat/EmotionForm.h"
#include "chat/HtmlChatEdit.h"
#include "foundation/AppPaths.h"

TfrmReplyInput::TfrmReplyInput(QWidget* parent) : QDialog(parent) {
    setWindowTitle(GbkToQString(GbkText("输入")));
    lblHint = new QLabel(GbkToQString(GbkText("您最多可以输入 200 字符。")), this);
    hceInput = new THtmlChatEdit(this);
    hceInput->MaxLength = kMaxLength;
    btnEmotion = new QPushButton(GbkToQString(GbkText("表情")), this);
    btnOK = new QPushButton(GbkToQString(GbkText("确定")), this);
    btnCancel = new QPushButton(GbkToQString(GbkText("取消")), this);
    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    Timer1->setSingleShot(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblHint);
    layout->addWidget(hceInput, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnEmotion);
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    resize(380, 180);

    btnEmotion->installEventFilter(this);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    hceInput->OnEnterChat = [this] { accept(); };
    connect(btnEmotion, &QPushButton::clicked, this, [this] {
        TfrmEmotion* picker = SharedEmotionPicker();
        picker->SetReceiver(this, [this](const std::string& file, const std::string&) {
            hceInput->InsertEmoticon(AppPath("emotions/"), file);
        });
        picker->ShowEmotionPicker(emotionAt_);
    });
}

void TfrmReplyInput::SetInputText(const std::string& text) {
    shownText_ = ExpandEmotionCodes(text);
    hceInput->SetPlainText(text);
}

void TfrmReplyInput::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Timer1->start();
}

void TfrmReplyInput::Timer1Timer() {
    Timer1->stop();
    hceInput->FocusEditor();
    hceInput->SetHtml(shownText_);
}

std::string TfrmReplyInput::Result(bool accepted) {
    if (!accepted) {
        return {};
    }
    const int length = hceInput->MessageLength();
    if (length >= 0 && length <= kMaxLength) {
        return hceInput->ReadChatInfo();
    }
    ShowChatBox(this, GbkText("回复限制长度为200字符，您输入的字符数超过了此长度"), GbkText("提示"),
                TBoxIcon::Warning);
    return {};
}

std::string TfrmReplyInput::InputReply() {
    return Result(exec() == QDialog::Accepted);
}

bool TfrmReplyInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == btnEmotion && event->type() == QEvent::MouseButtonPress) {
        emotionAt_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
    }
    return QDialog::eventFilter(watched, event);
}
