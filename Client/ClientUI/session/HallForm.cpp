#include "session/HallForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <chrono>

#include "common/Cipher.h"
#include "common/CodeTables.h"
#include "common/GbkText.h"
#include "common/IniFile.h"
#include "common/NetUtils.h"
#include "foundation/APIUtils.h"
#include "foundation/AppPaths.h"
#include "foundation/Globals.h"
#include "foundation/ResModule.h"
#include "foundation/SkinData.h"
#include "session/ExitMessagebox.h"
#include "session/HideLogon.h"
#include "session/LoginHintForm.h"
#include "session/NetChooseForm.h"
#include "session/RoomWindowInf.h"
#include "session/SessionWidgets.h"
#include "session/WebBrowser.h"

namespace {

std::function<void(TfrmHall&)>& CreationHook() {
    static std::function<void(TfrmHall&)> hook;
    return hook;
}

constexpr std::uint16_t kDebugHallValue = 65042;
constexpr std::size_t kMaxRoomSnapshot = 255;

std::int32_t TickCount() {
    using namespace std::chrono;
    return static_cast<std::int32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

void TfrmHall::SetCreationHook(std::function<void(TfrmHall&)> hook) {
    CreationHook() = std::move(hook);
}

TfrmHall::TfrmHall(IApplication* application, QWidget* parent) : QMainWindow(parent) {
    BuildForm();
    const bool connected = connection_.Open(application);
    THallSession::TEnvironment env;
    env.LoadServers = [] { return LoadHallServerList(AppPath("loginsl.dat"), &ResolveHost); };
    env.Resolve = &ResolveHost;
    env.ProgramVersion = ProgramVersion();
    env.MacAddress = &GetMacAddress;
    env.TickCount = &TickCount;
    session_ = std::make_unique<THallSession>(static_cast<IHallSessionView&>(*this),
                                              connected ? &connection_ : nullptr, std::move(env));
    connection_.Attach(session_.get());
    FormCreate();
}

TfrmHall::~TfrmHall() {
    ReleaseAccountLock();
    connection_.Close();
    if (LoginHint && LoginHint->parent() == this)
        LoginHint = nullptr;
}

void TfrmHall::BuildForm() {
    setObjectName("frmHall");
    setWindowTitle(QString::fromUtf8("大厅"));
    setMinimumSize(720, 480);
    setFont(QFont(QString::fromUtf8("宋体"), 9));

    contents_ = new QWidget(this);
    setCentralWidget(contents_);
    auto* column = new QVBoxLayout(contents_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pnlTop = new QFrame(contents_);
    pnlTop->setObjectName("pnlTop");
    SetSkinName(pnlTop, "panel_hall_top");
    auto* top = new QHBoxLayout(pnlTop);
    top->setContentsMargins(8, 6, 8, 6);
    imgHead = new QLabel(pnlTop);
    imgHead->setObjectName("imgHead");
    imgHead->setFixedSize(60, 60);
    imgHead->setCursor(Qt::PointingHandCursor);
    imgHead->setFrameShape(QFrame::Box);
    imgHead->installEventFilter(this);
    top->addWidget(imgHead);

    auto* info = new QGridLayout;
    info->setHorizontalSpacing(4);
    auto label = [this](const char* name, const char* text) {
        auto* l = new QLabel(QString::fromUtf8(text), pnlTop);
        l->setObjectName(name);
        return l;
    };
    Label3 = label("Label3", "欢迎您：");
    lbName = label("lbName", "");
    Label4 = label("Label4", "金  币：");
    lbGoldScore = label("lbGoldScore", "");
    Label5 = label("Label5", "积  分：");
    lbGiftScore = label("lbGiftScore", "");
    Label6 = label("Label6", "等  级：");
    lbLevel = label("lbLevel", "");
    info->addWidget(Label3, 0, 0);
    info->addWidget(lbName, 0, 1, 1, 3);
    info->addWidget(Label4, 1, 0);
    info->addWidget(lbGoldScore, 1, 1);
    info->addWidget(Label5, 1, 2);
    info->addWidget(lbGiftScore, 1, 3);
    info->addWidget(Label6, 2, 0);
    info->addWidget(lbLevel, 2, 1, 1, 3);
    info->setColumnMinimumWidth(1, 80);
    top->addLayout(info);
    top->addStretch();

    // Image buttons: their pictures come from the navigation strip (and the
    // skin); without either they carry a word so the bar stays usable.
    struct Tool {
        QToolButton** button;
        const char* name;
        const char* skin;
        const char* fallback;
    } tools[] = {
        {&btnHomePage, "btnHomePage", "toolbutton_hall_tool1", "首页"},
        {&btnHT, "btnHT", "toolbutton_hall_tool2", "工具"},
        {&btnExchange, "btnExchange", "toolbutton_hall_tool3", "兑换"},
        {&btnAddGoldScore, "btnAddGoldScore", "toolbutton_hall_tool4", "充值"},
        {&btnHelp, "btnHelp", "toolbutton_hall_tool5", "帮助"},
        {&btnNetChoose, "btnNetChoose", "toolbutton_hall_tool6", "网络"},
        {&btnUpdateUserInfo, "btnUpdateUserInfo", "toolbutton_hall_vip", "资料"},
    };
    int index = 0;
    for (const Tool& t : tools) {
        auto* b = new QToolButton(pnlTop);
        b->setObjectName(t.name);
        b->setAutoRaise(true);
        if (gResModule && index < gResModule->imgLstNavigation.Count()) {
            b->setIcon(QIcon(gResModule->imgLstNavigation.Pixmap(index)));
            b->setIconSize(QSize(42, 41));
        } else {
            b->setText(QString::fromUtf8(t.fallback));
        }
        SetSkinName(b, t.skin);
        top->addWidget(b);
        *t.button = b;
        ++index;
    }

    edtRoomID = new QLineEdit(pnlTop);
    edtRoomID->setObjectName("edtRoomID");
    edtRoomID->setFixedWidth(70);
    btnInRoom = new QPushButton(QString::fromUtf8("进房间"), pnlTop);
    btnInRoom->setObjectName("btnInRoom");
    btnDebug = new QPushButton(QString::fromUtf8("调试"), pnlTop);
    btnDebug->setObjectName("btnDebug");
    for (QWidget* w : std::initializer_list<QWidget*>{edtRoomID, btnInRoom, btnDebug}) {
        w->hide();
        top->addWidget(w);
    }
    column->addWidget(pnlTop);

    pnlclient = new QFrame(contents_);
    pnlclient->setObjectName("pnlclient");
    auto* client = new QVBoxLayout(pnlclient);
    client->setContentsMargins(0, 0, 0, 0);
    wbHall = new TWebBrowser(pnlclient);
    wbHall->setObjectName("wbHall");
    wbHall->Page()->SetBeforeNavigate(
        [this](const QUrl& url) { return wbHallBeforeNavigate2(url); });
    client->addWidget(wbHall);
    column->addWidget(pnlclient, 1);

    auto open = [](int entry) { return [entry] { OpenInShell(WebAddress(entry)); }; };
    connect(btnHomePage, &QToolButton::clicked, this, open(0));
    connect(btnHT, &QToolButton::clicked, this, open(2));
    connect(btnExchange, &QToolButton::clicked, this, open(15));
    // The add-gold address takes the user and a room owner; the hall has
    // no room, so the owner is 0.
    connect(btnAddGoldScore, &QToolButton::clicked, this, [this] {
        OpenInShell(
            FormatWebAddress(4, {static_cast<long long>(session_->User().UserNumber), 0LL}));
    });
    connect(btnHelp, &QToolButton::clicked, this, open(16));
    connect(btnNetChoose, &QToolButton::clicked, this, &TfrmHall::btnNetChooseClick);
    connect(btnUpdateUserInfo, &QToolButton::clicked, this, &TfrmHall::OpenUserInfo);
    connect(btnInRoom, &QPushButton::clicked, this, &TfrmHall::btnInRoomClick);
    connect(btnDebug, &QPushButton::clicked, this, &TfrmHall::btnDebugClick);
}

void TfrmHall::FormCreate() {
    if (!session_->LoadServerList())
        ShowMessage(this, THallSession::TextDamagedInstall(), Utf8ToGbk("错误"),
                    QMessageBox::Critical);
    const std::string debugIni = AppPath("loginRoomIP.ini");
    if (QFile::exists(QString::fromStdString(debugIni))) {
        IniFile ini(debugIni);
        debugRoomServer_ = ini.ReadString("Room", "IP", "127.0.0.1");
        edtRoomID->setText(Qt8(ini.ReadString("Room", "RoomID", "1002")));
        edtRoomID->show();
        btnInRoom->show();
        btnDebug->show();
    }
    if (CreationHook())
        CreationHook()(*this);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().topLeft());
}

std::string TfrmHall::PasswordDigest() const {
    return Md5Hex(PasswordText());
}
std::string TfrmHall::AccountText() const {
    return login_ ? login_->AccountText() : std::string();
}
std::string TfrmHall::PasswordText() const {
    return login_ ? login_->PasswordText() : std::string();
}

void TfrmHall::BeginLogin() {
    session_->BeginLogin();
}

bool TfrmHall::AcquireAccountLock(const std::string& account) {
    return lock_.Acquire(WebAddress(0), account);
}

void TfrmHall::ReleaseAccountLock() {
    lock_.Release();
}

void TfrmHall::ShowLoginError(const std::string& text) {
    if (login_)
        login_->ShowLoginError(text);
}

void TfrmHall::CompleteLogin(int outcome) {
    if (login_)
        login_->CompleteLogin(outcome);
}

void TfrmHall::VersionMismatch() {
    QWidget* owner = login_ ? static_cast<QWidget*>(login_) : this;
    if (AskYesNo(owner, Utf8ToGbk("您的软件需要更新才能够正常登录，请选择“是”"), Utf8ToGbk("提示"),
                 QMessageBox::Information) &&
        login_) {
        login_->hide();
        login_->ShowUpdateDialog();
    }
    close();
}

void TfrmHall::LoginAccepted(const THallUser& user) {
    wbHall->Navigate(FormatWebAddress(3, {std::to_string(user.UserNumber), PasswordDigest()}));
    setWindowTitle(QString::fromUtf8("大厅(%1)").arg(Qt8(user.NickName)));
    UserLineType = user.LineType;
    CurrentConfigPath = AppDir + "Users/" + std::to_string(user.UserNumber) + "/Config.dat";
    if (gResModule && user.Face >= 0 && user.Face < gResModule->FaceList.Count())
        imgHead->setPixmap(gResModule->FaceList.Pixmap(user.Face));
    lbGoldScore->setText(QString::number(user.Gold));
    lbGiftScore->setText(QString::number(user.GiftPoints));
    lbName->setText(QString("%1(%2)").arg(Qt8(user.NickName)).arg(user.UserNumber));
    lbLevel->setText(Qt8(LevelTitle(static_cast<std::uint8_t>(user.Role), user.Level, user.Star)));
}

void TfrmHall::OpenUserInfo() {
    OpenInShell(FormatWebAddress(
        17, {static_cast<long long>(session_->User().UserNumber), PasswordDigest()}));
}

bool TfrmHall::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imgHead && event->type() == QEvent::MouseButtonRelease) {
        OpenUserInfo();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmHall::wbHallBeforeNavigate2(const QUrl& url) {
    // Quotes and blanks of the command arrive percent-encoded.
    const std::string address = Gbk(QUrl::fromPercentEncoding(url.toEncoded()));
    if (!ParseRoomAddress(address).IsRoomScheme)
        return false;
    // The prompts run their own loops; not inside the browser's callback.
    QTimer::singleShot(0, this, [this, address] {
        entry_.Navigate(address, session_->User().Role, session_->User().Level, *this);
    });
    return true;
}

IRoomWindow* TfrmHall::FindRoom(std::int32_t roomId) {
    for (const TOpenRoom& r : rooms_)
        if (r.window && r.room->RoomId() == roomId)
            return r.room;
    return nullptr;
}

int TfrmHall::OpenRoomCount() {
    std::erase_if(rooms_, [](const TOpenRoom& r) { return r.window.isNull(); });
    return static_cast<int>(rooms_.size());
}

bool TfrmHall::BringRoomToFront(std::int32_t roomId) {
    IRoomWindow* room = FindRoom(roomId);
    if (!room)
        return false;
    QWidget* w = room->Window();
    if (w->isMinimized())
        w->showNormal();
    w->raise();
    w->activateWindow();
    return true;
}

void TfrmHall::ShowInfo(const std::string& text) {
    ShowMessage(this, text, Utf8ToGbk("提示"), QMessageBox::Information);
}

int TfrmHall::AskHidden(bool& dontAskAgain) {
    if (!hideLogon_)
        hideLogon_ = new TfrmHideLogon(this);
    int result = hideLogon_->exec();
    dontAskAgain = hideLogon_->CheckBox1->isChecked();
    return result;
}

std::optional<std::string> TfrmHall::AskRoomPassword() {
    QInputDialog box(this);
    box.setWindowTitle(QString::fromUtf8("请输入房间密码"));
    box.setLabelText(QString::fromUtf8("密码"));
    box.setTextEchoMode(QLineEdit::Password);
    box.setOkButtonText(QString::fromUtf8("确定"));
    box.setCancelButtonText(QString::fromUtf8("取消"));
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return Gbk(box.textValue());
}

void TfrmHall::Log(const std::string& text) {
    WriteLog(text);
}

IRoomWindow* TfrmHall::CreateRoomWindow() {
    IRoomWindow* room = RoomWindowFactory()(this);
    if (room)
        rooms_.push_back({room->Window(), room});
    return room;
}

void TfrmHall::PrepareRoom(IRoomWindow& room) {
    room.SetCloseHandler([hall = QPointer<TfrmHall>(this)](TGiftStatistic& statistic) {
        if (hall)
            hall->ShowMyGifts(statistic);
    });
}

void TfrmHall::OpenRoom(const TRoomCommand& room, bool hidden, const std::string& password) {
    if (FindRoom(room.RoomId))
        return;
    const THallUser& user = session_->User();
    if (!RoomAllowed(user.Level, user.Role, OpenRoomCount()))
        return;
    if (!RoomWindowFactory()) {
        WriteLog("no room window available; room " + std::to_string(room.RoomId) + " not opened");
        return;
    }
    if (!LoginHint)
        LoginHint = new TfrmLoginHint(this, contents_);
    contents_->setEnabled(false);
    LoginHint->show();
    QCoreApplication::processEvents();
    IRoomWindow* window = CreateRoomWindow();
    if (!window) {
        ShowMessage(this, Utf8ToGbk("重要组件丢失，创建房间失败，请重新安装软件！"),
                    Utf8ToGbk("错误"), QMessageBox::Critical);
        LoginHint->hide();
        return;
    }
    LoginHint->AttachRoom(window->Window());
    PrepareRoom(*window);
    const auto& servers = session_->RoomServers();
    for (const TRoomServer& s : servers)
        window->AddRoomServer(s.Address);
    window->SetReconnectInterval(RoomReconnectInterval(servers.size()));
    window->OpenRoom(room.RoomId, user.UserNumber, hidden, room.HallValue, PasswordDigest(),
                     password);
}

void TfrmHall::btnInRoomClick() {
    if (!RoomWindowFactory()) {
        WriteLog("no room window available for the debug entry");
        return;
    }
    IRoomWindow* window = CreateRoomWindow();
    if (!window)
        return;
    PrepareRoom(*window);
    window->AddRoomServer(ResolveHost(debugRoomServer_));
    window->OpenRoom(edtRoomID->text().trimmed().toInt(), session_->User().UserNumber,
                     entry_.HiddenEntry(), kDebugHallValue, PasswordDigest(),
                     entry_.RoomPassword());
}

void TfrmHall::btnDebugClick() {
    // The debug window shows the day's log.
    if (!debugWindow_) {
        auto* memo = new QPlainTextEdit(this);
        memo->setWindowFlag(Qt::Window);
        memo->setReadOnly(true);
        memo->setWindowTitle(QString::fromUtf8("调试"));
        memo->resize(640, 400);
        debugWindow_ = memo;
    }
    QFile log(QString::fromStdString(LogFilePath(QDateTime::currentDateTime())));
    if (log.open(QIODevice::ReadOnly))
        static_cast<QPlainTextEdit*>(debugWindow_)->setPlainText(Qt8(log.readAll().toStdString()));
    debugWindow_->show();
    debugWindow_->raise();
}

void TfrmHall::btnNetChooseClick() {
    if (!netChoose_)
        netChoose_ = new TfrmNetChoose(this);
    netChoose_->exec();
}

void TfrmHall::ShowMyGifts(TGiftStatistic& statistic) {
    if (ShowMyGiftsHook())
        ShowMyGiftsHook()(this, statistic);
}

void TfrmHall::CloseAllRooms() {
    std::vector<QPointer<QWidget>> snapshot;
    for (const TOpenRoom& r : rooms_) {
        if (r.window)
            snapshot.push_back(r.window);
        if (snapshot.size() == kMaxRoomSnapshot)
            break;
    }
    for (const auto& w : snapshot)
        if (w)
            w->close();
    OpenRoomCount();
}

void TfrmHall::showEvent(QShowEvent* event) {
    if (!LoginHint)
        LoginHint = new TfrmLoginHint(this, contents_);
    QMainWindow::showEvent(event);
}

void TfrmHall::closeEvent(QCloseEvent* event) {
    if (session_->LoggedIn() && !closeConfirmed_) {
        if (!exitMsg_)
            exitMsg_ = new TfrmExitMsg(this);
        const int result = exitMsg_->exec();
        if (result == 6) {
            QProcess::startDetached(QString::fromStdString(ProgramFilePath()), {});
        } else if (result != 1) {
            event->ignore();
            return;
        }
        closeConfirmed_ = true;
    }
    CloseAllRooms();
    event->accept();
    // The message loop runs only while the hall is shown; during the login
    // the program entry ends on the login window's result.
    if (isVisible())
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}
