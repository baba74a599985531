// The daily diagnostic log, the debug console line, the program version, the
// shell's "open" and the table of web addresses. Text arguments are GBK.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class QDateTime;
class QUrl;

// Appends "[yyyy-M-d H:mm:ss] text" + CR LF to AppDir + "Log/M-d.log" (no year
// in the name, so the same date of another year shares the file). Creates the
// Log folder when missing; never throws, a line that cannot be written is lost.
void WriteLog(std::string_view text);
// WriteLog with the clock given by the caller.
void WriteLogAt(const QDateTime& when, std::string_view text);
// The log file a line written at `when` goes to.
std::string LogFilePath(const QDateTime& when);

// Writes text + newline to standard output while a file "Debug1.txt" exists in
// the current directory (checked at every call).
void DebugLine(std::string_view text);

// The FileVersion text that chatroom_stamp_version() puts into the
// ".chatroom_version" section of an executable (ELF, 32- or 64-bit, either
// byte order); at most 255 characters. Empty when the file cannot be read, is
// not ELF, is damaged or truncated, or has no such section.
std::string ReadFileVersion(const std::string& path);

// "a.b.c.d" -> a<<24 | b<<16 | c<<8 | d. Fewer than four items, an item that is
// not a decimal number or a number above 255 gives no value (every 32-bit
// value is a valid version, so failure cannot be one of them); the text and
// "版本号得到错误" are then written to the log. Items after the fourth are
// ignored. Comparing the result with a server's version (`==`) is false on
// failure.
std::optional<std::uint32_t> PackVersion(std::string_view text);
// PackVersion of the running executable's FileVersion.
std::optional<std::uint32_t> ProgramVersion();

// Opens an address (any text starting with a scheme such as "http:") or a
// local file with the desktop's default handler. Returns false when nothing
// could be started.
bool OpenInShell(std::string_view target);
// What OpenInShell hands to the desktop: the address itself, or a file URL of
// the absolute path.
QUrl ShellTargetUrl(std::string_view target);

inline constexpr int kWebAddressCount = 18;

// Entry `index` (0-17) of the web address table sealed in AppDir +
// "WebAddress.dat": each stored part opened with kWebAddressKey (AES-256),
// trimmed, a base address joined in front of the entries composed that way.
// An index outside the table, a missing or damaged part gives empty text and a
// log line.
std::string WebAddress(int index);

// One argument of an address format: integers fill "%d", texts "%s".
using WebArg = std::variant<long long, std::string>;

// Replaces the "%d" and "%s" conversions of `format` with `args` in order
// ("%%" is a percent sign). The format comes from a data file, so it is never
// handed to printf: an unknown conversion, a text for "%d" or a missing
// argument gives no value. Extra arguments are ignored. "%s" takes a number
// too, as decimal text.
std::optional<std::string> FormatWebText(std::string_view format, const std::vector<WebArg>& args);
// FormatWebText over WebAddress(index); empty text (logged) on failure.
std::string FormatWebAddress(int index, const std::vector<WebArg>& args);
