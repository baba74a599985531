// Start-up and shutdown order: the data module, the hall (the main window),
// the login window, the modal login, and the message loop only when the
// login succeeded. The end is driven by the hall's close; the forms and the
// data module go in reverse order of creation and the engine module is told
// last.
#include "Program.h"

#include <unistd.h>

#include <QGuiApplication>
#include <QScreen>
#include <QtGlobal>
#include <memory>

#include "chat/ChatCatalogues.h"
#include "chat/EmotionForm.h"
#include "chat/MaskOffSet.h"
#include "engine/ClientEngineInf.h"
#include "foundation/ChatApplication.h"
#include "foundation/ResModule.h"
#include "room/RoomChat.h"
#include "room/RoomForm.h"
#include "session/HallForm.h"
#include "session/LoginForm.h"
#include "session/WebBrowser.h"

int RunChatRoom(int& argc, char** argv, const std::function<void()>& started) {
    // The browser of the lobby must know the room scheme before the
    // application object exists, and its sandbox does not run as root.
    RegisterRoomScheme();
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    TChatApplication app(argc, argv);
    // Room windows come and go; only the hall's close ends the loop.
    app.setQuitOnLastWindowClosed(false);
    SetApplication(&app);
    if (started)
        started();
    // The hall opens rooms through the room window's factory.
    RegisterRoomWindow();
    // The chat's catalogues come with the data module; the mask settings
    // follow every login's profile; every room gets its chat frame.
    TgResModule::SetCatalogueHooks(CreateChatCatalogues, DestroyChatCatalogues);
    InstallMaskSettingsHook();
    InstallRoomChat();
    {
        auto resModule = std::make_unique<TgResModule>();
        auto hall = std::make_unique<TfrmHall>(&app);
        auto login = std::make_unique<TfrmLogin>(*hall);
        hall->SetLoginWindow(login.get());
        // The simple-gift and world-prop dialogs are created here, 4th and
        // 5th, by their unit.

        if (login->exec() == 1) {
            // Without a window manager to maximise it, the hall still takes
            // the whole screen.
            if (QScreen* screen = QGuiApplication::primaryScreen())
                hall->setGeometry(screen->availableGeometry());
            hall->showMaximized();
            app.exec();
        }
        login.reset();
        hall.reset();
        // The shared emoticon picker outlives every window that used it.
        DestroyEmotionPicker();
        resModule.reset();
    }
    SetApplication(nullptr);
    return 0;
}
