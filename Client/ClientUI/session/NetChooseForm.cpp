#include "session/NetChooseForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "foundation/ProfileStore.h"

TfrmNetChoose::TfrmNetChoose(QWidget* owner) : QDialog(owner) {
    setObjectName("frmNetChoose");
    setWindowTitle(QString::fromUtf8("网络选择"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* top = new QVBoxLayout(this);
    lbl1 = new QLabel(QString::fromUtf8("系统判断您当前的网络类型为：  电信"), this);
    lbl1->setObjectName("lbl1");
    lbl2 = new QLabel(QString::fromUtf8("您还可以手动选择网络类型"), this);
    lbl2->setObjectName("lbl2");
    crbTelecom = new QRadioButton(QString::fromUtf8("电信"), this);
    crbTelecom->setObjectName("crbTelecom");
    crbNetcom = new QRadioButton(QString::fromUtf8("网通"), this);
    crbNetcom->setObjectName("crbNetcom");
    auto* group = new QButtonGroup(this);
    group->addButton(crbTelecom);
    group->addButton(crbNetcom);
    crbDefaultChoose = new QCheckBox(QString::fromUtf8("下次登录为默认选择的网络"), this);
    crbDefaultChoose->setObjectName("crbDefaultChoose");
    btnOK = new QPushButton(QString::fromUtf8("确定"), this);
    btnOK->setObjectName("btnOK");
    btnCancel = new QPushButton(QString::fromUtf8("取消"), this);
    btnCancel->setObjectName("btnCancel");

    top->addWidget(lbl1);
    top->addWidget(lbl2);
    auto* radios = new QHBoxLayout;
    radios->addWidget(crbTelecom);
    radios->addWidget(crbNetcom);
    radios->addStretch();
    top->addLayout(radios);
    top->addWidget(crbDefaultChoose);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    top->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &TfrmNetChoose::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    (ReadNetType() == 0 ? crbTelecom : crbNetcom)->setChecked(true);
}

void TfrmNetChoose::btnOKClick() {
    WriteNetType(crbTelecom->isChecked() ? 0 : 1);
    accept();
}
