#include <gtest/gtest.h>

#include <QBitmap>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "ResourceTestSupport.h"
#include "foundation/CursorUtils.h"

namespace {

// A 32×32 monochrome cursor whose bitmap and mask bits are set on the given
// rows (inclusive; -1 for none).
QCursor MonoCursor(int bitmapLastRow, int maskLastRow, int hotY) {
    auto rows = [](int lastRow) {
        QImage image(32, 32, QImage::Format_Mono);
        image.setColor(0, qRgb(255, 255, 255));
        image.setColor(1, qRgb(0, 0, 0));
        image.fill(0);
        for (int y = 0; y <= lastRow; ++y) {
            image.setPixel(3, y, 1);
        }
        return QBitmap::fromImage(image);
    };
    return QCursor(rows(bitmapLastRow), rows(maskLastRow), 0, hotY);
}

TEST(CursorHeightMarginTest, MeasuresFromTheHotSpotToTheLowestVisiblePixel) {
    TestApp();
    struct Case {
        const char* what;
        QCursor cursor;
        int expected;
    };
    QPixmap arrowPicture(24, 24);
    arrowPicture.fill(Qt::transparent);
    {
        QPainter painter(&arrowPicture);
        painter.fillRect(2, 0, 4, 18, Qt::black);  // rows 0..17 visible
    }
    const Case cases[] = {
        {"opaque rows", MonoCursor(11, 11, 2), 12 - 2},
        {"inverting pixels below the mask count too", MonoCursor(19, 9, 0), 20},
        {"white pixels: mask only", MonoCursor(-1, 15, 5), 16 - 5},
        {"picture cursor", QCursor(arrowPicture, 1, 3), 18 - 3},
        {"nothing visible", MonoCursor(-1, -1, 0), kStandardCursorMargin},
        {"standard shape", QCursor(Qt::ArrowCursor), kStandardCursorMargin},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CursorHeightMarginOf(c.cursor), c.expected) << c.what;
    }
}

TEST(CursorHeightMarginTest, CurrentCursorIsTheOverrideCursor) {
    TestApp();
    QGuiApplication::setOverrideCursor(MonoCursor(7, 7, 1));
    const int margin = CursorHeightMargin();
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(margin, 8 - 1);
}

}  // namespace
