#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "ResourceTestSupport.h"
#include "common/GbkText.h"
#include "foundation/APIUtils.h"
#include "foundation/Globals.h"
#include "foundation/ResModule.h"

namespace {

// A strip of `frames` solid 16×16 frames of the given colours.
QImage Strip(const std::vector<QRgb>& colours, int size = 16) {
    QImage image(size * static_cast<int>(colours.size()), size, QImage::Format_RGB32);
    for (int i = 0; i < static_cast<int>(colours.size()); ++i) {
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                image.setPixel(i * size + x, y, colours[static_cast<std::size_t>(i)]);
            }
        }
    }
    return image;
}

// Paints a frame's centre pixel, which keeps its colour (the corner is the
// transparent colour).
QRgb Centre(const TImageList& list, int i) {
    return list.Image(i).pixel(list.Width() / 2, list.Height() / 2);
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ResModuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp().setStyleSheet(QString());
        ASSERT_TRUE(folder_.isValid());
        dir_ = folder_.path().toStdString() + "/";
        TgResModule::SetCatalogueHooks({}, {});
    }
    void TearDown() override {
        TgResModule::SetCatalogueHooks({}, {});
        TestApp().setStyleSheet(QString());
        AppDir.clear();
        FilterWords.clear();
    }

    // Strips whose frames have a white border pixel at the bottom left, so
    // white is each frame's transparent colour and the centre is kept.
    void BuildPack() {
        ResourcePack pack;
        auto framed = [](std::vector<QRgb> colours, int size) {
            QImage strip = Strip(colours, size);
            for (int i = 0; i < static_cast<int>(colours.size()); ++i) {
                strip.setPixel(i * size, size - 1, qRgb(255, 255, 255));
            }
            return Encode(strip, "BMP");
        };
        pack.Add("BMP/UserLevel", framed({qRgb(200, 0, 0), qRgb(201, 0, 0)}, 16));
        pack.Add("BMP/UserOrder", framed({qRgb(0, 200, 0), qRgb(0, 201, 0), qRgb(0, 202, 0)}, 16));
        pack.Add("BMP/MicroType", framed({qRgb(1, 1, 1), qRgb(2, 2, 2)}, 16));
        pack.Add("BMP/UserHead", framed({qRgb(3, 3, 3), qRgb(4, 4, 4)}, 60));
        QImage navigation = Strip({qRgb(5, 5, 5)}, 42).scaled(84, 41);
        pack.Add("BMP/HallNavigation", Encode(navigation, "BMP"));
        pack.Add("PNG/UserListBadge", Encode(Strip({qRgb(6, 6, 6)}, 12), "PNG"));
        ASSERT_TRUE(pack.Build(QString::fromStdString(dir_ + "ResModule.rcc")));
    }

    void WriteFile(const std::string& relative, const std::string& bytes) {
        QDir().mkpath(QString::fromStdString(dir_ + relative).section('/', 0, -2));
        std::ofstream(dir_ + relative, std::ios::binary) << bytes;
    }

    QTemporaryDir folder_;
    std::string dir_;
};

TEST_F(ResModuleTest, CreationSetsUpTheProgramFolderInOrder) {
    BuildPack();
    ResourcePack skin;
    skin.Add("skin.qss", "QWidget { color: rgb(9, 9, 9); }");
    QDir().mkpath(QString::fromStdString(dir_ + "SkinRes/Default"));
    ASSERT_TRUE(skin.Build(QString::fromStdString(dir_ + "SkinRes/Default/skin1.skn")));
    const std::string gbkWord = Utf8ToGbk("脏话");
    WriteFile("Filter.txt", "first\r\n\r\n" + gbkWord + "\r\nlast");

    std::vector<std::string> steps;
    TgResModule::SetCatalogueHooks(
        [&] { steps.push_back("create catalogues"); },
        [&] { steps.push_back(ResDll == nullptr ? "destroy after reader" : "destroy before"); });
    UserLineType = 7;
    {
        TgResModule module(dir_);
        EXPECT_EQ(gResModule, &module);
        EXPECT_EQ(UserLineType, 0);
        EXPECT_EQ(AppDir, dir_);
        ASSERT_NE(ResDll, nullptr);
        EXPECT_TRUE(ResDll->IsLoaded());
        EXPECT_EQ(TestApp().styleSheet(), "QWidget { color: rgb(9, 9, 9); }");
        EXPECT_TRUE(module.skinData2.IsEmpty());
        EXPECT_EQ(steps, std::vector<std::string>{"create catalogues"});
        EXPECT_EQ(FilterWords, (std::vector<std::string>{"first", gbkWord, "last"}));

        // Level icons first, the order icons after them.
        ASSERT_EQ(module.imgLstUserOrder.Count(), 5);
        const std::vector<QRgb> order = {qRgb(200, 0, 0), qRgb(201, 0, 0), qRgb(0, 200, 0),
                                         qRgb(0, 201, 0), qRgb(0, 202, 0)};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(Centre(module.imgLstUserOrder, i), order[static_cast<std::size_t>(i)]);
        }
        EXPECT_EQ(module.imgLstMicro.Count(), 2);
        EXPECT_EQ(module.FaceList.Count(), 2);
        EXPECT_EQ(module.imgLstNavigation.Count(), 2);
        EXPECT_EQ(module.FaceList.BkColor(), QColor(255, 255, 225));
        EXPECT_EQ(module.imgSeal.Width(), 65);
        EXPECT_EQ(module.PngSeal.Height(), 22);
        EXPECT_EQ(module.pngUserList.size(), QSize(12, 12));
    }
    EXPECT_EQ(gResModule, nullptr);
    EXPECT_EQ(ResDll, nullptr);
    EXPECT_EQ(steps, (std::vector<std::string>{"create catalogues", "destroy after reader"}));
}

TEST_F(ResModuleTest, EmptyProgramFolderGivesEmptyListsAndNoSkin) {
    FilterWords = {"stale"};
    TgResModule module(dir_.substr(0, dir_.size() - 1));  // trailing "/" is added
    EXPECT_EQ(AppDir, dir_);
    EXPECT_FALSE(ResDll->IsLoaded());
    EXPECT_TRUE(FilterWords.empty());
    EXPECT_EQ(module.imgLstUserOrder.Count(), 0);
    EXPECT_EQ(module.FaceList.Count(), 0);
    EXPECT_TRUE(module.skinData1.IsEmpty());
    EXPECT_TRUE(TestApp().styleSheet().isEmpty());
}

TEST_F(ResModuleTest, FailingStepIsLoggedAndLeavesTheLaterStepsUndone) {
    BuildPack();
    WriteFile("Filter.txt", "word\r\n");
    bool destroyed = false;
    TgResModule::SetCatalogueHooks([] { throw std::runtime_error("catalogue file damaged"); },
                                   [&] { destroyed = true; });
    {
        TgResModule module(dir_);
        EXPECT_TRUE(FilterWords.empty());
        EXPECT_EQ(module.imgLstUserOrder.Count(), 0);
        EXPECT_NE(ReadAll(LogFilePath(QDateTime::currentDateTime())).find("catalogue file damaged"),
                  std::string::npos);
    }
    // What was never created is not destroyed.
    EXPECT_FALSE(destroyed);
}

}  // namespace
