// INI files with the semantics of the Windows private-profile functions:
// section and key names match without regard to ASCII case, a missing file or
// key reads as the default, writing creates the file, and everything else in
// the file (other keys, comments, blank lines, order) survives a write.
// Values are kept byte for byte (GBK). Every call reads the file afresh, so
// two objects on the same path see each other's writes. A write replaces the
// file through a temporary file and a rename, so a crash never leaves half a
// profile behind.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class IniFile {
public:
    explicit IniFile(std::string path);

    const std::string& Path() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // A value that is not a whole decimal number (blanks around it allowed,
    // "0x" hex accepted) reads as the default.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // Return false when the file cannot be written; the old file is then intact.
    // Also false, writing nothing, for a file that exists but cannot be read,
    // and for names or values that would change the file's structure (line
    // breaks, "=" in a key, "]" in a section name, empty names).
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);

    // True when the section header is present, even with no keys under it.
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    // Key names of a section in file order (first spelling of each key).
    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<std::string> ReadSections() const;
    // Every section by that name goes, with all its lines up to the next header.
    bool EraseSection(std::string_view section);
    // Every copy of the key goes, so no duplicate surfaces in its place.
    bool DeleteKey(std::string_view section, std::string_view key);

private:
    std::string path_;
};

// Writes `content` to `path` through a temporary file in the same folder that
// is flushed and renamed over the target. Returns false and leaves the old
// file as it was on any failure.
bool WriteFileAtomically(const std::string& path, std::string_view content);
