#include "common/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>

#include "common/GbkText.h"
#include "common/TextUtils.h"

namespace {

enum class LineKind { Blank, Comment, Section, Key, Other };

struct Line {
    std::string text;  // without the line end
    std::string eol;   // "\r\n", "\n" or "" for a last line without one
    LineKind kind = LineKind::Other;
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Position of an ASCII character that is not the second byte of a GBK
// character ("]" and "\\" occur as such).
std::size_t FindAscii(std::string_view s, char ch) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ch)
            return i;
        if (IsGbkLeadByte(static_cast<unsigned char>(s[i])))
            ++i;
    }
    return std::string_view::npos;
}

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

void Classify(Line& line) {
    std::string_view t = TrimSpaces(line.text);
    if (t.empty()) {
        line.kind = LineKind::Blank;
    } else if (t.front() == ';' || t.front() == '#') {
        line.kind = LineKind::Comment;
    } else if (t.front() == '[') {
        std::size_t close = FindAscii(t, ']');
        if (close == std::string_view::npos)
            return;  // malformed, kept but ignored
        line.kind = LineKind::Section;
        line.name = TrimSpaces(t.substr(1, close - 1));
    } else {
        std::size_t eq = t.find('=');
        if (eq == std::string_view::npos)
            return;
        std::string_view key = TrimSpaces(t.substr(0, eq));
        if (key.empty())
            return;
        line.kind = LineKind::Key;
        line.name = key;
        line.value = TrimSpaces(t.substr(eq + 1));
    }
}

struct Document {
    std::vector<Line> lines;
    // False when the file exists but could not be read; writing would then
    // replace content never seen, so writes refuse.
    bool readable = true;

    static Document Load(const std::string& path) {
        Document doc;
        // Whatever cannot be read (missing, a folder, no permission) reads as empty.
        std::string text;
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) {
            doc.readable = errno == ENOENT;
            return doc;
        }
        char buf[8192];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            text.append(buf, n);
        if (std::ferror(f)) {
            text.clear();
            doc.readable = false;
        }
        std::fclose(f);
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t nl = text.find('\n', pos);
            Line line;
            if (nl == std::string::npos) {
                line.text = text.substr(pos);
                pos = text.size();
            } else {
                std::size_t end = nl;
                if (end > pos && text[end - 1] == '\r') {
                    --end;
                    line.eol = "\r\n";
                } else {
                    line.eol = "\n";
                }
                line.text = text.substr(pos, end - pos);
                pos = nl + 1;
            }
            Classify(line);
            doc.lines.push_back(std::move(line));
        }
        return doc;
    }

    std::string Text() const {
        std::string out;
        for (const Line& l : lines)
            out += l.text + l.eol;
        return out;
    }

    // Calls f(index) for every key line inside sections named `section`.
    template <typename F>
    void ForEachKey(std::string_view section, F&& f) const {
        bool inside = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Line& l = lines[i];
            if (l.kind == LineKind::Section)
                inside = EqualsNoCase(l.name, section);
            else if (inside && l.kind == LineKind::Key && !f(i))
                return;
        }
    }

    const Line* FindKey(std::string_view section, std::string_view key) const {
        const Line* found = nullptr;
        ForEachKey(section, [&](std::size_t i) {
            if (!EqualsNoCase(lines[i].name, key))
                return true;
            found = &lines[i];
            return false;
        });
        return found;
    }

    bool HasSection(std::string_view section) const {
        for (const Line& l : lines)
            if (l.kind == LineKind::Section && EqualsNoCase(l.name, section))
                return true;
        return false;
    }

    void AppendLine(std::string text) {
        if (!lines.empty() && lines.back().eol.empty())
            lines.back().eol = "\r\n";
        Line l;
        l.text = std::move(text);
        l.eol = "\r\n";
        Classify(l);
        lines.push_back(std::move(l));
    }
};

// Names and values that would change the file's structure when written.
bool ValidName(std::string_view name, bool isKey) {
    if (TrimSpaces(name).empty() || TrimSpaces(name).size() != name.size())
        return false;
    if (name.find_first_of("\r\n") != std::string_view::npos)
        return false;
    if (isKey) {
        if (name.find('=') != std::string_view::npos)
            return false;
        if (name.front() == '[' || name.front() == ';' || name.front() == '#')
            return false;
    } else if (FindAscii(name, ']') != std::string_view::npos) {
        return false;
    }
    return true;
}

std::string Unquote(std::string_view v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool ParseInteger(std::string_view text, int& out) {
    std::string_view t = TrimSpaces(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    }
    if (t.empty())
        return false;
    unsigned long long v = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, base);
    if (ec != std::errc() || end != t.data() + t.size())
        return false;
    if (negative) {
        if (v > static_cast<unsigned long long>(INT_MAX) + 1)
            return false;
        out = static_cast<int>(-static_cast<long long>(v));
    } else {
        // Hex spellings of negative numbers ("0xFFFFFFFF") read as their 32-bit value.
        if (base == 16 ? v > UINT_MAX : v > static_cast<unsigned long long>(INT_MAX))
            return false;
        out = static_cast<int>(static_cast<unsigned int>(v));
    }
    return true;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    Document doc = Document::Load(path_);
    const Line* l = doc.FindKey(section, key);
    return l ? Unquote(l->value) : std::string(def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    Document doc = Document::Load(path_);
    const Line* l = doc.FindKey(section, key);
    int value = def;
    if (!l || !ParseInteger(Unquote(l->value), value))
        return def;
    return value;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (!ValidName(section, false) || !ValidName(key, true))
        return false;
    if (value.find_first_of("\r\n") != std::string_view::npos)
        return false;

    Document doc = Document::Load(path_);
    if (!doc.readable)
        return false;
    std::size_t keyLine = SIZE_MAX;
    doc.ForEachKey(section, [&](std::size_t i) {
        if (!EqualsNoCase(doc.lines[i].name, key))
            return true;
        keyLine = i;
        return false;
    });
    if (keyLine != SIZE_MAX) {
        Line& l = doc.lines[keyLine];
        l.text = l.name + "=" + std::string(value);
        Classify(l);
        return WriteFileAtomically(path_, doc.Text());
    }

    // A new key goes after the last key of the first section by that name.
    std::size_t header = SIZE_MAX, insertAfter = SIZE_MAX;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
        const Line& l = doc.lines[i];
        if (l.kind == LineKind::Section) {
            if (header != SIZE_MAX)
                break;
            if (EqualsNoCase(l.name, section))
                header = insertAfter = i;
        } else if (header != SIZE_MAX && l.kind == LineKind::Key) {
            insertAfter = i;
        }
    }
    std::string text = std::string(key) + "=" + std::string(value);
    if (header == SIZE_MAX) {
        doc.AppendLine("[" + std::string(section) + "]");
        doc.AppendLine(std::move(text));
    } else {
        Line& before = doc.lines[insertAfter];
        if (before.eol.empty())
            before.eol = "\r\n";
        Line l;
        l.text = std::move(text);
        l.eol = "\r\n";
        Classify(l);
        doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(insertAfter) + 1,
                         std::move(l));
    }
    return WriteFileAtomically(path_, doc.Text());
}

bool IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

bool IniFile::SectionExists(std::string_view section) const {
    return Document::Load(path_).HasSection(section);
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    return Document::Load(path_).FindKey(section, key) != nullptr;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
    Document doc = Document::Load(path_);
    std::vector<std::string> names;
    doc.ForEachKey(section, [&](std::size_t i) {
        const std::string& name = doc.lines[i].name;
        for (const std::string& n : names)
            if (EqualsNoCase(n, name))
                return true;
        names.push_back(name);
        return true;
    });
    return names;
}

std::vector<std::string> IniFile::ReadSections() const {
    Document doc = Document::Load(path_);
    std::vector<std::string> names;
    for (const Line& l : doc.lines) {
        if (l.kind != LineKind::Section)
            continue;
        bool seen = false;
        for (const std::string& n : names)
            seen = seen || EqualsNoCase(n, l.name);
        if (!seen)
            names.push_back(l.name);
    }
    return names;
}

bool IniFile::EraseSection(std::string_view section) {
    Document doc = Document::Load(path_);
    if (!doc.readable)
        return false;
    std::vector<Line> kept;
    bool inside = false, changed = false;
    for (Line& l : doc.lines) {
        if (l.kind == LineKind::Section)
            inside = EqualsNoCase(l.name, section);
        if (inside)
            changed = true;
        else
            kept.push_back(std::move(l));
    }
    if (!changed)
        return true;
    doc.lines = std::move(kept);
    return WriteFileAtomically(path_, doc.Text());
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
    Document doc = Document::Load(path_);
    if (!doc.readable)
        return false;
    std::vector<std::size_t> hits;
    // Every copy goes, or a later duplicate would surface in its place.
    doc.ForEachKey(section, [&](std::size_t i) {
        if (EqualsNoCase(doc.lines[i].name, key))
            hits.push_back(i);
        return true;
    });
    if (hits.empty())
        return true;
    for (auto it = hits.rbegin(); it != hits.rend(); ++it)
        doc.lines.erase(doc.lines.begin() + static_cast<std::ptrdiff_t>(*it));
    return WriteFileAtomically(path_, doc.Text());
}

bool WriteFileAtomically(const std::string& path, std::string_view content) {
    std::size_t slash = path.find_last_of('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string temp = path + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;

    bool ok = true;
    // Keep the permissions of the file being replaced; new files get the usual ones.
    struct stat st {};
    mode_t mode = 0644;
    if (stat(path.c_str(), &st) == 0)
        mode = st.st_mode & 07777;
    ok = fchmod(fd, mode) == 0;

    const char* p = content.data();
    std::size_t left = content.size();
    while (ok && left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}
