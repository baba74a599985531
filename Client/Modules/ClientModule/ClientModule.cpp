// Exports of the chat engine module.
//
// The engine itself (the room protocol, "CreateClientEngine" returning an
// IClientEngine) is implemented in its own files beside this one and exported
// the same way, with CHATROOM_MODULE_EXPORT.
#include <mutex>

#include "ModuleApplication.h"
#include "engine/ClientEngineInf.h"

#define CHATROOM_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Module threads post while the UI thread may be clearing the object at
// shutdown: the lock makes "read the pointer and post" one step, so nothing
// is posted to an application that has been withdrawn.
std::mutex applicationLock;
IApplication* application = nullptr;

}  // namespace

IApplication* ModuleApplication() {
    std::lock_guard lock(applicationLock);
    return application;
}

bool PostToUi(std::function<void()> task) {
    std::lock_guard lock(applicationLock);
    if (application == nullptr || !task) {
        return false;
    }
    application->Post(std::move(task));
    return true;
}

CHATROOM_MODULE_EXPORT void SetApplication(IApplication* app) {
    std::lock_guard lock(applicationLock);
    application = app;
}
