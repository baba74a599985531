// Takes the README's room screenshot: runs the program, logs in through the
// login window, clicks the first room of the lobby, and once the room window
// is up lets a few more accounts (each with an engine of its own, as another
// client would) enter the same room, chat, and take the public mic. Then it
// grabs the room window. Run it under a virtual display with the service up:
//   xvfb-run -a -s "-screen 0 1280x800x24" ChatRoomRoomShot OUT.png ACCOUNT PASSWORD
//       [NUMBER:PASSWORD ...]
// ROOM_SHOT_ROOM_PORT points the engine module at the service's room port.
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "Program.h"
#include "common/Cipher.h"
#include "common/GbkText.h"
#include "engine/ClientEngineHelper.h"
#include "room/RoomForm.h"

// The module's room port, for a service on a port of its own.
extern "C" void SetRoomServicePort(std::uint16_t port);

namespace {

QWidget* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

void Poll(int tries, std::function<bool()> step, std::function<void()> failed) {
    auto* timer = new QTimer(qApp);
    auto left = std::make_shared<int>(tries);
    QObject::connect(timer, &QTimer::timeout, [=] {
        if (step()) {
            timer->deleteLater();
        } else if (--*left <= 0) {
            timer->deleteLater();
            failed();
        }
    });
    timer->start(250);
}

// Another client in the same room: its engine reports to a sink that only
// remembers whether it got in.
class TVisitor : public IClientViewSink {
  public:
    TVisitor(std::int32_t number, std::string password)
        : number_(number), password_(std::move(password)) {}

    bool Enter(std::int32_t roomId, const std::vector<std::string>& servers) {
        if (!helper_.CreateInstance())
            return false;
        helper_.Engine->SetViewSink(this);
        helper_.Engine->ClearServers();
        for (const std::string& s : servers)
            helper_.Engine->AddServer(static_cast<std::uint32_t>(std::stoul(s)));
        helper_.Engine->EnterRoom(roomId, number_, "", Md5Hex(password_).c_str(), 0, 0, 0);
        return true;
    }
    IClientEngine* Engine() const { return entered_ ? helper_.Engine : nullptr; }
    void Leave() {
        if (helper_.Engine)
            helper_.Engine->LeaveRoom();
    }

    long QueryInterface(const TGuid&, void** object) override {
        *object = nullptr;
        return kE_NOINTERFACE;
    }
    unsigned long AddRef() override { return 1; }
    unsigned long Release() override { return 1; }
    void OnMessage(const char*, std::uint8_t, std::uint16_t) override {}
    void OnRoomEntered(const char*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                       std::uint16_t, std::int32_t) override {
        entered_ = true;
    }
    void OnBalance(std::int32_t, std::int32_t) override {}
    void OnEnterFailed(const char* text) override {
        std::fprintf(stderr, "visitor %d refused: %s\n", number_, GbkToUtf8(text).c_str());
    }
    void OnRollingTip(const char*, std::uint16_t) override {}
    void OnRoomNote(const char*) override {}
    void OnHorn(const char*) override {}
    void OnUserEnter(std::int32_t, const char*, std::uint16_t, std::uint16_t, std::uint16_t,
                     std::uint16_t, std::int16_t, std::uint8_t, std::uint8_t, std::uint8_t,
                     std::int32_t) override {}
    void OnUserLeave(std::int32_t) override {}
    void OnUserMic(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int16_t) override {}
    void OnUserRole(std::int32_t, std::uint16_t) override {}
    void OnUserChanged(std::int32_t, const char*, std::uint16_t) override {}
    void OnUserDetails(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void OnRoomName(std::int32_t, const char*) override {}
    void OnVideoOpen(std::uint8_t, std::int32_t, const char*, std::uint16_t, std::uint16_t,
                     std::int16_t, std::uint16_t, std::int32_t, std::int32_t,
                     std::uint16_t) override {}
    void OnVideoClose(std::int32_t, std::uint16_t) override {}
    void OnPrivateMicCut(std::int32_t, const char*) override {}
    void OnDisconnected(const char*, std::int32_t) override { entered_ = false; }
    void OnChatToMe(std::int32_t, const char*, std::int32_t) override {}
    void OnColorWord(const char*, const char*, const char*, std::int32_t, std::int32_t,
                     std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t, std::int32_t,
                     std::int32_t) override {}
    void OnUserBanChat(std::int32_t, std::int32_t, std::uint8_t) override {}
    void OnGiftRecord(std::int32_t, std::int32_t, const char*, const char*, std::int32_t,
                      std::int32_t, std::int32_t, const char*, std::int32_t,
                      std::int32_t) override {}
    void OnPrivateMicViewer(std::int32_t, const char*, std::uint16_t, std::uint16_t,
                            std::uint16_t) override {}
    void OnUserSeal(std::int32_t, std::int32_t) override {}
    void OnShake() override {}
    std::uint8_t IsTopGift(std::int32_t) override { return 0; }
    const char* GetGiftUnit(std::int32_t) override { return ""; }
    void OnRankReset() override {}
    std::uint8_t IsMasked(std::int32_t) override { return 0; }

  private:
    std::int32_t number_;
    std::string password_;
    bool entered_ = false;
    TClientEngineHelper helper_;
};

const char* const kLines[] = {"大家好，今晚的节目几点开始？",
                              "欢迎新朋友！",
                              "麦上的声音很清楚 :)",
                              "来首歌吧",
                              "晚上好～",
                              "刚下班，来听听歌"};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: ChatRoomRoomShot OUT.png ACCOUNT PASSWORD [N:P ...]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString account = QString::fromLocal8Bit(argv[2]);
    const QString password = QString::fromLocal8Bit(argv[3]);
    std::vector<std::unique_ptr<TVisitor>> visitors;
    for (int i = 4; i < argc; ++i) {
        const std::string pair = argv[i];
        const auto colon = pair.find(':');
        if (colon == std::string::npos)
            continue;
        visitors.push_back(
            std::make_unique<TVisitor>(std::stoi(pair.substr(0, colon)), pair.substr(colon + 1)));
    }
    if (const char* port = std::getenv("ROOM_SHOT_ROOM_PORT"))
        SetRoomServicePort(static_cast<std::uint16_t>(std::atoi(port)));
    int status = 1;
    auto fail = [](const char* what) {
        return [what] {
            std::fprintf(stderr, "room shot: %s\n", what);
            QCoreApplication::exit(1);
        };
    };
    int programArgc = 1;
    RunChatRoom(programArgc, argv, [&] {
        QTimer::singleShot(4000, qApp, [&] {
            QWidget* login = TopLevel("frmLogin");
            if (!login)
                return fail("no login window")();
            login->findChild<QComboBox*>("cbbUserID")->setEditText(account);
            login->findChild<QLineEdit*>("edtPassword")->setText(password);
            login->findChild<QPushButton*>("btnLogin")->click();
            Poll(
                80,
                [&] {
                    QWidget* hall = TopLevel("frmHall");
                    if (!hall)
                        return false;
                    QTimer::singleShot(4000, qApp, [&, hall] {
                        auto* lobby = hall->findChild<QWebEngineView*>("wbHall");
                        lobby->page()->runJavaScript(
                            "var a=document.querySelector('a[href^=\"room:\"]');"
                            "if(a)a.click();");
                        Poll(
                            80,
                            [&] {
                                auto* room = qobject_cast<TfrmRoom*>(TopLevel("frmRoom"));
                                if (!room)
                                    return false;
                                for (auto& v : visitors)
                                    v->Enter(room->RoomId(), room->ServerList());
                                // A mic at once; chat once the service lets
                                // newcomers speak; one leaves; then the picture.
                                QTimer::singleShot(2500, qApp, [&] {
                                    if (!visitors.empty() && visitors[0]->Engine())
                                        visitors[0]->Engine()->RequestMic(1);
                                });
                                QTimer::singleShot(11500, qApp, [&] {
                                    int line = 0;
                                    for (auto& v : visitors) {
                                        IClientEngine* e = v->Engine();
                                        if (e == nullptr || line == int(std::size(kLines)))
                                            continue;
                                        const std::string text = Utf8ToGbk(kLines[line++]);
                                        e->SendChat(
                                            0, "", 0, 0,
                                            ("<FONT STYLE=\"font-size:9pt\">" + text + "</FONT>")
                                                .c_str());
                                    }
                                    if (visitors.size() > 1)
                                        visitors.back()->Leave();
                                });
                                QTimer::singleShot(14500, qApp, [&] {
                                    QWidget* shown = TopLevel("frmRoom");
                                    if (!shown)
                                        return fail("the room closed")();
                                    QPixmap shot =
                                        QGuiApplication::primaryScreen()->grabWindow(0).copy(
                                            shown->frameGeometry());
                                    status = shot.save(out) ? 0 : 1;
                                    std::fprintf(stderr, "%s %s\n",
                                                 status == 0 ? "wrote" : "could not write",
                                                 qPrintable(out));
                                    for (auto& v : visitors)
                                        v->Leave();
                                    visitors.clear();
                                    QTimer::singleShot(500, qApp,
                                                       [] { QCoreApplication::exit(0); });
                                });
                                return true;
                            },
                            fail("no room window opened"));
                    });
                    return true;
                },
                fail("the hall did not open"));
        });
    });
    visitors.clear();
    return status;
}
