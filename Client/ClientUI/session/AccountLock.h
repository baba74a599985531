// The per-account single-instance lock: one program per account and
// deployment on this machine. It is an advisory lock on a file in the user's
// runtime folder, so the system drops it when the holding process ends, even
// by a crash, and no stale lock can block a later login.
#pragma once

#include <string>
#include <string_view>

class TAccountLock {
  public:
    // `folder` holds the lock files; empty means the user's runtime folder.
    explicit TAccountLock(std::string folder = {});
    ~TAccountLock();
    TAccountLock(const TAccountLock&) = delete;
    TAccountLock& operator=(const TAccountLock&) = delete;

    // Takes the lock named "Hall" + `deployment` + `account`. False when
    // another holder (this process or another) has it, or the lock file
    // cannot be made. A lock already held by this object is released first.
    bool Acquire(std::string_view deployment, std::string_view account);
    void Release();
    bool Held() const { return fd_ >= 0; }

    // The file that stands for a lock name (exposed for tests and logs).
    std::string LockPath(std::string_view name) const;

  private:
    std::string folder_;
    int fd_ = -1;
};
