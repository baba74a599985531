#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/AppPaths.h"
#include "foundation/Globals.h"

namespace fs = std::filesystem;

namespace {

class AppPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.path().toStdString() + "/";
        AppDir = root_;
    }
    void TearDown() override { AppDir.clear(); }

    void MakeFile(const std::string& rel) {
        fs::create_directories(fs::path(root_ + rel).parent_path());
        std::ofstream(root_ + rel) << "x";
    }

    QTemporaryDir dir_;
    std::string root_;
};

TEST_F(AppPathTest, ResolvesComponentsWithoutRegardToCase) {
    MakeFile("Emotions/faceconfig.xml");
    MakeFile("GiftItem/gift.xml");
    // A double-byte name whose trail byte is "A": a different name from the
    // one with "a", even though ASCII folding would make them equal.
    MakeFile("\xB0\x41/x.txt");

    const struct {
        const char* relative;
        const char* expected;
    } cases[] = {
        {"emotions\\faceconfig.xml", "Emotions/faceconfig.xml"},
        {"EMOTIONS\\FaceConfig.XML", "Emotions/faceconfig.xml"},
        {"emotions\\", "Emotions/"},
        {"Emotions\\faceconfig.xml", "Emotions/faceconfig.xml"},
        {"giftitem\\missing\\New.xml", "GiftItem/missing/New.xml"},
        {"NoSuchFolder\\A.txt", "NoSuchFolder/A.txt"},
        {"\xB0\x61\\x.txt", "\xB0\x61/x.txt"},
        {"\xB0\x41\\X.TXT", "\xB0\x41/x.txt"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AppPath(c.relative), root_ + c.expected) << c.relative;
    }
}

TEST_F(AppPathTest, ExactSpellingWinsOverOtherCases) {
    fs::create_directories(root_ + "Log");
    fs::create_directories(root_ + "log");
    EXPECT_EQ(AppPath("log\\1-1.log"), root_ + "log/1-1.log");
    EXPECT_EQ(AppPath("Log\\1-1.log"), root_ + "Log/1-1.log");
    // Neither spelling exact: the smallest name, whatever the directory order.
    EXPECT_EQ(AppPath("LOG"), root_ + "Log");
}

TEST(ToSlashSeparatorsTest, KeepsTrailBytesThatLookLikeBackslashes) {
    // "\x95\x5C" is one GBK character; its trail byte is not a separator.
    EXPECT_EQ(ToSlashSeparators("Users\\\x95\x5C\\Config.dat"), "Users/\x95\x5C/Config.dat");
    EXPECT_EQ(ToSlashSeparators("a\\b\\"), "a/b/");
    // A lead byte at the very end has no trail byte to protect.
    EXPECT_EQ(ToSlashSeparators("a\\\x95"), "a/\x95");
}

}  // namespace
