// Checks the generated program folder (CHATROOM_APP_DIR) against what the
// client reads: every resource of the pack, frame counts of the strips against
// the highest index the client uses, every catalogue entry's picture, the
// catalogues' text limits and encodings, and the GIF encoder itself.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QResource>
#include <cstdlib>
#include <map>
#include <set>

#include "GifWriter.h"
#include "common/GbkText.h"
#include "common/IniFile.h"
#include "common/XMLTag.h"

namespace {

QString AppDir() {
    if (const char* dir = std::getenv("CHATROOM_APP_DIR"); dir && *dir) {
        return QString::fromLocal8Bit(dir);
    }
#ifdef CHATROOM_TEST_APP_DIR
    return QStringLiteral(CHATROOM_TEST_APP_DIR);
#else
    return QString();
#endif
}

std::string ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return f.readAll().toStdString();
}

// True when the bytes are GBK that decodes without a replacement character.
bool IsCleanGbk(const std::string& bytes) {
    return GbkToUtf8(bytes).find("\xEF\xBF\xBD") == std::string::npos;
}

std::string ChildText(const XMLTag* tag, const char* name) {
    const XMLTag* c = tag->Child(name);
    return c ? c->Text() : std::string();
}

// How the client's strip reader cuts a bitmap: cells of the list's size, row
// by row; a bitmap of one cell's size, or one whose sides are no multiples,
// adds nothing along that side.
int StripFrames(const QImage& img, QSize cell) {
    const int w = img.width(), h = img.height();
    const bool byCols = w > cell.width() && w % cell.width() == 0;
    const bool byRows = h > cell.height() && h % cell.height() == 0;
    if (!byCols && !byRows) {
        return 0;
    }
    return (byCols ? w / cell.width() : 1) * (byRows ? h / cell.height() : 1);
}

class DataTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "DataTests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) {
            new QGuiApplication(argc, argv);
        }
    }
    void SetUp() override {
        app_ = AppDir();
        ASSERT_FALSE(app_.isEmpty()) << "CHATROOM_APP_DIR is not set";
        ASSERT_TRUE(QDir(app_).exists()) << app_.toStdString();
    }
    QString app_;
};

class ResourcePack : public DataTest {
  protected:
    void SetUp() override {
        DataTest::SetUp();
        ASSERT_TRUE(QResource::registerResource(app_ + "/ResModule.rcc", "/pack"));
    }
    void TearDown() override { QResource::unregisterResource(app_ + "/ResModule.rcc", "/pack"); }
    static QByteArray Entry(const QString& type, const QString& name) {
        QFile f(":/pack/" + type + "/" + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(ResourcePack, EveryPictureDecodesAsItsType) {
    const std::vector<std::pair<QString, QString>> entries = {
        {"BMP", "UserLevel"},      {"BMP", "UserOrder"},   {"BMP", "MicroType"},
        {"BMP", "HallNavigation"}, {"BMP", "UserHead"},    {"JPG", "loginhint"},
        {"GIF", "imageLoginBar"},  {"GIF", "gifDownLoad"}, {"GIF", "gifVideoBack"},
        {"GIF", "gifVideoWait"},   {"GIF", "icoinfos"},    {"PNG", "UserListBadge"}};
    for (const auto& [type, name] : entries) {
        SCOPED_TRACE((type + "/" + name).toStdString());
        const QByteArray data = Entry(type, name);
        ASSERT_FALSE(data.isEmpty());
        // The entry has no extension: its bytes alone must say what it is.
        QBuffer buf;
        buf.setData(data);
        QImageReader reader(&buf);
        EXPECT_EQ(reader.format(), type == "JPG" ? QByteArray("jpeg") : type.toLower().toLatin1());
        EXPECT_FALSE(reader.read().isNull());
    }
}

TEST_F(ResourcePack, AnimationsHaveSeveralFrames) {
    for (const QString name : {"gifDownLoad", "gifVideoWait", "imageLoginBar"}) {
        QBuffer buf;
        buf.setData(Entry("GIF", name));
        QImageReader reader(&buf, "gif");
        EXPECT_GT(reader.imageCount(), 1) << name.toStdString();
    }
}

TEST_F(ResourcePack, StripsHoldEveryIndexTheClientUses) {
    struct Strip {
        const char* Name;
        QSize Cell;
        int MinFrames;  // highest index used + 1
        int ExactFrames;
    };
    // The user list appends UserOrder after UserLevel and addresses the ranks
    // from 47, so UserLevel must be exactly 47 frames: one more or less
    // would shift every rank icon.
    const Strip strips[] = {
        {"UserLevel", {16, 16}, 47, 47},    {"UserOrder", {16, 16}, 167 - 47, 0},
        {"MicroType", {16, 16}, 8, 0},  // the user menu's pictures 0-7
        {"HallNavigation", {42, 41}, 6, 0}, {"UserHead", {60, 60}, 39, 39},  // head pictures 0-38
    };
    for (const Strip& s : strips) {
        SCOPED_TRACE(s.Name);
        QImage img;
        ASSERT_TRUE(img.loadFromData(Entry("BMP", s.Name), "BMP"));
        const int frames = StripFrames(img, s.Cell);
        EXPECT_GE(frames, s.MinFrames);
        if (s.ExactFrames > 0) {
            EXPECT_EQ(frames, s.ExactFrames);
        }
        // Every frame leaves its mask pixel (bottom left) as background and
        // shows something that is not background.
        const int cols = img.width() / s.Cell.width();
        for (int i = 0; i < frames; ++i) {
            const QImage f = img.copy((i % cols) * s.Cell.width(), (i / cols) * s.Cell.height(),
                                      s.Cell.width(), s.Cell.height());
            const QRgb key = f.pixel(0, f.height() - 1);
            int shown = 0;
            for (int y = 0; y < f.height(); ++y) {
                for (int x = 0; x < f.width(); ++x) {
                    shown += f.pixel(x, y) != key;
                }
            }
            EXPECT_GT(shown, f.width() * f.height() / 8) << "frame " << i << " is (nearly) empty";
            EXPECT_EQ(key, img.pixel(0, s.Cell.height() - 1)) << "frame " << i;
        }
    }
}

TEST_F(ResourcePack, PagesDefineWhatTheChatPanesNeed) {
    const QByteArray tpl = Entry("html", "template");
    EXPECT_TRUE(tpl.contains("<body")) << "the chat lines go into the body";
    EXPECT_TRUE(tpl.contains(".nickrgb"));
    EXPECT_TRUE(tpl.contains(".red"));
    const QByteArray editor = Entry("html", "editor");
    EXPECT_TRUE(editor.contains("idEditbox"));
    EXPECT_TRUE(editor.contains("designMode"));
    // Pages are read as GBK streams; plain ASCII reads the same in any code page.
    for (const QByteArray& page : {tpl, editor}) {
        EXPECT_TRUE(std::all_of(page.begin(), page.end(), [](char c) { return (c & 0x80) == 0; }));
    }
}

TEST_F(DataTest, SkinsResolveEveryPictureAndStyleEveryElement) {
    // Skin elements the program's widgets name (default skin).
    const std::vector<std::string> elements = {"tab",
                                               "headerbutton",
                                               "vscrollbar",
                                               "htrackbar",
                                               "panel",
                                               "edit",
                                               "toolbutton",
                                               "listbox",
                                               "minimizebutton",
                                               "panel_userlist_search",
                                               "panel_gift",
                                               "panel_giftvalue",
                                               "panel_hall_top",
                                               "panel_room_left_bottom",
                                               "panel_video_client",
                                               "panel_video_top",
                                               "panel_video_bottom",
                                               "gauge_spectrum",
                                               "toolbutton_close",
                                               "toolbutton_hall_tool1",
                                               "toolbutton_hall_tool2",
                                               "toolbutton_hall_tool3",
                                               "toolbutton_hall_tool4",
                                               "toolbutton_hall_tool5",
                                               "toolbutton_hall_tool6",
                                               "toolbutton_hall_vip",
                                               "toolbutton_video_zoomin",
                                               "toolbutton_video_switch",
                                               "toolbutton_video_audioswitch",
                                               "toolbutton_video_capture",
                                               "toolbutton_video_close",
                                               "toolbutton_video_gift1",
                                               "toolbutton_video_gift2",
                                               "button_video_menu",
                                               "button_changeaccount",
                                               "button_exit",
                                               "button_volumesend",
                                               "button_volumerece",
                                               "button_control_mic_manager",
                                               "button_control_advance_set",
                                               "button_mic_state_-1",
                                               "button_mic_state_1",
                                               "button_mic_state_2",
                                               "button_mic_state_3",
                                               "button_mic_state_4"};
    for (const QString skin : {"skin1", "skin2"}) {
        SCOPED_TRACE(skin.toStdString());
        const QString file = app_ + "/SkinRes/Default/" + skin + ".skn";
        ASSERT_TRUE(QResource::registerResource(file, "/" + skin));
        QFile f(":/" + skin + "/skin.qss");
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString qss = QString::fromUtf8(f.readAll());
        int urls = 0;
        static const QRegularExpression url(R"(url\(([^)]*)\))");
        for (auto m = url.globalMatch(qss); m.hasNext();) {
            const QString target = m.next().captured(1);
            ++urls;
            EXPECT_TRUE(target.startsWith(":/" + skin + "/")) << target.toStdString();
            EXPECT_FALSE(QImage(target).isNull()) << target.toStdString();
        }
        EXPECT_GT(urls, 0);
        if (skin == "skin1") {
            for (const std::string& e : elements) {
                EXPECT_TRUE(qss.contains(QString("[skin=\"%1\"]").arg(e.c_str())))
                    << "no style for " << e;
            }
        }
        QResource::unregisterResource(file, "/" + skin);
    }
}

TEST_F(DataTest, EmoticonCatalogueListsOnlyPicturesThatExist) {
    const std::string text = ReadAll(app_ + "/emotions/faceconfig.xml");
    ASSERT_TRUE(IsCleanGbk(text));
    auto root = XMLParser::Parse(text);
    ASSERT_TRUE(root);
    std::set<std::string> tabs;
    for (const XMLTag* t : root->ChildrenNamed("FaceTab")) {
        EXPECT_LE(ChildText(t, "nType").size(), 2u);
        EXPECT_LE(ChildText(t, "TabName").size(), 10u);
        tabs.insert(ChildText(t, "nType"));
    }
    EXPECT_TRUE(tabs.count("1") && tabs.count("2")) << "a tab for everybody and one for members";
    std::map<std::string, int> perTab;
    std::set<std::string> files;
    static const QRegularExpression name(R"(^([1-9][0-9]{0,2})\.gif$)");
    for (const XMLTag* fc : root->ChildrenNamed("FC")) {
        const std::string fp = ChildText(fc, "FP");
        SCOPED_TRACE(fp);
        EXPECT_LE(fp.size(), 10u);
        EXPECT_LE(ChildText(fc, "FN").size(), 20u);
        EXPECT_FALSE(ChildText(fc, "FN").empty());
        EXPECT_TRUE(files.insert(fp).second) << "listed twice";
        // The editor turns the picture back into a code from its number.
        const auto m = name.match(QString::fromStdString(fp));
        ASSERT_TRUE(m.hasMatch());
        EXPECT_LE(m.captured(1).toInt(), 899);
        EXPECT_TRUE(tabs.count(ChildText(fc, "nType"))) << "face on a tab that does not exist";
        ++perTab[ChildText(fc, "nType")];
        for (const char* folder : {"/emotions/", "/VIPEmotions/"}) {
            QImageReader r(app_ + folder + QString::fromStdString(fp));
            EXPECT_EQ(r.format(), "gif") << folder;
            EXPECT_FALSE(r.read().isNull()) << folder;
        }
    }
    EXPECT_GT(perTab["1"], 0);
    EXPECT_GT(perTab["2"], 0);
}

TEST_F(DataTest, ColorWordsAreNumberedInOrderAndFindTheirPictures) {
    const std::string text = ReadAll(app_ + "/ColorWord/word.xml");
    ASSERT_TRUE(IsCleanGbk(text));
    auto root = XMLParser::Parse(text);
    ASSERT_TRUE(root);
    int expected = 1;
    static const QRegularExpression img(R"(images/([^"' >]+))",
                                        QRegularExpression::CaseInsensitiveOption);
    for (const XMLTag* item : root->ChildrenNamed("item")) {
        // Senders send the menu position, receivers look up "index".
        EXPECT_EQ(ChildText(item, "index"), std::to_string(expected++));
        EXPECT_LE(ChildText(item, "Name").size(), 10u);
        const std::string html = ChildText(item, "html");
        EXPECT_LE(html.size(), 2999u);
        int pictures = 0;
        for (auto m = img.globalMatch(QString::fromStdString(html)); m.hasNext();) {
            ++pictures;
            EXPECT_FALSE(QImage(app_ + "/ColorWord/" + m.next().captured(1)).isNull());
        }
        EXPECT_GT(pictures, 0);
    }
    EXPECT_GT(expected, 2);
}

struct Gift {
    std::string Id, Unit, Name, Simple;
    int Group = 0, Kind = 0, Price = 0;
};

std::vector<Gift> LoadGifts(const QString& path) {
    // As the client reads it: UTF-8 file, converted to GBK, then parsed.
    const std::string gbk = Utf8ToGbk(ReadAll(path));
    auto root = XMLParser::Parse(gbk);
    std::vector<Gift> out;
    if (!root) {
        return out;
    }
    for (const auto& group : root->Children) {
        for (const auto& g : group->Children) {
            out.push_back({g->Attribute("id"), g->Attribute("unit"), g->Attribute("name"),
                           g->Attribute("simple"), std::atoi(group->Attribute("id").c_str()),
                           std::atoi(g->Attribute("type").c_str()),
                           std::atoi(g->Attribute("value").c_str())});
        }
    }
    return out;
}

TEST_F(DataTest, GiftCataloguesFillEveryPageAndEveryGiftHasItsPictures) {
    const std::vector<Gift> gifts = LoadGifts(app_ + "/GiftItem/gift.xml");
    const std::vector<Gift> world = LoadGifts(app_ + "/GiftItem/WorldGift.xml");
    ASSERT_FALSE(gifts.empty());
    ASSERT_FALSE(world.empty());
    std::set<int> groups;
    std::set<std::string> ids;
    int simple = 0;
    bool messageProp = false, cheque = false, groupProp = false;
    for (const std::vector<Gift>* list : {&gifts, &world}) {
        for (const Gift& g : *list) {
            SCOPED_TRACE(g.Id);
            EXPECT_TRUE(ids.insert(g.Id).second) << "duplicate id";
            EXPECT_LE(g.Name.size(), 20u);
            EXPECT_FALSE(g.Name.empty());
            EXPECT_EQ(g.Unit.size(), 2u) << "one GBK character";
            const int id = std::atoi(g.Id.c_str());
            EXPECT_EQ(std::to_string(id), g.Id) << "lookups by number must find the text";
            // The catalogue reads "%3d.bmp", the quick-gift and group dialogs
            // the plain id.
            for (const QString& file :
                 {QString::asprintf("%3d.bmp", id), QString("%1.bmp").arg(id)}) {
                const QImage img(app_ + "/GiftItem/" + file);
                EXPECT_EQ(img.size(), QSize(30, 30)) << file.toStdString();
            }
        }
    }
    for (const Gift& g : gifts) {
        groups.insert(g.Group);
        simple += g.Simple == "1";
        messageProp |= g.Kind == 4 && g.Group == 5;
        cheque |= g.Kind == 5;
        groupProp |= g.Kind == 7 && g.Price > 0;
    }
    EXPECT_EQ(groups, (std::set<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_GE(simple, 4) << "the quick-gift chooser shows four";
    EXPECT_TRUE(messageProp);
    EXPECT_TRUE(cheque);
    EXPECT_TRUE(groupProp);
}

TEST_F(DataTest, SealCatalogueHasEveryTypeAndBothPicturesPerSeal) {
    const QString ini = app_ + "/Seal/seal.ini";
    ASSERT_TRUE(IsCleanGbk(ReadAll(ini)));
    IniFile f(ini.toStdString());
    const int n = f.ReadInteger("Count", "Count", 0);
    ASSERT_GT(n, 0);
    std::set<int> types, ids;
    for (int i = 1; i <= n; ++i) {
        const std::string sec = std::to_string(i);
        const int id = f.ReadInteger(sec, "ID", -1);
        const int type = f.ReadInteger(sec, "Type", -1);
        SCOPED_TRACE(id);
        EXPECT_TRUE(ids.insert(id).second) << "pictures are named by id";
        types.insert(type);
        EXPECT_FALSE(f.ReadString(sec, "Name", "").empty());
        EXPECT_LE(f.ReadString(sec, "Name", "").size(), 20u);
        EXPECT_GT(f.ReadInteger(sec, "Value", 0), 0);
        EXPECT_GT(f.ReadInteger(sec, "Time", 0), 0);
        // The catalogue loads "%.3d.bmp" and "%.3d.png" of the id; chat lines
        // show "%d.png" of the seal key modulo 1000. The same file for ids of
        // three digits.
        EXPECT_EQ(QImage(app_ + QString::asprintf("/Seal/%.3d.bmp", id)).size(), QSize(65, 32));
        const int key = type * 1000 + id;
        for (const QString& png :
             {QString::asprintf("/Seal/%.3d.png", id), QString("/Seal/%1.png").arg(key % 1000)}) {
            const QImage img(app_ + png);
            EXPECT_EQ(img.size(), QSize(45, 22)) << png.toStdString();
            EXPECT_TRUE(img.hasAlphaChannel());
        }
    }
    EXPECT_EQ(types, (std::set<int>{1, 2, 3, 4, 5}));
}

TEST_F(DataTest, BadgesExistForEveryCodeTheClientLooksUp) {
    // Chat badges (levels 1030-1090, 2025, 2030, 2040; roles 25, 49, 50, 100,
    // 200, 235) and the video frame's rank icon (roles 49, 50, 100, 200;
    // levels of the 10xx and 20xx grades; otherwise the role).
    std::vector<int> codes = {1030, 1040, 1050, 1060, 1070, 1080, 1090, 2025, 2030, 2040, 25,
                              49,   50,   100,  200,  235,  1010, 1020, 1022, 1024, 2010, 2011,
                              2012, 2013, 2014, 2015, 0,    1,    29,   30,   60,   70,   255};
    for (int star = 2016; star <= 2023; ++star) {
        codes.push_back(star);
    }
    for (int code : codes) {
        QImageReader r(app_ + QString("/Dat/%1.gif").arg(code));
        EXPECT_EQ(r.format(), "gif") << code;
        EXPECT_EQ(r.size(), QSize(16, 16)) << code;
    }
    EXPECT_FALSE(QImage(app_ + "/Dat/NoteBK.bmp").isNull());
}

TEST_F(DataTest, DeploymentFilesAndNothingUserSpecific) {
    IniFile servers((app_ + "/loginsl.dat").toStdString());
    EXPECT_EQ(servers.ReadInteger("server", "ServerCount", 0), 1);
    EXPECT_EQ(servers.ReadInteger("server", "ServerPort", 0), 7400);
    EXPECT_EQ(servers.ReadString("server", "Server1", ""), "127.0.0.1");
    EXPECT_EQ(servers.ReadInteger("Other", "PromotionID", -1), 0);

    const std::string filter = ReadAll(app_ + "/Filter.txt");
    EXPECT_TRUE(IsCleanGbk(filter));
    EXPECT_EQ(filter.find('\r'), std::string::npos) << "a CR would become part of a word";
    EXPECT_NE(filter.find(Utf8ToGbk("六合彩") + "\n"), std::string::npos);

    EXPECT_FALSE(QFileInfo::exists(app_ + "/Users"));
    EXPECT_FALSE(QFileInfo::exists(app_ + "/Reply.dat"));
    EXPECT_TRUE(QFileInfo::exists(app_ + "/LICENSES/README.txt"));
}

// ---------------------------------------------------------------- encoder

std::vector<QImage> Decode(const QByteArray& gif, std::vector<int>* delays = nullptr) {
    QBuffer buf;
    buf.setData(gif);
    QImageReader r(&buf, "gif");
    std::vector<QImage> out;
    while (r.canRead()) {
        const QImage f = r.read();
        if (f.isNull()) {
            break;
        }
        if (delays) {
            delays->push_back(r.nextImageDelay());
        }
        out.push_back(f.convertToFormat(QImage::Format_ARGB32));
    }
    return out;
}

TEST(GifWriter, FewColoursRoundTripExactlyWithTransparency) {
    // 200 x 120 of 5 colours and a transparent hole: the long runs take the
    // LZW table past 4095 codes, so the reset path is exercised too.
    QImage img(200, 120, QImage::Format_ARGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(9, 9, 9),
                            qRgb(250, 250, 250)};
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            img.setPixel(x, y, colours[(x * 7 + y * 13 + (x * y) % 11) % 5]);
        }
    }
    for (int y = 10; y < 30; ++y) {
        for (int x = 10; x < 40; ++x) {
            img.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    const auto frames = Decode(EncodeGif({{img, 0}}));
    ASSERT_EQ(frames.size(), 1u);
    const QImage& out = frames[0];
    ASSERT_EQ(out.size(), img.size());
    int wrong = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb a = img.pixel(x, y), b = out.pixel(x, y);
            if (qAlpha(a) == 0) {
                wrong += qAlpha(b) != 0;
            } else {
                wrong += a != b;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(GifWriter, ManyColoursStayCloseAndAnimationsKeepFramesAndDelays) {
    QImage grad(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            grad.setPixel(x, y, qRgb(x * 4, y * 4, (x + y) * 2));  // 4096 colours
        }
    }
    QImage second = grad.mirrored(true, false);
    std::vector<int> delays;
    const auto frames = Decode(EncodeGif({{grad, 25}, {second, 40}}), &delays);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(delays[0], 250);
    EXPECT_EQ(delays[1], 400);
    long long err = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const QRgb a = second.pixel(x, y), b = frames[1].pixel(x, y);
            err += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                   std::abs(qBlue(a) - qBlue(b));
        }
    }
    EXPECT_LT(double(err) / (64 * 64 * 3), 6.0) << "mean error per channel";
}

TEST(GifWriter, PartlyTransparentEdgesAreComposedOverTheMatte) {
    QImage img(4, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(0, 0, 0, 0));
    img.setPixel(1, 0, qRgba(0, 0, 0, 100));  // mostly clear: transparent
    img.setPixel(2, 0, qRgba(0, 0, 0, 200));  // mostly solid: over white
    img.setPixel(3, 0, qRgba(0, 0, 255, 255));
    const auto frames = Decode(EncodeGif({{img, 0}}, qRgb(255, 255, 255)));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(qAlpha(frames[0].pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(frames[0].pixel(1, 0)), 0);
    EXPECT_EQ(frames[0].pixel(2, 0), qRgb(55, 55, 55));
    EXPECT_EQ(frames[0].pixel(3, 0), qRgb(0, 0, 255));
    EXPECT_TRUE(EncodeGif({}).isEmpty());
}

}  // namespace
