// A list of equally sized pictures addressed by index (level icons, faces,
// mic types, ...), each with its own transparent colour applied on entry.
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

// A colour stored the Delphi way, 0x00BBGGRR (red in the lowest byte).
QColor QColorFromTColor(std::uint32_t tcolor);

class TImageList {
  public:
    TImageList(int width, int height) : width_(width), height_(height) {}

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Painted behind every frame by Draw; none leaves the transparent parts
    // showing what is underneath.
    void SetBkColor(std::optional<QColor> colour) { bkColor_ = colour; }
    std::optional<QColor> BkColor() const { return bkColor_; }

    // Appends one frame; every pixel of maskColour becomes transparent. A
    // frame of another size is cut or padded (transparent) to the list's size
    // from its top-left corner. Returns the new frame's index.
    int Add(const QImage& frame, const QColor& maskColour);

    int Count() const { return static_cast<int>(frames_.size()); }
    // Empty image / null pixmap for an index out of range.
    QImage Image(int index) const;
    QPixmap Pixmap(int index) const;
    // Nothing is drawn for an index out of range.
    void Draw(QPainter& painter, int x, int y, int index) const;
    void Clear() { frames_.clear(); }

  private:
    int width_;
    int height_;
    std::optional<QColor> bkColor_;
    std::vector<QImage> frames_;
};
