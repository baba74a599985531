#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QMovie>
#include <QPixmap>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ResourceTestSupport.h"
#include "foundation/ImageList.h"
#include "foundation/ResDll.h"

namespace {

constexpr int kW = 16;
constexpr int kH = 16;

QRgb Body(int row, int column) {
    return qRgb(10 + row * 40, 10 + column * 40, 200);
}
QRgb Mask(int row, int column) {
    return qRgb(row * 16 + 1, column * 16 + 1, 7);
}

// A sheet of 16×16 cells, each filled with its own body colour and carrying
// its own mask colour in the bottom-left and top-right pixels.
QImage Sheet(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int row = y / kH, column = x / kW, cx = x % kW, cy = y % kH;
            const bool maskPixel = (cx == 0 && cy == kH - 1) || (cx == kW - 1 && cy == 0);
            image.setPixel(x, y, maskPixel ? Mask(row, column) : Body(row, column));
        }
    }
    return image;
}

struct StripCase {
    const char* name;
    int width, height;
    std::vector<std::pair<int, int>> cells;  // expected (row, column), in list order
};

const std::vector<StripCase>& StripCases() {
    static const std::vector<StripCase> cases = {
        {"OneFrame", 16, 16, {}},
        {"FiveByOne", 80, 16, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}},
        {"FourByThree",
         64,
         48,
         {{0, 0},
          {0, 1},
          {0, 2},
          {0, 3},
          {1, 0},
          {1, 1},
          {1, 2},
          {1, 3},
          {2, 0},
          {2, 1},
          {2, 2},
          {2, 3}}},
        {"WidthNotAMultiple", 40, 32, {{0, 0}, {1, 0}}},
        {"NeitherAMultiple", 20, 20, {}},
    };
    return cases;
}

// One pack for the whole suite.
class ResDllTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        TestApp();
        folder_ = new QTemporaryDir;
        ResourcePack pack;
        for (const auto& c : StripCases()) {
            pack.Add(QStringLiteral("BMP/%1").arg(c.name), Encode(Sheet(c.width, c.height), "BMP"));
        }
        QImage photo(30, 20, QImage::Format_RGB32);
        photo.fill(Qt::darkCyan);
        pack.Add("JPG/loginhint", Encode(photo, "JPG"));
        pack.Add("GIF/gifVideoWait", TwoFrameGif());
        pack.Add("html/template", "<html><body class=\"nickrgb\"></body></html>");
        pack.Add("BMP/Broken", "BM not really a bitmap");
        ASSERT_TRUE(pack.Build(PackPath()));
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static QString PackPath() { return folder_->filePath("ResModule.rcc"); }
    static std::string PackFile() { return PackPath().toStdString(); }

    static QTemporaryDir* folder_;
};
QTemporaryDir* ResDllTest::folder_ = nullptr;

TEST_F(ResDllTest, ImageStripsAreCutRowByRowWithEachFramesOwnTransparentColour) {
    TResDLL reader(PackFile());
    for (const auto& c : StripCases()) {
        SCOPED_TRACE(c.name);
        TImageList list(kW, kH);
        reader.LoadImageStrip(list, c.name, "BMP");
        ASSERT_EQ(list.Count(), static_cast<int>(c.cells.size()));
        for (int i = 0; i < list.Count(); ++i) {
            const auto [row, column] = c.cells[static_cast<std::size_t>(i)];
            const QImage frame = list.Image(i);
            ASSERT_EQ(frame.size(), QSize(kW, kH));
            EXPECT_EQ(frame.pixel(kW / 2, kH / 2), Body(row, column)) << "frame " << i;
            EXPECT_EQ(qAlpha(frame.pixel(0, kH - 1)), 0) << "frame " << i;
            EXPECT_EQ(qAlpha(frame.pixel(kW - 1, 0)), 0) << "frame " << i;
        }
    }
}

TEST_F(ResDllTest, EveryLoaderFailsAndAddsNothingWithoutThePack) {
    TResDLL reader(folder_->filePath("Missing.rcc").toStdString());
    QImage image(2, 2, QImage::Format_RGB32);
    QPixmap pixmap;
    QLabel label;
    QMovie movie;
    TImageList list(kW, kH);
    list.Add(QImage(kW, kH, QImage::Format_RGB32), Qt::black);

    EXPECT_FALSE(reader.LoadBitmap(image, "FiveByOne", "BMP"));
    EXPECT_FALSE(reader.LoadBitmap(pixmap, "FiveByOne", "BMP"));
    EXPECT_FALSE(reader.LoadJpeg(&label, "loginhint", "JPG"));
    EXPECT_FALSE(reader.LoadGif(movie, "gifVideoWait", "GIF"));
    EXPECT_EQ(reader.OpenResource("template", "html"), nullptr);
    reader.LoadImageStrip(list, "FiveByOne", "BMP");

    EXPECT_FALSE(reader.IsLoaded());
    EXPECT_EQ(image.size(), QSize(2, 2));
    EXPECT_TRUE(label.pixmap().isNull());
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(ResDllTest, MissingOrUndecodableEntriesFailAndLeaveTheTargetAlone) {
    TResDLL reader(PackFile());
    QImage image(3, 3, QImage::Format_RGB32);
    EXPECT_FALSE(reader.LoadBitmap(image, "NoSuchPicture", "BMP"));
    EXPECT_FALSE(reader.LoadBitmap(image, "Broken", "BMP"));
    // A JPEG is not a bitmap, and a bitmap is not a movie.
    EXPECT_FALSE(reader.LoadBitmap(image, "loginhint", "JPG"));
    QMovie movie;
    EXPECT_FALSE(reader.LoadGif(movie, "FiveByOne", "BMP"));
    EXPECT_EQ(image.size(), QSize(3, 3));
    EXPECT_EQ(reader.OpenResource("editor", "html"), nullptr);
}

TEST_F(ResDllTest, DecodesEachTypeAndLooksNamesUpWithoutCase) {
    TResDLL reader(PackFile());
    QLabel label;
    ASSERT_TRUE(reader.LoadJpeg(&label, "loginhint", "JPG"));
    EXPECT_EQ(label.pixmap().size(), QSize(30, 20));

    QPixmap pixmap;
    ASSERT_TRUE(reader.LoadBitmap(pixmap, "fivebyone", "bmp"));
    EXPECT_EQ(pixmap.size(), QSize(80, 16));

    auto page = reader.OpenResource("TEMPLATE", "html");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->readAll(), QByteArray("<html><body class=\"nickrgb\"></body></html>"));
}

TEST_F(ResDllTest, AnimatedGifKeepsItsFramesAfterTheReaderIsGone) {
    QMovie movie;
    {
        TResDLL reader(PackFile());
        ASSERT_TRUE(reader.LoadGif(movie, "gifVideoWait", "GIF"));
        // Loading again replaces the data without leaking the old buffer.
        ASSERT_TRUE(reader.LoadGif(movie, "gifVideoWait", "GIF"));
        EXPECT_EQ(movie.findChildren<QIODevice*>().size(), 1);
    }
    ASSERT_TRUE(movie.isValid());
    EXPECT_EQ(movie.frameCount(), 2);
    ASSERT_TRUE(movie.jumpToFrame(0));
    EXPECT_EQ(movie.currentImage().pixel(0, 0), qRgb(0, 0, 0));
    ASSERT_TRUE(movie.jumpToFrame(1));
    EXPECT_EQ(movie.currentImage().pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(ResDllTest, ReadersShareAPackUntilTheLastOneGoes) {
    auto first = std::make_unique<TResDLL>(PackFile());
    auto second = std::make_unique<TResDLL>(PackFile());
    first->Load();
    second->Load();
    ASSERT_TRUE(first->IsLoaded() && second->IsLoaded());

    // Another pack at the same time must not hide this one's entries.
    QTemporaryDir otherFolder;
    ResourcePack other;
    other.Add("html/template", "other");
    ASSERT_TRUE(other.Build(otherFolder.filePath("Other.rcc")));
    TResDLL third(otherFolder.filePath("Other.rcc").toStdString());
    auto otherPage = third.OpenResource("template", "html");
    ASSERT_NE(otherPage, nullptr);
    EXPECT_EQ(otherPage->readAll(), QByteArray("other"));

    first.reset();
    auto page = second->OpenResource("template", "html");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->readAll().left(6), QByteArray("<html>"));
    second.reset();

    // Once every reader of it is gone the pack is no longer registered.
    EXPECT_FALSE(QFile::exists(":/ResModule/html/template"));
    EXPECT_TRUE(third.IsLoaded());
}

}  // namespace
