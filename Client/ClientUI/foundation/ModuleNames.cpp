#include "foundation/ModuleNames.h"

#include <array>
#include <utility>

#include "foundation/AppPaths.h"

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kModuleNames{{
    {"ClientModule.dll", "libClientModule.so"},
    {"ClientSocket.dll", "libClientSocket.so"},
    {"ResModule.DLL", "ResModule.rcc"},
    {kAVControlModule, "libAVEngine.so"},
}};

}  // namespace

std::string ModuleFileName(std::string_view windowsName) {
    for (const auto& [windows, local] : kModuleNames) {
        if (SameNameIgnoringCase(windows, windowsName)) {
            return std::string(local);
        }
    }
    return std::string(windowsName);
}

std::string ModulePath(std::string_view windowsName) {
    return AppPath(ModuleFileName(windowsName));
}
