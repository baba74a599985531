// Builds the installation data: pictures, pages, catalogues, skins and
// deployment files, from the sources under Data/.
//
//   makedata <Data source dir> <generated dir> <program dir>
//
// The program folder receives the loose files (emotions\, GiftItem\, ...);
// the generated folder receives the trees and .qrc files that rcc packs into
// ResModule.rcc and the two skin files.
#include <iconv.h>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>

#include "Art.h"
#include "Designs.h"
#include "GifWriter.h"

namespace {

QString g_src, g_gen, g_app;
int g_failures = 0;

void Fail(const QString& what) {
    std::fprintf(stderr, "makedata: %s\n", qPrintable(what));
    ++g_failures;
}

QByteArray ToGbk(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == iconv_t(-1)) {
        Fail("iconv cannot convert to GBK");
        return utf8;
    }
    QByteArray out(utf8.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* dst = out.data();
    size_t outLeft = size_t(out.size());
    if (iconv(cd, &in, &inLeft, &dst, &outLeft) == size_t(-1)) {
        Fail("text has characters GBK lacks: " + text.left(40));
    }
    iconv_close(cd);
    out.resize(out.size() - int(outLeft));
    return out;
}

void WriteBytes(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size()) {
        Fail("cannot write " + path);
    }
}

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        Fail("cannot read " + path);
        return {};
    }
    return f.readAll();
}

void SaveImage(const QImage& img, const QString& path, const char* format, int quality = -1) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!img.save(path, format, quality)) {
        Fail("cannot write " + path);
    }
}

void SaveGif(const QString& path, const std::vector<GifFrame>& frames,
             QRgb matte = qRgb(255, 255, 255)) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!WriteGif(path, frames, matte)) {
        Fail("cannot write " + path);
    }
}

// Rows of a tab-separated source file, without comments and blank lines.
std::vector<QStringList> ReadTsv(const QString& name, int columns) {
    std::vector<QStringList> rows;
    const QString text = QString::fromUtf8(ReadBytes(g_src + "/sources/" + name));
    int lineNo = 0;
    for (const QString& line : text.split('\n')) {
        ++lineNo;
        const QString l = line.trimmed();
        if (l.isEmpty() || l.startsWith('#')) {
            continue;
        }
        QStringList cells = line.split('\t');
        for (QString& c : cells) {
            c = c.trimmed();
        }
        if (columns > 0 && cells.size() < columns) {
            Fail(QString("%1:%2: expected %3 columns").arg(name).arg(lineNo).arg(columns));
            continue;
        }
        rows.push_back(cells);
    }
    return rows;
}

QString Esc(QString s) {
    s.replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;").replace('"', "&quot;");
    return s.replace('\'', "&apos;");
}

void RecreateDir(const QString& path) {
    QDir(path).removeRecursively();
    QDir().mkpath(path);
}

QImage WithOverlay(const QString& art, const QString& overlay, int size) {
    QImage img = art::Emoji(art, size, overlay.isEmpty() ? 0 : size / 16);
    if (!overlay.isEmpty()) {
        QPainter p(&img);
        const int o = size * 9 / 16;
        p.drawImage(size - o, size - o, art::Emoji(overlay, o));
    }
    return img;
}

// Frames side by side (columns > 0: that many per row).
QImage Sheet(const std::vector<QImage>& frames, QSize cell, int columns) {
    const int n = int(frames.size());
    const int cols = columns > 0 ? columns : n;
    const int rows = (n + cols - 1) / cols;
    QImage sheet(cell.width() * cols, cell.height() * rows, QImage::Format_RGB32);
    sheet.fill(art::kKey);
    QPainter p(&sheet);
    for (int i = 0; i < n; ++i) {
        p.drawImage((i % cols) * cell.width(), (i / cols) * cell.height(), frames[size_t(i)]);
    }
    return sheet;
}

QFont Font(int pixelSize, bool bold = false) {
    QFont f(art::FontFamily());
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// ---------------------------------------------------------------- resources

QImage HeadPicture(int i, int size) {
    static const char* pastel[] = {"#FFE3E3", "#FFF1CC", "#E3F6D8", "#D8F0FA",
                                   "#E6E0FA", "#FBE0F0", "#DFF5EE", "#F5E9DA"};
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor bg(pastel[i % 8]);
    const double r = size / 6.0;
    QRectF box(0.5, 0.5, size - 1, size - 1);
    QLinearGradient g(0, 0, 0, size);
    g.setColorAt(0, bg.lighter(104));
    g.setColorAt(1, bg.darker(108));
    p.setBrush(g);
    p.setPen(QPen(bg.darker(135), size >= 32 ? 1.0 : 0.0));
    if (size < 32) {
        p.setPen(Qt::NoPen);
        p.drawEllipse(box);
    } else {
        p.drawRoundedRect(box, r, r);
    }
    const int margin = size >= 32 ? size / 8 : 1;
    p.drawImage(0, 0, art::Emoji(designs::HeadArt()[size_t(i)], size, margin));
    return img;
}

QImage UserLevelStrip() {
    std::vector<QImage> frames;
    for (int i = 0; i < designs::kHeadCount; ++i) {
        frames.push_back(art::Keyed(HeadPicture(i, 16)));
    }
    for (const auto& m : designs::MarkIcons()) {
        if (int(frames.size()) != m.Index) {
            Fail("mark icons out of order");
        }
        frames.push_back(art::Keyed(WithOverlay(m.Art, m.Overlay, 16)));
    }
    if (int(frames.size()) != designs::kLevelFrames) {
        Fail("UserLevel strip has the wrong frame count");
    }
    // 47 frames cannot form a rectangle of equal rows: one row.
    return Sheet(frames, QSize(16, 16), 0);
}

QImage UserOrderStrip() {
    // One rank per row, its four animation frames left to right.
    std::vector<QImage> frames;
    for (int k = 0; k < designs::kRankCount; ++k) {
        const designs::Rank* r = designs::RankAt(designs::kFirstRank + 4 * k);
        for (int f = 0; f < designs::kRankFrames; ++f) {
            frames.push_back(r ? art::Keyed(art::Badge(r->Style, f)) : QImage());
        }
        if (!r) {
            Fail(QString("no rank at %1").arg(designs::kFirstRank + 4 * k));
        }
    }
    return Sheet(frames, QSize(16, 16), designs::kRankFrames);
}

QImage IconStrip(const std::vector<designs::Icon>& icons, QSize cell, int art) {
    std::vector<QImage> frames;
    for (const auto& icon : icons) {
        QImage f(cell, QImage::Format_ARGB32_Premultiplied);
        f.fill(Qt::transparent);
        QPainter p(&f);
        p.drawImage((cell.width() - art) / 2, (cell.height() - art) / 2,
                    WithOverlay(icon.Art, icon.Overlay, art));
        p.end();
        frames.push_back(art::Keyed(f));
    }
    return Sheet(frames, cell, 0);
}

QImage UserHeadSheet() {
    std::vector<QImage> frames;
    for (int i = 0; i < designs::kHeadCount; ++i) {
        frames.push_back(art::Keyed(HeadPicture(i, 60)));
    }
    return Sheet(frames, QSize(60, 60), 13);
}

void DrawCentredText(QPainter& p, const QRectF& box, const QString& text, const QFont& f,
                     QColor colour, QColor shadow = QColor(0, 0, 0, 0)) {
    p.setFont(f);
    if (shadow.alpha() > 0) {
        p.setPen(shadow);
        p.drawText(box.translated(1, 1), Qt::AlignCenter, text);
    }
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

std::vector<GifFrame> LoginBar() {
    const QSize sz(380, 90);
    std::vector<GifFrame> frames;
    for (int f = 0; f < 8; ++f) {
        QImage img(sz, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(0, 0, sz.width(), sz.height());
        g.setColorAt(0, QColor("#3A7BD5"));
        g.setColorAt(1, QColor("#8E54E9"));
        p.fillRect(img.rect(), g);
        // Soft bubbles drifting upwards.
        for (int b = 0; b < 9; ++b) {
            const double x = 20 + b * 42;
            const double y = std::fmod(90 - f * 6 + b * 37, 110.0) - 10;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 40));
            p.drawEllipse(QPointF(x, y), 6 + b % 3 * 3, 6 + b % 3 * 3);
        }
        p.drawImage(18, 17, art::Emoji("1f3a5", 56));
        DrawCentredText(p, QRectF(84, 10, 290, 46), QString::fromUtf8("视频聊天室"), Font(34, true),
                        Qt::white, QColor(0, 0, 0, 90));
        DrawCentredText(p, QRectF(84, 56, 290, 24), QString::fromUtf8("高清视频 · 欢乐互动"),
                        Font(14), QColor(255, 255, 255, 220));
        frames.push_back({img, 15});
    }
    return frames;
}

std::vector<GifFrame> DownloadAnimation() {
    std::vector<GifFrame> frames;
    for (int f = 0; f < 8; ++f) {
        QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        // Tray.
        p.setPen(QPen(QColor("#2E7D32"), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(
            QPolygonF({QPointF(8, 44), QPointF(8, 56), QPointF(56, 56), QPointF(56, 44)}));
        // Falling arrow.
        const double y = -14 + f * 6;
        QPainterPath arrow;
        arrow.moveTo(26, y);
        arrow.lineTo(38, y);
        arrow.lineTo(38, y + 18);
        arrow.lineTo(47, y + 18);
        arrow.lineTo(32, y + 34);
        arrow.lineTo(17, y + 18);
        arrow.lineTo(26, y + 18);
        arrow.closeSubpath();
        p.setClipRect(0, 0, 64, 52);
        p.fillPath(arrow, QColor("#43A047"));
        frames.push_back({img, 10});
    }
    return frames;
}

QImage VideoBackground(bool waiting, int frame) {
    const QSize sz(320, 240);
    QImage img(sz, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(160, 110, 220);
    g.setColorAt(0, QColor("#34495E"));
    g.setColorAt(1, QColor("#141C24"));
    p.fillRect(img.rect(), g);
    if (!waiting) {
        QImage cam = art::Emoji("1f3a5", 96);
        p.setOpacity(0.55);
        p.drawImage(112, 52, cam);
        p.setOpacity(1);
        DrawCentredText(p, QRectF(0, 160, 320, 40), QString::fromUtf8("暂无视频"), Font(22, true),
                        QColor("#B0BEC5"));
    } else {
        for (int d = 0; d < 8; ++d) {
            const double ang = (d - frame) * M_PI / 4;
            const QPointF c(160 + 34 * std::sin(ang), 100 - 34 * std::cos(ang));
            const int a = 255 - ((d - frame + 8) % 8) * 28;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(120, 200, 255, std::max(a, 40)));
            p.drawEllipse(c, 7, 7);
        }
        DrawCentredText(p, QRectF(0, 160, 320, 40), QString::fromUtf8("正在连接视频..."),
                        Font(20, true), QColor("#CFD8DC"));
    }
    return img;
}

QImage IconLegend() {
    // Every icon of the user list with its meaning, two columns.
    struct Entry {
        QImage Icon;
        QString Text;
    };
    std::vector<Entry> entries;
    for (const auto& r : designs::Ranks()) {
        if (r.FirstFrame == 63) {
            continue;  // not shown in the user list
        }
        entries.push_back({art::Badge(r.Style, 1), r.Title});
    }
    for (const auto& m : designs::MarkIcons()) {
        if (m.Index == 40 || m.Index == 46) {
            continue;
        }
        entries.push_back({WithOverlay(m.Art, m.Overlay, 16), m.Title});
    }
    const int rowH = 22, colW = 190, rows = int(entries.size() + 1) / 2;
    QImage img(colW * 2 + 16, rows * rowH + 48, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor("#FFFFFF"));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 0, img.width(), 34), QColor("#E8F1FB"));
    DrawCentredText(p, QRectF(0, 0, img.width(), 34), QString::fromUtf8("用户列表图标说明"),
                    Font(15, true), QColor("#1F4E79"));
    p.setFont(Font(12));
    for (size_t i = 0; i < entries.size(); ++i) {
        const int col = int(i) / rows, row = int(i) % rows;
        const int x = 12 + col * colW, y = 42 + row * rowH;
        p.drawImage(x, y + 3, entries[i].Icon);
        p.setPen(QColor("#333333"));
        p.drawText(QRect(x + 24, y, colW - 30, rowH), Qt::AlignVCenter | Qt::AlignLeft,
                   entries[i].Text);
    }
    return img;
}

QImage LoginHintBackground() {
    QImage img(300, 90, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 90);
    g.setColorAt(0, QColor("#F4F9FF"));
    g.setColorAt(1, QColor("#D6E8FA"));
    p.fillRect(img.rect(), g);
    p.setPen(QPen(QColor("#7AA7D6"), 2));
    p.drawRect(QRectF(1, 1, 298, 88));
    p.drawImage(14, 21, art::Emoji("1f4ac", 48));
    return img;
}

void WriteResourcePack() {
    const QString dir = g_gen + "/res";
    RecreateDir(dir);
    SaveImage(UserLevelStrip(), dir + "/BMP/UserLevel", "BMP");
    SaveImage(UserOrderStrip(), dir + "/BMP/UserOrder", "BMP");
    SaveImage(IconStrip(designs::MicroIcons(), QSize(16, 16), 16), dir + "/BMP/MicroType", "BMP");
    SaveImage(IconStrip(designs::NavigationIcons(), QSize(42, 41), 34), dir + "/BMP/HallNavigation",
              "BMP");
    SaveImage(UserHeadSheet(), dir + "/BMP/UserHead", "BMP");
    SaveImage(LoginHintBackground(), dir + "/JPG/loginhint", "JPG", 92);
    SaveGif(dir + "/GIF/imageLoginBar", LoginBar());
    SaveGif(dir + "/GIF/gifDownLoad", DownloadAnimation());
    SaveGif(dir + "/GIF/gifVideoBack", {{VideoBackground(false, 0), 0}});
    std::vector<GifFrame> wait;
    for (int f = 0; f < 8; ++f) {
        wait.push_back({VideoBackground(true, f), 10});
    }
    SaveGif(dir + "/GIF/gifVideoWait", wait);
    SaveGif(dir + "/GIF/icoinfos", {{IconLegend(), 0}});
    // The manager badge the user list draws 12 x 12 over a head; drawn at
    // twice that so it stays sharp on scaled screens.
    SaveImage(art::Badge({art::Shape::Shield, QString::fromUtf8("管"), QColor("#FFD54F"),
                          QColor("#E65100")},
                         3, 24),
              dir + "/PNG/UserListBadge", "PNG");
    for (const char* page : {"template", "editor"}) {
        WriteBytes(dir + "/html/" + page, ReadBytes(g_src + "/pages/" + page + ".html"));
    }

    QString qrc = "<RCC>\n";
    for (const QString type : {"BMP", "JPG", "GIF", "PNG", "html"}) {
        qrc += QString("  <qresource prefix=\"/%1\">\n").arg(type);
        for (const QString& f : QDir(dir + "/" + type).entryList(QDir::Files, QDir::Name)) {
            qrc += QString("    <file alias=\"%1\">%2/%1</file>\n").arg(f, type);
        }
        qrc += "  </qresource>\n";
    }
    qrc += "</RCC>\n";
    WriteBytes(dir + "/pack.qrc", qrc.toUtf8());
}

// ---------------------------------------------------------------- emoticons

QImage EmoticonPicture(const QString& code) {
    return art::Emoji(code, 24, 1);
}

void WriteEmoticons() {
    const QString dir = g_app + "/emotions";
    const QString vip = g_app + "/VIPEmotions";
    RecreateDir(dir);
    RecreateDir(vip);
    QString xml = "<?xml version=\"1.0\" encoding=\"gbk\"?>\n<FaceConfig>\n";
    for (const QStringList& row : ReadTsv("faces.tsv", 3)) {
        if (row[0] == "tab") {
            xml += QString(
                       "  <FaceTab>\n    <nType>%1</nType>\n    <TabName>%2</TabName>\n"
                       "  </FaceTab>\n")
                       .arg(Esc(row[1]), Esc(row[2]));
        } else if (row[0] == "face" && row.size() >= 5) {
            const QString file = row[2] + ".gif";
            xml += QString(
                       "  <FC>\n    <FP>%1</FP>\n    <nType>%2</nType>\n    <FN>%3</FN>\n"
                       "  </FC>\n")
                       .arg(Esc(file), Esc(row[1]), Esc(row[3]));
            // Member pictures also answer the member code, which looks in
            // VIPEmotions\ under the same number.
            const std::vector<GifFrame> frames = {{EmoticonPicture(row[4]), 0}};
            SaveGif(dir + "/" + file, frames);
            SaveGif(vip + "/" + file, frames);
        } else {
            Fail("faces.tsv: bad row " + row.join(' '));
        }
    }
    xml += "</FaceConfig>\n";
    WriteBytes(dir + "/faceconfig.xml", ToGbk(xml));
}

// ------------------------------------------------------------- colour words

QColor Blend(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

void WriteColorWords() {
    const QString dir = g_app + "/ColorWord";
    // The client replaces "images/" in a fragment by this folder's own path, so
    // the pictures sit in the folder itself.
    RecreateDir(dir);
    QString xml = "<?xml version=\"1.0\" encoding=\"gbk\"?>\n<ColorWords>\n";
    for (const QStringList& row : ReadTsv("colorwords.tsv", 6)) {
        const QString picture = QString("cw%1.gif").arg(row[0]);
        std::vector<GifFrame> pulse;
        for (int s : {22, 26, 30, 26}) {
            QImage f(30, 30, QImage::Format_ARGB32_Premultiplied);
            f.fill(Qt::transparent);
            QPainter p(&f);
            const int o = (30 - s) / 2;
            p.drawImage(o, o, art::Emoji(row[3], s));
            p.end();
            pulse.push_back({f, 18});
        }
        SaveGif(dir + "/" + picture, pulse);

        // The phrase in a colour run from the first to the last colour.
        const QString phrase = row[2];
        QString html = QString("<img src=\"images/%1\">").arg(picture);
        for (int i = 0; i < phrase.size(); ++i) {
            const double t = phrase.size() > 1 ? double(i) / (phrase.size() - 1) : 0;
            html +=
                QString("<font style=\"font-size:14pt;font-weight:bold;color:%1\">%2</font>")
                    .arg(Blend(QColor(row[4]), QColor(row[5]), t).name(), Esc(phrase.mid(i, 1)));
        }
        html += QString("<img src=\"images/%1\">").arg(picture);
        xml += QString(
                   "  <item>\n    <index>%1</index>\n    <Name>%2</Name>\n"
                   "    <html><![CDATA[%3]]></html>\n  </item>\n")
                   .arg(row[0], Esc(row[1]), html);
    }
    xml += "</ColorWords>\n";
    WriteBytes(dir + "/word.xml", ToGbk(xml));
}

// -------------------------------------------------------------------- gifts

QImage GiftPicture(const QString& code) {
    QImage img(30, 30, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.drawImage(0, 0, art::Emoji(code, 30, 1));
    return img;
}

void WriteGiftCatalogue(const QString& source, const QString& file) {
    const QString dir = g_app + "/GiftItem";
    QString xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Gifts>\n";
    QString group;
    for (const QStringList& row : ReadTsv(source, 9)) {
        if (row[0] != group) {
            if (!group.isEmpty()) {
                xml += "  </Group>\n";
            }
            group = row[0];
            xml += QString("  <Group id=\"%1\" name=\"%2\">\n").arg(Esc(row[0]), Esc(row[1]));
        }
        const int id = row[2].toInt();
        if (id < 100) {
            Fail(source + ": gift ids start at 100 so the picture names need no padding");
        }
        xml +=
            QString(
                "    <Gift id=\"%1\" unit=\"%2\" type=\"%3\" name=\"%4\" value=\"%5\" "
                "simple=\"%6\"/>\n")
                .arg(Esc(row[2]), Esc(row[3]), Esc(row[4]), Esc(row[5]), Esc(row[6]), Esc(row[7]));
        // The catalogue looks for "%3d.bmp", the other dialogs for the plain
        // id: with ids of three digits and more both are the same file.
        SaveImage(GiftPicture(row[8]), dir + "/" + QString::asprintf("%3d.bmp", id), "BMP");
    }
    if (!group.isEmpty()) {
        xml += "  </Group>\n";
    }
    xml += "</Gifts>\n";
    WriteBytes(dir + "/" + file, xml.toUtf8());
}

// -------------------------------------------------------------------- seals

QImage SealPicture(const QString& text, const QColor& ink, QSize size, bool opaque) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(opaque ? QColor(Qt::white) : QColor(Qt::transparent));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double pen = size.height() >= 30 ? 2.0 : 1.5;
    const QRectF box(pen / 2 + 1, pen / 2 + 1, size.width() - pen - 2, size.height() - pen - 2);
    QColor fill = ink;
    fill.setAlpha(opaque ? 36 : 60);
    p.setBrush(opaque ? QColor(255, 250, 246) : QColor(255, 255, 255, 200));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(box, 4, 4);
    p.setBrush(fill);
    p.setPen(QPen(ink, pen));
    p.drawRoundedRect(box, 4, 4);
    p.setPen(QPen(ink, pen / 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(box.adjusted(2 * pen, 2 * pen, -2 * pen, -2 * pen), 2, 2);
    const int px = size.height() >= 30 ? (text.size() > 2 ? 15 : 18) : (text.size() > 2 ? 11 : 13);
    DrawCentredText(p, box, text, Font(px, true), ink);
    return img;
}

void WriteSeals() {
    const QString dir = g_app + "/Seal";
    RecreateDir(dir);
    QString ini;
    int n = 0;
    for (const QStringList& row : ReadTsv("seals.tsv", 6)) {
        const int id = row[0].toInt();
        const int type = row[1].toInt();
        if (id < 100 || id > 999 || type < 1 || type > 5) {
            Fail("seals.tsv: bad id or type in " + row.join(' '));
            continue;
        }
        ++n;
        ini += QString("[%1]\nID=%2\nType=%3\nName=%4\nValue=%5\nTime=%6\n\n")
                   .arg(n)
                   .arg(id)
                   .arg(type)
                   .arg(row[2], row[3], row[4]);
        const QColor ink(row[5]);
        SaveImage(
            SealPicture(row[2], ink, QSize(65, 32), true).convertToFormat(QImage::Format_RGB32),
            dir + QString::asprintf("/%.3d.bmp", id), "BMP");
        SaveImage(SealPicture(row[2], ink, QSize(45, 22), false), dir + QString("/%1.png").arg(id),
                  "PNG");
    }
    WriteBytes(dir + "/seal.ini", ToGbk(QString("[Count]\nCount=%1\n\n").arg(n) + ini));
}

// ------------------------------------------------------------------ badges

std::vector<GifFrame> BadgeFrames(const art::BadgeStyle& style) {
    std::vector<GifFrame> frames;
    for (int f = 0; f < 4; ++f) {
        frames.push_back({art::Badge(style, f), 25});
    }
    return frames;
}

QImage NoteBackground() {
    // A tile: warm paper with a faint lattice of dots, seamless when repeated.
    QImage img(64, 64, QImage::Format_RGB32);
    img.fill(QColor("#FEE9BC"));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#F9DDA2"));
    for (int y = 0; y < 64; y += 16) {
        for (int x = 0; x < 64; x += 16) {
            p.drawEllipse(QPointF(x + ((y / 16) % 2) * 8 + 4, y + 4), 1.6, 1.6);
        }
    }
    return img;
}

void WriteDat() {
    const QString dir = g_app + "/Dat";
    RecreateDir(dir);
    for (const auto& b : designs::DatBadges()) {
        const designs::Rank* r = b.RankFrame >= 0 ? designs::RankAt(b.RankFrame) : nullptr;
        if (b.RankFrame >= 0 && !r) {
            Fail(QString("badge %1 names no rank").arg(b.Code));
            continue;
        }
        SaveGif(dir + QString("/%1.gif").arg(b.Code), BadgeFrames(r ? r->Style : b.Own));
    }
    SaveImage(NoteBackground(), dir + "/NoteBK.bmp", "BMP");
}

// -------------------------------------------------------------------- skins

void SaveIcon(const QString& dir, const QString& name, const QImage& img) {
    SaveImage(img, dir + "/images/" + name + ".png", "PNG");
}

QImage Glyph(int size, const std::function<void(QPainter&, double)>& draw) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, size / 32.0);
    return img;
}

void WriteSkinPictures(const QString& dir) {
    // Icons are drawn large; style sheets only ever scale pictures down, so
    // they stay sharp at any screen scale.
    const std::map<QString, QString> icons = {
        {"hall_tool1", "1f3e0"},  {"hall_tool2", "1f4fa"},     {"hall_tool3", "1f4b1"},
        {"hall_tool4", "1fa99"},  {"hall_tool5", "2753"},      {"hall_tool6", "1f310"},
        {"hall_vip", "1f451"},    {"video_zoomin", "1f50d"},   {"video_switch", "1f3a5"},
        {"video_audio", "1f50a"}, {"video_capture", "1f4f7"},  {"video_gift1", "1f381"},
        {"mic_manager", "1f465"}, {"advance_set", "2699"},     {"volume_send", "1f399"},
        {"volume_rece", "1f3a7"}, {"change_account", "1f504"}, {"exit", "1f6aa"},
        {"mic_free", "1f3a4"},    {"mic_public", "1f3a4"},     {"mic_private", "1f465"},
        {"mic_vip", "1f451"},     {"mic_confirm", "2753"},
    };
    for (const auto& [name, code] : icons) {
        // Icons that sit on the blue hall bar or the dark video bars get a
        // light disc behind them, or dark and blue artwork would vanish.
        const bool onBar = name.startsWith("hall_") || name.startsWith("video_");
        QImage img = art::Emoji(code, 64, onBar ? 10 : 2);
        if (onBar) {
            QImage disc(64, 64, QImage::Format_ARGB32_Premultiplied);
            disc.fill(Qt::transparent);
            QPainter p(&disc);
            p.setRenderHint(QPainter::Antialiasing);
            QRadialGradient g(32, 26, 34);
            g.setColorAt(0, QColor(255, 255, 255, 250));
            g.setColorAt(1, QColor(222, 234, 248, 235));
            p.setBrush(g);
            p.setPen(QPen(QColor(255, 255, 255, 160), 2));
            p.drawEllipse(QRectF(2, 2, 60, 60));
            p.drawImage(0, 0, img);
            p.end();
            img = disc;
        }
        SaveIcon(dir, name, img);
    }
    auto stroke = [](QColor c, double w) {
        return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    };
    for (const auto& [name, colour] :
         std::map<QString, QColor>{{"", QColor("#4A5A6A")}, {"_light", QColor("#FFFFFF")}}) {
        SaveIcon(dir, "arrow_down" + name, Glyph(32, [&](QPainter& p, double k) {
                     p.setPen(stroke(colour, 3.5 * k));
                     p.drawPolyline(QPolygonF({QPointF(9 * k, 12 * k), QPointF(16 * k, 20 * k),
                                               QPointF(23 * k, 12 * k)}));
                 }));
        SaveIcon(dir, "arrow_up" + name, Glyph(32, [&](QPainter& p, double k) {
                     p.setPen(stroke(colour, 3.5 * k));
                     p.drawPolyline(QPolygonF({QPointF(9 * k, 20 * k), QPointF(16 * k, 12 * k),
                                               QPointF(23 * k, 20 * k)}));
                 }));
        SaveIcon(dir, "close" + name, Glyph(32, [&](QPainter& p, double k) {
                     p.setPen(stroke(colour, 3.5 * k));
                     p.drawLine(QPointF(10 * k, 10 * k), QPointF(22 * k, 22 * k));
                     p.drawLine(QPointF(22 * k, 10 * k), QPointF(10 * k, 22 * k));
                 }));
        SaveIcon(dir, "minimize" + name, Glyph(32, [&](QPainter& p, double k) {
                     p.setPen(stroke(colour, 3.5 * k));
                     p.drawLine(QPointF(10 * k, 21 * k), QPointF(22 * k, 21 * k));
                 }));
        SaveIcon(dir, "maximize" + name, Glyph(32, [&](QPainter& p, double k) {
                     p.setPen(stroke(colour, 3 * k));
                     p.drawRect(QRectF(10 * k, 10 * k, 12 * k, 12 * k));
                 }));
        SaveIcon(dir, "menu" + name, Glyph(32, [&](QPainter& p, double k) {
                     p.setPen(stroke(colour, 3 * k));
                     for (double y : {10.0, 16.0, 22.0}) {
                         p.drawLine(QPointF(9 * k, y * k), QPointF(23 * k, y * k));
                     }
                 }));
    }
    SaveIcon(dir, "check", Glyph(32, [&](QPainter& p, double k) {
                 p.setPen(stroke(QColor("#1E6FD0"), 4 * k));
                 p.drawPolyline(QPolygonF(
                     {QPointF(7 * k, 16 * k), QPointF(13 * k, 23 * k), QPointF(25 * k, 9 * k)}));
             }));
    SaveIcon(dir, "radio", Glyph(32, [&](QPainter& p, double k) {
                 p.setPen(Qt::NoPen);
                 p.setBrush(QColor("#1E6FD0"));
                 p.drawEllipse(QPointF(16 * k, 16 * k), 7 * k, 7 * k);
             }));
    SaveIcon(dir, "gift_arrow", Glyph(32, [&](QPainter& p, double k) {
                 p.setPen(Qt::NoPen);
                 p.setBrush(QColor("#FFFFFF"));
                 p.drawPolygon(QPolygonF(
                     {QPointF(9 * k, 12 * k), QPointF(23 * k, 12 * k), QPointF(16 * k, 21 * k)}));
             }));
}

void WriteSkin(const QString& name) {
    const QString dir = g_gen + "/" + name;
    RecreateDir(dir);
    WriteBytes(dir + "/skin.qss", ReadBytes(g_src + "/skins/" + name + ".qss"));
    WriteSkinPictures(dir);
    QString qrc = "<RCC>\n  <qresource prefix=\"/\">\n    <file>skin.qss</file>\n";
    for (const QString& f : QDir(dir + "/images").entryList(QDir::Files, QDir::Name)) {
        qrc += QString("    <file>images/%1</file>\n").arg(f);
    }
    qrc += "  </qresource>\n</RCC>\n";
    WriteBytes(dir + "/" + name + ".qrc", qrc.toUtf8());
}

// -------------------------------------------------------- deployment files

void WriteDeployment() {
    WriteBytes(g_app + "/Filter.txt",
               ToGbk(QString::fromUtf8(ReadBytes(g_src + "/sources/filter.txt"))));
    WriteBytes(g_app + "/loginsl.dat", ReadBytes(g_src + "/sources/loginsl.dat"));
    QDir().mkpath(g_app + "/LICENSES");
    for (const QString& f : QDir(g_src + "/LICENSES").entryList(QDir::Files)) {
        WriteBytes(g_app + "/LICENSES/" + f, ReadBytes(g_src + "/LICENSES/" + f));
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: makedata <data source dir> <generated dir> <program dir>\n");
        return 2;
    }
    g_src = QString::fromLocal8Bit(argv[1]);
    g_gen = QString::fromLocal8Bit(argv[2]);
    g_app = QString::fromLocal8Bit(argv[3]);
    art::SetArtDir(g_src + "/art/twemoji");
    if (art::FontFamily().isEmpty()) {
        std::fprintf(stderr, "makedata: warning: no Chinese font found, texts will be missing\n");
    }
    QDir().mkpath(g_gen);
    QDir().mkpath(g_app);

    WriteResourcePack();
    WriteEmoticons();
    WriteColorWords();
    RecreateDir(g_app + "/GiftItem");
    WriteGiftCatalogue("gifts.tsv", "gift.xml");
    WriteGiftCatalogue("worldgifts.tsv", "WorldGift.xml");
    WriteSeals();
    WriteDat();
    WriteSkin("skin1");
    WriteSkin("skin2");
    WriteDeployment();
    return g_failures == 0 ? 0 : 1;
}
