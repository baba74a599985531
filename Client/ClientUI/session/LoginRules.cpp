#include "session/LoginRules.h"

#include "common/GbkText.h"

bool AccountKeyAccepted(char32_t ch) {
    if (ch == 8 || ch == 13 || ch == ' ' || ch == '-' || ch == '.' || ch == '_')
        return true;
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

TLoginEnterAction AccountEnter(std::string_view account, std::string_view password) {
    if (account.empty())
        return TLoginEnterAction::AskAccount;
    return password.empty() ? TLoginEnterAction::Login : TLoginEnterAction::FocusPassword;
}

TLoginEnterAction PasswordEnter(std::string_view account, std::string_view password) {
    if (account.empty())
        return TLoginEnterAction::AskAccount;
    if (password.empty())
        return TLoginEnterAction::AskPassword;
    return TLoginEnterAction::Login;
}

std::optional<std::string> LoginInputError(std::string_view account, std::string_view password) {
    if (account.empty() || password.empty())
        return LoginTexts::EmptyInputs();
    return std::nullopt;
}

namespace LoginTexts {
#define GBK_TEXT(name, utf8)                             \
    const std::string& name() {                          \
        static const std::string text = Utf8ToGbk(utf8); \
        return text;                                     \
    }
GBK_TEXT(AskAccount, "请输入帐号或用户号！")
GBK_TEXT(AskPassword, "请输入用户密码！")
GBK_TEXT(EmptyInputs, "帐号和密码不能为空！")
GBK_TEXT(AlreadyLocal, "该用户号已经在本机上登录了！")
GBK_TEXT(CaptionInput, "LoginError")
GBK_TEXT(CaptionLogin, "登录错误")
GBK_TEXT(CaptionFailed, "登录失败")
GBK_TEXT(CaptionHint, "提示")
#undef GBK_TEXT
}  // namespace LoginTexts
