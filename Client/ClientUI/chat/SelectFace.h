// The avatar picker: the user heads (60 x 60) in cells of 41 pixels, 10 x 4
// per page, each head drawn over its lower right neighbour so a cell shows
// mainly its head's top left part. One instance serves the program.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "chat/EmotionManager.h"
#include "foundation/ImageList.h"

class QLabel;
class QPushButton;

class TfrmSelectFace : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kCell = 41;
    static constexpr int kRows = 4;
    static constexpr int kColumns = 10;
    static constexpr int kOffset = 20;

    // Takes the heads from the data module's face list when there is one.
    explicit TfrmSelectFace(QWidget* parent = nullptr);

    void SetHeads(const TImageList& heads);
    // Shows the picker at a screen point; `choice` is called after a click.
    void ShowFacePicker(int left, int top, QObject* owner, std::function<void()> choice);
    // The head clicked last, -1 when the click was outside the heads.
    int ChosenIndex() const { return chosen_; }

    const TPictureGrid& Grid() const { return grid_; }
    const QPixmap& Strip() const { return strip_; }
    void GridMouseMove(const QPoint& pos);
    void GridClick();

    QWidget* pbImgs;
    QPushButton* btnPrior;
    QPushButton* btnNext;
    QLabel* lblPages;
    QPushButton* btnClose;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void UpdatePaging();
    void PaintGrid();

    TImageList heads_{60, 60};
    TPictureGrid grid_{kCell, kRows, kColumns};
    QPixmap strip_;
    int chosen_ = -1;
    QPointer<QObject> owner_;
    bool hasOwner_ = false;
    std::function<void()> choice_;
};

// The program's avatar picker, created on first use.
TfrmSelectFace* SharedFacePicker();
