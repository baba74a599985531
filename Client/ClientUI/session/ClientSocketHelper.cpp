#include "session/ClientSocketHelper.h"

#include "foundation/APIUtils.h"
#include "foundation/ModuleNames.h"

TClientSocketHelper::~TClientSocketHelper() {
    CloseInstance();
}

bool TClientSocketHelper::CreateInstance(IApplication* application) {
    CloseInstance();
    if (!module_.Open(ModulePath(kClientSocketModule))) {
        WriteLog("ClientSocket: " + module_.LastError());
        return false;
    }
    auto setApplication = module_.Find<SetApplicationProc>("SetApplication");
    auto create = module_.Find<CreateClientSocketProc>("CreateClientSocket");
    if (!setApplication || !create || !application) {
        module_.Close();
        return false;
    }
    setApplication(application);
    Socket = create();
    if (!Socket) {
        setApplication(nullptr);
        module_.Close();
        return false;
    }
    return true;
}

void TClientSocketHelper::CloseInstance() {
    if (Socket) {
        IClientSocket* socket = Socket;
        Socket = nullptr;
        socket->Release();
    }
    if (module_.IsOpen()) {
        if (auto setApplication = module_.Find<SetApplicationProc>("SetApplication"))
            setApplication(nullptr);
        module_.Close();
    }
}
