// Drawing helpers shared by the installation data generator and its sheet.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace art {

// Colour that marks "transparent" in the bitmap strips: the strip reader takes
// each frame's bottom-left pixel as its mask colour.
inline constexpr QRgb kKey = 0xFFFF00FF;

// Folder of the committed emoji artwork (set once at start).
void SetArtDir(const QString& dir);

// The artwork `code` rendered into a transparent size x size picture, with
// `margin` pixels left free on every side. A missing file gives a grey
// question mark so a typo shows on the sheet instead of failing silently.
QImage Emoji(const QString& code, int size, int margin = 0);

// A transparent picture drawn on a key-coloured background for the strips:
// pixels that are mostly transparent become kKey, the rest are composed over
// `matte`, and the bottom-left pixel is forced to kKey.
QImage Keyed(const QImage& img, QRgb matte = qRgb(255, 255, 255));

// The font the pictures' texts use.
QString FontFamily();

// Rank and role badges: a 16 x 16 picture of a coloured shape with a glyph.
enum class Shape { Circle, Gem, Star, Shield, Crown, Tile };
struct BadgeStyle {
    Shape Form;
    QString Glyph;
    QColor Light, Dark;
};
// Frame 0-3 of the badge's shine animation.
QImage Badge(const BadgeStyle& style, int frame, int size = 16);

}  // namespace art
