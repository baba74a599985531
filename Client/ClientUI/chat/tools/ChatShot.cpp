// Two real clients chatting in one room, for the README's chat screenshot and
// as the end-to-end check of the chat. Each run is one program: it logs in
// through the login window, clicks a room of the lobby, then plays its part
// of a script at fixed times after a start time shared by all runs, through
// the chat frame's own controls. At the end it writes what its panes show
// (UTF-8, one line per chat line) and a picture of its room window.
//   ChatRoomChatShot PART START_MS OUT_DIR ACCOUNT PASSWORD ROOM
// PART is A (speaks, sends a horn), B (auto reply, masks public chat), B2 (B
// again after a restart) or C (another room, hears the horn). START_MS is
// the shared start in milliseconds since the epoch. ROOM_SHOT_ROOM_PORT
// points the engine module at the service's room port. See chat-shot.sh.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "Program.h"
#include "WindowDriving.h"
#include "chat/ChatViewFrame.h"
#include "chat/FontFrame.h"
#include "chat/HtmlChatEdit.h"
#include "chat/HtmlChatView.h"
#include "chat/LabaForm.h"
#include "chat/MaskOffSet.h"
#include "common/GbkText.h"
#include "engine/ClientEngineInf.h"
#include "room/RoomChat.h"
#include "room/RoomForm.h"
#include "room/UserListPanel.h"

extern "C" void SetRoomServicePort(std::uint16_t port);

namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "chat shot: %s; windows:", what);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            std::fprintf(stderr, " %s", qPrintable(w->objectName()));
    std::fprintf(stderr, "\n");
    QCoreApplication::exit(1);
}

std::string G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

// The user types text into the editor.
void Type(TframeChatView& f, const char* utf8) {
    f.hceChat->PasteText(G(utf8));
}

class TScript {
  public:
    TScript(std::string part, qint64 start, std::string out)
        : part_(std::move(part)), start_(start), out_(std::move(out)) {}

    void Run(TfrmRoom& room) {
        room_ = &room;
        chat_ = RoomChatOf(room);
        if (chat_ == nullptr)
            return Fail("the room has no chat frame");
        f_ = chat_->Frame();
        std::fprintf(stderr, "%s: in room %d\n", part_.c_str(), room.RoomId());
        if (part_ == "A")
            PartA();
        else if (part_ == "B")
            PartB();
        else if (part_ == "B2")
            PartB2();
        else
            At(56, [this] { Finish(); });
    }

  private:
    void At(double seconds, std::function<void()> step) {
        const qint64 due = start_ + static_cast<qint64>(seconds * 1000);
        const qint64 wait = std::max<qint64>(0, due - QDateTime::currentMSecsSinceEpoch());
        QTimer::singleShot(static_cast<int>(wait), qApp, [this, step] {
            if (!TopLevel("frmRoom"))
                return Fail("the room closed");
            step();
        });
    }
    void Send() { f_->btnSendMsg->click(); }
    void Emoticon(const char* file) { chat_->EmotionChosen(file, "1"); }

    void PartA() {
        At(0, [this] {
            // Bold red, through the font bar.
            f_->btnSelectFont->click();
            f_->frmFont->PickColor = [](const QColor&) { return QColor(200, 0, 0); };
            f_->frmFont->btnColor->click();
            f_->frmFont->btnBold->click();
            f_->btnSelectFont->click();
            // The owner's room settings: the room note and the rolling tip.
            if (IClientEngine* engine = room_->Engine()) {
                TRoomInfo info = *engine->GetRoomInfo();
                TRoomTexts texts = *engine->GetRoomTexts();
                texts.Notice1.Set(G("欢迎来到欢乐大厅！今晚八点唱歌比赛，请大家文明聊天。"));
                texts.Notice2.Set(G("新朋友请先看房间公告，有问题找室主小王。"));
                engine->ModifyRoomInfo(&info, 0, &texts, 1);
            }
        });
        At(2, [this] {
            Type(*f_, "大家好！");
            Emoticon("12.gif");
            Type(*f_, "欢迎来到欢乐大厅");
            Send();
        });
        At(4, [this] {
            // Picked in the user list: the partner, not yet whispered.
            room_->pnlUserList->SelectUserById(10002);
            Type(*f_, "你好，蓝色会员，第一次来吗？");
            Send();
        });
        At(7, [this] {
            const int entry = f_->cbbNickNameTo->findData(10002);
            f_->cbbNickNameTo->setCurrentIndex(entry);
            emit f_->cbbNickNameTo->activated(entry);
            f_->ckStealthily->setChecked(true);
            Type(*f_, "悄悄告诉你：a < b");
            Emoticon("5.gif");
            Send();
        });
        At(9, [this] {
            f_->ckStealthily->setChecked(false);
            f_->cbbNickNameTo->setCurrentIndex(0);
            emit f_->cbbNickNameTo->activated(0);
            f_->btnVIPEmotion->click();
            f_->popColorWord->hide();
            if (f_->popColorWord->actions().size() > 2)
                f_->popColorWord->actions()[2]->trigger();
        });
        At(11, [this] {
            Type(*f_, "别信六合彩的广告");
            Send();
        });
        At(13, [this] {
            f_->btnLaba->click();
            TfrmLaba* horn = chat_->HornWindow();
            if (horn == nullptr)
                return Fail("no horn window");
            horn->htmlchtdt->PasteText(G("今晚八点唱歌比赛，欢迎参加！"));
            horn->btnOK->click();
            horn->hide();
        });
        At(19, [this] {
            Type(*f_, "这句话蓝色会员已经屏蔽了");
            Send();
        });
        for (int i = 0; i < 5; ++i) {
            At(40 + 3 * i, [this, i] {
                f_->hceChat->PasteText(G("重启后也看不到的第") + std::to_string(i + 1) + G("句"));
                Send();
            });
        }
        At(56.5, [this] { Finish(); });
    }

    void PartB() {
        At(0, [this] {
            f_->btnAutoReply->click();
            f_->popAutoReply->hide();
            f_->popAutoReply->actions()[0]->trigger();
        });
        At(12, [this] {
            Type(*f_, "谢谢室主！大家好");
            Emoticon("3.gif");
            Send();
        });
        At(16, [this] {
            f_->btnMaskOffSet->click();
            f_->popMaskOffType->hide();
            f_->popMaskOffType->actions()[0]->trigger();
        });
        At(21, [this] { Finish(); });
    }

    void PartB2() {
        At(56, [this] {
            std::fprintf(stderr, "B2: public chat masked after the restart: %d\n",
                         MaskSettings.IsKindMasked(0) ? 1 : 0);
            Finish();
        });
    }

    void Dump(std::ofstream& file, const char* name, THtmlChatView* pane) {
        file << "== " << name << "\n";
        for (const std::string& line : pane->ShownLines())
            file << GbkToUtf8(line) << "\n";
    }

    void Finish() {
        std::ofstream file(out_ + "/" + part_ + "-lines.txt");
        Dump(file, "public", f_->hcvPublic);
        Dump(file, "private", f_->hcvPrivate);
        Dump(file, "horn", room_->ChatHorn);
        QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0).copy(room_->frameGeometry());
        const QString path = QString::fromStdString(out_ + "/" + part_ + ".png");
        std::fprintf(stderr, "%s %s\n", shot.save(path) ? "wrote" : "could not write",
                     qPrintable(path));
        QTimer::singleShot(300, qApp, [] { QCoreApplication::exit(0); });
    }

    std::string part_;
    qint64 start_;
    std::string out_;
    TfrmRoom* room_ = nullptr;
    TRoomChat* chat_ = nullptr;
    TframeChatView* f_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr,
                     "usage: ChatRoomChatShot PART START_MS OUT_DIR ACCOUNT PASSWORD ROOM\n");
        return 2;
    }
    TScript script(argv[1], std::atoll(argv[2]), argv[3]);
    const QString account = QString::fromLocal8Bit(argv[4]);
    const QString password = QString::fromLocal8Bit(argv[5]);
    const QString room = QString::fromLocal8Bit(argv[6]);
    if (const char* port = std::getenv("ROOM_SHOT_ROOM_PORT"))
        SetRoomServicePort(static_cast<std::uint16_t>(std::atoi(port)));
    int programArgc = 1;
    RunChatRoom(programArgc, argv, [&] {
        QTimer::singleShot(4000, qApp, [&] {
            QWidget* login = TopLevel("frmLogin");
            if (!login)
                return Fail("no login window");
            login->findChild<QComboBox*>("cbbUserID")->setEditText(account);
            login->findChild<QLineEdit*>("edtPassword")->setText(password);
            login->findChild<QPushButton*>("btnLogin")->click();
            Poll(
                120,
                [&] {
                    QWidget* hall = TopLevel("frmHall");
                    if (!hall)
                        return false;
                    QTimer::singleShot(4000, qApp, [&, hall] {
                        auto* lobby = hall->findChild<QWebEngineView*>("wbHall");
                        lobby->page()->runJavaScript(
                            QString("var a=document.querySelector('a[href^=\"room:%1,\"]');"
                                    "if(a)a.click();")
                                .arg(room));
                        Poll(
                            120,
                            [&] {
                                auto* shown = qobject_cast<TfrmRoom*>(TopLevel("frmRoom"));
                                if (!shown)
                                    return false;
                                script.Run(*shown);
                                return true;
                            },
                            [] { Fail("no room window opened"); });
                    });
                    return true;
                },
                [] { Fail("the hall did not open"); });
        });
    });
    return 0;
}
