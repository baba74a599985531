#include "chat/LabaForm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "chat/ChatBoxes.h"
#include "chat/ChatTexts.h"
#include "chat/FontFrame.h"
#include "chat/HtmlChatEdit.h"

TfrmLaba::TfrmLaba(QWidget* owner)
    : TChatComposeWindow(owner, TFontKey::Laba, kMaxLength, kFontSize) {
    setWindowTitle(GbkToQString(GbkText("小喇叭")));
    btnOK = new QPushButton(GbkToQString(GbkText("发送喇叭")), this);
    lblaba = new QLabel(GbkToQString(GbkText("发送小喇叭，每条将扣除2000金币")), this);
    CheckBoxLaba = new QRadioButton(GbkToQString(GbkText("小喇叭")), this);
    CheckBoxWorldLaba = new QRadioButton(GbkToQString(GbkText("世界喇叭")), this);
    CheckBoxLaba->setChecked(true);
    CheckBoxWorldLaba->hide();
    // The horn's size is fixed: no size box.
    frmFont->cmbFontSize->hide();

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(CheckBoxLaba);
    top->addWidget(CheckBoxWorldLaba);
    top->addWidget(lblaba, 1);
    layout->addLayout(top);
    auto* fontRow = new QHBoxLayout(pnlFont);
    fontRow->setContentsMargins(0, 0, 0, 0);
    fontRow->addWidget(frmFont);
    pnlFont->hide();
    layout->addWidget(pnlFont);
    layout->addWidget(htmlchtdt, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btn2);
    buttons->addWidget(btnEmotion);
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    layout->addLayout(buttons);
    resize(420, 200);

    connect(CheckBoxLaba, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            lblaba->setText(GbkToQString(GbkText("发送小喇叭，每条将扣除2000金币")));
        }
    });
    connect(CheckBoxWorldLaba, &QRadioButton::toggled, this, [this](bool on) {
        if (on) {
            lblaba->setText(GbkToQString(GbkText("发送世界喇叭，每条将扣除30000金币")));
        }
    });
    connect(btnOK, &QPushButton::clicked, this, [this] { Send(); });
    htmlchtdt->OnEnterChat = [this] { Send(); };
}

void TfrmLaba::Send() {
    if (htmlchtdt->MessageLength() > kMaxLength) {
        ShowChatBox(this, GbkText("您输入的字数超过最大字符限制！"), GbkText("提示"),
                    TBoxIcon::Warning);
        return;
    }
    const bool world = CheckBoxWorldLaba->isChecked();
    const std::string message = htmlchtdt->GetChatMessage();
    if (!message.empty() && OnSendHorn) {
        OnSendHorn(message, world);
    }
}
