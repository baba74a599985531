#include "common/CodeTables.h"

#include <initializer_list>
#include <utility>
#include <vector>

#include "common/GbkText.h"

namespace {

using Table = std::vector<std::pair<int, std::string>>;

// Texts are written here in UTF-8 and converted to GBK once.
Table MakeTable(std::initializer_list<std::pair<int, const char*>> rows) {
    Table t;
    t.reserve(rows.size());
    for (const auto& [code, text] : rows)
        t.emplace_back(code, Utf8ToGbk(text));
    return t;
}

std::string Lookup(const Table& t, int code) {
    for (const auto& [c, text] : t)
        if (c == code)
            return text;
    return {};
}

const Table& Roles() {
    static const Table t = MakeTable({{1, "注册用户"},
                                      {25, "代理"},
                                      {29, "临时管理员"},
                                      {30, "房间管理员"},
                                      {49, "副室主"},
                                      {50, "室主"},
                                      {60, "区长"},
                                      {70, "巡管"},
                                      {100, "城主"},
                                      {200, "城后"},
                                      {235, "客服"},
                                      {255, "站长"}});
    return t;
}

const Table& Levels() {
    static const Table t =
        MakeTable({{100, "注册用户"},  {1010, "蓝色VIP"},  {1020, "黄色VIP"},  {1022, "体验超管"},
                   {1024, "体验至尊"}, {1030, "大亨"},     {1040, "超级大亨"}, {1050, "财主"},
                   {1060, "超管"},     {1070, "至尊"},     {1080, "圣皇"},     {1090, "金帝"},
                   {2010, "一星主持"}, {2011, "二星主持"}, {2012, "三星主持"}, {2013, "四星主持"},
                   {2014, "五星主持"}, {2015, "最佳MC"},   {2025, "超级主持"}, {2030, "风云天后"},
                   {2040, "一代神女"}, {2500, "代理"}});
    return t;
}

const Table& Stars() {
    static const Table t = MakeTable({{2016, "鲜花之星"},
                                      {2017, "香水之星"},
                                      {2018, "香吻之星"},
                                      {2019, "猪头之星"},
                                      {2020, "啤酒之星"},
                                      {2021, "钻戒之星"},
                                      {2022, "跑车之星"},
                                      {2023, "飞机之星"}});
    return t;
}

const Table& MicTypes() {
    static const Table t = MakeTable({{1, "公麦"},
                                      {2, "私麦(所有人可连接麦)"},
                                      {3, "私麦(仅VIP可连接麦)"},
                                      {4, "私麦(需确认可连接麦)"}});
    return t;
}

}  // namespace

std::string RoleName(std::uint8_t role) {
    return Lookup(Roles(), role);
}
std::string LevelName(std::uint16_t level) {
    return Lookup(Levels(), level);
}
std::string StarName(std::uint16_t star) {
    return Lookup(Stars(), star);
}

std::string MicTypeName(int micType) {
    static const std::string kOffMic = Utf8ToGbk("不在麦");
    std::string name = Lookup(MicTypes(), micType);
    return name.empty() ? kOffMic : name;
}

std::string LevelTitle(std::uint8_t role, std::uint16_t level, std::uint16_t star) {
    std::string title = LevelName(level);
    // These ranks replace the level name; other roles only fill an empty one.
    if (role == 49 || role == 50 || role == 100 || role == 200)
        title = RoleName(role);
    std::string s = StarName(star);
    if (title.empty())
        title = RoleName(role);
    if (title.empty())
        return s;
    if (!s.empty())
        title += "(" + s + ")";
    return title;
}

bool IsPrivileged(std::uint8_t role, std::uint16_t level) {
    switch (level) {
        case 1022:
        case 1024:
        case 1050:
        case 1060:
        case 1070:
        case 1080:
        case 1090:
            return true;
        default:
            break;
    }
    return role == 70 || role == 100 || role == 200 || role == 255;
}
