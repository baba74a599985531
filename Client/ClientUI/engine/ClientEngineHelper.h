// Loads the chat engine module for one room window and holds its engine.
#pragma once

#include "engine/ClientEngineInf.h"
#include "engine/ModuleLibrary.h"

class TClientEngineHelper {
  public:
    TClientEngineHelper();
    ~TClientEngineHelper();
    TClientEngineHelper(const TClientEngineHelper&) = delete;
    TClientEngineHelper& operator=(const TClientEngineHelper&) = delete;

    // Drops any engine held, loads the module afresh and creates an engine.
    // False when the module, its export or the engine is missing.
    bool CreateInstance();
    // Closes and releases the engine, then unloads the module.
    void CloseInstance();

    // Null while no engine is held.
    IClientEngine* Engine = nullptr;

  private:
    TModuleLibrary module_;
};
