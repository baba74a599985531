#include "GifWriter.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cstdint>
#include <unordered_map>

namespace {

constexpr uint32_t kTransparent = 0xFFFFFFFFu;

// One pixel as the GIF will show it: 0xRRGGBB, or kTransparent.
uint32_t Flatten(QRgb px, QRgb matte) {
    const int a = qAlpha(px);
    if (a < 128) {
        return kTransparent;
    }
    auto mix = [a](int c, int m) { return (c * a + m * (255 - a) + 127) / 255; };
    const int r = mix(qRed(px), qRed(matte));
    const int g = mix(qGreen(px), qGreen(matte));
    const int b = mix(qBlue(px), qBlue(matte));
    return (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}

int Channel(uint32_t c, int ch) {
    return int((c >> (16 - 8 * ch)) & 0xFF);
}

struct Box {
    std::vector<std::pair<uint32_t, int>> Colours;  // colour, pixel count
    int Range = 0;
    int Axis = 0;
    void Measure() {
        int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
        for (auto& [c, n] : Colours) {
            for (int ch = 0; ch < 3; ++ch) {
                lo[ch] = std::min(lo[ch], Channel(c, ch));
                hi[ch] = std::max(hi[ch], Channel(c, ch));
            }
        }
        Range = -1;
        for (int ch = 0; ch < 3; ++ch) {
            if (hi[ch] - lo[ch] > Range) {
                Range = hi[ch] - lo[ch];
                Axis = ch;
            }
        }
    }
    uint32_t Average() const {
        int64_t sum[3] = {0, 0, 0}, total = 0;
        for (auto& [c, n] : Colours) {
            for (int ch = 0; ch < 3; ++ch) {
                sum[ch] += int64_t(Channel(c, ch)) * n;
            }
            total += n;
        }
        uint32_t out = 0;
        for (int ch = 0; ch < 3; ++ch) {
            out = (out << 8) | uint32_t((sum[ch] + total / 2) / std::max<int64_t>(total, 1));
        }
        return out;
    }
};

// Median cut down to `maxColours`; exact when there are few enough colours.
std::vector<uint32_t> Palette(const std::unordered_map<uint32_t, int>& histogram,
                              size_t maxColours) {
    std::vector<uint32_t> out;
    if (histogram.size() <= maxColours) {
        for (auto& [c, n] : histogram) {
            out.push_back(c);
        }
        std::sort(out.begin(), out.end());
        return out;
    }
    std::vector<Box> boxes(1);
    boxes[0].Colours.assign(histogram.begin(), histogram.end());
    boxes[0].Measure();
    while (boxes.size() < maxColours) {
        auto it = std::max_element(boxes.begin(), boxes.end(),
                                   [](const Box& a, const Box& b) { return a.Range < b.Range; });
        if (it->Range <= 0 || it->Colours.size() < 2) {
            break;
        }
        Box& box = *it;
        const int axis = box.Axis;
        std::sort(box.Colours.begin(), box.Colours.end(), [axis](auto& a, auto& b) {
            return Channel(a.first, axis) < Channel(b.first, axis);
        });
        int64_t total = 0;
        for (auto& p : box.Colours) {
            total += p.second;
        }
        int64_t run = 0;
        size_t cut = 0;
        while (cut + 1 < box.Colours.size() && run + box.Colours[cut].second <= total / 2) {
            run += box.Colours[cut].second;
            ++cut;
        }
        cut = std::max<size_t>(cut, 1);
        Box upper;
        upper.Colours.assign(box.Colours.begin() + long(cut), box.Colours.end());
        box.Colours.resize(cut);
        box.Measure();
        upper.Measure();
        boxes.push_back(std::move(upper));
    }
    for (auto& b : boxes) {
        out.push_back(b.Average());
    }
    return out;
}

class BitWriter {
  public:
    explicit BitWriter(QByteArray& out) : out_(out) {}
    void Put(int code, int bits) {
        acc_ |= uint32_t(code) << count_;
        count_ += bits;
        while (count_ >= 8) {
            Byte(uint8_t(acc_ & 0xFF));
            acc_ >>= 8;
            count_ -= 8;
        }
    }
    void Finish() {
        if (count_ > 0) {
            Byte(uint8_t(acc_ & 0xFF));
        }
        FlushBlock();
        out_.append('\0');
    }

  private:
    void Byte(uint8_t b) {
        block_[blockLen_++] = b;
        if (blockLen_ == 255) {
            FlushBlock();
        }
    }
    void FlushBlock() {
        if (blockLen_ > 0) {
            out_.append(char(blockLen_));
            out_.append(reinterpret_cast<const char*>(block_.data()), blockLen_);
            blockLen_ = 0;
        }
    }
    QByteArray& out_;
    uint32_t acc_ = 0;
    int count_ = 0;
    std::array<uint8_t, 255> block_{};
    int blockLen_ = 0;
};

void Lzw(QByteArray& out, const std::vector<uint8_t>& indexes, int minCodeSize) {
    out.append(char(minCodeSize));
    BitWriter bits(out);
    const int clear = 1 << minCodeSize;
    const int eoi = clear + 1;
    int codeSize = minCodeSize + 1;
    int maxCode = eoi;
    std::unordered_map<uint32_t, int> dict;
    bits.Put(clear, codeSize);
    int prefix = indexes.empty() ? 0 : indexes[0];
    for (size_t i = 1; i < indexes.size(); ++i) {
        const uint32_t key = (uint32_t(prefix) << 8) | indexes[i];
        auto found = dict.find(key);
        if (found != dict.end()) {
            prefix = found->second;
            continue;
        }
        bits.Put(prefix, codeSize);
        dict[key] = ++maxCode;
        if (maxCode >= (1 << codeSize)) {
            ++codeSize;
        }
        if (maxCode == 4095) {
            bits.Put(clear, 12);
            dict.clear();
            codeSize = minCodeSize + 1;
            maxCode = eoi;
        }
        prefix = indexes[i];
    }
    bits.Put(prefix, codeSize);
    bits.Put(eoi, codeSize);
    bits.Finish();
}

void Le16(QByteArray& out, int v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

}  // namespace

QByteArray EncodeGif(const std::vector<GifFrame>& frames, QRgb matte) {
    if (frames.empty() || frames[0].Image.isNull()) {
        return {};
    }
    const int w = frames[0].Image.width();
    const int h = frames[0].Image.height();

    std::vector<std::vector<uint32_t>> flat;
    std::unordered_map<uint32_t, int> histogram;
    bool anyTransparent = false;
    for (const GifFrame& f : frames) {
        QImage img = f.Image.convertToFormat(QImage::Format_ARGB32);
        if (img.size() != QSize(w, h)) {
            img = img.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        std::vector<uint32_t> px(size_t(w) * size_t(h));
        for (int y = 0; y < h; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const uint32_t c = Flatten(line[x], matte);
                px[size_t(y) * size_t(w) + size_t(x)] = c;
                if (c == kTransparent) {
                    anyTransparent = true;
                } else {
                    ++histogram[c];
                }
            }
        }
        flat.push_back(std::move(px));
    }

    std::vector<uint32_t> palette = Palette(histogram, anyTransparent ? 255 : 256);
    if (palette.empty()) {
        palette.push_back(0);
    }
    const int transparentIndex = anyTransparent ? int(palette.size()) : -1;
    int tableBits = 1;
    while ((1 << tableBits) < int(palette.size()) + (anyTransparent ? 1 : 0)) {
        ++tableBits;
    }

    std::unordered_map<uint32_t, uint8_t> nearest;
    auto indexOf = [&](uint32_t c) -> uint8_t {
        if (c == kTransparent) {
            return uint8_t(transparentIndex);
        }
        auto it = nearest.find(c);
        if (it != nearest.end()) {
            return it->second;
        }
        int best = 0;
        int bestDist = 1 << 30;
        for (size_t i = 0; i < palette.size(); ++i) {
            int d = 0;
            for (int ch = 0; ch < 3; ++ch) {
                const int diff = Channel(c, ch) - Channel(palette[i], ch);
                d += diff * diff;
            }
            if (d < bestDist) {
                bestDist = d;
                best = int(i);
            }
        }
        nearest[c] = uint8_t(best);
        return uint8_t(best);
    };

    QByteArray out("GIF89a");
    Le16(out, w);
    Le16(out, h);
    out.append(char(0x80 | (7 << 4) | (tableBits - 1)));
    out.append(char(anyTransparent ? transparentIndex : 0));
    out.append('\0');
    for (int i = 0; i < (1 << tableBits); ++i) {
        const uint32_t c = i < int(palette.size()) ? palette[size_t(i)] : 0;
        out.append(char((c >> 16) & 0xFF));
        out.append(char((c >> 8) & 0xFF));
        out.append(char(c & 0xFF));
    }
    if (frames.size() > 1) {
        out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        Le16(out, 0);  // loop for ever
        out.append('\0');
    }
    for (size_t f = 0; f < frames.size(); ++f) {
        // Graphic control: restore to background so transparent parts of one
        // frame never show the previous frame through.
        out.append("\x21\xF9\x04", 3);
        out.append(char((2 << 2) | (anyTransparent ? 1 : 0)));
        Le16(out, std::max(frames[f].DelayCs, 0));
        out.append(char(anyTransparent ? transparentIndex : 0));
        out.append('\0');
        out.append(char(0x2C));
        Le16(out, 0);
        Le16(out, 0);
        Le16(out, w);
        Le16(out, h);
        out.append('\0');
        std::vector<uint8_t> idx(flat[f].size());
        for (size_t i = 0; i < idx.size(); ++i) {
            idx[i] = indexOf(flat[f][i]);
        }
        Lzw(out, idx, std::max(2, tableBits));
    }
    out.append(char(0x3B));
    return out;
}

bool WriteGif(const QString& path, const std::vector<GifFrame>& frames, QRgb matte) {
    const QByteArray data = EncodeGif(frames, matte);
    if (data.isEmpty()) {
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    return f.write(data) == data.size();
}
