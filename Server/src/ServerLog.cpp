#include "ServerLog.h"

#include <chrono>
#include <ctime>

ServerLog::~ServerLog() {
    if (file_)
        std::fclose(file_);
}

bool ServerLog::Open(const std::string& path, bool echoToStderr) {
    std::lock_guard lock(mutex_);
    echo_ = echoToStderr;
    if (file_)
        std::fclose(file_);
    file_ = std::fopen(path.c_str(), "a");
    return file_ != nullptr;
}

void ServerLog::Write(std::string_view line) {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t t = system_clock::to_time_t(now);
    auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&t, &tm);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d.%03d ", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms));
    std::lock_guard lock(mutex_);
    for (std::FILE* f : {file_, echo_ ? stderr : nullptr}) {
        if (!f)
            continue;
        std::fputs(stamp, f);
        std::fwrite(line.data(), 1, line.size(), f);
        std::fputc('\n', f);
        std::fflush(f);
    }
}
