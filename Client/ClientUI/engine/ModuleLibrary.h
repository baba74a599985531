// A shared library loaded at run time, looked up by export name and unloaded
// when closed. The loaders of the outside modules build on it.
#pragma once

#include <string>

class TModuleLibrary {
  public:
    TModuleLibrary() = default;
    ~TModuleLibrary() { Close(); }
    TModuleLibrary(const TModuleLibrary&) = delete;
    TModuleLibrary& operator=(const TModuleLibrary&) = delete;

    // Closes what was open first. False (with LastError set) when the file
    // is missing or does not load.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }

    // Address of an export, or null when there is none (or nothing is open).
    void* Symbol(const char* name);
    template <typename Function>
    Function Find(const char* name) {
        return reinterpret_cast<Function>(Symbol(name));
    }

    // What the system said about the last failure.
    const std::string& LastError() const { return lastError_; }

  private:
    void* handle_ = nullptr;
    std::string lastError_;
};
