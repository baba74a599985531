#include "engine/ModuleLibrary.h"

#include <dlfcn.h>

bool TModuleLibrary::Open(const std::string& path) {
    Close();
    lastError_.clear();
    // Local binding: two modules exporting the same names (every module has
    // a SetApplication) must not resolve to each other.
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* error = dlerror();
        lastError_ = error != nullptr ? error : "cannot load " + path;
        return false;
    }
    return true;
}

void TModuleLibrary::Close() {
    if (handle_ != nullptr) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

void* TModuleLibrary::Symbol(const char* name) {
    if (handle_ == nullptr || name == nullptr) {
        return nullptr;
    }
    dlerror();
    void* address = dlsym(handle_, name);
    if (address == nullptr) {
        const char* error = dlerror();
        lastError_ = error != nullptr ? error : std::string("no export ") + name;
    }
    return address;
}
