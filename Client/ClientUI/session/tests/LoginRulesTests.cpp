#include "session/LoginRules.h"

#include <gtest/gtest.h>

TEST(LoginRules, AccountKeys) {
    for (char32_t ok : {U'a', U'Z', U'0', U'9', U'_', U'-', U'.', U' ', char32_t(8), char32_t(13)})
        EXPECT_TRUE(AccountKeyAccepted(ok)) << static_cast<unsigned>(ok);
    for (char32_t bad : {U'@', U'/', U'\\', U'中', U'é', char32_t(9), U'+'})
        EXPECT_FALSE(AccountKeyAccepted(bad)) << static_cast<unsigned>(bad);
}

TEST(LoginRules, EnterAndButtonChecks) {
    using A = TLoginEnterAction;
    EXPECT_EQ(AccountEnter("", "x"), A::AskAccount);
    EXPECT_EQ(AccountEnter("u", ""), A::Login);
    EXPECT_EQ(AccountEnter("u", "x"), A::FocusPassword);
    EXPECT_EQ(PasswordEnter("", "x"), A::AskAccount);
    EXPECT_EQ(PasswordEnter("u", ""), A::AskPassword);
    EXPECT_EQ(PasswordEnter("u", "x"), A::Login);
    EXPECT_EQ(LoginInputError("u", ""), LoginTexts::EmptyInputs());
    EXPECT_EQ(LoginInputError("", "x"), LoginTexts::EmptyInputs());
    EXPECT_FALSE(LoginInputError("u", "x"));
}
