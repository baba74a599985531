#include "session/WebBrowser.h"

#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>

#include "common/GbkText.h"

namespace {

// Room commands never load anything: the hall takes them in
// acceptNavigationRequest. The browser only sends a navigation there when
// some handler serves the scheme, so this one refuses every request.
class TRoomSchemeHandler : public QWebEngineUrlSchemeHandler {
  public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
    }
};

void InstallRoomHandler(QWebEngineProfile* profile) {
    if (profile->urlSchemeHandler("room"))
        return;
    profile->installUrlSchemeHandler("room", new TRoomSchemeHandler(profile));
}

}  // namespace

TWebPage::TWebPage(QObject* parent) : QWebEnginePage(parent) {
    InstallRoomHandler(profile());
}

bool TWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (beforeNavigate_ && beforeNavigate_(url))
        return false;
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

QWebEnginePage* TWebPage::createWindow(WebWindowType) {
    return this;
}

TWebBrowser::TWebBrowser(QWidget* parent) : QWebEngineView(parent), page_(new TWebPage(this)) {
    setPage(page_);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void TWebBrowser::Navigate(const std::string& address) {
    load(QUrl(QString::fromStdString(GbkToUtf8(address))));
}

void TWebBrowser::HasElement(const QString& idOrName, std::function<void(bool)> done) {
    QString name = idOrName;
    name.replace('\\', "\\\\").replace('\'', "\\'");
    const QString script = QStringLiteral(
                               "!!(document.getElementById('%1') || "
                               "document.getElementsByName('%1').length)")
                               .arg(name);
    page_->runJavaScript(script, [done](const QVariant& v) { done(v.toBool()); });
}

void TWebBrowser::ElementTexts(const QStringList& ids, std::function<void(QVariantMap)> done) {
    QStringList quoted;
    for (QString id : ids)
        quoted << "'" + id.replace('\\', "\\\\").replace('\'', "\\'") + "'";
    const QString script =
        QStringLiteral(
            "(function(){var r={};[%1].forEach(function(id){"
            "var e=document.getElementById(id)||document.getElementsByName(id)[0];"
            "if(e&&e instanceof HTMLElement)r[id]=e.innerText;});return r;})()")
            .arg(quoted.join(','));
    page_->runJavaScript(script, [done](const QVariant& v) { done(v.toMap()); });
}

void RegisterRoomScheme() {
    QWebEngineUrlScheme scheme("room");
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // No flags: lobby pages served over http may navigate to it.
    QWebEngineUrlScheme::registerScheme(scheme);
}
