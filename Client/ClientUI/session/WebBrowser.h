// The embedded browser of the login banner, the lobby and the registration
// window: navigations can be intercepted before they happen, context menus
// are off, and the loaded document can be asked about its elements.
#pragma once

#include <QUrl>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <functional>

class TWebPage : public QWebEnginePage {
    Q_OBJECT

  public:
    // Returns true to cancel the navigation.
    using BeforeNavigate = std::function<bool(const QUrl& url)>;

    explicit TWebPage(QObject* parent = nullptr);
    void SetBeforeNavigate(BeforeNavigate handler) { beforeNavigate_ = std::move(handler); }

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // Links that ask for a new window stay in this one.
    QWebEnginePage* createWindow(WebWindowType type) override;

  private:
    BeforeNavigate beforeNavigate_;
};

class TWebBrowser : public QWebEngineView {
    Q_OBJECT

  public:
    explicit TWebBrowser(QWidget* parent = nullptr);

    TWebPage* Page() const { return page_; }
    void Navigate(const std::string& address);  // GBK/ASCII address text

    // Whether the document holds an element with this id or name.
    void HasElement(const QString& idOrName, std::function<void(bool)> done);
    // The inner texts of the elements with these ids (or names) that exist.
    void ElementTexts(const QStringList& ids, std::function<void(QVariantMap)> done);

  private:
    TWebPage* page_;
};

// The "room" scheme of the lobby's room commands; must run before the
// application object is created.
void RegisterRoomScheme();
