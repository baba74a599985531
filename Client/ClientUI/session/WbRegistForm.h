// TfrmWbRegist: the registration page in a window of its own, and the
// visitor login that loads the same page without showing it. Either way the
// account and password the page shows go back to the login window when the
// window closes; the window then frees itself.
#pragma once

#include <QDialog>
#include <QVariantMap>
#include <functional>
#include <string>

class TWebBrowser;

class TfrmWbRegist : public QDialog {
    Q_OBJECT

  public:
    using DoneCallback =
        std::function<void(const std::string& account, const std::string& password)>;

    explicit TfrmWbRegist(QWidget* owner = nullptr);

    void SetAccountKind(int kind) { accountKind_ = kind; }
    void SetPromotionId(int id) { promotionId_ = id; }
    void SetDoneCallback(DoneCallback callback) { done_ = std::move(callback); }

    // Registration by the user: shows the page modally.
    void ShowModal();
    // Visitor login: the first completed navigation closes the window, which
    // is never shown.
    void StartHidden();

    // The account and password a document's element texts give: "Label1" and
    // "Account" the account, "Label2" and "LogonPassword" the password, a
    // later id overriding an earlier one. Blanks around them are dropped.
    static std::pair<std::string, std::string> ReadAccount(const QVariantMap& texts);

    TWebBrowser* wbRgst;

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes the window the same way, so the page is read then too.
    void reject() override { close(); }

  private:
    std::string Address() const;
    void Finish(const QVariantMap& texts);

    int accountKind_ = 0;
    int promotionId_ = 0;
    DoneCallback done_;
    bool reading_ = false;
    bool finished_ = false;
};
