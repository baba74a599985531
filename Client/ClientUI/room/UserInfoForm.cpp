#include "room/UserInfoForm.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/CodeTables.h"
#include "room/RoomTexts.h"

namespace {

QLineEdit* Field(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    return edit;
}

}  // namespace

TfrmUserInfo::TfrmUserInfo(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("查看好友信息"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    edtUserId = Field(this, "edtUserId");
    edtNickName = Field(this, "edtNickName");
    edtPoints = Field(this, "edtPoints");
    edtGold = Field(this, "edtGold");
    edtAddress = Field(this, "edtAddress");
    edtRole = Field(this, "edtRole");
    edtLevel = Field(this, "edtLevel");
    imgFace = new QLabel(this);
    imgFace->setObjectName("imgFace");
    imgFace->setFixedSize(60, 60);
    form->addRow(QString::fromUtf8("头像"), imgFace);
    form->addRow(QString::fromUtf8("用户号码"), edtUserId);
    form->addRow(QString::fromUtf8("用户昵称"), edtNickName);
    form->addRow(QString::fromUtf8("积分"), edtPoints);
    form->addRow(QString::fromUtf8("金币"), edtGold);
    form->addRow(QString::fromUtf8("登录IP"), edtAddress);
    form->addRow(QString::fromUtf8("用户类型"), edtRole);
    form->addRow(QString::fromUtf8("用户等级"), edtLevel);
    layout->addLayout(form);
    btnClose = new QPushButton(QString::fromUtf8("关闭"), this);
    btnClose->setObjectName("btnClose");
    layout->addWidget(btnClose, 0, Qt::AlignRight);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmUserInfo::Fill(const TUserDetails& d) {
    edtUserId->setText(QString::number(d.UserId));
    edtNickName->setText(GbkToQt(d.NickName));
    edtPoints->setText(QString::number(d.Points));
    edtGold->setText(QString::number(d.Gold));
    edtAddress->setText(QString::fromStdString(d.Address));
    edtRole->setText(GbkToQt(RoleName(d.Role)));
    edtLevel->setText(GbkToQt(LevelName(d.Level)));
    imgFace->setPixmap(d.Face);
}
