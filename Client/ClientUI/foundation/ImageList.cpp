#include "foundation/ImageList.h"

#include <QPainter>
#include <algorithm>

QColor QColorFromTColor(std::uint32_t tcolor) {
    return QColor(int(tcolor & 0xFF), int((tcolor >> 8) & 0xFF), int((tcolor >> 16) & 0xFF));
}

int TImageList::Add(const QImage& frame, const QColor& maskColour) {
    QImage cell(width_, height_, QImage::Format_ARGB32);
    cell.fill(Qt::transparent);
    const QImage source = frame.convertToFormat(QImage::Format_ARGB32);
    const QRgb mask = maskColour.rgb() & 0x00FFFFFF;
    const int w = std::min(width_, source.width());
    const int h = std::min(height_, source.height());
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(cell.scanLine(y));
        for (int x = 0; x < w; ++x) {
            // Colour match ignores alpha: strips are opaque bitmaps.
            out[x] = (in[x] & 0x00FFFFFF) == mask ? qRgba(0, 0, 0, 0) : in[x];
        }
    }
    frames_.push_back(std::move(cell));
    return Count() - 1;
}

QImage TImageList::Image(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return frames_[static_cast<std::size_t>(index)];
}

QPixmap TImageList::Pixmap(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return QPixmap::fromImage(frames_[static_cast<std::size_t>(index)]);
}

void TImageList::Draw(QPainter& painter, int x, int y, int index) const {
    if (index < 0 || index >= Count()) {
        return;
    }
    if (bkColor_) {
        painter.fillRect(x, y, width_, height_, *bkColor_);
    }
    painter.drawImage(x, y, frames_[static_cast<std::size_t>(index)]);
}
