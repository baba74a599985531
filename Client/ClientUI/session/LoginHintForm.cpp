#include "session/LoginHintForm.h"

#include <QLabel>
#include <QTimer>

#include "common/GbkText.h"
#include "foundation/ResDll.h"
#include "session/SessionWidgets.h"

TfrmLoginHint* LoginHint = nullptr;

TfrmLoginHint::TfrmLoginHint(QWidget* hall, QWidget* hallContents)
    : QDialog(hall), hall_(hall), contents_(hallContents) {
    setObjectName("frmLoginHint");
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    resize(300, 90);
    imgBack = new QLabel(this);
    imgBack->setObjectName("imgBack");
    imgBack->setScaledContents(true);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setAttribute(Qt::WA_TranslucentBackground);
    Label1->setAlignment(Qt::AlignCenter);
    tmrTimeOver = new QTimer(this);
    tmrTimeOver->setObjectName("tmrTimeOver");
    tmrTimeOver->setInterval(15000);
    tmrTimeOver->setSingleShot(true);
    connect(tmrTimeOver, &QTimer::timeout, this, &TfrmLoginHint::tmrTimeOverTimer);
}

void TfrmLoginHint::resizeEvent(QResizeEvent* event) {
    imgBack->setGeometry(rect());
    Label1->setGeometry(rect());
    QDialog::resizeEvent(event);
}

void TfrmLoginHint::SetHintText(const std::string& text) {
    Label1->setText(Qt8(text));
    Label1->repaint();
}

void TfrmLoginHint::AttachRoom(QWidget* room) {
    room_ = room;
    tmrTimeOver->start();
}

void TfrmLoginHint::showEvent(QShowEvent* event) {
    QImage back;
    if (ResDll && ResDll->LoadJpeg(back, "loginhint", "JPG"))
        imgBack->setPixmap(QPixmap::fromImage(back));
    SetHintText(Utf8ToGbk("正在创建房间..."));
    if (parentWidget()) {
        const QRect owner = parentWidget()->frameGeometry();
        move(owner.center() - rect().center());
    }
    QDialog::showEvent(event);
}

void TfrmLoginHint::hideEvent(QHideEvent* event) {
    if (contents_)
        contents_->setEnabled(true);
    tmrTimeOver->stop();
    room_ = nullptr;
    QDialog::hideEvent(event);
}

void TfrmLoginHint::tmrTimeOverTimer() {
    tmrTimeOver->stop();
    if (QWidget* room = room_) {
        ShowMessage(hall_, Utf8ToGbk("与服务器连接失败！"), Utf8ToGbk("提示"),
                    QMessageBox::Critical);
        room->close();
    }
    hide();
}
