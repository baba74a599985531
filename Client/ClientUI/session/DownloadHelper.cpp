#include "session/DownloadHelper.h"

#include "foundation/APIUtils.h"
#include "foundation/ModuleNames.h"

TDownloadServiceHelper::TDownloadServiceHelper() {
    DebugLine("TDownLoadServiceHelper.Create called");
}

TDownloadServiceHelper::~TDownloadServiceHelper() {
    CloseInstance();
    DebugLine("TDownLoadServiceHelper.Destroy called");
}

bool TDownloadServiceHelper::CreateInstance() {
    CloseInstance();
    if (!module_.Open(ModulePath("ClientModule.dll"))) {
        WriteLog("DownLoadService: " + module_.LastError());
        return false;
    }
    auto create = module_.Find<CreateDownLoadServiceProc>("CreateDownLoadService");
    IDownLoadService* service = nullptr;
    if (!create || create(&service) != kS_OK || !service) {
        module_.Close();
        return false;
    }
    Service = service;
    DebugLine("TDownLoadServiceHelper.CreateInstance successed");
    return true;
}

void TDownloadServiceHelper::CloseInstance() {
    if (Service) {
        IDownLoadService* service = Service;
        Service = nullptr;
        service->Release();
    }
    module_.Close();
    DebugLine("TDownLoadServiceHelper.CloseInstance() successed");
}
