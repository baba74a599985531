// The outside modules keep their Windows names wherever the program talks
// about them; this is the one place that turns such a name into the file that
// actually sits in the program folder.
#pragma once

#include <string>
#include <string_view>

// Windows name of the audio/video control's module.
inline constexpr std::string_view kAVControlModule = "AVCtrl2.ocx";

// The local file name for a Windows module name, compared case-insensitively
// ("ClientModule.dll" -> "libClientModule.so"). A name without a mapping is
// returned unchanged.
std::string ModuleFileName(std::string_view windowsName);

// AppPath() of the mapped file name: where the module is loaded from.
std::string ModulePath(std::string_view windowsName);
