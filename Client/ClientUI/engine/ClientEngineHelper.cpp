#include "engine/ClientEngineHelper.h"

#include "foundation/APIUtils.h"
#include "foundation/ModuleNames.h"

TClientEngineHelper::TClientEngineHelper() {
    DebugLine("TClientEngineHelper.Create called");
}

TClientEngineHelper::~TClientEngineHelper() {
    CloseInstance();
    DebugLine("TClientEngineHelper.Destroy called");
}

bool TClientEngineHelper::CreateInstance() {
    CloseInstance();
    if (!module_.Open(ModulePath("ClientModule.dll"))) {
        return false;
    }
    auto create = module_.Find<CreateClientEngineFunc>("CreateClientEngine");
    IClientEngine* engine = create != nullptr ? create() : nullptr;
    if (engine == nullptr) {
        module_.Close();
        return false;
    }
    Engine = engine;
    DebugLine("TClientEngineHelper.CreateInstance successed");
    return true;
}

void TClientEngineHelper::CloseInstance() {
    if (Engine != nullptr) {
        // Detach first: a callback during the close must not see a half-gone
        // engine through this helper.
        IClientEngine* engine = Engine;
        Engine = nullptr;
        engine->CloseEngine();
        engine->Release();
    }
    module_.Close();
    DebugLine("TClientEngineHelper.CloseInstance() successed");
}
