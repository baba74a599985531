// The program's run from start to end, shared by the program entry and the
// screenshot tool (which drives the same windows).
#pragma once

#include <functional>

// `started` runs once the application object exists, before the first
// window is created (the screenshot tool schedules its steps there).
int RunChatRoom(int& argc, char** argv, const std::function<void()>& started = {});
