// Input rules of the login window, free of any widget.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Characters the account box accepts: backspace, Enter, blank, "-", ".",
// digits, letters and "_". Anything else, every double-byte character
// included, is discarded.
bool AccountKeyAccepted(char32_t ch);

// What Enter in one of the two inputs leads to.
enum class TLoginEnterAction {
    AskAccount,   // "请输入帐号或用户号！"
    AskPassword,  // "请输入用户密码！"
    FocusPassword,
    Login,
};

// Enter in the account box: an empty account is refused; with an empty
// password the login starts (the login action then refuses it), otherwise the
// focus moves on to the password.
TLoginEnterAction AccountEnter(std::string_view account, std::string_view password);
// Enter in the password box.
TLoginEnterAction PasswordEnter(std::string_view account, std::string_view password);

// The login button's check: the text of the refusal, or nothing to go on.
std::optional<std::string> LoginInputError(std::string_view account, std::string_view password);

// The message texts and captions of the login window (GBK).
namespace LoginTexts {
const std::string& AskAccount();     // "请输入帐号或用户号！"
const std::string& AskPassword();    // "请输入用户密码！"
const std::string& EmptyInputs();    // "帐号和密码不能为空！"
const std::string& AlreadyLocal();   // "该用户号已经在本机上登录了！"
const std::string& CaptionInput();   // "LoginError"
const std::string& CaptionLogin();   // "登录错误"
const std::string& CaptionFailed();  // "登录失败"
const std::string& CaptionHint();    // "提示"
}  // namespace LoginTexts
