#include "session/LoginForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <QWebEngineSettings>

#include "common/TextUtils.h"
#include "foundation/APIUtils.h"
#include "foundation/Globals.h"
#include "foundation/ProfileStore.h"
#include "foundation/ResDll.h"
#include "session/DownloadForm.h"
#include "session/LoginRules.h"
#include "session/SessionWidgets.h"
#include "session/WbRegistForm.h"
#include "session/WebBrowser.h"

TfrmLogin::TfrmLogin(ILoginHall& hall, QWidget* parent) : QDialog(parent), hall_(hall) {
    setObjectName("frmLogin");
    setWindowTitle(QString::fromUtf8("用户登录"));
    // Its own taskbar button, a minimise box, no other border icons.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 8);
    top->setSpacing(6);

    imgLoginbar = new QLabel(this);
    imgLoginbar->setObjectName("imgLoginbar");
    imgLoginbar->setAlignment(Qt::AlignCenter);
    imgLoginbar->setMinimumSize(360, 90);
    top->addWidget(imgLoginbar);

    wbLoginBar = new TWebBrowser(this);
    wbLoginBar->setObjectName("wbLoginBar");
    // The banner takes the picture's place exactly; nothing to scroll.
    wbLoginBar->page()->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    top->addWidget(wbLoginBar);

    bsSkinPanel1 = new QFrame(this);
    bsSkinPanel1->setObjectName("bsSkinPanel1");
    auto* grid = new QGridLayout(bsSkinPanel1);
    grid->setContentsMargins(24, 8, 24, 4);
    grid->setHorizontalSpacing(8);
    auto label = [this](const char* name, const char* text) {
        // Read right to left, so the leading colon ends up after the word:
        // a right-to-left embedding around the text does that.
        auto* l = new QLabel(QChar(0x202B) + QString::fromUtf8(text) + QChar(0x202C), bsSkinPanel1);
        l->setObjectName(name);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    Label1 = label("Label1", "：选择区域");
    lbLogin = label("lbLogin", "：用户名");
    lbPwd = label("lbPwd", "：登录密码");

    cbbServers = new QComboBox(bsSkinPanel1);
    cbbServers->setObjectName("cbbServers");
    cbbUserID = new QComboBox(bsSkinPanel1);
    cbbUserID->setObjectName("cbbUserID");
    cbbUserID->setEditable(true);
    cbbUserID->setMaxVisibleItems(5);
    cbbUserID->setInsertPolicy(QComboBox::NoInsert);
    // Typed keys are filtered in AccountKeyPress; the validator keeps pasted
    // and input-method text to the same characters.
    cbbUserID->lineEdit()->setValidator(new QRegularExpressionValidator(
        QRegularExpression("[-. _0-9A-Za-z]*"), cbbUserID->lineEdit()));
    edtPassword = new QLineEdit(bsSkinPanel1);
    edtPassword->setObjectName("edtPassword");
    edtPassword->setEchoMode(QLineEdit::Password);
    ckNotepwd = new QCheckBox(QString::fromUtf8("记住密码"), bsSkinPanel1);
    ckNotepwd->setObjectName("ckNotepwd");
    ckAutoLogin = new QCheckBox(QString::fromUtf8("自动登录"), bsSkinPanel1);
    ckAutoLogin->setObjectName("ckAutoLogin");
    lbFindPwd = new QLabel(bsSkinPanel1);
    lbFindPwd->setObjectName("lbFindPwd");

    grid->addWidget(Label1, 0, 0);
    grid->addWidget(cbbServers, 0, 1, 1, 2);
    grid->addWidget(lbLogin, 1, 0);
    grid->addWidget(cbbUserID, 1, 1, 1, 2);
    grid->addWidget(lbPwd, 2, 0);
    grid->addWidget(edtPassword, 2, 1, 1, 2);
    auto* checks = new QHBoxLayout;
    checks->addWidget(ckNotepwd);
    checks->addWidget(ckAutoLogin);
    checks->addStretch();
    checks->addWidget(lbFindPwd);
    grid->addLayout(checks, 3, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    top->addWidget(bsSkinPanel1);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(24, 0, 24, 0);
    btnLogin = new QPushButton(QString::fromUtf8("登      录"), this);
    btnLogin->setObjectName("btnLogin");
    btnVisitorLogin = new QPushButton(QString::fromUtf8("游客登录"), this);
    btnVisitorLogin->setObjectName("btnVisitorLogin");
    btnRegist = new QPushButton(QString::fromUtf8("注册新帐号"), this);
    btnRegist->setObjectName("btnRegist");
    for (auto* b : {btnLogin, btnVisitorLogin, btnRegist}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    top->addLayout(buttons);

    connect(btnLogin, &QPushButton::clicked, this, &TfrmLogin::btnLoginClick);
    connect(btnVisitorLogin, &QPushButton::clicked, this, &TfrmLogin::btnVisitorLoginClick);
    connect(btnRegist, &QPushButton::clicked, this, &TfrmLogin::btnRegistClick);
    connect(cbbUserID, &QComboBox::editTextChanged, this, &TfrmLogin::cbbUserIDChange);
    connect(wbLoginBar, &QWebEngineView::loadFinished, this,
            &TfrmLogin::wbLoginBarNavigateComplete2);
    // The combo box keeps the focus for its line edit and hands typed keys to
    // it directly, past any filter on the line edit: watch both.
    cbbUserID->installEventFilter(this);
    cbbUserID->lineEdit()->installEventFilter(this);
    edtPassword->installEventFilter(this);
    btnLogin->installEventFilter(this);

    FormCreate();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

TfrmLogin::~TfrmLogin() = default;

void TfrmLogin::FormCreate() {
    if (ResDll) {
        auto* movie = new QMovie(imgLoginbar);
        if (ResDll->LoadGif(*movie, "imageLoginBar", "GIF")) {
            imgLoginbar->setMovie(movie);
            movie->start();
        }
    }
    const QString recovery = Qt8(WebAddress(14));
    lbFindPwd->setText(QString("<a href=\"%1\">%2</a>")
                           .arg(recovery.toHtmlEscaped(), QString::fromUtf8("密码找回")));
    connect(lbFindPwd, &QLabel::linkActivated, this,
            [](const QString& link) { OpenInShell(Gbk(link)); });

    cbbServers->addItem(QString::fromUtf8("电信登录点"));
    cbbServers->addItem(QString::fromUtf8("网通登录点"));
    cbbServers->setCurrentIndex(ReadNetType() == 0 ? 0 : 1);

    wbLoginBar->setFixedSize(1, 1);
    wbLoginBar->setVisible(false);
    if (std::string banner = WebAddress(9); !banner.empty())
        wbLoginBar->Navigate(banner);

    FillAccountList();
}

void TfrmLogin::showEvent(QShowEvent* event) {
    SetBusy(false);
    QDialog::showEvent(event);
}

void TfrmLogin::FillAccountList() {
    const QSignalBlocker block(cbbUserID);
    cbbUserID->clear();
    cbbUserID->setEditText(QString());
    edtPassword->clear();
    ckNotepwd->setChecked(false);
    ckAutoLogin->setChecked(false);
    for (const auto& account : ListProfiles())
        cbbUserID->addItem(Qt8(account));
    const QString last = Qt8(ReadLastUser());
    if (cbbUserID->count() > 0) {
        int index = 0;
        for (int i = 0; i < cbbUserID->count(); ++i)
            if (cbbUserID->itemText(i).compare(last, Qt::CaseInsensitive) == 0)
                index = i;
        cbbUserID->setCurrentIndex(index);
        cbbUserID->setEditText(cbbUserID->itemText(index));
    }
    LoadProfileOf(TrimBlanks(AccountText()));
}

void TfrmLogin::LoadProfileOf(const std::string& account) {
    try {
        if (auto profile = LoadProfile(account)) {
            ckNotepwd->setChecked(profile->Remember);
            edtPassword->setText(Qt8(profile->Password));
        }
    } catch (const std::exception& e) {
        // A damaged sealed password: logged, the password box stays as it was.
        WriteLog(e.what());
    }
}

void TfrmLogin::cbbUserIDChange(const QString& text) {
    LoadProfileOf(TrimBlanks(Gbk(text)));
}

std::string TfrmLogin::AccountText() const {
    return Gbk(cbbUserID->currentText());
}
std::string TfrmLogin::PasswordText() const {
    return Gbk(edtPassword->text());
}
bool TfrmLogin::RememberPassword() const {
    return ckNotepwd->isChecked();
}

void TfrmLogin::Message(const std::string& text, const std::string& caption) {
    ShowMessage(this, text, caption, QMessageBox::Critical);
}

bool TfrmLogin::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == cbbUserID || watched == cbbUserID->lineEdit())
            return AccountKeyPress(key);
        if (watched == edtPassword)
            return PasswordKeyPress(key);
        if (watched == btnLogin && !key->text().isEmpty()) {
            btnLoginClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

namespace {

// The character a key press types: Enter and backspace as 13 and 8, nothing
// (0) for keys that type none (arrows, modifiers).
char32_t TypedCharacter(const QKeyEvent* key) {
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return 13;
    if (key->key() == Qt::Key_Backspace)
        return 8;
    const QString text = key->text();
    if (text.isEmpty() || text[0].unicode() < ' ')
        return 0;
    return text.toUcs4().value(0);
}

}  // namespace

bool TfrmLogin::AccountKeyPress(QKeyEvent* key) {
    const char32_t ch = TypedCharacter(key);
    if (ch == 0)
        return false;
    if (!AccountKeyAccepted(ch))
        return true;  // discarded
    if (ch == 13) {
        switch (AccountEnter(AccountText(), PasswordText())) {
            case TLoginEnterAction::AskAccount:
                Message(LoginTexts::AskAccount(), LoginTexts::CaptionInput());
                break;
            case TLoginEnterAction::Login:
                btnLoginClick();
                break;
            default:
                edtPassword->setFocus();
                break;
        }
    }
    edtPassword->clear();
    ckNotepwd->setChecked(false);
    return ch == 13;
}

bool TfrmLogin::PasswordKeyPress(QKeyEvent* key) {
    if (TypedCharacter(key) != 13)
        return false;
    switch (PasswordEnter(AccountText(), PasswordText())) {
        case TLoginEnterAction::AskAccount:
            Message(LoginTexts::AskAccount(), LoginTexts::CaptionInput());
            break;
        case TLoginEnterAction::AskPassword:
            Message(LoginTexts::AskPassword(), LoginTexts::CaptionInput());
            break;
        default:
            btnLoginClick();
            break;
    }
    return true;
}

void TfrmLogin::btnLoginClick() {
    if (auto error = LoginInputError(AccountText(), PasswordText())) {
        Message(*error, LoginTexts::CaptionLogin());
        edtPassword->setFocus();
        return;
    }
    SetBusy(true);
    hall_.BeginLogin();
}

void TfrmLogin::SetBusy(bool busy) {
    cbbUserID->setEnabled(!busy);
    edtPassword->setEnabled(!busy);
    btnLogin->setEnabled(!busy);
}

void TfrmLogin::EnableInputs(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{cbbUserID, edtPassword, lbFindPwd, ckNotepwd,
                                                      btnVisitorLogin, btnLogin, btnRegist})
        w->setEnabled(enabled);
}

void TfrmLogin::ShowLoginError(const std::string& text) {
    loginKind_ = 3;
    Message(text, LoginTexts::CaptionFailed());
    edtPassword->clear();
    SetBusy(false);
    edtPassword->setFocus();
}

void TfrmLogin::CompleteLogin(int outcome) {
    if (outcome == 1) {
        done(2);
        return;
    }
    const std::string account = AccountText();
    if (hall_.AcquireAccountLock(account)) {
        done(1);
        CurrentUserId = account;
        SaveProfileAfterLogin(TrimBlanks(account), PasswordText(), RememberPassword(),
                              loginKind_ == 2);
        return;
    }
    hall_.ReleaseAccountLock();
    Message(LoginTexts::AlreadyLocal(), LoginTexts::CaptionHint());
    SetBusy(false);
}

bool TfrmLogin::ShowUpdateDialog() {
    if (!download_)
        download_ = new TfrmDownload(this);
    return download_->exec() == 1;
}

void TfrmLogin::LoginWith(const std::string& account, const std::string& password) {
    EnableInputs(true);
    if (account.empty() || password.empty())
        return;
    cbbUserID->setEditText(Qt8(account));
    edtPassword->setText(Qt8(password));
    btnLoginClick();
}

void TfrmLogin::btnVisitorLoginClick() {
    loginKind_ = 2;
    auto* regist = new TfrmWbRegist(this);
    regist->SetAccountKind(2);
    regist->SetPromotionId(ReadHallServers().PromotionId);
    regist->SetDoneCallback(
        [this](const std::string& a, const std::string& p) { LoginWith(a, p); });
    EnableInputs(false);
    regist->StartHidden();
    ckNotepwd->setChecked(true);
}

void TfrmLogin::btnRegistClick() {
    loginKind_ = 0;
    auto* regist = new TfrmWbRegist(this);
    regist->SetAccountKind(0);
    regist->SetPromotionId(ReadHallServers().PromotionId);
    regist->SetDoneCallback(
        [this](const std::string& a, const std::string& p) { LoginWith(a, p); });
    regist->ShowModal();
}

void TfrmLogin::wbLoginBarNavigateComplete2(bool) {
    wbLoginBar->HasElement("successed", [this](bool found) {
        if (!found)
            return;
        wbLoginBar->setFixedSize(imgLoginbar->size());
        imgLoginbar->hide();
        wbLoginBar->setVisible(true);
    });
}
