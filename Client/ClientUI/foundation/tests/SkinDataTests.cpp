#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include "ResourceTestSupport.h"
#include "foundation/SkinData.h"

namespace {

class SkinDataTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestApp().setStyleSheet(QString());
        ASSERT_TRUE(folder_.isValid());
    }
    void TearDown() override { TestApp().setStyleSheet(QString()); }

    std::string BuildSkin(const QByteArray& sheet) {
        ResourcePack pack;
        pack.Add("skin.qss", sheet);
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        pack.Add("panel_gift.png", Encode(picture, "PNG"));
        const QString file = folder_.filePath("skin1.skn");
        EXPECT_TRUE(pack.Build(file));
        return file.toStdString();
    }

    QTemporaryDir folder_;
};

TEST_F(SkinDataTest, LoadedSkinStylesNamedWidgetsAndItsPicturesResolve) {
    const QByteArray sheet =
        "*[skin=\"panel_gift\"] { background-color: rgb(1, 2, 3); }\n"
        "#pictured { border-image: url(:/skin1/panel_gift.png); }\n";
    TSkinData skin;
    ASSERT_TRUE(skin.LoadFromFile(BuildSkin(sheet), "/skin1"));
    EXPECT_FALSE(skin.IsEmpty());
    EXPECT_EQ(skin.StyleSheet(), QString::fromUtf8(sheet));
    EXPECT_TRUE(QFile::exists(":/skin1/panel_gift.png"));

    skin.ApplyToApplication();
    EXPECT_EQ(TestApp().styleSheet(), QString::fromUtf8(sheet));

    // The name is given after the widget was styled: it only takes effect
    // because SetSkinName polishes again.
    QLabel plain;
    QLabel named;
    plain.resize(8, 8);
    named.resize(8, 8);
    plain.ensurePolished();
    named.ensurePolished();
    SetSkinName(&named, "panel_gift");
    EXPECT_EQ(named.property("skin").toString(), "panel_gift");
    EXPECT_EQ(named.grab().toImage().pixel(4, 4), qRgb(1, 2, 3));
    EXPECT_NE(plain.grab().toImage().pixel(4, 4), qRgb(1, 2, 3));

    skin.Clear();
    EXPECT_FALSE(QFile::exists(":/skin1/panel_gift.png"));
}

TEST_F(SkinDataTest, SkinForOneWindowStaysOffTheApplication) {
    TSkinData skin;
    ASSERT_TRUE(skin.LoadFromFile(BuildSkin("QFrame { color: red; }"), "/skin2"));
    QLabel frame;
    skin.ApplyTo(&frame);
    EXPECT_EQ(frame.styleSheet(), "QFrame { color: red; }");
    EXPECT_TRUE(TestApp().styleSheet().isEmpty());
}

TEST_F(SkinDataTest, MissingOrUnusableFileLeavesTheDefaultLook) {
    TestApp().setStyleSheet("QLabel { color: green; }");
    TSkinData skin;
    EXPECT_FALSE(skin.LoadFromFile(folder_.filePath("none.skn").toStdString(), "/skin1"));
    EXPECT_TRUE(skin.IsEmpty());

    // A resource file without a style sheet is no skin either.
    ResourcePack pack;
    pack.Add("other.txt", "x");
    ASSERT_TRUE(pack.Build(folder_.filePath("nosheet.skn")));
    EXPECT_FALSE(skin.LoadFromFile(folder_.filePath("nosheet.skn").toStdString(), "/skin1"));
    EXPECT_TRUE(skin.IsEmpty());
    EXPECT_FALSE(QFile::exists(":/skin1/other.txt"));

    skin.ApplyToApplication();
    QLabel label;
    skin.ApplyTo(&label);
    EXPECT_EQ(TestApp().styleSheet(), "QLabel { color: green; }");
    EXPECT_TRUE(label.styleSheet().isEmpty());
}

}  // namespace
