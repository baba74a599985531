#include "session/AccountLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QStandardPaths>

#include "common/Cipher.h"

TAccountLock::TAccountLock(std::string folder) : folder_(std::move(folder)) {
    if (folder_.empty()) {
        folder_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation).toStdString();
        if (folder_.empty())
            folder_ = "/tmp/chatroom-" + std::to_string(getuid());
    }
    ::mkdir(folder_.c_str(), 0700);
}

TAccountLock::~TAccountLock() {
    Release();
}

std::string TAccountLock::LockPath(std::string_view name) const {
    // The name holds an address and GBK text; its digest is a safe file name
    // of fixed length.
    return folder_ + "/chatroom-" + Md5Hex(name) + ".lock";
}

bool TAccountLock::Acquire(std::string_view deployment, std::string_view account) {
    Release();
    std::string name = "Hall";
    name.append(deployment);
    name.append(account);
    int fd = ::open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void TAccountLock::Release() {
    if (fd_ < 0)
        return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}
