#include "session/WbRegistForm.h"

#include <QCloseEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "common/TextUtils.h"
#include "foundation/APIUtils.h"
#include "session/SessionWidgets.h"
#include "session/WebBrowser.h"

namespace {
// A page that never answers the element query (its renderer gone) must not
// keep the login window locked.
constexpr int kReadTimeoutMs = 3000;
}  // namespace

TfrmWbRegist::TfrmWbRegist(QWidget* owner) : QDialog(owner) {
    setObjectName("frmWbRegist");
    setWindowTitle(QString::fromUtf8("用户注册"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    resize(640, 480);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    wbRgst = new TWebBrowser(this);
    wbRgst->setObjectName("wbRgst");
    layout->addWidget(wbRgst);
}

std::string TfrmWbRegist::Address() const {
    return FormatWebAddress(
        7, {static_cast<long long>(accountKind_), static_cast<long long>(promotionId_)});
}

void TfrmWbRegist::ShowModal() {
    wbRgst->Navigate(Address());
    exec();
}

void TfrmWbRegist::StartHidden() {
    connect(
        wbRgst, &QWebEngineView::loadFinished, this,
        [this](bool) {
            wbRgst->stop();
            close();
        },
        Qt::SingleShotConnection);
    wbRgst->Navigate(Address());
}

void TfrmWbRegist::closeEvent(QCloseEvent* event) {
    if (finished_) {
        event->accept();
        return;
    }
    // The document is read asynchronously: the close completes once the
    // texts are in.
    event->ignore();
    if (reading_)
        return;
    reading_ = true;
    auto finish = [this](const QVariantMap& texts) { Finish(texts); };
    wbRgst->ElementTexts({"Label1", "Account", "Label2", "LogonPassword"}, finish);
    QTimer::singleShot(kReadTimeoutMs, this, [this] { Finish({}); });
}

void TfrmWbRegist::Finish(const QVariantMap& texts) {
    if (finished_)
        return;
    finished_ = true;
    auto [account, password] = ReadAccount(texts);
    done(0);
    hide();
    if (done_)
        done_(account, password);
    deleteLater();
}

std::pair<std::string, std::string> TfrmWbRegist::ReadAccount(const QVariantMap& texts) {
    std::string account, password;
    for (const char* id : {"Label1", "Account"})
        if (texts.contains(id))
            account = TrimBlanks(Gbk(texts.value(id).toString()));
    for (const char* id : {"Label2", "LogonPassword"})
        if (texts.contains(id))
            password = TrimBlanks(Gbk(texts.value(id).toString()));
    return {account, password};
}
