// The service's own log file: one timestamped line per event, flushed at
// once, safe to call from any thread. Lines also go to stderr when asked.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

class ServerLog {
  public:
    ServerLog() = default;
    ~ServerLog();
    ServerLog(const ServerLog&) = delete;
    ServerLog& operator=(const ServerLog&) = delete;

    // Appends to `path`; false when the file cannot be opened (lines are then
    // only echoed).
    bool Open(const std::string& path, bool echoToStderr);
    void Write(std::string_view line);

  private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
    bool echo_ = false;
};
