// "输入": one phrase or reply of at most 200 bytes, typed in a chat editor
// with emoticons. It opens with the text to edit and answers the converted
// text, or nothing.
#pragma once

#include <QDialog>
#include <QPoint>
#include <string>

class QLabel;
class QPushButton;
class QTimer;
class THtmlChatEdit;

class TfrmReplyInput : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kMaxLength = 200;

    explicit TfrmReplyInput(QWidget* parent = nullptr);

    // The raw text goes into the editor at once; its emoticons show as
    // pictures shortly after the dialog is shown.
    void SetInputText(const std::string& text);
    // Modal; the converted text, or empty (cancelled, or over 200 bytes).
    std::string InputReply();
    // What InputReply answers once the dialog closed with `accepted`.
    std::string Result(bool accepted);
    // The timer's tick: focus and the text with its pictures.
    void Timer1Timer();

    THtmlChatEdit* hceInput;
    QLabel* lblHint;
    QPushButton* btnEmotion;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QTimer* Timer1;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::string shownText_;
    QPoint emotionAt_;
};
