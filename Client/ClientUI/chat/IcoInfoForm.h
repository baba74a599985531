// The icon legend: one picture from the resource pack explaining the user
// list's icons.
#pragma once

#include <QDialog>

class QLabel;
class QMovie;

class TfrmIcoInfo : public QDialog {
    Q_OBJECT
  public:
    explicit TfrmIcoInfo(QWidget* parent = nullptr);
    // False when the pack has no legend picture (the dialog then stays empty).
    bool HasPicture() const { return movie_ != nullptr; }

    QLabel* imgicoinfos;

  private:
    QMovie* movie_ = nullptr;
};
