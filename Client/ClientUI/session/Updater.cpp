#include "session/Updater.h"

#include <sys/stat.h>

#include <QProcess>

#include "foundation/APIUtils.h"

bool StartUpdater(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || ::chmod(path.c_str(), st.st_mode | S_IXUSR) != 0) {
        WriteLog("updater missing: " + path);
        return false;
    }
    if (!QProcess::startDetached(QString::fromLocal8Bit(path.c_str()), {})) {
        WriteLog("updater did not start: " + path);
        return false;
    }
    return true;
}
