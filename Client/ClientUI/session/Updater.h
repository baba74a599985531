// The updater the download dialog fetches and starts. This is the one place
// that knows how it is named and started on this platform: a program file
// in the program folder, made executable and started as a process of its
// own.
#pragma once

#include <string>

inline constexpr const char* kUpdaterFileName = "update.run";

// Starts the downloaded updater; false (logged) when it cannot be started.
bool StartUpdater(const std::string& path);
