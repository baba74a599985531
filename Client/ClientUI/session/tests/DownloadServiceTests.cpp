// The engine module's download service, loaded through the dialog's helper,
// against a local HTTP server: messages in order, the file in place, and
// failures reported as 6581 with 0.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "session/DownloadHelper.h"
#include "session/WindowMessages.h"

namespace {

struct Message {
    std::uint32_t id;
    std::intptr_t value;
};

class DownloadService : public ::testing::Test {
  protected:
    void SetUp() override {
        TestQtApp();
        UseBuiltProgramFolder();
        body_.resize(300000);
        for (std::size_t i = 0; i < body_.size(); ++i)
            body_[i] = static_cast<char>(i * 7);
        http_.Get("/update.bin", [this](const httplib::Request&, httplib::Response& res) {
            res.set_content(body_, "application/octet-stream");
        });
        http_.Get("/slow.bin", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000000, "application/octet-stream",
                                     [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                         std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                         std::string chunk(1000, 'z');
                                         sink.write(chunk.data(), chunk.size());
                                         (void)offset;
                                         return true;
                                     });
        });
        port_ = http_.bind_to_any_port("127.0.0.1");
        server_ = std::thread([this] { http_.listen_after_bind(); });
        ASSERT_TRUE(helper_.CreateInstance()) << "engine module missing in " << AppDir;
    }
    void TearDown() override {
        http_.stop();
        server_.join();
    }

    std::int32_t Start(const std::string& address) {
        TDownloadRequest request{};
        request.Window.Set(window_.Handle());
        request.FileName.Set("update.run");
        request.TargetFolder.Set(dir_.path().toStdString() + "/");
        request.SourceAddress.Set(address);
        return helper_.Service->StartDownload(request);
    }
    std::string Url(const char* path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    bool Ended() const {
        return !messages_.empty() && (messages_.back().id == kDownloadDoneMsg ||
                                      messages_.back().id == kDownloadErrorMsg);
    }
    std::string Target() const { return dir_.path().toStdString() + "/update.run"; }

    std::vector<Message> messages_;
    TMessageWindow window_{[this](std::uint32_t id, std::intptr_t, std::intptr_t value) {
        messages_.push_back({id, value});
    }};
    TDownloadServiceHelper helper_;
    QTemporaryDir dir_;
    std::string body_;
    httplib::Server http_;
    std::thread server_;
    int port_ = 0;
};

}  // namespace

TEST_F(DownloadService, PostsSizeProgressThenDoneAndWritesTheFile) {
    std::int32_t task = Start(Url("/update.bin"));
    EXPECT_NE(task, 0);
    ASSERT_TRUE(PumpQt([&] { return Ended(); }));
    helper_.Service->StopDownload(task);

    ASSERT_GE(messages_.size(), 3u);
    EXPECT_EQ(messages_.front().id, kDownloadSizeMsg);
    EXPECT_EQ(messages_.front().value, 300000);
    EXPECT_EQ(messages_.back().id, kDownloadDoneMsg);
    std::intptr_t last = 0;
    for (std::size_t i = 1; i + 1 < messages_.size(); ++i) {
        EXPECT_EQ(messages_[i].id, kDownloadProgressMsg);
        EXPECT_GE(messages_[i].value, last);
        last = messages_[i].value;
    }
    EXPECT_EQ(last, 300000);
    std::ifstream in(Target(), std::ios::binary);
    std::stringstream got;
    got << in.rdbuf();
    EXPECT_EQ(got.str(), body_);
}

TEST_F(DownloadService, FailuresPostErrorWithZeroAndLeaveNoFile) {
    // A port nothing listens on, a missing page, an address without a scheme.
    int closedPort = 0;
    {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        closedPort = ntohs(a.sin_port);
        close(fd);
    }
    for (std::string address : {"http://127.0.0.1:" + std::to_string(closedPort) + "/x",
                                Url("/missing.bin"), std::string("not an address")}) {
        SCOPED_TRACE(address);
        messages_.clear();
        std::int32_t task = Start(address);
        ASSERT_TRUE(PumpQt([&] { return Ended(); }));
        helper_.Service->StopDownload(task);
        EXPECT_EQ(messages_.back().id, kDownloadErrorMsg);
        EXPECT_EQ(messages_.back().value, 0);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(Target())));
    }
}

TEST_F(DownloadService, StoppedTaskSendsNothingMore) {
    std::int32_t task = Start(Url("/slow.bin"));
    ASSERT_TRUE(PumpQt([&] { return messages_.size() >= 2; }));
    helper_.Service->StopDownload(task);
    const std::size_t seen = messages_.size();
    PumpQt([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(messages_.size(), seen);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Target())));
}

// The download dialog over the same service, with the program folder of
// its own that the web address table and the module come from.
#include <QProgressBar>

#include "common/Cipher.h"
#include "common/IniFile.h"
#include "session/DownloadForm.h"

namespace {

class DownloadDialog : public DownloadService {
  protected:
    void SetUp() override {
        DownloadService::SetUp();
        appDir_ = app_.path().toStdString() + "/";
    }
    // A program folder whose update address points at `path`; with the
    // engine module in it or without.
    void UseFolder(const char* path, bool withModule) {
        IniFile table(appDir_ + "WebAddress.dat");
        table.WriteString("WebAddress", "1", SealText(Url("/"), kWebAddressKey, KeyKind::Aes256));
        table.WriteString("WebAddress", "13", SealText(path + 1, kWebAddressKey, KeyKind::Aes256));
        if (withModule)
            QFile::link(QString(CHATROOM_TEST_APP_DIR) + "/libClientModule.so",
                        QString::fromStdString(appDir_ + "libClientModule.so"));
        AppDir = appDir_;
    }
    void TearDown() override {
        UseBuiltProgramFolder();
        DownloadService::TearDown();
    }

    QTemporaryDir app_;
    std::string appDir_;
};

}  // namespace

TEST_F(DownloadDialog, CompletionStartsTheUpdaterAndClosesWithoutAsking) {
    UseFolder("/update.bin", true);
    TfrmDownload dialog;
    std::vector<std::string> started;
    int asked = 0;
    dialog.StartFile = [&](const std::string& path) {
        started.push_back(path);
        return true;
    };
    dialog.ConfirmClose = [&] { return ++asked, true; };
    dialog.show();
    ASSERT_TRUE(PumpQt([&] { return !started.empty(); }));
    EXPECT_EQ(started, std::vector<std::string>{appDir_ + "update.run"});
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(dialog.Gauge->value(), 100);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(appDir_ + "update.run")));
}

TEST_F(DownloadDialog, ClosingDuringTheDownloadAsksAndNoKeepsItRunning) {
    UseFolder("/slow.bin", true);
    TfrmDownload dialog;
    bool answer = false;
    dialog.ConfirmClose = [&] { return answer; };
    dialog.show();
    ASSERT_TRUE(PumpQt([&] { return dialog.Gauge->value() > 0; }));
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    const int before = dialog.Gauge->value();
    ASSERT_TRUE(PumpQt([&] { return dialog.Gauge->value() > before; }));  // still running
    answer = true;
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_NE(dialog.result(), 1);
}

TEST_F(DownloadDialog, MissingModuleReportsTheFailure) {
    UseFolder("/update.bin", false);
    TfrmDownload dialog;
    int errors = 0;
    dialog.ReportError = [&] { ++errors; };
    dialog.show();
    ASSERT_TRUE(PumpQt([&] { return errors > 0; }));
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(dialog.isVisible());  // the user closes it
}
