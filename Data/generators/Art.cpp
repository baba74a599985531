#include "Art.h"

#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <cmath>

namespace art {

namespace {
QString g_artDir;
}

void SetArtDir(const QString& dir) {
    g_artDir = dir;
}

QString FontFamily() {
    static const QString family = [] {
        const QStringList all = QFontDatabase::families();
        for (const char* f : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Droid Sans Fallback"}) {
            if (all.contains(QString::fromLatin1(f))) {
                return QString::fromLatin1(f);
            }
        }
        return QString();
    }();
    return family;
}

QImage Emoji(const QString& code, int size, int margin) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer svg(g_artDir + "/" + code + ".svg");
    const QRectF box(margin, margin, size - 2 * margin, size - 2 * margin);
    if (svg.isValid()) {
        svg.render(&p, box);
    } else {
        p.setPen(QPen(Qt::gray, 1));
        p.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
        p.drawText(box, Qt::AlignCenter, "?");
    }
    return img;
}

QImage Keyed(const QImage& src, QRgb matte) {
    QImage img = src.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int a = qAlpha(line[x]);
            if (a < 128) {
                line[x] = kKey;
                continue;
            }
            auto mix = [a](int c, int m) { return (c * a + m * (255 - a) + 127) / 255; };
            QRgb c = qRgb(mix(qRed(line[x]), qRed(matte)), mix(qGreen(line[x]), qGreen(matte)),
                          mix(qBlue(line[x]), qBlue(matte)));
            if (c == kKey) {
                c = qRgb(254, 0, 254);
            }
            line[x] = c;
        }
    }
    if (img.height() > 0 && img.width() > 0) {
        img.setPixel(0, img.height() - 1, kKey);
    }
    return img.convertToFormat(QImage::Format_RGB32);
}

namespace {

QPainterPath ShapePath(Shape s, double n) {
    // Shapes are designed on a 16-unit grid and scaled to n.
    const double k = n / 16.0;
    QPainterPath path;
    auto pt = [k](double x, double y) { return QPointF(x * k, y * k); };
    switch (s) {
        case Shape::Circle:
            path.addEllipse(QRectF(pt(1, 1), pt(15, 15)));
            break;
        case Shape::Gem:
            path.moveTo(pt(4, 1.5));
            path.lineTo(pt(12, 1.5));
            path.lineTo(pt(15.5, 6));
            path.lineTo(pt(8, 15));
            path.lineTo(pt(0.5, 6));
            path.closeSubpath();
            break;
        case Shape::Star: {
            const double cx = 8 * k, cy = 8.6 * k, ro = 7.6 * k, ri = 3.9 * k;
            for (int i = 0; i < 10; ++i) {
                const double r = (i % 2) ? ri : ro;
                const double ang = -M_PI / 2 + i * M_PI / 5;
                const QPointF q(cx + r * std::cos(ang), cy + r * std::sin(ang));
                if (i == 0) {
                    path.moveTo(q);
                } else {
                    path.lineTo(q);
                }
            }
            path.closeSubpath();
            break;
        }
        case Shape::Shield:
            path.moveTo(pt(2, 1));
            path.lineTo(pt(14, 1));
            path.lineTo(pt(14, 8));
            path.quadTo(pt(14, 13), pt(8, 15.5));
            path.quadTo(pt(2, 13), pt(2, 8));
            path.closeSubpath();
            break;
        case Shape::Crown:
            path.moveTo(pt(1.5, 14));
            path.lineTo(pt(1.5, 4));
            path.lineTo(pt(5, 8));
            path.lineTo(pt(8, 2));
            path.lineTo(pt(11, 8));
            path.lineTo(pt(14.5, 4));
            path.lineTo(pt(14.5, 14));
            path.closeSubpath();
            break;
        case Shape::Tile:
            path.addRoundedRect(QRectF(pt(1, 1), pt(15, 15)), 3.5 * k, 3.5 * k);
            break;
    }
    return path;
}

}  // namespace

QImage Badge(const BadgeStyle& style, int frame, int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QPainterPath path = ShapePath(style.Form, size);
    QLinearGradient g(0, 0, 0, size);
    g.setColorAt(0, style.Light);
    g.setColorAt(1, style.Dark);
    p.fillPath(path, g);
    p.setPen(QPen(style.Dark.darker(140), size / 16.0));
    p.drawPath(path);

    if (style.Form == Shape::Crown) {
        // Jewels instead of a glyph: a crown is too small for text.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 230));
        const double k = size / 16.0;
        p.drawEllipse(QPointF(8 * k, 11 * k), 1.6 * k, 1.6 * k);
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(QPointF(4.5 * k, 11.5 * k), 1.0 * k, 1.0 * k);
        p.drawEllipse(QPointF(11.5 * k, 11.5 * k), 1.0 * k, 1.0 * k);
    } else if (!style.Glyph.isEmpty()) {
        QFont f(FontFamily());
        const bool latin = style.Glyph.at(0).unicode() < 0x100;
        f.setPixelSize(latin ? size * 9 / 16 : size * 11 / 16);
        f.setBold(true);
        f.setHintingPreference(QFont::PreferFullHinting);
        p.setFont(f);
        QRectF box(0, 0, size, size);
        if (style.Form == Shape::Gem || style.Form == Shape::Shield) {
            box.translate(0, -size / 16.0);
        }
        if (style.Form == Shape::Star) {
            box.translate(0, size / 32.0);
        }
        p.setPen(QColor(0, 0, 0, 90));
        p.drawText(box.translated(size / 32.0, size / 32.0), Qt::AlignCenter, style.Glyph);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, style.Glyph);
    }

    // The shine: a soft band crossing the badge, absent in the last frame.
    if (frame >= 0 && frame < 3) {
        p.setClipPath(path);
        const double x = (-0.4 + frame * 0.45) * size;
        QLinearGradient band(x, 0, x + size * 0.45, size * 0.45);
        band.setColorAt(0, QColor(255, 255, 255, 0));
        band.setColorAt(0.5, QColor(255, 255, 255, 150));
        band.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(QRectF(0, 0, size, size), band);
    }
    return img;
}

}  // namespace art
