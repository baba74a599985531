#include "common/CodeTables.h"

#include <gtest/gtest.h>

#include "common/GbkText.h"

namespace {

TEST(CodeTables, LookUps) {
    EXPECT_EQ(RoleName(255), Utf8ToGbk("站长"));
    EXPECT_EQ(RoleName(29), Utf8ToGbk("临时管理员"));
    EXPECT_EQ(RoleName(2), "");
    EXPECT_EQ(LevelName(2015), Utf8ToGbk("最佳MC"));
    EXPECT_EQ(LevelName(2016), "");  // a star code, not a level
    EXPECT_EQ(StarName(2016), Utf8ToGbk("鲜花之星"));
    EXPECT_EQ(StarName(2024), "");
    EXPECT_EQ(MicTypeName(3), Utf8ToGbk("私麦(仅VIP可连接麦)"));
    for (int off : {0, -1, 5, 1000})
        EXPECT_EQ(MicTypeName(off), Utf8ToGbk("不在麦")) << off;
}

TEST(CodeTables, LevelTitle) {
    struct Case {
        int role, level, star;
        const char* title;
    } cases[] = {
        {1, 1070, 0, "至尊"},
        {50, 1070, 2016, "室主(鲜花之星)"},
        {30, 0, 0, "房间管理员"},
        {0, 0, 2023, "飞机之星"},
        {0, 0, 0, ""},
        {25, 2500, 0, "代理"},
        {49, 2030, 0, "副室主"},
        {49, 0, 2022, "副室主(跑车之星)"},
        {255, 0, 0, "站长"},
        {255, 1010, 0, "蓝色VIP"},
        {200, 1090, 2017, "城后(香水之星)"},
        {1, 100, 2019, "注册用户(猪头之星)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LevelTitle(static_cast<std::uint8_t>(c.role), static_cast<std::uint16_t>(c.level),
                             static_cast<std::uint16_t>(c.star)),
                  Utf8ToGbk(c.title))
            << c.role << "/" << c.level << "/" << c.star;
}

TEST(CodeTables, IsPrivileged) {
    EXPECT_FALSE(IsPrivileged(1, 1010));
    EXPECT_TRUE(IsPrivileged(255, 0));
    EXPECT_TRUE(IsPrivileged(1, 1022));
    EXPECT_TRUE(IsPrivileged(0, 1090));
    EXPECT_FALSE(IsPrivileged(50, 1040));
    EXPECT_TRUE(IsPrivileged(70, 0));
    EXPECT_FALSE(IsPrivileged(235, 2500));
}

}  // namespace
