#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>

#include "foundation/CursorUtils.h"

namespace {

// Rows counted from the top down to the lowest row where `visible` holds for
// some pixel; 0 when none does.
int VisibleHeight(int width, int height, const std::function<bool(int, int)>& visible) {
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            if (visible(x, y)) {
                return y + 1;
            }
        }
    }
    return 0;
}

bool IsSet(const QImage& bits, int x, int y) {
    // A bitmap's set bits are color1, black.
    return x < bits.width() && y < bits.height() && (bits.pixel(x, y) & 0x00FFFFFF) == 0;
}

}  // namespace

int CursorHeightMarginOf(const QCursor& cursor) {
    int height = 0;
    const QBitmap bitmap = cursor.bitmap();
    const QPixmap pixmap = cursor.pixmap();
    if (!pixmap.isNull()) {
        // Checked first: Qt also derives a bitmap from a picture cursor, in
        // which transparent pixels come out set.
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        height = VisibleHeight(image.width(), image.height(),
                               [&](int x, int y) { return qAlpha(image.pixel(x, y)) != 0; });
    } else if (!bitmap.isNull()) {
        // Mask set: black or white; mask clear but bitmap set: inverted.
        // Either shows.
        const QImage bits = bitmap.toImage().convertToFormat(QImage::Format_RGB32);
        const QBitmap maskBitmap = cursor.mask();
        const QImage mask = maskBitmap.isNull()
                                ? QImage()
                                : maskBitmap.toImage().convertToFormat(QImage::Format_RGB32);
        height = VisibleHeight(bits.width(), bits.height(), [&](int x, int y) {
            return IsSet(bits, x, y) || (!mask.isNull() && IsSet(mask, x, y));
        });
    }
    if (height == 0) {
        return kStandardCursorMargin;
    }
    return height - cursor.hotSpot().y();
}

int CursorHeightMargin() {
    if (const QCursor* overridden = QGuiApplication::overrideCursor()) {
        return CursorHeightMarginOf(*overridden);
    }
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        if (QWidget* under = QApplication::widgetAt(QCursor::pos())) {
            return CursorHeightMarginOf(under->cursor());
        }
    }
    return CursorHeightMarginOf(QCursor(Qt::ArrowCursor));
}
