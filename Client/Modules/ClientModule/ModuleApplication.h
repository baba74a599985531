// The application object the program handed over with SetApplication: the
// module's way back onto the UI thread.
#pragma once

#include <functional>

#include "common/ModuleApi.h"

// Null before SetApplication and after SetApplication(nullptr).
IApplication* ModuleApplication();

// Runs the task on the UI thread. Returns false, dropping the task, when no
// application object is set (start-up not done or shutdown begun). Safe from
// any thread.
bool PostToUi(std::function<void()> task);
