// TfrmExitMsg: asked when a logged-in user closes the hall. Modal result 1
// = exit, 6 = change account.
#pragma once

#include <QDialog>

class QPushButton;

class TfrmExitMsg : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmExitMsg(QWidget* owner = nullptr);

    QPushButton* btnChangeAccount;
    QPushButton* btnExit;

  protected:
    void showEvent(QShowEvent* event) override;
};
