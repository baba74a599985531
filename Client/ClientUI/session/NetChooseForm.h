// TfrmNetChoose: the user's network line preference ("NetType"), shown from
// the hall's network button. Closing only hides it.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

class TfrmNetChoose : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmNetChoose(QWidget* owner = nullptr);

    QLabel* lbl1;
    QLabel* lbl2;
    QRadioButton* crbTelecom;
    QRadioButton* crbNetcom;
    QCheckBox* crbDefaultChoose;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    void btnOKClick();
};
