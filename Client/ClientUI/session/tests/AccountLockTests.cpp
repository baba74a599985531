#include "session/AccountLock.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <cstdlib>

namespace {

constexpr const char* kHelperFolder = "CHATROOM_LOCK_HELPER_FOLDER";
constexpr const char* kHelperAccount = "CHATROOM_LOCK_HELPER_ACCOUNT";

// Started again as the helper (the variables above set), this executable
// only tries the lock and exits with the verdict, before any test runs.
[[maybe_unused]] const bool helperRan = [] {
    const char* folder = std::getenv(kHelperFolder);
    const char* account = std::getenv(kHelperAccount);
    if (!folder || !account)
        return false;
    TAccountLock lock(folder);
    _exit(lock.Acquire("http://127.0.0.1:7480/", account) ? 1 : 0);
}();

// Runs this executable as a second process that tries the lock: 1 =
// acquired, 0 = refused.
int AcquireInChild(const std::string& folder, const std::string& account) {
    std::string f = std::string(kHelperFolder) + "=" + folder;
    std::string a = std::string(kHelperAccount) + "=" + account;
    char* argv[] = {const_cast<char*>("SessionTests"), nullptr};
    char* envp[] = {f.data(), a.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, envp) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(AccountLock, RefusesTheSameAccountInAnotherProcessUntilReleased) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    TAccountLock lock(folder);
    ASSERT_TRUE(lock.Acquire("http://127.0.0.1:7480/", "10001"));

    EXPECT_EQ(AcquireInChild(folder, "10001"), 0);
    EXPECT_EQ(AcquireInChild(folder, "10002"), 1);  // another account is free

    // A second holder in the same process is refused too.
    TAccountLock again(folder);
    EXPECT_FALSE(again.Acquire("http://127.0.0.1:7480/", "10001"));
    // Another deployment is another lock.
    EXPECT_TRUE(again.Acquire("http://other/", "10001"));

    lock.Release();
    EXPECT_FALSE(lock.Held());
    EXPECT_EQ(AcquireInChild(folder, "10001"), 1);
}

TEST(AccountLock, EndsWithItsProcess) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    // The helper takes the lock and exits without releasing it.
    ASSERT_EQ(AcquireInChild(folder, "10001"), 1);
    TAccountLock lock(folder);
    EXPECT_TRUE(lock.Acquire("http://127.0.0.1:7480/", "10001"));
}
