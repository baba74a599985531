#include "session/ExitMessagebox.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "foundation/SkinData.h"

TfrmExitMsg::TfrmExitMsg(QWidget* owner) : QDialog(owner) {
    setObjectName("frmExitMsg");
    setWindowTitle(QString::fromUtf8("系统提示"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* buttons = new QHBoxLayout(this);
    buttons->setContentsMargins(24, 20, 24, 20);
    buttons->setSpacing(16);
    btnChangeAccount = new QPushButton(this);
    btnChangeAccount->setObjectName("btnChangeAccount");
    btnExit = new QPushButton(this);
    btnExit->setObjectName("btnExit");
    btnChangeAccount->setMinimumSize(110, 34);
    btnExit->setMinimumSize(110, 34);
    buttons->addWidget(btnChangeAccount);
    buttons->addWidget(btnExit);
    connect(btnChangeAccount, &QPushButton::clicked, this, [this] { done(6); });
    connect(btnExit, &QPushButton::clicked, this, [this] { done(1); });
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmExitMsg::showEvent(QShowEvent* event) {
    // The skin gives each button its picture; the words stay, as the pictures
    // alone do not say which button ends the program.
    SetSkinName(btnChangeAccount, "button_changeaccount");
    SetSkinName(btnExit, "button_exit");
    btnChangeAccount->setText(QString::fromUtf8("切换帐号"));
    btnExit->setText(QString::fromUtf8("退出"));
    QDialog::showEvent(event);
}
