// The data module: created first at start-up, it sets the program folder,
// opens the resource pack, loads the skins and the filter words, fills the
// shared image lists and installs the application's exception handler.
#pragma once

#include <QImage>
#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "foundation/ImageList.h"
#include "foundation/ResDll.h"
#include "foundation/SkinData.h"

class TgResModule : public QObject {
    Q_OBJECT

  public:
    // Catalogues belong to later subsystems; the program entry registers how
    // to create and free them before the data module is created.
    static void SetCatalogueHooks(std::function<void()> create, std::function<void()> destroy);

    // appDir, with a trailing "/", replaces the program folder (tests run
    // against a folder of their own); empty means the program folder.
    explicit TgResModule(std::string appDir = {}, QObject* parent = nullptr);
    ~TgResModule() override;

    // Run by the constructor and destructor. A failing step of the creation
    // ends it there; the failure is logged and start-up goes on.
    void DataModuleCreate();
    void DataModuleDestroy();

    // The application-wide exception handler: one line of the daily log.
    void appEventException(const std::string& message);

    TSkinData skinData1;                 // every window but the room windows' frames
    TSkinData skinData2;                 // the room windows' frames only
    TImageList imgLstUserOrder{16, 16};  // level icons, then order icons
    TImageList FaceList{60, 60};
    TImageList imgLstMicro{16, 16};
    TImageList imgLstNavigation{42, 41};
    TImageList imgSeal{65, 32};
    TImageList PngSeal{45, 22};
    QImage pngUserList;

  private:
    void ReportFailure(const std::string& message);

    std::string appDirOverride_;
    bool cataloguesCreated_ = false;
    std::unique_ptr<TResDLL> resDll_;
};

// Background colour of the face list, a Delphi colour value (0x00BBGGRR).
inline constexpr std::uint32_t kFaceListBkColor = 14811135;

extern TgResModule* gResModule;
