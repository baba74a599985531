#include "foundation/Globals.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <filesystem>
#include <system_error>

#include "common/GbkText.h"

std::string AppDir;
std::string CurrentUserId;
std::string CurrentConfigPath;
std::uint16_t UserLineType = 0;
TUserFont UserFonts;
std::vector<std::string> FilterWords;

const std::string& DefaultFontText() {
    static const std::string text = Utf8ToGbk("宋体,9,0,0,0,0");
    return text;
}

std::string ProgramFilePath() {
    // The kernel's link is authoritative and works before (or without) an
    // application object; Qt's answer is the fallback.
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && !exe.empty()) {
        return exe.string();
    }
    if (QCoreApplication::instance() != nullptr) {
        return QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    }
    return {};
}

std::string ProgramFolder() {
    const std::string file = ProgramFilePath();
    const auto slash = file.rfind('/');
    if (slash == std::string::npos) {
        return {};
    }
    return file.substr(0, slash + 1);
}
