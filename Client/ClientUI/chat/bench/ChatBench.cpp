// Timings of the chat pane and the editor: appending engine lines to a shown
// pane (rebuilds included) and reading a long message with emoticons back.
// Prints the figures; goals: mean append under 1 ms, worst under 20 ms,
// memory flat after rebuilds, ReadChatInfo under 1 ms.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "chat/HtmlChatEdit.h"
#include "chat/HtmlChatView.h"
#include "common/GbkText.h"
#include "foundation/Globals.h"

namespace {

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        std::getline(status, key);
    }
    return -1;
}

std::string EngineLine(int n) {
    // The shape of an engine chat line: seal, badge, nickname link, text.
    return Utf8ToGbk("<a href=\"id:" + std::to_string(10000 + n % 50) + ":user" +
                     std::to_string(n % 50) + "\" class=\"nickrgb\">user" + std::to_string(n % 50) +
                     "</a><FONT class=\"nickrgb\"> 对 大家 说: </FONT><FONT STYLE=\"font:10pt "
                     "宋体; color=#ff0000\">第 " +
                     std::to_string(n) + " 条消息，这是一段普通的聊天文字。</FONT><BR>");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir dir;
    AppDir = dir.path().toStdString() + "/";

    THtmlChatView view;
    view.resize(600, 400);
    view.InitPageFrom(QString());
    view.show();
    QApplication::processEvents();

    constexpr int kLines = 2000;
    std::vector<double> times;
    times.reserve(kLines);
    long rssAfterFirstRebuild = 0;
    QElapsedTimer timer;
    for (int i = 0; i < kLines; ++i) {
        const std::string line = EngineLine(i);
        timer.start();
        view.AppendLine(line);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (i % 50 == 0) {
            QApplication::processEvents();
        }
        if (i == 2 * THtmlChatView::kRebuildAfter) {
            rssAfterFirstRebuild = ResidentKiB();
        }
    }
    QApplication::processEvents();
    double sum = 0;
    for (double t : times) {
        sum += t;
    }
    std::printf("append: %d lines, mean %.3f ms, worst %.3f ms\n", kLines, sum / kLines,
                *std::max_element(times.begin(), times.end()));
    std::vector<int> order(times.size());
    for (int i = 0; i < kLines; ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](int a, int b) { return times[a] > times[b]; });
    std::printf("slowest appends:");
    for (int i = 0; i < 5; ++i) {
        std::printf(" #%d %.2f ms", order[i] + 1, times[order[i]]);
    }
    std::printf("\n");
    std::printf("memory: %ld KiB after the first rebuilds, %ld KiB after %d lines\n",
                rssAfterFirstRebuild, ResidentKiB(), kLines);

    // 700 bytes with 20 emoticons.
    THtmlChatEdit edit;
    edit.show();
    constexpr int kRuns = 200;
    double readTotal = 0;
    std::size_t length = 0;
    for (int run = 0; run < kRuns; ++run) {
        for (int i = 0; i < 20; ++i) {
            edit.PasteText(Utf8ToGbk("这是二十个字节的文字abcd"));
            edit.InsertEmoticon(AppDir + "emotions/", std::to_string(i + 1) + ".gif");
        }
        edit.PasteText(std::string(700 - 20 * 29, 'x'));
        timer.start();
        length = edit.ReadChatInfo().size();
        readTotal += static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    std::printf("ReadChatInfo: %zu bytes of text, mean %.3f ms\n", length, readTotal / kRuns);
    return 0;
}
