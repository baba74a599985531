// Loads the engine module's download service for one download dialog.
#pragma once

#include "engine/ModuleLibrary.h"
#include "session/DownloadInf.h"

class TDownloadServiceHelper {
  public:
    TDownloadServiceHelper();
    ~TDownloadServiceHelper();
    TDownloadServiceHelper(const TDownloadServiceHelper&) = delete;
    TDownloadServiceHelper& operator=(const TDownloadServiceHelper&) = delete;

    // Releases what is held, loads "ClientModule.dll" and asks it for a
    // service. False when the module, its export or the service is missing.
    bool CreateInstance();
    void CloseInstance();

    // Null while no service is held.
    IDownLoadService* Service = nullptr;

  private:
    TModuleLibrary module_;
};
