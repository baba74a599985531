#include "chat/MyInfoSetForm.h"

#include <QCheckBox>
#include <QCursor>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "chat/ChatBoxes.h"
#include "chat/ChatTexts.h"
#include "chat/SelectFace.h"
#include "common/Cipher.h"
#include "common/TextUtils.h"
#include "foundation/ResModule.h"

TMyInfoResult CheckMyInfo(const TMyInfoInput& input) {
    TMyInfoResult result;
    if (TrimBlanks(input.NickName).empty()) {
        result.ErrorText = GbkText("昵称不能为空");
        result.ErrorCaption = GbkText("错误");
        return result;
    }
    if (input.ModifyPassword) {
        if (Md5Hex(input.OldPassword) != input.StoredDigest) {
            result.ErrorText = GbkText("您输入的旧密码不正确，请重新输入");
            result.ErrorCaption = GbkText("密码修改错误");
            result.ClearPasswords = true;
            return result;
        }
        if (TrimBlanks(input.NewPassword) != TrimBlanks(input.AffirmPassword)) {
            result.ErrorText = GbkText("您两次输入的密码不一致，请重新输入。");
            result.ErrorCaption = GbkText("密码修改错误");
            result.ClearPasswords = true;
            return result;
        }
        result.NewDigest = Md5Hex(TrimBlanks(input.NewPassword));
    }
    result.Accepted = true;
    result.NickName = HtmlEscapeLine(input.NickName);
    return result;
}

void UpdatePasswordDigest(std::string& roomDigest, const std::string& newDigest) {
    if (!newDigest.empty()) {
        roomDigest = newDigest;
    }
}

TfrmMyInfoSet::TfrmMyInfoSet(QWidget* parent) : QDialog(parent) {
    setWindowTitle(GbkToQString(GbkText("个人设置")));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* form = new QFormLayout;
    edtUserID = new QLineEdit(this);
    edtUserID->setReadOnly(true);
    edtNickName = new QLineEdit(this);
    Image1 = new QLabel(this);
    Image1->setFixedSize(60, 60);
    Image1->setToolTip(GbkToQString(GbkText("点击选择")));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
    ChkModifyPwd = new QCheckBox(GbkToQString(GbkText("是否修改密码")), this);
    edtOldPwd = new QLineEdit(this);
    edtNewPwd = new QLineEdit(this);
    edtAffirmPwd = new QLineEdit(this);
    for (QLineEdit* e : {edtOldPwd, edtNewPwd, edtAffirmPwd}) {
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(20);
    }
    form->addRow(GbkToQString(GbkText("用户号码")), edtUserID);
    form->addRow(GbkToQString(GbkText("用户昵称")), edtNickName);
    form->addRow(GbkToQString(GbkText("头像")), Image1);
    form->addRow(ChkModifyPwd);
    form->addRow(GbkToQString(GbkText("旧密码")), edtOldPwd);
    form->addRow(GbkToQString(GbkText("新密码")), edtNewPwd);
    form->addRow(GbkToQString(GbkText("密码确认")), edtAffirmPwd);
    btnOK = new QPushButton(GbkToQString(GbkText("确定")), this);
    btnCancel = new QPushButton(GbkToQString(GbkText("取消")), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(ChkModifyPwd, &QCheckBox::toggled, this, [this](bool on) { PasswordsEnabled(on); });
    connect(btnOK, &QPushButton::clicked, this, [this] { Confirm(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    PasswordsEnabled(false);
}

void TfrmMyInfoSet::PasswordsEnabled(bool on) {
    for (QLineEdit* e : {edtOldPwd, edtNewPwd, edtAffirmPwd}) {
        e->setEnabled(on);
        if (!on) {
            e->clear();
        }
    }
}

void TfrmMyInfoSet::SetFace(int face) {
    if (face < 0) {
        return;  // a click beside the heads chooses nothing
    }
    face_ = face;
    if (gResModule != nullptr) {
        Image1->setPixmap(gResModule->FaceList.Pixmap(face));
    }
}

void TfrmMyInfoSet::Fill(std::int32_t userId, int face, const std::string& storedDigest,
                         const std::string& nickName) {
    edtUserID->setText(QString::number(userId));
    edtNickName->setText(GbkToQString(nickName));
    storedDigest_ = storedDigest;
    face_ = 0;
    SetFace(face);
    PasswordsEnabled(ChkModifyPwd->isChecked());
}

void TfrmMyInfoSet::ShowMyInfo(std::int32_t userId, int face, const std::string& storedDigest,
                               const std::string& nickName) {
    Fill(userId, face, storedDigest, nickName);
    exec();
}

void TfrmMyInfoSet::Confirm() {
    TMyInfoInput input;
    input.StoredDigest = storedDigest_;
    input.NickName = QStringToGbk(edtNickName->text());
    input.ModifyPassword = ChkModifyPwd->isChecked();
    input.OldPassword = QStringToGbk(edtOldPwd->text());
    input.NewPassword = QStringToGbk(edtNewPwd->text());
    input.AffirmPassword = QStringToGbk(edtAffirmPwd->text());
    input.Face = face_;
    const TMyInfoResult result = CheckMyInfo(input);
    if (!result.Accepted) {
        if (result.ClearPasswords) {
            for (QLineEdit* e : {edtOldPwd, edtNewPwd, edtAffirmPwd}) {
                e->clear();
            }
        }
        ShowChatBox(this, result.ErrorText, result.ErrorCaption, TBoxIcon::Error);
        return;
    }
    if (OnResult) {
        OnResult(storedDigest_, result.NickName, result.NewDigest, face_);
    }
    accept();
}

bool TfrmMyInfoSet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        TfrmSelectFace* picker = SharedFacePicker();
        picker->ShowFacePicker(at.x(), at.y(), this,
                               [this, picker] { SetFace(picker->ChosenIndex()); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
