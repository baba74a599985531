// Draws one sheet of the installed data at real size, read back from the
// program folder the way the client reads it: every strip of the resource
// pack, the emoticon tabs, colour words, gift pages, seals, badges and a few
// widgets in both skins.
//
//   datasheet <program dir> <out.png>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QResource>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdio>

#include "Art.h"
#include "Designs.h"
#include "common/GbkText.h"
#include "common/XMLTag.h"

namespace {

QString g_app;

QString FromGbk(const std::string& s) {
    return QString::fromStdString(GbkToUtf8(s));
}

std::unique_ptr<XMLTag> ReadGbkXml(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return nullptr;
    }
    return XMLParser::Parse(f.readAll().toStdString());
}

// A canvas that grows downwards section by section.
class Canvas {
  public:
    explicit Canvas(int width) : width_(width) {}

    void Title(const QString& text) {
        NewRow();
        y_ += 10;
        Ensure(30);
        QPainter p(&img_);
        p.fillRect(QRect(0, y_, width_, 24), QColor("#2C66B8"));
        p.setPen(Qt::white);
        p.setFont(Font(13, true));
        p.drawText(QRect(10, y_, width_ - 20, 24), Qt::AlignVCenter, text);
        y_ += 30;
    }
    // Places a picture with a caption at the next spot of the current row.
    void Item(const QImage& img, const QString& caption, int minWidth = 0) {
        const int w = std::max({img.width(), minWidth, CaptionWidth(caption)});
        if (x_ + w > width_ - 10) {
            NewRow();
        }
        Ensure(img.height() + 20);
        QPainter p(&img_);
        p.drawImage(x_, y_, img);
        p.setPen(QColor("#333333"));
        p.setFont(Font(11));
        p.drawText(QRect(x_, y_ + img.height() + 1, w, 16), Qt::AlignLeft | Qt::AlignTop, caption);
        x_ += w + 10;
        rowH_ = std::max(rowH_, img.height() + 20);
    }
    void NewRow() {
        y_ += rowH_;
        x_ = 10;
        rowH_ = 0;
    }
    QImage Result() {
        NewRow();
        return img_.copy(0, 0, width_, y_ + 10);
    }

  private:
    static QFont Font(int px, bool bold = false) {
        QFont f(art::FontFamily());
        f.setPixelSize(px);
        f.setBold(bold);
        return f;
    }
    static int CaptionWidth(const QString& c) {
        return QFontMetrics(Font(11)).horizontalAdvance(c);
    }
    void Ensure(int h) {
        if (img_.isNull() || y_ + h > img_.height()) {
            QImage bigger(width_, std::max(2000, (y_ + h) * 2), QImage::Format_RGB32);
            bigger.fill(QColor("#F7F9FC"));
            if (!img_.isNull()) {
                QPainter(&bigger).drawImage(0, 0, img_);
            }
            img_ = bigger;
        }
    }
    int width_;
    int x_ = 10, y_ = 0, rowH_ = 0;
    QImage img_;
};

QImage Zoom(const QImage& img, int k) {
    return img.scaled(img.size() * k, Qt::KeepAspectRatio, Qt::FastTransformation);
}

std::vector<QImage> Frames(const QString& path) {
    QImageReader r(path);
    std::vector<QImage> out;
    for (QImage f = r.read(); !f.isNull(); f = r.read()) {
        out.push_back(f);
        if (!r.canRead()) {
            break;
        }
    }
    return out;
}

QImage Row(const std::vector<QImage>& frames, int gap = 2) {
    int w = 0, h = 0;
    for (auto& f : frames) {
        w += f.width() + gap;
        h = std::max(h, f.height());
    }
    QImage out(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter p(&out);
    int x = 0;
    for (auto& f : frames) {
        p.drawImage(x, 0, f);
        x += f.width() + gap;
    }
    return out;
}

// The frames of a strip as the client cuts them: cell by cell, the
// bottom-left pixel of each cell taken as its transparent colour.
std::vector<QImage> Cut(const QImage& strip, QSize cell) {
    std::vector<QImage> out;
    for (int y = 0; y + cell.height() <= strip.height(); y += cell.height()) {
        for (int x = 0; x + cell.width() <= strip.width(); x += cell.width()) {
            QImage f = strip.copy(x, y, cell.width(), cell.height())
                           .convertToFormat(QImage::Format_ARGB32);
            const QRgb key = f.pixel(0, cell.height() - 1);
            for (int yy = 0; yy < f.height(); ++yy) {
                for (int xx = 0; xx < f.width(); ++xx) {
                    if (f.pixel(xx, yy) == key) {
                        f.setPixel(xx, yy, qRgba(0, 0, 0, 0));
                    }
                }
            }
            out.push_back(f);
        }
    }
    return out;
}

QImage OnWhite(const QImage& img) {
    QImage out(img.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter(&out).drawImage(0, 0, img);
    return out;
}

void ResourcePack(Canvas& c) {
    c.Title("ResModule.rcc");
    const QImage level(":/res/BMP/UserLevel");
    const QImage order(":/res/BMP/UserOrder");
    std::vector<QImage> list = Cut(level, QSize(16, 16));
    const size_t levelCount = list.size();
    for (auto& f : Cut(order, QSize(16, 16))) {
        list.push_back(f);
    }
    c.Item(OnWhite(Row(std::vector<QImage>(list.begin(), list.begin() + long(levelCount)), 0)),
           QString("UserLevel %1x%2, %3 frames, as the list shows them")
               .arg(level.width())
               .arg(level.height())
               .arg(levelCount));
    c.NewRow();
    c.Item(Zoom(OnWhite(Row(std::vector<QImage>(list.begin(), list.begin() + 24), 0)), 2),
           "UserLevel frames 0-23 at twice the size");
    c.Item(Zoom(OnWhite(Row(std::vector<QImage>(list.begin() + 24, list.begin() + long(levelCount)),
                            0)),
                2),
           "frames 24-46 at twice the size");
    c.NewRow();
    // The rank animations: one row per rank, as the user list plays them.
    for (const auto& r : designs::Ranks()) {
        const size_t i = size_t(r.FirstFrame);
        if (i + 3 < list.size()) {
            c.Item(OnWhite(Row({list[i], list[i + 1], list[i + 2], list[i + 3]})),
                   QString("%1 %2").arg(r.FirstFrame).arg(r.Title), 118);
        }
    }
    c.NewRow();
    const QImage micro(":/res/BMP/MicroType");
    c.Item(Zoom(OnWhite(Row(Cut(micro, QSize(16, 16)), 4)), 1), "MicroType 0-11");
    c.Item(OnWhite(Row(Cut(QImage(":/res/BMP/HallNavigation"), QSize(42, 41)), 4)),
           "HallNavigation 0-5");
    c.NewRow();
    c.Item(OnWhite(Row(Cut(QImage(":/res/BMP/UserHead"), QSize(60, 60)), 2)), "UserHead 0-38");
    c.NewRow();
    c.Item(QImage(":/res/JPG/loginhint"), "loginhint (JPG)");
    c.Item(Frames(":/res/GIF/imageLoginBar").front(), "imageLoginBar (GIF, 8 frames)");
    c.Item(Row(Frames(":/res/GIF/gifDownLoad"), 4), "gifDownLoad (GIF frames)");
    c.NewRow();
    c.Item(Frames(":/res/GIF/gifVideoBack").front(), "gifVideoBack");
    auto wait = Frames(":/res/GIF/gifVideoWait");
    c.Item(wait.front(), QString("gifVideoWait (%1 frames)").arg(wait.size()));
    c.Item(Frames(":/res/GIF/icoinfos").front(), "icoinfos");
    c.Item(OnWhite(QImage(":/res/PNG/UserListBadge")), "UserListBadge");
}

void Emoticons(Canvas& c) {
    auto root = ReadGbkXml(g_app + "/emotions/faceconfig.xml");
    if (!root) {
        c.Title("emotions/faceconfig.xml DOES NOT PARSE");
        return;
    }
    for (const XMLTag* tab : root->ChildrenNamed("FaceTab")) {
        const std::string n = tab->Child("nType") ? tab->Child("nType")->Text() : "";
        c.Title(QString("emotions: tab %1 %2")
                    .arg(QString::fromStdString(n), FromGbk(tab->Child("TabName")->Text())));
        for (const XMLTag* fc : root->ChildrenNamed("FC")) {
            if (fc->Child("nType")->Text() != n) {
                continue;
            }
            const QString file = QString::fromStdString(fc->Child("FP")->Text());
            QImage img(g_app + "/emotions/" + file);
            c.Item(OnWhite(img), FromGbk(fc->Child("FN")->Text()), 52);
        }
    }
}

void ColorWords(Canvas& c) {
    c.Title("ColorWord/word.xml");
    auto root = ReadGbkXml(g_app + "/ColorWord/word.xml");
    if (!root) {
        c.Title("word.xml DOES NOT PARSE");
        return;
    }
    for (const XMLTag* item : root->ChildrenNamed("item")) {
        QString html = FromGbk(item->Child("html")->Text());
        html.replace("images/", QUrl::fromLocalFile(g_app + "/ColorWord/").toString());
        QLabel label;
        label.setTextFormat(Qt::RichText);
        label.setText(html);
        label.setStyleSheet("background: white; padding: 2px;");
        label.adjustSize();
        c.Item(label.grab().toImage(), QString::fromStdString(item->Child("index")->Text()) + " " +
                                           FromGbk(item->Child("Name")->Text()));
    }
}

void Gifts(Canvas& c, const QString& file) {
    auto root = XMLParser::ParseFile((g_app + "/GiftItem/" + file).toStdString());
    if (!root) {
        c.Title(file + " DOES NOT PARSE");
        return;
    }
    for (const auto& group : root->Children) {
        c.Title(QString("GiftItem/%1 group %2 %3")
                    .arg(file, QString::fromStdString(group->Attribute("id")),
                         QString::fromStdString(group->Attribute("name"))));
        for (const auto& gift : group->Children) {
            const QString id = QString::fromStdString(gift->Attribute("id"));
            const QImage img(g_app + "/GiftItem/" + QString::asprintf("%3d.bmp", id.toInt()));
            QString caption = QString::fromStdString(gift->Attribute("name")) + " " +
                              QString::fromStdString(gift->Attribute("value"));
            if (gift->Attribute("type") != "0") {
                caption += " t" + QString::fromStdString(gift->Attribute("type"));
            }
            if (gift->Attribute("simple") == "1") {
                caption += " *";
            }
            c.Item(img, caption, 60);
        }
    }
}

void Seals(Canvas& c) {
    c.Title("Seal/seal.ini: .bmp (65x32) and .png (45x22)");
    for (const QString& f : QDir(g_app + "/Seal").entryList({"*.bmp"}, QDir::Files, QDir::Name)) {
        const QString id = f.left(f.size() - 4);
        c.Item(
            Row({QImage(g_app + "/Seal/" + f), OnWhite(QImage(g_app + "/Seal/" + id + ".png"))}, 4),
            id, 80);
    }
}

void Badges(Canvas& c) {
    c.Title("Dat/ badges (animated GIF, 4 frames) and NoteBK.bmp");
    for (const auto& b : designs::DatBadges()) {
        c.Item(OnWhite(Row(Frames(g_app + QString("/Dat/%1.gif").arg(b.Code)), 1)),
               QString("%1 %2").arg(b.Code).arg(b.Title), 70);
    }
    c.NewRow();
    QImage note(g_app + "/Dat/NoteBK.bmp");
    QImage tiled(note.width() * 3, note.height(), QImage::Format_RGB32);
    QPainter(&tiled).fillRect(tiled.rect(), QBrush(note));
    c.Item(tiled, "NoteBK.bmp tiled");
}

QString SkinSheet(const QString& skin) {
    QFile sheet(":/" + skin + "/skin.qss");
    return sheet.open(QIODevice::ReadOnly) ? QString::fromUtf8(sheet.readAll()) : QString();
}

QImage SkinSample(const QString& skin) {
    // The default skin is the application's; the room frame skin sits on
    // the room window alone, as in the program.
    QWidget w;
    if (skin == "skin2") {
        w.setStyleSheet(SkinSheet("skin2"));
    }
    w.setProperty("skin", "form");
    auto* grid = new QGridLayout(&w);
    auto skinned = [](QWidget* x, const char* name) {
        x->setProperty("skin", name);
        return x;
    };
    auto* top = skinned(new QFrame, "panel_hall_top");
    auto* topLay = new QHBoxLayout(top);
    topLay->addWidget(new QLabel(QString::fromUtf8("欢迎您：测试用户(10001)")));
    for (const char* n : {"toolbutton_hall_tool1", "toolbutton_hall_tool2", "toolbutton_hall_tool3",
                          "toolbutton_hall_tool4", "toolbutton_hall_tool5", "toolbutton_hall_tool6",
                          "toolbutton_hall_vip"}) {
        auto* b = new QToolButton;
        topLay->addWidget(skinned(b, n));
    }
    grid->addWidget(top, 0, 0, 1, 3);
    auto* tabs = new QTabWidget;
    tabs->setProperty("skin", "tab");
    auto* list = new QListWidget;
    for (int i = 0; i < 12; ++i) {
        list->addItem(QString::fromUtf8("用户%1").arg(10000 + i));
    }
    list->setCurrentRow(2);
    tabs->addTab(list, QString::fromUtf8("全部/12"));
    tabs->addTab(new QWidget, QString::fromUtf8("管理/2"));
    tabs->addTab(new QWidget, QString::fromUtf8("麦序/1"));
    tabs->setFixedSize(220, 170);
    grid->addWidget(tabs, 1, 0, 3, 1);
    auto* form = new QVBoxLayout;
    auto* edit = new QLineEdit(QString::fromUtf8("输入文字"));
    form->addWidget(skinned(edit, "edit"));
    auto* combo = new QComboBox;
    combo->addItems({QString::fromUtf8("大家"), QString::fromUtf8("用户10001")});
    form->addWidget(combo);
    auto* check = new QCheckBox(QString::fromUtf8("悄悄话"));
    check->setChecked(true);
    form->addWidget(check);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setValue(60);
    form->addWidget(skinned(slider, "htrackbar"));
    auto* gauge = new QProgressBar;
    gauge->setValue(45);
    form->addWidget(gauge);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QPushButton(QString::fromUtf8("确定")));
    auto* disabled = new QPushButton(QString::fromUtf8("取消"));
    disabled->setEnabled(false);
    buttons->addWidget(disabled);
    form->addLayout(buttons);
    grid->addLayout(form, 1, 1);
    auto* mics = new QVBoxLayout;
    for (const char* n : {"button_mic_state_-1", "button_mic_state_1", "button_mic_state_2",
                          "button_mic_state_3", "button_mic_state_4"}) {
        mics->addWidget(skinned(new QPushButton(QString::fromUtf8(n).mid(17)), n));
    }
    grid->addLayout(mics, 1, 2);
    auto* video = skinned(new QFrame, "panel_video_bottom");
    auto* vLay = new QHBoxLayout(video);
    vLay->setContentsMargins(2, 0, 2, 0);
    vLay->addWidget(new QLabel(QString::fromUtf8("主持人")));
    for (const char* n :
         {"toolbutton_video_zoomin", "toolbutton_video_switch", "toolbutton_video_audioswitch",
          "toolbutton_video_capture", "toolbutton_video_gift1", "toolbutton_video_gift2",
          "button_video_menu", "toolbutton_video_close"}) {
        vLay->addWidget(skinned(new QToolButton, n));
    }
    grid->addWidget(video, 2, 1, 1, 2);
    auto* strip = skinned(new QFrame, "panel_room_left_bottom");
    auto* sLay = new QHBoxLayout(strip);
    sLay->addWidget(skinned(new QToolButton, "button_volumesend"));
    sLay->addWidget(skinned(new QToolButton, "button_volumerece"));
    sLay->addWidget(
        skinned(new QPushButton(QString::fromUtf8("私麦管理")), "button_control_mic_manager"));
    sLay->addWidget(
        skinned(new QPushButton(QString::fromUtf8("高级设置")), "button_control_advance_set"));
    sLay->addWidget(
        skinned(new QPushButton(QString::fromUtf8("切换账号")), "button_changeaccount"));
    sLay->addWidget(skinned(new QPushButton(QString::fromUtf8("退出")), "button_exit"));
    sLay->addWidget(skinned(new QToolButton, "minimizebutton"));
    sLay->addWidget(skinned(new QToolButton, "toolbutton_close"));
    grid->addWidget(strip, 3, 1, 1, 2);
    if (skin == "skin2") {
        // The room frame: a caption bar with its buttons.
        auto* cap = skinned(new QFrame, "panel_room_caption");
        auto* cLay = new QHBoxLayout(cap);
        cLay->setContentsMargins(0, 0, 2, 0);
        cLay->addWidget(
            skinned(new QLabel(QString::fromUtf8("房间 - 欢乐大厅(1002)")), "label_room_caption"),
            1);
        for (const char* n : {"button_caption_menu", "button_caption_min", "button_caption_max",
                              "button_caption_close"}) {
            cLay->addWidget(skinned(new QToolButton, n));
        }
        grid->addWidget(cap, 4, 0, 1, 3);
    }
    w.resize(w.sizeHint().expandedTo(QSize(720, 0)));
    return w.grab().toImage();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: datasheet <program dir> <out.png>\n");
        return 2;
    }
    g_app = QString::fromLocal8Bit(argv[1]);
    bool ok = QResource::registerResource(g_app + "/ResModule.rcc", "/res");
    ok = QResource::registerResource(g_app + "/SkinRes/Default/skin1.skn", "/skin1") && ok;
    ok = QResource::registerResource(g_app + "/SkinRes/Default/skin2.skn", "/skin2") && ok;
    if (!ok) {
        std::fprintf(stderr, "datasheet: the resource pack or a skin is missing\n");
        return 1;
    }
    app.setStyleSheet(SkinSheet("skin1"));
    Canvas c(1400);
    ResourcePack(c);
    Emoticons(c);
    ColorWords(c);
    Gifts(c, "gift.xml");
    Gifts(c, "WorldGift.xml");
    Seals(c);
    Badges(c);
    c.Title("skin1.skn and skin2.skn (room frame caption at the bottom)");
    c.Item(SkinSample("skin1"), "skin1");
    c.NewRow();
    c.Item(SkinSample("skin2"), "skin2");
    return c.Result().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
