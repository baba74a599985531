// A small GIF89a encoder: Qt reads GIF but cannot write it, and the program
// ships animated badges, emoticons and video pictures as GIF files.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

struct GifFrame {
    QImage Image;      // any format; alpha below 50% becomes transparent
    int DelayCs = 10;  // display time in hundredths of a second
};

// Encodes the frames (all drawn at the first frame's size) with one palette of
// at most 256 colours chosen by median cut. Partly transparent pixels are
// composed over `matte` because GIF transparency is all or nothing. An
// animation loops for ever. Returns an empty array when there is no frame.
QByteArray EncodeGif(const std::vector<GifFrame>& frames, QRgb matte = qRgb(255, 255, 255));

bool WriteGif(const QString& path, const std::vector<GifFrame>& frames,
              QRgb matte = qRgb(255, 255, 255));
