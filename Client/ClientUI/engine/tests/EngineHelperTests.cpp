#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/ClientEngineHelper.h"
#include "foundation/Globals.h"
#include "foundation/ModuleNames.h"

namespace {

std::vector<std::string> events;
void RecordEvent(const char* event) {
    events.emplace_back(event);
}

using SetRecorderFunc = void (*)(void (*)(const char*), int);

// Runs in a scratch folder holding "Debug1.txt", so the loader's debug lines
// reach standard output, with AppDir pointing at one of the stand-in modules.
class EngineHelperTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previousDir_ = std::filesystem::current_path();
        scratch_ = std::filesystem::temp_directory_path() /
                   ("engine-helper-" + std::to_string(::getpid()));
        std::filesystem::create_directories(scratch_);
        std::ofstream(scratch_ / "Debug1.txt") << "on";
        std::filesystem::current_path(scratch_);
        events.clear();
        AppDir = TEST_ENGINE_MODULE_DIR;
    }
    void TearDown() override {
        std::filesystem::current_path(previousDir_);
        std::filesystem::remove_all(scratch_);
        AppDir.clear();
    }

    // Holds the module open for as long as the test needs to steer it, so its
    // recorder is set before the helper's own load.
    void* SteerModule(int mode) {
        void* handle = dlopen(ModulePath("ClientModule.dll").c_str(), RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(handle, nullptr) << dlerror();
        auto set = reinterpret_cast<SetRecorderFunc>(dlsym(handle, "TestEngineSetRecorder"));
        EXPECT_NE(set, nullptr);
        set(&RecordEvent, mode);
        return handle;
    }

    std::filesystem::path previousDir_;
    std::filesystem::path scratch_;
};

TEST_F(EngineHelperTest, LoadsEngineAndClosesItBeforeUnloading) {
    testing::internal::CaptureStdout();
    {
        TClientEngineHelper helper;
        void* steering = SteerModule(0);
        ASSERT_TRUE(helper.CreateInstance());
        dlclose(steering);
        ASSERT_NE(helper.Engine, nullptr);
        EXPECT_NE(helper.Engine->GetMyInfo(), nullptr);

        helper.CloseInstance();
        EXPECT_EQ(helper.Engine, nullptr);
        EXPECT_EQ(events, (std::vector<std::string>{"CreateClientEngine", "CloseEngine", "Release",
                                                    "unload"}));
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
              "TClientEngineHelper.Create called\n"
              // CreateInstance drops whatever was held first.
              "TClientEngineHelper.CloseInstance() successed\n"
              "TClientEngineHelper.CreateInstance successed\n"
              "TClientEngineHelper.CloseInstance() successed\n"
              // Destruction closes again, then says goodbye.
              "TClientEngineHelper.CloseInstance() successed\n"
              "TClientEngineHelper.Destroy called\n");
}

TEST_F(EngineHelperTest, DestructionAndReloadReleaseTheHeldEngine) {
    {
        TClientEngineHelper helper;
        void* steering = SteerModule(0);
        ASSERT_TRUE(helper.CreateInstance());
        // A second load (the room's reconnect) closes the first engine first.
        ASSERT_TRUE(helper.CreateInstance());
        dlclose(steering);
        EXPECT_EQ(events, (std::vector<std::string>{"CreateClientEngine", "CloseEngine", "Release",
                                                    "CreateClientEngine"}));
        events.clear();
    }
    EXPECT_EQ(events, (std::vector<std::string>{"CloseEngine", "Release", "unload"}));
}

TEST_F(EngineHelperTest, FactoryReturningNothingFailsAndUnloads) {
    TClientEngineHelper helper;
    void* steering = SteerModule(1);
    EXPECT_FALSE(helper.CreateInstance());
    EXPECT_EQ(helper.Engine, nullptr);
    dlclose(steering);
    EXPECT_EQ(events, (std::vector<std::string>{"CreateClientEngine", "unload"}));
}

TEST_F(EngineHelperTest, MissingModuleOrExportFails) {
    testing::internal::CaptureStdout();
    {
        TClientEngineHelper helper;
        AppDir = scratch_.string() + "/";
        EXPECT_FALSE(helper.CreateInstance());
        EXPECT_EQ(helper.Engine, nullptr);

        AppDir = NO_EXPORT_MODULE_DIR;
        EXPECT_FALSE(helper.CreateInstance());
        EXPECT_EQ(helper.Engine, nullptr);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("CreateInstance successed"),
              std::string::npos);
}

}  // namespace
