#include "session/HideLogon.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmHideLogon::TfrmHideLogon(QWidget* owner) : QDialog(owner) {
    setObjectName("frmHideLogon");
    setWindowTitle(QString::fromUtf8("提示"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* top = new QVBoxLayout(this);
    lblText =
        new QLabel(QString::fromUtf8("您有隐身登录到房间的权限，你是否隐身登录到房间？"), this);
    top->addWidget(lblText);
    CheckBox1 = new QCheckBox(QString::fromUtf8("下次不提示，直接隐身进入房间"), this);
    CheckBox1->setObjectName("CheckBox1");
    top->addWidget(CheckBox1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnYes = new QPushButton(QString::fromUtf8("是"), this);
    btnNo = new QPushButton(QString::fromUtf8("否"), this);
    buttons->addWidget(btnYes);
    buttons->addWidget(btnNo);
    top->addLayout(buttons);
    connect(btnYes, &QPushButton::clicked, this, [this] { done(1); });
    connect(btnNo, &QPushButton::clicked, this, [this] { done(7); });
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}
