// User list timings for a room of 5,000 users, with the panel shown
// offscreen: adding everybody, one search keystroke, one animation tick.
// Goals: 500 ms, 30 ms and 4 ms. Run by hand: build/<dir>/bench/RoomBench
// [--shot picture.png] (the shown panel after the first fill, for a look).
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/GbkText.h"
#include "foundation/ImageList.h"
#include "room/UserListPanel.h"

namespace {

constexpr int kUsers = 5000;

void Fill(TImageList& list, int count) {
    for (int i = 0; i < count; ++i) {
        QImage img(list.Width(), list.Height(), QImage::Format_ARGB32);
        img.fill(QColor::fromHsv((i * 37) % 360, 200, 220));
        QPainter p(&img);
        p.drawEllipse(1, 1, list.Width() - 3, list.Height() - 3);
        p.end();
        list.Add(img, QColor(255, 0, 255));
    }
}

struct Person {
    std::int32_t id;
    std::string nick;
    int role, level, star, mic, face;
    bool camera, hidden, banned;
    int seal;
};

std::vector<Person> MakeRoom(std::mt19937& rng) {
    const std::string chars = Utf8ToGbk(
        "张王李赵刘陈杨黄周吴徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘"
        "小明华丽芳娜敏静强磊军洋勇艳杰涛超秀霞平刚桂英玉兰红梅云飞龙凤天宇星月晨阳");
    const int roles[] = {1, 1, 1, 1, 1, 1, 25, 30, 49, 50, 60, 70, 100, 200, 235, 255};
    const int levels[] = {0, 100, 1010, 1020, 1030, 1040, 1050, 1070, 1090, 2010, 2015, 2025, 2500};
    std::vector<Person> people;
    people.reserve(kUsers);
    for (int i = 0; i < kUsers; ++i) {
        Person p{};
        p.id = 100000 + i * 7;
        const int n = 2 + static_cast<int>(rng() % 3);
        for (int c = 0; c < n; ++c)
            p.nick += chars.substr((rng() % (chars.size() / 2)) * 2, 2);
        if (rng() % 4 == 0)
            p.nick += "_" + std::to_string(rng() % 1000);
        p.role = roles[rng() % std::size(roles)];
        p.level = levels[rng() % std::size(levels)];
        p.star = rng() % 10 == 0 ? 2016 + static_cast<int>(rng() % 8) : 0;
        p.mic = rng() % 50 == 0 ? 1 + static_cast<int>(rng() % 4) : 0;
        p.face = static_cast<int>(rng() % 39);
        p.camera = rng() % 3 == 0;
        p.hidden = rng() % 100 == 0;
        p.banned = rng() % 40 == 0;
        p.seal = rng() % 20 == 0 ? static_cast<int>(rng() % 4) : -1;
        people.push_back(p);
    }
    return people;
}

double Ms(QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

struct Stats {
    double median, p95, max;
};

Stats Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[v.size() * 95 / 100], v.back()};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TImageList userImages(16, 16), seals(45, 22);
    Fill(userImages, 170);
    Fill(seals, 4);
    QImage badge(12, 12, QImage::Format_ARGB32);
    badge.fill(Qt::darkBlue);

    QString shot;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--shot")
            shot = QString::fromLocal8Bit(argv[i + 1]);

    std::mt19937 rng(2024);
    const std::vector<Person> room = MakeRoom(rng);

    {
        QElapsedTimer t0;
        t0.start();
        TUserListModel model;
        for (const Person& p : room)
            model.AddUser(p.id, p.nick, p.role, p.level, p.star, p.mic, p.face, p.camera, p.hidden,
                          p.banned, p.seal);
        std::fprintf(stderr, "  (the model alone, no widget: %.1f ms for all users)\n", Ms(t0));
    }
    std::vector<double> adds, keys, ticks;
    for (int round = 0; round < 5; ++round) {
        TUserListPanel panel;
        panel.SetImages(&userImages, &seals, &badge);
        panel.SetUserID(room[0].id);
        panel.resize(260, 640);
        panel.tmrUpdate->stop();  // ticks are timed one by one below
        panel.show();
        QApplication::processEvents();

        QElapsedTimer t;
        t.start();
        for (const Person& p : room)
            panel.AddUser(p.id, p.nick, p.role, p.level, p.star, p.mic, p.face, p.camera, p.hidden,
                          p.banned, p.seal);
        const double loop = Ms(t);
        QApplication::processEvents();  // the paint the adds asked for
        adds.push_back(Ms(t));
        std::fprintf(stderr, "  (round %d: adding %.1f ms, then painting %.1f ms)\n", round, loop,
                     adds.back() - loop);
        if (round == 0 && !shot.isEmpty())
            panel.grab().save(shot);

        // A keystroke: the edit's text changes, the search runs, the list repaints.
        const std::string typed = "zhang1";
        for (std::size_t n = 1; n <= typed.size(); ++n) {
            panel.edtSearch->setText(QString::fromStdString(typed.substr(0, n)));
            t.restart();
            panel.Search();
            QApplication::processEvents();
            keys.push_back(Ms(t));
        }
        // The same with the room changing between keystrokes (somebody takes
        // the mic), so each search refills its items first.
        int changed = 0;
        for (const char* q : {"", "w", "wa", "1000", "l", "li", ""}) {
            const Person& p = room[static_cast<std::size_t>(++changed * 613 % kUsers)];
            panel.SetUserMic(p.id, panel.FindUser(p.id)->Mic > 0 ? 0 : 1);
            panel.edtSearch->setText(QString::fromUtf8(q));
            t.restart();
            panel.Search();
            QApplication::processEvents();
            keys.push_back(Ms(t));
        }

        double modelOnly = 0;
        for (int i = 0; i < 40; ++i) {
            t.restart();
            panel.TimerTick();
            modelOnly += Ms(t);
            QApplication::processEvents();
            ticks.push_back(Ms(t));
        }
        std::fprintf(stderr, "  (round %d: tick without its paint %.3f ms on average)\n", round,
                     modelOnly / 40);
        if (panel.Model().RowCount() != kUsers) {
            std::fprintf(stderr, "expected %d rows, have %d\n", kUsers, panel.Model().RowCount());
            return 1;
        }
    }

    const Stats a = Summarise(adds), k = Summarise(keys), tk = Summarise(ticks);
    std::printf("user list, %d users, panel shown offscreen: median / 95th percentile / worst\n",
                kUsers);
    std::printf("  add all users     %8.2f / %8.2f / %8.2f ms  (goal < 500 ms)\n", a.median, a.p95,
                a.max);
    std::printf("  search keystroke  %8.2f / %8.2f / %8.2f ms  (goal < 30 ms)\n", k.median, k.p95,
                k.max);
    std::printf("  animation tick    %8.3f / %8.3f / %8.3f ms  (goal < 4 ms)\n", tk.median, tk.p95,
                tk.max);
    return 0;
}
