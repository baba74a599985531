// Paths of data files inside the program folder.
#pragma once

#include <string>
#include <string_view>

// AppDir + relative, with every backslash separator of `relative` turned into
// "/" (GBK trail bytes that happen to be 0x5C are left alone). A component
// that does not exist with exactly that spelling is matched without regard to
// ASCII case against its folder's entries, because the data names the same
// folder "emotions\" and "Emotions\". When nothing matches, the rest of the
// path is joined as given, so writing to the result creates it there.
std::string AppPath(std::string_view relative);

// The same resolution below an explicit folder (with or without trailing "/").
std::string ResolvePathUnder(std::string_view folder, std::string_view relative);

// Backslashes that are separators become "/"; double-byte GBK characters are
// copied whole.
std::string ToSlashSeparators(std::string_view gbkPath);
