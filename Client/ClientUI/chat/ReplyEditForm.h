// "编辑常用语": edits one reply store's texts in a list; "确定" saves them.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QListWidget;
class QPushButton;
class TReply;
class TfrmReplyInput;

class TfrmReplyEdit : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmReplyEdit(QWidget* parent = nullptr);

    // Shows the store's texts, modal; true when confirmed (the store saved).
    bool EditReplies(TReply& store);
    // Fills the list from the store without showing (EditReplies does it).
    void Open(TReply& store);

    void Add();
    void Modify();
    void Delete();
    // "确定": the list becomes the store's texts and is saved.
    void Confirm();

    // The input dialog for one text; the default opens TfrmReplyInput.
    std::function<std::string(const std::string& text)> InputText;

    QListWidget* lvReply;
    QPushButton* btnAdd;
    QPushButton* btnModify;
    QPushButton* btnDelete;
    QPushButton* btnConfirm;
    QPushButton* btnCancel;

  private:
    TReply* store_ = nullptr;
    TfrmReplyInput* input_ = nullptr;
};
