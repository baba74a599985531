#include "WebServer.h"

#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Database.h"
#include "PasswordHash.h"
#include "ServerConfig.h"
#include "ServerLog.h"
#include "common/Cipher.h"
#include "common/CodeTables.h"
#include "common/GbkText.h"

namespace {

std::string Escape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Page(std::string_view title, std::string_view body) {
    std::string out =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + Escape(title) +
        "</title><style>"
        "body{font-family:sans-serif;font-size:13px;margin:12px;background:#f4f8fc;color:#223}"
        "h1{font-size:18px;color:#1a5a96}table{border-collapse:collapse}"
        "td,th{border:1px solid #bcd;padding:4px 10px}th{background:#dde8f4}"
        ".err{color:#b00}a{color:#1a5a96}"
        "</style></head><body>\n";
    out += body;
    out += "\n</body></html>\n";
    return out;
}

void Html(httplib::Response& res, std::string_view title, std::string_view body, int status = 200) {
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_content(Page(title, body), "text/html; charset=utf-8");
}

std::optional<std::int32_t> NumberParam(const httplib::Request& req, const char* name) {
    if (!req.has_param(name))
        return std::nullopt;
    std::string v = req.get_param_value(name);
    if (v.empty() || v.size() > 10)
        return std::nullopt;
    long long n = 0;
    for (char c : v) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

std::string Lower(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The account named by ?user= whose password digest is ?key=.
std::optional<AccountRecord> Authenticate(Database& db, const httplib::Request& req) {
    auto number = NumberParam(req, "user");
    if (!number || !req.has_param("key"))
        return std::nullopt;
    std::string key = Lower(req.get_param_value("key"));
    if (key.size() != 32)
        return std::nullopt;
    auto account = db.FindAccountByNumber(*number);
    if (!account || account->status != AccountStatus::Active)
        return std::nullopt;
    if (!VerifyPassword(key, account->passwordHash))
        return std::nullopt;
    return account;
}

std::string TitleOf(const AccountRecord& a) {
    return GbkToUtf8(LevelTitle(static_cast<std::uint8_t>(a.role),
                                static_cast<std::uint16_t>(a.level),
                                static_cast<std::uint16_t>(a.star)));
}

bool MayEnterHidden(const AccountRecord& a) {
    return a.role == 255 || a.role == 70 || a.role == 235 || (a.role == 10 && a.level >= 1050);
}

const char* const kNav =
    "<p><a href=\"/\">首页</a> | <a href=\"/tools.html\">工具</a> | "
    "<a href=\"/exchange.html\">兑换</a> | <a href=\"/help.html\">帮助</a></p>";

bool ValidName(std::string_view n) {
    if (n.size() < 3 || n.size() > 31)
        return false;
    if (!std::isalpha(static_cast<unsigned char>(n[0])))
        return false;
    for (char c : n)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.')
            return false;
    return true;
}

bool ValidPassword(std::string_view p) {
    if (p.size() < 6 || p.size() > 32)
        return false;
    for (char c : p)
        if (c <= ' ' || c > '~')
            return false;
    return true;
}

// Nickname: 1 to 31 GBK bytes that survive the conversion, no markup.
bool ValidNickname(std::string_view utf8) {
    if (utf8.empty())
        return false;
    for (unsigned char c : utf8)
        if (c < ' ' || c == '<' || c == '>' || c == '&' || c == '"')
            return false;
    std::string gbk = Utf8ToGbk(utf8);
    return gbk.size() <= 31 && GbkToUtf8(gbk) == utf8;
}

std::string AccountShown(std::int32_t number, std::string_view password, std::string_view note) {
    // The login window reads these two elements when the page has loaded.
    return "<h1>" + std::string(note) + "</h1>\n<p>帐号：<b id=\"Account\">" +
           std::to_string(number) + "</b></p>\n<p>密码：<b id=\"LogonPassword\">" +
           Escape(password) + "</b></p>\n<p>请牢记您的帐号和密码。关闭本窗口即可登录。</p>";
}

std::string RegisterForm(int kind, int promotion, std::string_view error,
                         const httplib::Request* previous) {
    auto keep = [&](const char* field) {
        return previous && previous->has_param(field) ? Escape(previous->get_param_value(field))
                                                      : std::string();
    };
    std::string body = "<h1>注册新帐号</h1>\n";
    if (!error.empty())
        body += "<p class=\"err\" id=\"error\">" + Escape(error) + "</p>\n";
    body +=
        "<form method=\"post\" action=\"/register\">\n"
        "<input type=\"hidden\" name=\"kind\" value=\"" +
        std::to_string(kind) + "\"><input type=\"hidden\" name=\"promotion\" value=\"" +
        std::to_string(promotion) +
        "\">\n<table>"
        "<tr><td>帐号名</td><td><input name=\"name\" maxlength=\"31\" value=\"" +
        keep("name") +
        "\"> 3-31 个字母、数字或 _ - .，以字母开头</td></tr>"
        "<tr><td>昵称</td><td><input name=\"nickname\" maxlength=\"15\" value=\"" +
        keep("nickname") +
        "\"></td></tr>"
        "<tr><td>密码</td><td><input type=\"password\" name=\"password\" maxlength=\"32\"> "
        "6-32 个字符</td></tr>"
        "<tr><td>确认密码</td><td><input type=\"password\" name=\"password2\" "
        "maxlength=\"32\"></td></tr>"
        "</table>\n<p><input type=\"submit\" id=\"submit\" value=\"注册\"></p>\n</form>";
    return body;
}

}  // namespace

WebServer::WebServer(Database& db, const ServerConfig& config,
                     std::function<int(std::int32_t)> occupancy)
    : db_(db), config_(config), occupancy_(std::move(occupancy)) {}

WebServer::~WebServer() {
    Stop();
}

std::string WebServer::EnsureUpdateFile(const std::string& dataDir) {
    namespace fs = std::filesystem;
    fs::path dir = fs::path(dataDir) / "update";
    fs::path file = dir / "ChatRoomSetup.bin";
    std::error_code ec;
    if (fs::exists(file, ec))
        return file.string();
    fs::create_directories(dir, ec);
    std::ofstream out(file, std::ios::binary);
    out << "#!/bin/sh\n"
           "# ChatRoom updater placeholder of the local reference service.\n"
           "# A deployment puts its real installer here.\n"
           "echo 'ChatRoom: this service offers no newer package.'\n"
           "exit 0\n";
    // Large enough that a download shows some progress.
    std::string pad(76, '#');
    for (int i = 0; i < 2048; ++i)
        out << pad << '\n';
    return file.string();
}

bool WebServer::Start(std::string* error) {
    updateFile_ = EnsureUpdateFile(config_.dataDir);
    http_ = std::make_unique<httplib::Server>();
    http_->new_task_queue = [] { return new httplib::ThreadPool(4); };
    http_->set_payload_max_length(16 * 1024);
    http_->set_read_timeout(5, 0);
    http_->set_write_timeout(10, 0);
    http_->set_keep_alive_max_count(20);
    Routes();
    int port = 0;
    if (config_.webPort == 0) {
        port = http_->bind_to_any_port(config_.host);
    } else {
        port = http_->bind_to_port(config_.host, config_.webPort) ? config_.webPort : -1;
    }
    if (port <= 0) {
        if (error)
            *error = "web port " + std::to_string(config_.webPort) + ": cannot listen";
        return false;
    }
    port_ = static_cast<std::uint16_t>(port);
    thread_ = std::thread([this] { http_->listen_after_bind(); });
    // stop() is ignored until the server runs; wait so an early Stop works.
    for (int i = 0; i < 2000 && !http_->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void WebServer::Stop() {
    if (http_)
        http_->stop();
    if (thread_.joinable())
        thread_.join();
}

void WebServer::Routes() {
    auto& s = *http_;

    s.set_exception_handler(
        [this](const httplib::Request& req, httplib::Response& res, std::exception_ptr ep) {
            std::string what = "unknown";
            try {
                if (ep)
                    std::rethrow_exception(ep);
            } catch (const std::exception& e) {
                what = e.what();
            } catch (...) {
            }
            if (config_.log)
                config_.log->Write("web " + req.path + ": " + what);
            Html(res, "错误", "<h1>服务器内部错误</h1>", 500);
        });
    s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.status == 404)
            Html(res, "未找到", "<h1>页面不存在</h1>", 404);
    });

    s.Get("/", [](const httplib::Request&, httplib::Response& res) {
        Html(
            res, "青梧视频聊天室",
            std::string("<h1>青梧视频聊天室</h1>\n<p>欢迎来到本地参考服务。登录客户端即可进入大厅，"
                        "选择房间与朋友视频聊天。</p>\n") +
                kNav + "<p><a href=\"/register?kind=0&amp;promotion=0\">注册新帐号</a></p>");
    });

    s.Get("/loginbar.html", [](const httplib::Request&, httplib::Response& res) {
        // The login window shows this page only when it finds "successed".
        Html(res, "登录公告",
             "<div id=\"successed\" style=\"height:60px;background:#1a5a96;color:#fff;"
             "font-size:16px;line-height:60px;text-align:center\">"
             "欢迎使用青梧视频聊天室 —— 新用户注册即送金币！</div>");
    });

    s.Get("/tools.html", [](const httplib::Request&, httplib::Response& res) {
        Html(res, "工具",
             std::string(
                 "<h1>实用工具</h1>\n<ul><li>网络测速：在大厅的网络选择中切换电信或网通线路。</li>"
                 "<li>视频调试：在房间的音视频设置中选择摄像头和麦克风。</li></ul>\n") +
                 kNav);
    });

    s.Get("/help.html", [](const httplib::Request&, httplib::Response& res) {
        Html(
            res, "帮助",
            std::string("<h1>使用帮助</h1>\n<ol><li>在登录窗口输入用户号或帐号名和密码后登录。</li>"
                        "<li>在大厅的房间列表中点击“进入”即可进入房间。</li>"
                        "<li>带锁的房间需要输入房间密码。</li>"
                        "<li>忘记密码请联系客服。</li></ol>\n") +
                kNav);
    });

    s.Get("/exchange.html", [](const httplib::Request&, httplib::Response& res) {
        Html(res, "积分兑换",
             std::string("<h1>积分兑换</h1>\n<p>收到礼物获得的积分可以在房间中兑换为金币，"
                         "兑换比例为 100 积分兑换 1 金币。</p>\n") +
                 kNav);
    });

    s.Get("/password.html", [](const httplib::Request&, httplib::Response& res) {
        Html(res, "密码找回",
             std::string("<h1>密码找回</h1>\n<p>本地参考服务不保存您的密码原文，无法找回密码。"
                         "请联系站长（用户号 10000）重置密码，或重新注册一个帐号。</p>\n") +
                 kNav);
    });

    s.Get("/addgold", [this](const httplib::Request& req, httplib::Response& res) {
        auto user = NumberParam(req, "user");
        auto owner = NumberParam(req, "owner");
        std::string body = "<h1>金币充值</h1>\n";
        if (user)
            body += "<p>充值用户号：<b id=\"user\">" + std::to_string(*user) + "</b></p>\n";
        if (owner && *owner != 0)
            body += "<p>推荐室主：<b id=\"owner\">" + std::to_string(*owner) + "</b></p>\n";
        body +=
            "<p>本地参考服务不接受付款。演示帐号已带有金币，管理员可直接修改数据库中的金币数。</"
            "p>\n";
        body += kNav;
        Html(res, "金币充值", body);
    });

    s.Get("/lobby", [this](const httplib::Request& req, httplib::Response& res) {
        auto account = Authenticate(db_, req);
        if (!account) {
            Html(res, "身份验证失败", "<h1 class=\"err\">身份验证失败，请重新登录。</h1>", 403);
            return;
        }
        bool hidden = MayEnterHidden(*account);
        std::string body = "<h1>房间列表</h1>\n<p>欢迎您，" + Escape(account->nickname) + "（" +
                           std::to_string(account->number) + "），" + Escape(TitleOf(*account)) +
                           "</p>\n<table id=\"rooms\"><tr><th>房间号</th><th>房间名称</th>"
                           "<th>在线人数</th><th></th></tr>\n";
        for (const auto& room : db_.ListRooms()) {
            int present = occupancy_ ? occupancy_(room.id) : 0;
            // id, unused, hall value, password flag[, hidden flag]
            std::string link = "room:" + std::to_string(room.id) + ",0," +
                               std::to_string(room.hallValue) + "," +
                               (room.HasPassword() ? "1" : "0");
            body += "<tr><td>" + std::to_string(room.id) + "</td><td>" + Escape(room.name) +
                    (room.HasPassword() ? "（需密码）" : "") + "</td><td class=\"occupancy\">" +
                    std::to_string(present) + "</td><td><a href=\"" + link + "\">进入</a>";
            if (hidden)
                body += " <a href=\"" + link + ",1\">隐身进入</a>";
            body += "</td></tr>\n";
        }
        body += "</table>\n";
        Html(res, "大厅", body);
    });

    s.Get("/userinfo", [this](const httplib::Request& req, httplib::Response& res) {
        auto account = Authenticate(db_, req);
        if (!account) {
            Html(res, "身份验证失败", "<h1 class=\"err\">身份验证失败，请重新登录。</h1>", 403);
            return;
        }
        std::string key = Lower(req.get_param_value("key"));
        std::string body =
            "<h1>个人资料</h1>\n<table>"
            "<tr><td>用户号</td><td id=\"number\">" +
            std::to_string(account->number) + "</td></tr><tr><td>昵称</td><td id=\"nickname\">" +
            Escape(account->nickname) + "</td></tr><tr><td>等级</td><td>" +
            Escape(TitleOf(*account)) + "</td></tr><tr><td>金币</td><td>" +
            std::to_string(account->gold) + "</td></tr><tr><td>积分</td><td>" +
            std::to_string(account->points) +
            "</td></tr></table>\n"
            "<form method=\"post\" action=\"/userinfo\"><input type=\"hidden\" name=\"user\" "
            "value=\"" +
            std::to_string(account->number) + "\"><input type=\"hidden\" name=\"key\" value=\"" +
            Escape(key) +
            "\">新昵称：<input name=\"nickname\" maxlength=\"15\"> "
            "<input type=\"submit\" value=\"修改\"></form>";
        Html(res, "个人资料", body);
    });

    s.Post("/userinfo", [this](const httplib::Request& req, httplib::Response& res) {
        auto account = Authenticate(db_, req);
        if (!account) {
            Html(res, "身份验证失败", "<h1 class=\"err\">身份验证失败，请重新登录。</h1>", 403);
            return;
        }
        std::string nickname = req.get_param_value("nickname");
        if (!ValidNickname(nickname)) {
            Html(res, "个人资料",
                 "<p class=\"err\">昵称无效：1-15 个汉字或 31 个字母，不能含有 &lt; &gt; &amp; "
                 "或引号。</p>",
                 400);
            return;
        }
        if (!db_.SetNickname(account->number, nickname)) {
            Html(res, "个人资料", "<p class=\"err\">保存失败，请稍后再试。</p>", 500);
            return;
        }
        Html(res, "个人资料", "<p id=\"saved\">昵称已修改为 " + Escape(nickname) + "。</p>");
    });

    s.Get("/register", [this](const httplib::Request& req, httplib::Response& res) {
        int kind = NumberParam(req, "kind").value_or(0);
        int promotion = NumberParam(req, "promotion").value_or(0);
        if (kind != 2) {
            Html(res, "用户注册", RegisterForm(kind, promotion, {}, nullptr));
            return;
        }
        // Visitor: an account at once, shown to the hidden registration window.
        if (db_.GetSetting("visitors_enabled").value_or("0") != "1") {
            Html(res, "游客登录", "<h1 class=\"err\">暂不开放游客登录。</h1>", 403);
            return;
        }
        {
            std::lock_guard lock(visitorMutex_);
            auto minute = std::chrono::duration_cast<std::chrono::minutes>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
            if (minute != visitorWindowStart_) {
                visitorWindowStart_ = minute;
                visitorsInWindow_ = 0;
            }
            if (visitorsInWindow_ >= config_.visitorsPerMinute) {
                Html(res, "游客登录", "<h1 class=\"err\">游客太多，请稍后再试。</h1>", 429);
                return;
            }
            ++visitorsInWindow_;
        }
        std::string password = RandomPassword(8);
        NewAccount visitor;
        visitor.passwordMd5 = Md5Hex(password);
        visitor.visitor = true;
        visitor.promotion = promotion;
        std::string error;
        auto created = db_.CreateAccount(visitor, &error);
        if (!created) {
            Html(res, "游客登录", "<h1 class=\"err\">创建游客帐号失败，请稍后再试。</h1>", 500);
            return;
        }
        if (config_.log)
            config_.log->Write("web: visitor " + std::to_string(created->number));
        Html(res, "游客登录", AccountShown(created->number, password, "游客帐号已创建"));
    });

    s.Post("/register", [this](const httplib::Request& req, httplib::Response& res) {
        int kind = NumberParam(req, "kind").value_or(0);
        int promotion = NumberParam(req, "promotion").value_or(0);
        std::string name = req.get_param_value("name");
        std::string nickname = req.get_param_value("nickname");
        std::string password = req.get_param_value("password");
        auto again = [&](const char* error) {
            Html(res, "用户注册", RegisterForm(kind, promotion, error, &req), 400);
        };
        if (!ValidName(name))
            return again("帐号名无效：3-31 个字母、数字或 _ - .，以字母开头。");
        if (!nickname.empty() && !ValidNickname(nickname))
            return again("昵称无效：最多 15 个汉字或 31 个字母，不能含有 < > & 或引号。");
        if (!ValidPassword(password))
            return again("密码无效：6-32 个字母、数字或符号，不能有空格。");
        if (password != req.get_param_value("password2"))
            return again("两次输入的密码不一致。");
        NewAccount account;
        account.name = name;
        account.nickname = nickname;
        account.passwordMd5 = Md5Hex(password);
        account.promotion = promotion;
        std::string error;
        auto created = db_.CreateAccount(account, &error);
        if (!created) {
            if (error == "name taken")
                return again("该帐号名已被注册，请换一个。");
            Html(res, "用户注册", "<h1 class=\"err\">注册失败，请稍后再试。</h1>", 500);
            return;
        }
        if (config_.log)
            config_.log->Write("web: registered " + name + " as " +
                               std::to_string(created->number));
        Html(res, "用户注册",
             AccountShown(created->number, password, "注册成功") + "<p>帐号名：" + Escape(name) +
                 "</p>");
    });

    s.Get("/update/ChatRoomSetup.bin", [this](const httplib::Request&, httplib::Response& res) {
        std::error_code ec;
        auto size = std::filesystem::file_size(updateFile_, ec);
        if (ec) {
            res.status = 404;
            return;
        }
        auto file = std::make_shared<std::ifstream>(updateFile_, std::ios::binary);
        res.set_content_provider(
            static_cast<std::size_t>(size), "application/octet-stream",
            [file](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                char buf[16384];
                file->seekg(static_cast<std::streamoff>(offset));
                std::size_t n = std::min(length, sizeof buf);
                file->read(buf, static_cast<std::streamsize>(n));
                auto got = static_cast<std::size_t>(file->gcount());
                if (got == 0)
                    return false;
                return sink.write(buf, got);
            });
    });
}
