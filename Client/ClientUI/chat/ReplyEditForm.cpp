#include "chat/ReplyEditForm.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "chat/ChatTexts.h"
#include "chat/Reply.h"
#include "chat/ReplyInputForm.h"

TfrmReplyEdit::TfrmReplyEdit(QWidget* parent) : QDialog(parent) {
    setWindowTitle(GbkToQString(GbkText("编辑常用语")));
    lvReply = new QListWidget(this);
    lvReply->setSelectionMode(QAbstractItemView::SingleSelection);
    lvReply->setMinimumWidth(400);
    btnAdd = new QPushButton(GbkToQString(GbkText("添加")), this);
    btnModify = new QPushButton(GbkToQString(GbkText("修改")), this);
    btnDelete = new QPushButton(GbkToQString(GbkText("删除")), this);
    btnConfirm = new QPushButton(GbkToQString(GbkText("确定")), this);
    btnCancel = new QPushButton(GbkToQString(GbkText("取消")), this);
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {btnAdd, btnModify, btnDelete}) {
        side->addWidget(b);
    }
    side->addStretch(1);
    side->addWidget(btnConfirm);
    side->addWidget(btnCancel);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lvReply, 1);
    layout->addLayout(side);

    InputText = [this](const std::string& text) {
        if (input_ == nullptr) {
            input_ = new TfrmReplyInput(this);
        }
        input_->SetInputText(text);
        return input_->InputReply();
    };
    connect(btnAdd, &QPushButton::clicked, this, [this] { Add(); });
    connect(btnModify, &QPushButton::clicked, this, [this] { Modify(); });
    connect(btnDelete, &QPushButton::clicked, this, [this] { Delete(); });
    connect(btnConfirm, &QPushButton::clicked, this, [this] { Confirm(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmReplyEdit::Open(TReply& store) {
    store_ = &store;
    store.FillReplyList(lvReply);
}

bool TfrmReplyEdit::EditReplies(TReply& store) {
    Open(store);
    return exec() == QDialog::Accepted;
}

void TfrmReplyEdit::Add() {
    const std::string text = InputText ? InputText(std::string()) : std::string();
    if (text.empty()) {
        return;
    }
    lvReply->addItem(GbkToQString(text));
    lvReply->setCurrentRow(lvReply->count() - 1);
    lvReply->setFocus();
}

void TfrmReplyEdit::Modify() {
    QListWidgetItem* item = lvReply->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return;
    }
    const std::string text = InputText ? InputText(QStringToGbk(item->text())) : std::string();
    if (text.empty()) {
        return;
    }
    item->setText(GbkToQString(text));
    lvReply->setFocus();
}

void TfrmReplyEdit::Delete() {
    const int row = lvReply->currentRow();
    if (row < 0 || !lvReply->item(row)->isSelected()) {
        return;
    }
    const int count = lvReply->count();
    delete lvReply->takeItem(row);
    lvReply->setCurrentRow(RowAfterDelete(count, row));
}

void TfrmReplyEdit::Confirm() {
    if (store_ != nullptr) {
        store_->TakeReplyList(lvReply);
    }
    accept();
}
