// "我的私麦": who watches the user's private mic, with "断开" to cut the
// checked viewers off.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;
class TPersonMicManage;

class TfrmPersonMic : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmPersonMic(QWidget* parent = nullptr);

    // Refills the list from the manager, in its order.
    void ShowViewers(const TPersonMicManage& manager);
    // Raised once per viewer cut off, last row first.
    std::function<void(std::int32_t user)> OnCut;

    void btnCutClick();

    QLabel* lblTitle;
    QTreeWidget* lvViewers;
    QPushButton* btnCut;
};
