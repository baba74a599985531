#include "foundation/AppPaths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/GbkText.h"
#include "foundation/Globals.h"

namespace fs = std::filesystem;

namespace {

// ASCII letters fold; both bytes of a double-byte character must match
// exactly, since a trail byte may look like a letter.
bool SameNameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (IsGbkLeadByte(ca) && i + 1 < a.size()) {
            if (ca != cb || a[i + 1] != b[i + 1]) {
                return false;
            }
            ++i;
            continue;
        }
        const auto la = (ca >= 'A' && ca <= 'Z') ? ca + 32 : ca;
        const auto lb = (cb >= 'A' && cb <= 'Z') ? cb + 32 : cb;
        if (la != lb) {
            return false;
        }
    }
    return true;
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::path(path), ec);
}

// The entry of `folder` whose name equals `name` without regard to case; the
// smallest such name when several differ only in case, so the answer does not
// depend on directory order.
std::string FindNoCase(const std::string& folder, std::string_view name) {
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder.empty() ? "." : folder), ec);
    std::vector<std::string> matches;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (SameNameNoCase(entry, name)) {
            matches.push_back(std::move(entry));
        }
    }
    if (matches.empty()) {
        return {};
    }
    return *std::min_element(matches.begin(), matches.end());
}

}  // namespace

std::string ToSlashSeparators(std::string_view gbkPath) {
    std::string out(gbkPath);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (IsGbkLeadByte(c) && i + 1 < out.size()) {
            ++i;
        } else if (c == '\\') {
            out[i] = '/';
        }
    }
    return out;
}

std::string ResolvePathUnder(std::string_view folder, std::string_view relative) {
    std::string result(folder);
    if (!result.empty() && result.back() != '/') {
        result += '/';
    }
    const std::string rel = ToSlashSeparators(relative);
    bool resolving = true;
    std::size_t pos = 0;
    while (pos <= rel.size()) {
        const auto slash = rel.find('/', pos);
        const std::size_t end = slash == std::string::npos ? rel.size() : slash;
        const std::string_view part = std::string_view(rel).substr(pos, end - pos);
        if (!part.empty()) {
            if (resolving && part != "." && part != ".." && !Exists(result + std::string(part))) {
                const std::string found = FindNoCase(result, part);
                if (found.empty()) {
                    // Nothing below a missing folder can exist either.
                    resolving = false;
                    result += part;
                } else {
                    result += found;
                }
            } else {
                result += part;
            }
        }
        if (slash == std::string::npos) {
            break;
        }
        if (result.empty() || result.back() != '/') {
            result += '/';
        }
        pos = slash + 1;
    }
    return result;
}

std::string AppPath(std::string_view relative) {
    return ResolvePathUnder(AppDir, relative);
}
