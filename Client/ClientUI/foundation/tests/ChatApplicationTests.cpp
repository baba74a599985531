#include <gtest/gtest.h>

#include <QDateTime>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "ResourceTestSupport.h"
#include "foundation/APIUtils.h"
#include "foundation/Globals.h"

namespace {

// Runs the event loop until every task posted so far has run.
void Drain() {
    QEventLoop loop;
    TestApp().Post([&] { loop.quit(); });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST(ChatApplicationTest, PostedTasksRunOnTheUiThreadInPostingOrder) {
    TChatApplication& app = TestApp();
    std::vector<int> order;
    bool onUiThread = false;
    for (int i = 0; i < 5; ++i) {
        app.Post([&order, i] { order.push_back(i); });
    }
    QThread* worker = QThread::create(
        [&] { app.Post([&] { onUiThread = QThread::currentThread() == app.thread(); }); });
    worker->start();
    worker->wait();
    delete worker;
    Drain();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(onUiThread);
}

TEST(ChatApplicationTest, ExceptionsReachingTheLoopAreReportedAndTheLoopGoesOn) {
    TChatApplication& app = TestApp();
    std::vector<std::string> reported;
    app.SetExceptionHandler([&](const std::string& m) { reported.push_back(m); });
    bool after = false;
    app.Post([] { throw std::runtime_error("bad record"); });
    app.Post([] { throw 42; });
    app.Post([&] { after = true; });
    Drain();
    app.SetExceptionHandler({});
    EXPECT_EQ(reported, (std::vector<std::string>{"bad record", "Unknown exception"}));
    EXPECT_TRUE(after);
}

TEST(ChatApplicationTest, WithoutAHandlerTheMessageGoesToTheDailyLog) {
    QTemporaryDir folder;
    AppDir = folder.path().toStdString() + "/";
    TestApp().Post([] { throw std::runtime_error("lost socket"); });
    Drain();
    std::ifstream in(LogFilePath(QDateTime::currentDateTime()), std::ios::binary);
    const std::string log{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    AppDir.clear();
    EXPECT_NE(log.find("] lost socket\r\n"), std::string::npos) << log;
}

}  // namespace
