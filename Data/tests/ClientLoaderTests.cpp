// The installed catalogues read through the client's own loaders: what the
// room and the chat panes will really see, not just well-formed files.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <cstdlib>
#include <regex>
#include <set>
#include <string>

#include "chat/ColorWordManager.h"
#include "chat/EmotionManager.h"
#include "room/RoomRules.h"

namespace {

std::string AppFolder() {
    if (const char* dir = std::getenv("CHATROOM_APP_DIR"); dir && *dir) {
        return std::string(dir) + "/";
    }
    return std::string(CHATROOM_TEST_APP_DIR) + "/";
}

bool IsFile(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).isFile();
}

}  // namespace

TEST(InstalledCatalogues, EmoticonsLoadWithTwoTabsAndEveryPicture) {
    const std::string folder = AppFolder() + "emotions/";
    TEmotionManager emotions;
    emotions.LoadEmotionCatalogue(folder);
    ASSERT_GE(emotions.Tabs().size(), 2u);
    const auto byTab = emotions.FacesByTab();
    ASSERT_GE(byTab.size(), 2u);
    EXPECT_FALSE(byTab[0].empty());
    EXPECT_FALSE(byTab[1].empty());
    // Tab 1 is everybody's; the second tab is for members only.
    EXPECT_TRUE(MayUseEmotion(1, 100, emotions.Tabs()[0].Number));
    EXPECT_FALSE(MayUseEmotion(1, 100, emotions.Tabs()[1].Number));
    EXPECT_TRUE(MayUseEmotion(30, 1010, emotions.Tabs()[1].Number));
    for (const TFace& face : emotions.Faces()) {
        EXPECT_TRUE(IsFile(folder + face.File)) << face.File;
    }
}

TEST(InstalledCatalogues, ColorWordFragmentsPointAtExistingPictures) {
    const std::string folder = AppFolder() + "ColorWord/";
    TColorWordManager words;
    words.LoadColorWords(folder);
    ASSERT_GE(words.Items().size(), 12u);
    const std::regex source(R"(src=\"([^\"]+)\")");
    for (const TColorWord& word : words.Items()) {
        ASSERT_NE(words.Find(word.Index), nullptr);
        int pictures = 0;
        for (std::sregex_iterator it(word.Html.begin(), word.Html.end(), source), end; it != end;
             ++it, ++pictures) {
            EXPECT_TRUE(IsFile((*it)[1].str())) << (*it)[1].str();
        }
        EXPECT_GT(pictures, 0) << word.Index;
    }
}

TEST(InstalledCatalogues, SealsOfEveryTypeLoadWithTheirPictures) {
    TSealCatalogue seals;
    std::set<std::string> bitmaps;
    seals.Load(AppFolder() + "Seal/", [&](const std::string& path) {
        bitmaps.insert(path);
        return static_cast<int>(bitmaps.size()) - 1;
    });
    ASSERT_FALSE(seals.Empty());
    EXPECT_EQ(bitmaps.size(), seals.Count());
    std::set<int> types;
    for (int type = 1; type <= 5; ++type) {
        for (int id = 0; id < 1000; ++id) {
            if (const TSealEntry* e = seals.Find(type * 1000 + id)) {
                types.insert(e->Type);
                int pngs = 0;
                EXPECT_GE(seals.PictureIndex(e->Key,
                                             [&](const std::string& path) {
                                                 EXPECT_TRUE(IsFile(path)) << path;
                                                 return pngs++;
                                             }),
                          0)
                    << e->Key;
            }
        }
    }
    EXPECT_EQ(types, (std::set<int>{1, 2, 3, 4, 5}));
}
