#include "foundation/APIUtils.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QString>
#include <QUrl>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>
#include <type_traits>

#include "common/Cipher.h"
#include "common/GbkText.h"
#include "common/IniFile.h"
#include "common/TextUtils.h"
#include "foundation/AppPaths.h"
#include "foundation/Globals.h"

// ---------------------------------------------------------------------------
// Log and debug console

std::string LogFilePath(const QDateTime& when) {
    const std::string base = AppDir.empty() ? ProgramFolder() : AppDir;
    const QDate date = when.date();
    const std::string name =
        "Log/" + std::to_string(date.month()) + "-" + std::to_string(date.day()) + ".log";
    return ResolvePathUnder(base, name);
}

void WriteLogAt(const QDateTime& when, std::string_view text) {
    try {
        const std::string path = LogFilePath(when);
        const auto slash = path.rfind('/');
        if (slash != std::string::npos && slash > 0) {
            ::mkdir(path.substr(0, slash).c_str(), 0777);  // one level; EEXIST is fine
        }
        std::string line = "[";
        line += when.toString(QStringLiteral("yyyy-M-d H:mm:ss")).toStdString();
        line += "] ";
        line += text;
        line += "\r\n";
        // O_APPEND: another process may hold the same file open and append too.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        if (fd < 0) {
            return;
        }
        const char* data = line.data();
        std::size_t left = line.size();
        while (left > 0) {
            const ssize_t n = ::write(fd, data, left);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        ::close(fd);
    } catch (...) {
        // The log is the last resort of error reporting; it has nowhere to
        // report its own failure.
    }
}

void WriteLog(std::string_view text) {
    WriteLogAt(QDateTime::currentDateTime(), text);
}

void DebugLine(std::string_view text) {
    std::error_code ec;
    if (!std::filesystem::exists("Debug1.txt", ec)) {
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------
// File version

namespace {

constexpr std::string_view kVersionSection = ".chatroom_version";
constexpr std::size_t kMaxVersionLength = 255;

template <class T>
T ByteSwap(T v) {
    static_assert(std::is_unsigned_v<T>);
    if constexpr (sizeof(T) == 1) {
        return v;
    } else if constexpr (sizeof(T) == 2) {
        return static_cast<T>(__builtin_bswap16(v));
    } else if constexpr (sizeof(T) == 4) {
        return static_cast<T>(__builtin_bswap32(v));
    } else {
        return static_cast<T>(__builtin_bswap64(v));
    }
}

// Reads never go past the end of the file, whatever the headers claim.
class BoundedFile {
  public:
    explicit BoundedFile(const std::string& path) : in_(path, std::ios::binary) {
        if (in_) {
            in_.seekg(0, std::ios::end);
            const auto end = in_.tellg();
            size_ = end < 0 ? 0 : static_cast<std::uint64_t>(end);
        }
    }
    std::uint64_t Size() const { return size_; }
    bool Read(std::uint64_t offset, void* dst, std::uint64_t n) {
        if (!in_ || offset > size_ || n > size_ - offset) {
            return false;
        }
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(static_cast<char*>(dst), static_cast<std::streamsize>(n));
        return static_cast<bool>(in_);
    }

  private:
    std::ifstream in_;
    std::uint64_t size_ = 0;
};

template <class Ehdr, class Shdr>
std::string FindVersionSection(BoundedFile& file, bool swap) {
    auto fix = [swap](auto v) { return swap ? ByteSwap(v) : v; };
    Ehdr eh{};
    if (!file.Read(0, &eh, sizeof eh)) {
        return {};
    }
    const std::uint64_t shoff = fix(eh.e_shoff);
    const std::uint64_t entsize = fix(eh.e_shentsize);
    std::uint64_t shnum = fix(eh.e_shnum);
    std::uint64_t shstrndx = fix(eh.e_shstrndx);
    if (shoff == 0 || shoff >= file.Size() || entsize < sizeof(Shdr)) {
        return {};
    }
    auto readHeader = [&](std::uint64_t index, Shdr& sh) {
        return index < (file.Size() - shoff) / entsize &&
               file.Read(shoff + index * entsize, &sh, sizeof sh);
    };
    Shdr first{};
    if (!readHeader(0, first)) {
        return {};
    }
    // Extended numbering: counts that do not fit the ELF header live in
    // section 0.
    if (shnum == 0) {
        shnum = fix(first.sh_size);
    }
    if (shstrndx == SHN_XINDEX) {
        shstrndx = fix(first.sh_link);
    }
    Shdr names{};
    if (shstrndx >= shnum || !readHeader(shstrndx, names) || fix(names.sh_type) == SHT_NOBITS) {
        return {};
    }
    const std::uint64_t namesOffset = fix(names.sh_offset);
    const std::uint64_t namesSize = fix(names.sh_size);
    for (std::uint64_t i = 1; i < shnum; ++i) {
        Shdr sh{};
        if (!readHeader(i, sh)) {
            return {};
        }
        const std::uint64_t nameAt = fix(sh.sh_name);
        // The name plus its terminating zero must lie inside the name table.
        if (nameAt >= namesSize || namesSize - nameAt < kVersionSection.size() + 1) {
            continue;
        }
        std::array<char, kVersionSection.size() + 1> name{};
        if (!file.Read(namesOffset + nameAt, name.data(), name.size()) ||
            std::string_view(name.data(), name.size()) != std::string(kVersionSection) + '\0') {
            continue;
        }
        if (fix(sh.sh_type) == SHT_NOBITS) {
            return {};
        }
        const std::uint64_t size = std::min<std::uint64_t>(fix(sh.sh_size), kMaxVersionLength);
        std::string text(static_cast<std::size_t>(size), '\0');
        if (!file.Read(fix(sh.sh_offset), text.data(), size)) {
            return {};
        }
        text.resize(std::strlen(text.c_str()));
        return text;
    }
    return {};
}

}  // namespace

std::string ReadFileVersion(const std::string& path) {
    try {
        BoundedFile file(path);
        unsigned char ident[EI_NIDENT] = {};
        if (!file.Read(0, ident, sizeof ident) || std::memcmp(ident, ELFMAG, SELFMAG) != 0) {
            return {};
        }
        bool swap = false;
        if (ident[EI_DATA] == ELFDATA2LSB) {
            swap = std::endian::native != std::endian::little;
        } else if (ident[EI_DATA] == ELFDATA2MSB) {
            swap = std::endian::native != std::endian::big;
        } else {
            return {};
        }
        if (ident[EI_CLASS] == ELFCLASS64) {
            return FindVersionSection<Elf64_Ehdr, Elf64_Shdr>(file, swap);
        }
        if (ident[EI_CLASS] == ELFCLASS32) {
            return FindVersionSection<Elf32_Ehdr, Elf32_Shdr>(file, swap);
        }
    } catch (const std::exception&) {
        // Allocation or stream failures: treat the file as unreadable.
    }
    return {};
}

// ---------------------------------------------------------------------------
// Version numbers

std::optional<std::uint32_t> PackVersion(std::string_view text) {
    std::uint32_t result = 0;
    std::size_t pos = 0;
    bool ok = true;
    for (int item = 0; item < 4; ++item) {
        if (pos > text.size()) {
            ok = false;  // fewer than four items
            break;
        }
        const auto dot = text.find('.', pos);
        const std::size_t end = dot == std::string_view::npos ? text.size() : dot;
        const std::string_view part = text.substr(pos, end - pos);
        unsigned value = 0;
        const auto [ptr, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || ec != std::errc() || ptr != part.data() + part.size() || value > 255) {
            ok = false;
            break;
        }
        result = (result << 8) | value;
        pos = dot == std::string_view::npos ? text.size() + 1 : dot + 1;
    }
    if (!ok) {
        static const std::string message = Utf8ToGbk("版本号得到错误");
        WriteLog(text);
        WriteLog(message);
        return std::nullopt;
    }
    return result;
}

std::optional<std::uint32_t> ProgramVersion() {
    return PackVersion(ReadFileVersion(ProgramFilePath()));
}

// ---------------------------------------------------------------------------
// Shell

namespace {

bool StartsWithScheme(std::string_view text) {
    // A scheme of one letter would be a drive letter ("C:"), not an address.
    std::size_t i = 0;
    auto isAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (text.empty() || !isAlpha(text[0])) {
        return false;
    }
    for (i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ':') {
            return i >= 2;
        }
        if (!isAlpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return false;
}

}  // namespace

QUrl ShellTargetUrl(std::string_view target) {
    if (target.empty()) {
        return {};
    }
    if (StartsWithScheme(target)) {
        return QUrl(QString::fromStdString(GbkToUtf8(target)), QUrl::TolerantMode);
    }
    const QString path = QString::fromStdString(GbkToUtf8(ToSlashSeparators(target)));
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
}

bool OpenInShell(std::string_view target) {
    const QUrl url = ShellTargetUrl(target);
    if (!url.isValid()) {
        return false;
    }
    return QDesktopServices::openUrl(url);
}

// ---------------------------------------------------------------------------
// Web addresses

namespace {

// Which entries are a base address (entry 0 or 1) followed by a path of
// their own; -1 for entries stored whole.
constexpr std::array<int, kWebAddressCount> kWebAddressBase = {-1, -1, -1, 1, -1, -1, 0,  1, 1,
                                                               1,  1,  1,  1, 1,  0,  -1, 0, 0};

std::optional<std::string> OpenWebPart(int index) {
    const std::string sealed =
        IniFile(AppPath("WebAddress.dat")).ReadString("WebAddress", std::to_string(index), "");
    if (sealed.empty()) {
        WriteLog("WebAddress " + std::to_string(index) + ": entry missing");
        return std::nullopt;
    }
    try {
        return TrimBlanks(OpenSealedText(sealed, kWebAddressKey, KeyKind::Aes256));
    } catch (const std::exception& e) {
        WriteLog("WebAddress " + std::to_string(index) + ": " + e.what());
        return std::nullopt;
    }
}

}  // namespace

std::string WebAddress(int index) {
    if (index < 0 || index >= kWebAddressCount) {
        WriteLog("WebAddress " + std::to_string(index) + ": no such entry");
        return {};
    }
    const auto part = OpenWebPart(index);
    if (!part) {
        return {};
    }
    const int base = kWebAddressBase[static_cast<std::size_t>(index)];
    if (base < 0) {
        return *part;
    }
    const auto baseText = OpenWebPart(base);
    if (!baseText) {
        return {};
    }
    return *baseText + *part;
}

std::optional<std::string> FormatWebText(std::string_view format, const std::vector<WebArg>& args) {
    std::string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 >= format.size()) {
            return std::nullopt;
        }
        const char conv = format[++i];
        if (conv == '%') {
            out += '%';
            continue;
        }
        if ((conv != 'd' && conv != 's') || next == args.end()) {
            return std::nullopt;
        }
        const WebArg& arg = *next++;
        if (const auto* number = std::get_if<long long>(&arg)) {
            out += std::to_string(*number);
        } else if (conv == 's') {
            out += std::get<std::string>(arg);
        } else {
            return std::nullopt;
        }
    }
    return out;
}

std::string FormatWebAddress(int index, const std::vector<WebArg>& args) {
    const std::string format = WebAddress(index);
    if (format.empty()) {
        return {};
    }
    auto text = FormatWebText(format, args);
    if (!text) {
        WriteLog("WebAddress " + std::to_string(index) + ": format does not fit its arguments");
        return {};
    }
    return *text;
}
