// Takes the README's screenshots: runs the program, logs in with a demo
// account through the login window's own inputs, and grabs the screen once
// the login window and once the hall with its lobby are shown. Run it under
// a virtual display with the service running:
//   xvfb-run -a -s "-screen 0 1280x800x24" ChatRoomScreenshots OUT_DIR [ACCOUNT PASSWORD]
// ACCOUNT "visitor" (with any password) logs in through the visitor button.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <memory>

#include "Program.h"

namespace {

QWidget* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

bool Grab(QWidget* window, const QString& path) {
    // The screen as the display shows it: browser views included.
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    QPixmap part = shot.copy(window->frameGeometry());
    bool ok = part.save(path);
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

// Repeats `step` every 250 ms until it returns true or `tries` run out.
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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: ChatRoomScreenshots OUT_DIR [ACCOUNT PASSWORD]\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString account = argc > 3 ? QString::fromLocal8Bit(argv[2]) : "10001";
    const QString password = argc > 3 ? QString::fromLocal8Bit(argv[3]) : "owner123";
    int status = 1;
    auto fail = [&status](const char* what) {
        return [&status, what] {
            std::fprintf(stderr, "screenshots: %s\n", what);
            status = 1;
            QCoreApplication::exit(1);
        };
    };
    int programArgc = 1;
    RunChatRoom(programArgc, argv, [&] {
        QDir().mkpath(out);
        // The login window, once its banner had time to load.
        QTimer::singleShot(6000, qApp, [&] {
            QWidget* login = TopLevel("frmLogin");
            if (!login)
                return fail("no login window")();
            Grab(login, out + "/login.png");
            if (account == "visitor") {
                login->findChild<QPushButton*>("btnVisitorLogin")->click();
            } else {
                login->findChild<QComboBox*>("cbbUserID")->setEditText(account);
                login->findChild<QLineEdit*>("edtPassword")->setText(password);
                login->findChild<QPushButton*>("btnLogin")->click();
            }
            Poll(
                80,
                [&] {
                    QWidget* hall = TopLevel("frmHall");
                    if (!hall)
                        return false;
                    // Give the lobby page time to render.
                    QTimer::singleShot(5000, qApp, [&, hall] {
                        status = Grab(hall, out + "/hall.png") ? 0 : 1;
                        // A room link clicked in the page must reach the
                        // hall's interception (it logs that it has no room
                        // window yet, or opens one).
                        auto* lobby = hall->findChild<QWebEngineView*>("wbHall");
                        lobby->page()->runJavaScript(
                            "var a=document.querySelector('a[href^=\"room:\"]');"
                            "if(a)a.click();");
                        QTimer::singleShot(1500, qApp, [] { QCoreApplication::exit(0); });
                    });
                    return true;
                },
                fail("the hall did not open"));
        });
    });
    return status;
}
