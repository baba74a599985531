// One page frame of the emoticon picker: the faces of one tab as 24 x 24
// thumbnails drawn once into a strip of all pages, 15 x 6 cells of 30 pixels
// per page, a preview of the hovered face at full size and its name as a tip.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "chat/EmotionManager.h"
#include "foundation/ImageList.h"

class QLabel;
class QMovie;
class QPushButton;
class QFrame;

// A small tip window below the pointer, for face names.
class TFaceTip : public QWidget {
    Q_OBJECT
  public:
    explicit TFaceTip(QWidget* parent = nullptr);
    void ShowTip(const QPoint& globalPos, const std::string& gbkText);
    void HideTip();
    QString Text() const;

  private:
    QLabel* label_;
};

class TframeEmotion : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kCell = 30;
    static constexpr int kRows = 6;
    static constexpr int kColumns = 15;
    static constexpr int kThumb = 24;

    TframeEmotion(std::string folder, QWidget* parent = nullptr);

    // Copies the face; its picture's first frame becomes a thumbnail. A face
    // whose picture is missing or unreadable is skipped, so thumbnails and
    // faces stay in step. True when the face was added.
    bool AddFace(const TFace& face);
    // Pages, strip, paint box size, label and buttons from the faces.
    void LayoutFrame();
    void HidePreview();

    // A face was clicked: its picture file name and tab number.
    std::function<void(const std::string& file, const std::string& tabNumber)> OnChoose;

    const std::vector<TFace>& Faces() const { return faces_; }
    const TPictureGrid& Grid() const { return grid_; }
    const QPixmap& Strip() const { return strip_; }

    // Mouse handling of the grid, in paint box co-ordinates.
    void GridMouseMove(const QPoint& pos, const QPoint& globalPos);
    void GridLeave();
    void GridClick();

    QWidget* pbImgs;
    QPushButton* btnPrior;
    QPushButton* btnNext;
    QLabel* lblPages;
    QPushButton* btnClose;
    QFrame* pnlPreview;
    QLabel* imgPreview;
    TFaceTip* tip;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void PaintGrid();
    void UpdatePaging();
    void ShowPreview(int face, TPictureGrid::TPreview place);

    std::string folder_;
    std::vector<TFace> faces_;
    TImageList thumbnails_{kThumb, kThumb};
    TPictureGrid grid_{kCell, kRows, kColumns};
    QPixmap strip_;
    QMovie* previewMovie_ = nullptr;
};

// Colours of the picker's grid (colour values with red in the lowest byte).
inline constexpr std::uint32_t kGridLineColor = 13816530;
inline constexpr std::uint32_t kHighlightColor = 16744448;
