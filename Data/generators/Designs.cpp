#include "Designs.h"

#include <QColor>

namespace designs {

using art::BadgeStyle;
using art::Shape;

namespace {
BadgeStyle B(Shape s, const char* glyph, const char* light, const char* dark) {
    return BadgeStyle{s, QString::fromUtf8(glyph), QColor(light), QColor(dark)};
}
QString U(const char* s) {
    return QString::fromUtf8(s);
}
}  // namespace

const std::vector<QString>& HeadArt() {
    static const std::vector<QString> heads = {
        "1f466", "1f467", "1f468", "1f469", "1f474", "1f475", "1f471", "1f9d1", "1f476", "1f431",
        "1f436", "1f42d", "1f439", "1f430", "1f98a", "1f43b", "1f43c", "1f428", "1f42f", "1f981",
        "1f42e", "1f437", "1f438", "1f435", "1f414", "1f427", "1f426", "1f424", "1f986", "1f989",
        "1f434", "1f984", "1f41d", "1f98b", "1f41e", "1f422", "1f419", "1f42c", "1f433"};
    return heads;
}

const std::vector<MarkIcon>& MarkIcons() {
    static const std::vector<MarkIcon> marks = {
        {39, "1f4ac", "1f6ab", U("禁止发言")},
        {40, "1f464", "", U("隐身用户")},
        {41, "1f4f9", "", U("摄像头")},
        {42, "1f3a4", "", U("公麦")},
        {43, "1f3a4", "1f465", U("私麦(所有人可连接麦)")},
        {44, "1f3a4", "1f451", U("私麦(仅VIP可连接麦)")},
        {45, "1f3a4", "2753", U("私麦(需确认可连接麦)")},
        {46, "1f3a7", "", U("收听")},
    };
    return marks;
}

const std::vector<Rank>& Ranks() {
    static const std::vector<Rank> ranks = {
        {47, B(Shape::Circle, "注", "#8BD37A", "#3C8C2C"), U("注册用户")},
        {51, B(Shape::Gem, "V", "#FFE066", "#D99A00"), U("黄色VIP")},
        {55, B(Shape::Tile, "亨", "#FFB347", "#D2691E"), U("大亨")},
        {59, B(Shape::Gem, "V", "#7CC4FF", "#1F6FD0"), U("蓝色VIP")},
        {63, B(Shape::Circle, "游", "#C8C8C8", "#7A7A7A"), U("游客")},
        {67, B(Shape::Shield, "客", "#5FD3C8", "#138A80"), U("客服")},
        {71, B(Shape::Tile, "豪", "#FF8A65", "#C62828"), U("超级大亨")},
        {75, B(Shape::Tile, "财", "#FFD54F", "#B8860B"), U("财主")},
        {79, B(Shape::Shield, "超", "#B39DDB", "#5E35B1"), U("超管")},
        {83, B(Shape::Star, "1", "#FF9EC7", "#D81B60"), U("一星主持")},
        {87, B(Shape::Star, "2", "#FF9EC7", "#D81B60"), U("二星主持")},
        {91, B(Shape::Star, "3", "#FF9EC7", "#D81B60"), U("三星主持")},
        {95, B(Shape::Star, "4", "#FF9EC7", "#D81B60"), U("四星主持")},
        {99, B(Shape::Star, "5", "#FF9EC7", "#D81B60"), U("五星主持")},
        {103, B(Shape::Star, "M", "#EA80FC", "#9C27B0"), U("最佳MC")},
        {107, B(Shape::Star, "", "#FF8A80", "#D50000"), U("明星(鲜花之星等)")},
        {111, B(Shape::Star, "后", "#CE93D8", "#7B1FA2"), U("风云天后")},
        {115, B(Shape::Star, "主", "#FFCC80", "#EF6C00"), U("超级主持")},
        {119, B(Shape::Star, "神", "#FFE57F", "#C79100"), U("一代神女")},
        {123, B(Shape::Shield, "副", "#90CAF9", "#1565C0"), U("副室主")},
        {127, B(Shape::Crown, "", "#FFCC80", "#E65100"), U("代理、室主")},
        {131, B(Shape::Shield, "区", "#A5D6A7", "#2E7D32"), U("区长")},
        {135, B(Shape::Shield, "巡", "#80DEEA", "#00838F"), U("巡管")},
        {139, B(Shape::Crown, "", "#FF8A80", "#C62828"), U("站长")},
        {143, B(Shape::Crown, "", "#FFE082", "#C79100"), U("城主")},
        {147, B(Shape::Crown, "", "#F8BBD0", "#C2185B"), U("城后")},
        {151, B(Shape::Shield, "室", "#EF9A9A", "#C62828"), U("室主")},
        {155, B(Shape::Gem, "尊", "#D1A3FF", "#7B2CBF"), U("至尊")},
        {159, B(Shape::Gem, "皇", "#FF8A80", "#B71C1C"), U("圣皇")},
        {163, B(Shape::Gem, "帝", "#FFE066", "#B8860B"), U("金帝")},
    };
    return ranks;
}

const Rank* RankAt(int firstFrame) {
    for (const Rank& r : Ranks()) {
        if (r.FirstFrame == firstFrame) {
            return &r;
        }
    }
    return nullptr;
}

const std::vector<DatBadge>& DatBadges() {
    static const BadgeStyle none{};
    static const std::vector<DatBadge> badges = {
        // Role codes.
        {0, 63, none, U("游客")},
        {1, 47, none, U("注册用户")},
        {25, 127, none, U("代理")},
        {29, -1, B(Shape::Shield, "临", "#C5E1A5", "#689F38"), U("临时管理员")},
        {30, -1, B(Shape::Shield, "管", "#81C784", "#2E7D32"), U("房间管理员")},
        {49, 123, none, U("副室主")},
        {50, 151, none, U("室主")},
        {60, 131, none, U("区长")},
        {70, 135, none, U("巡管")},
        {100, 143, none, U("城主")},
        {200, 147, none, U("城后")},
        {235, 67, none, U("客服")},
        {255, 139, none, U("站长")},
        // Level codes (100 is taken by the role above; the level badge of a
        // registered user is never looked up by code).
        {1010, 59, none, U("蓝色VIP")},
        {1020, 51, none, U("黄色VIP")},
        {1022, 79, none, U("体验超管")},
        {1024, 155, none, U("体验至尊")},
        {1030, 55, none, U("大亨")},
        {1040, 71, none, U("超级大亨")},
        {1050, 75, none, U("财主")},
        {1060, 79, none, U("超管")},
        {1070, 155, none, U("至尊")},
        {1080, 159, none, U("圣皇")},
        {1090, 163, none, U("金帝")},
        {2010, 83, none, U("一星主持")},
        {2011, 87, none, U("二星主持")},
        {2012, 91, none, U("三星主持")},
        {2013, 95, none, U("四星主持")},
        {2014, 99, none, U("五星主持")},
        {2015, 103, none, U("最佳MC")},
        {2016, 107, none, U("鲜花之星")},
        {2017, 107, none, U("香水之星")},
        {2018, 107, none, U("香吻之星")},
        {2019, 107, none, U("猪头之星")},
        {2020, 107, none, U("啤酒之星")},
        {2021, 107, none, U("钻戒之星")},
        {2022, 107, none, U("跑车之星")},
        {2023, 107, none, U("飞机之星")},
        {2025, 115, none, U("超级主持")},
        {2030, 111, none, U("风云天后")},
        {2040, 119, none, U("一代神女")},
        {2500, 127, none, U("代理")},
    };
    return badges;
}

const std::vector<Icon>& MicroIcons() {
    static const std::vector<Icon> icons = {
        {"1f381", "", U("选中赠送用户")},      {"1f464", "", U("查看详细资料")},
        {"1f4f9", "", U("私麦视频连接")},      {"1f3a4", "", U("公麦")},
        {"1f399", "", U("邀请主持节目")},      {"1f3a4", "274c", U("取消私麦主持")},
        {"1f6e1", "", U("临时管理员")},        {"1f910", "", U("屏蔽房间禁言")},
        {"1f3a4", "1f465", U("私麦(所有人)")}, {"1f3a4", "1f451", U("私麦(仅VIP)")},
        {"1f3a4", "2753", U("私麦(需确认)")},  {"1f508", "", U("收听")},
    };
    return icons;
}

const std::vector<Icon>& NavigationIcons() {
    static const std::vector<Icon> icons = {
        {"1f3e0", "", U("首页")}, {"1f4fa", "", U("大厅")}, {"1f4b1", "", U("兑换")},
        {"1fa99", "", U("充值")}, {"2753", "", U("帮助")},  {"1f310", "", U("线路")},
    };
    return icons;
}

}  // namespace designs
