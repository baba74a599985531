#include "foundation/ResModule.h"

#include <exception>
#include <fstream>
#include <iterator>

#include "foundation/APIUtils.h"
#include "foundation/AppPaths.h"
#include "foundation/ChatApplication.h"
#include "foundation/Globals.h"
#include "foundation/ModuleNames.h"

TgResModule* gResModule = nullptr;

namespace {

std::function<void()>& CreateCatalogues() {
    static std::function<void()> hook;
    return hook;
}

std::function<void()>& DestroyCatalogues() {
    static std::function<void()> hook;
    return hook;
}

bool FileExists(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in.good();
}

// One word per line, bytes kept as they are (GBK); line ends of either kind
// are stripped and empty lines skipped.
std::vector<std::string> ReadWordList(const std::string& path) {
    std::vector<std::string> words;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
            line.pop_back();
        }
        if (!line.empty()) {
            words.push_back(line);
        }
    }
    return words;
}

}  // namespace

void TgResModule::SetCatalogueHooks(std::function<void()> create, std::function<void()> destroy) {
    CreateCatalogues() = std::move(create);
    DestroyCatalogues() = std::move(destroy);
}

TgResModule::TgResModule(std::string appDir, QObject* parent)
    : QObject(parent), appDirOverride_(std::move(appDir)) {
    if (!appDirOverride_.empty() && appDirOverride_.back() != '/') {
        appDirOverride_ += '/';
    }
    if (gResModule == nullptr) {
        gResModule = this;
    }
    DataModuleCreate();
}

TgResModule::~TgResModule() {
    DataModuleDestroy();
    if (gResModule == this) {
        gResModule = nullptr;
    }
}

void TgResModule::DataModuleCreate() {
    try {
        UserLineType = 0;
        if (auto* app = TChatApplication::Instance()) {
            app->SetExceptionHandler([this](const std::string& m) { appEventException(m); });
        }
        AppDir = appDirOverride_.empty() ? ProgramFolder() : appDirOverride_;

        resDll_ = std::make_unique<TResDLL>(ModulePath("ResModule.DLL"));
        ResDll = resDll_.get();

        if (const std::string skin1 = AppPath("SkinRes/Default/skin1.skn"); FileExists(skin1)) {
            if (skinData1.LoadFromFile(skin1, QStringLiteral("/skin1"))) {
                skinData1.ApplyToApplication();
            }
        }
        if (const std::string skin2 = AppPath("SkinRes/Default/skin2.skn"); FileExists(skin2)) {
            skinData2.LoadFromFile(skin2, QStringLiteral("/skin2"));
        }

        if (CreateCatalogues()) {
            CreateCatalogues()();
            cataloguesCreated_ = true;
        }

        FilterWords.clear();
        if (const std::string filter = AppPath("Filter.txt"); FileExists(filter)) {
            FilterWords = ReadWordList(filter);
        }

        FaceList.SetBkColor(QColorFromTColor(kFaceListBkColor));
        ResDll->LoadImageStrip(imgLstUserOrder, "UserLevel", "BMP");
        // Consumers index order icons after the level icons.
        ResDll->LoadImageStrip(imgLstUserOrder, "UserOrder", "BMP");
        ResDll->LoadImageStrip(imgLstNavigation, "HallNavigation", "BMP");
        ResDll->LoadImageStrip(imgLstMicro, "MicroType", "BMP");
        ResDll->LoadImageStrip(FaceList, "UserHead", "BMP");
        // The manager badge the user list draws beside privileged users.
        ResDll->LoadPng(pngUserList, "UserListBadge", "PNG");
    } catch (const std::exception& e) {
        ReportFailure(e.what());
    } catch (...) {
        ReportFailure("Unknown exception");
    }
}

void TgResModule::ReportFailure(const std::string& message) {
    if (auto* app = TChatApplication::Instance()) {
        app->HandleException(message);
    } else {
        appEventException(message);
    }
}

void TgResModule::DataModuleDestroy() {
    if (ResDll == resDll_.get()) {
        ResDll = nullptr;
    }
    resDll_.reset();
    if (cataloguesCreated_ && DestroyCatalogues()) {
        DestroyCatalogues()();
    }
    cataloguesCreated_ = false;
    // The handler refers to this object; the default logs the same way.
    if (auto* app = TChatApplication::Instance()) {
        app->SetExceptionHandler({});
    }
}

void TgResModule::appEventException(const std::string& message) {
    WriteLog(message);
}
