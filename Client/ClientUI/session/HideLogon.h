// TfrmHideLogon: asks a user with the right whether to enter the room
// hidden. The hall reads its modal result (1 = yes, 7 = no) and CheckBox1.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

class TfrmHideLogon : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmHideLogon(QWidget* owner = nullptr);

    QLabel* lblText;
    QPushButton* btnYes;
    QPushButton* btnNo;
    QCheckBox* CheckBox1;
};
