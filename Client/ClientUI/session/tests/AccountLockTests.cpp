#include "session/AccountLock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>

namespace {

// Tries the lock in a child process and returns its verdict: 1 = acquired,
// 0 = refused.
int AcquireInChild(const std::string& folder, const std::string& account) {
    pid_t pid = fork();
    if (pid == 0) {
        TAccountLock lock(folder);
        _exit(lock.Acquire("http://127.0.0.1:7480/", account) ? 1 : 0);
    }
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

TEST(AccountLock, DiesWithItsProcess) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    pid_t pid = fork();
    if (pid == 0) {
        auto* lock = new TAccountLock(folder);  // never released: the process just ends
        _exit(lock->Acquire("d", "a") ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    TAccountLock lock(folder);
    EXPECT_TRUE(lock.Acquire("d", "a"));
}
