#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/Cipher.h"
#include "common/GbkText.h"
#include "common/IniFile.h"
#include "foundation/Globals.h"
#include "foundation/ProfileStore.h"

namespace fs = std::filesystem;

namespace {

class ProfileStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.path().toStdString() + "/app/";
        fs::create_directories(root_);
        AppDir = root_;
        SetRegistryPathForTests(dir_.path().toStdString() + "/home/ChatRoom/registry.ini");
        UserFonts = {};
    }
    void TearDown() override {
        AppDir.clear();
        UserFonts = {};
        SetRegistryPathForTests("");
        SetProfileSavedHook(nullptr);
    }

    IniFile Config(const std::string& account) const {
        return IniFile(root_ + "Users/" + account + "/Config.dat");
    }
    void MakeProfile(const std::string& account, const std::string& type) {
        fs::create_directories(root_ + "Users/" + account);
        Config(account).WriteString("user", "type", type);
    }

    QTemporaryDir dir_;
    std::string root_;
};

TEST_F(ProfileStoreTest, ListsOnlyFoldersWithAProfileAndHidesVisitors) {
    EXPECT_TRUE(ListProfiles().empty());
    EXPECT_TRUE(fs::is_directory(root_ + "Users"));

    MakeProfile("zed", "0");
    MakeProfile("Alice", "0");
    MakeProfile("guest1", "guest");
    MakeProfile("Carl", "Guest");  // only exactly "guest" hides a profile
    fs::create_directories(root_ + "Users/bob");
    std::ofstream(root_ + "Users/plainfile") << "x";
    fs::create_directories(root_ + "Users/dave");
    std::ofstream(root_ + "Users/dave/config.DAT") << "[user]\ntype=0\n";  // any case

    EXPECT_EQ(ListProfiles(), (std::vector<std::string>{"Alice", "Carl", "dave", "zed"}));
}

TEST_F(ProfileStoreTest, FirstLoginCreatesTheProfileThenStoresTheRememberedPassword) {
    std::vector<std::string> hooked;
    SetProfileSavedHook([&](const std::string& path) { hooked.push_back(path); });

    SaveProfileAfterLogin("  10001 \t", "secret", true, false);

    const std::string path = root_ + "Users/10001/Config.dat";
    ASSERT_TRUE(fs::exists(path));
    const IniFile cfg(path);
    for (const char* key : {"roomfont", "labafont", "notifyfont"}) {
        EXPECT_EQ(cfg.ReadString("font", key, ""), Utf8ToGbk("宋体,9,0,0,0,0")) << key;
    }
    EXPECT_EQ(cfg.ReadString("user", "isp", ""), "1");
    const std::string sealed = cfg.ReadString("user", "path", "");
    EXPECT_NE(sealed, "secret");
    EXPECT_EQ(sealed.size(), 2u * (8 + 16));  // sealed with the password key, one block
    EXPECT_FALSE(cfg.ValueExists("user", "type"));
    EXPECT_EQ(ReadLastUser(), "10001");
    EXPECT_EQ(hooked, std::vector<std::string>{path});

    const auto login = LoadProfile(" 10001 ");
    ASSERT_TRUE(login.has_value());
    EXPECT_TRUE(login->Remember);
    EXPECT_EQ(login->Password, "secret");
    EXPECT_EQ(UserFonts.Chat, Utf8ToGbk("宋体,9,0,0,0,0"));
    EXPECT_EQ(UserFonts.SystemNotice, Utf8ToGbk("宋体,9,0,0,0,0"));

    SaveProfileAfterLogin("10001", "secret", false, false);
    EXPECT_EQ(cfg.ReadString("user", "path", "x"), "");
    EXPECT_EQ(cfg.ReadString("user", "isp", ""), "0");
    EXPECT_FALSE(LoadProfile("10001")->Remember);
    EXPECT_EQ(LoadProfile("10001")->Password, "");
}

TEST_F(ProfileStoreTest, VisitorProfileIsMarkedAndNotListedButStaysTheLastUser) {
    SaveProfileAfterLogin("888", "", false, true);
    EXPECT_EQ(Config("888").ReadString("user", "type", ""), "guest");
    EXPECT_TRUE(ListProfiles().empty());
    EXPECT_EQ(ReadLastUser(), "888");
}

TEST_F(ProfileStoreTest, FolderWithoutProfileGetsOneOnLogin) {
    fs::create_directories(root_ + "Users/10002/capture");
    SaveProfileAfterLogin("10002", "pw", true, false);
    EXPECT_EQ(LoadProfile("10002")->Password, "pw");
}

TEST_F(ProfileStoreTest, LoadReadsFontsAndPasswordStateAsStored) {
    UserFonts.Chat = "unchanged";
    EXPECT_FALSE(LoadProfile("nobody").has_value());
    EXPECT_EQ(UserFonts.Chat, "unchanged");

    MakeProfile("a", "0");
    IniFile cfg = Config("a");
    cfg.WriteString("Font", "Chat", "Arial,12,255,1,0,0");
    cfg.WriteString("Font", "RoomNotice", "Tahoma,10,0,0,1,0");
    cfg.WriteString("user", "isp", "1");  // remembered, but no password stored
    const auto login = LoadProfile("a");
    ASSERT_TRUE(login.has_value());
    EXPECT_FALSE(login->Remember);
    EXPECT_EQ(UserFonts.Chat, "Arial,12,255,1,0,0");
    EXPECT_EQ(UserFonts.Laba, Utf8ToGbk("宋体,9,0,0,0,0"));
    EXPECT_EQ(UserFonts.RoomNotice, "Tahoma,10,0,0,1,0");

    cfg.WriteString("user", "isp", "0");
    cfg.WriteString("user", "path", SealText("pw", kPasswordKey, KeyKind::Aes128));
    EXPECT_FALSE(LoadProfile("a")->Remember);
    EXPECT_EQ(LoadProfile("a")->Password, "");
}

TEST_F(ProfileStoreTest, DamagedPasswordThrowsAfterTheFontsAreLoaded) {
    MakeProfile("a", "0");
    IniFile cfg = Config("a");
    cfg.WriteString("Font", "Chat", "Arial,12,0,0,0,0");
    cfg.WriteString("user", "isp", "1");
    cfg.WriteString("user", "path", "ZZ");
    EXPECT_THROW(LoadProfile("a"), ConvertError);
    EXPECT_EQ(UserFonts.Chat, "Arial,12,0,0,0,0");
    cfg.WriteString("user", "path", "0200000000000000ABCD");  // not a whole block
    EXPECT_THROW(LoadProfile("a"), CipherError);
}

TEST_F(ProfileStoreTest, AccountsThatAreNotPlainFolderNamesSaveNothing) {
    bool hooked = false;
    SetProfileSavedHook([&](const std::string&) { hooked = true; });
    for (const char* account : {"", "   ", "..", "../escape", "a/b", "a\\b"}) {
        SaveProfileAfterLogin(account, "pw", true, false);
        EXPECT_FALSE(LoadProfile(account).has_value()) << account;
    }
    EXPECT_FALSE(hooked);
    EXPECT_FALSE(fs::exists(root_ + "lastlogin.dat"));
    EXPECT_FALSE(fs::exists(dir_.path().toStdString() + "/escape"));
    EXPECT_TRUE(fs::is_empty(root_ + "Users"));

    // A double-byte character whose trail byte is 0x5C is an ordinary name.
    const std::string gbk = "\x95\x5C";
    SaveProfileAfterLogin(gbk, "pw", true, false);
    EXPECT_TRUE(fs::exists(root_ + "Users/" + gbk + "/Config.dat"));
    EXPECT_EQ(ListProfiles(), std::vector<std::string>{gbk});
}

TEST_F(ProfileStoreTest, HallServerListDefaultsAndContents) {
    const THallServers none = ReadHallServers();
    EXPECT_EQ(none.Count, 0);
    EXPECT_EQ(none.Port, 7400);
    EXPECT_TRUE(none.Hosts.empty());
    EXPECT_EQ(none.PromotionId, 0);

    IniFile list(root_ + "loginsl.dat");
    list.WriteInteger("server", "ServerCount", 3);
    list.WriteInteger("server", "ServerPort", 8000);
    list.WriteString("server", "Server1", "hall1.example");
    list.WriteString("server", "Server2", "10.0.0.2");
    list.WriteString("server", "Server4", "not counted");
    list.WriteInteger("Other", "PromotionID", 55);
    const THallServers read = ReadHallServers();
    EXPECT_EQ(read.Count, 3);
    EXPECT_EQ(read.Port, 8000);
    EXPECT_EQ(read.Hosts, (std::vector<std::string>{"hall1.example", "10.0.0.2", ""}));
    EXPECT_EQ(read.PromotionId, 55);

    list.WriteInteger("server", "ServerCount", 2000000000);
    EXPECT_EQ(ReadHallServers().Hosts.size(), static_cast<std::size_t>(kMaxHallServers));
    list.WriteInteger("server", "ServerCount", -4);
    EXPECT_EQ(ReadHallServers().Count, 0);
}

TEST_F(ProfileStoreTest, NetTypeIsCreatedWithZeroOnFirstReadAndKeepsWrites) {
    const std::string reg = RegistryPath();
    EXPECT_FALSE(fs::exists(reg));
    EXPECT_EQ(ReadNetType(), 0);
    EXPECT_TRUE(IniFile(reg).ValueExists("Software\\ChatRoom", "NetType"));

    WriteNetType(1);
    EXPECT_EQ(ReadNetType(), 1);
    EXPECT_EQ(ReadVideoDrvIndex(), 0);
    WriteVideoDrvIndex(3);
    EXPECT_EQ(ReadVideoDrvIndex(), 3);
    EXPECT_EQ(ReadNetType(), 1);
}

TEST(RegistryPathTest, LivesUnderTheUsersConfigFolder) {
    struct SavedEnv {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<SavedEnv> saved;
    for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
        const char* v = std::getenv(name);
        saved.push_back({name, v != nullptr ? v : "", v != nullptr});
    }
    setenv("HOME", "/tmp/home-test", 1);
    setenv("XDG_CONFIG_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(RegistryPath(), "/tmp/xdg-test/ChatRoom/registry.ini");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryPath(), "/tmp/home-test/.config/ChatRoom/registry.ini");
    for (const auto& env : saved) {
        if (env.set) {
            setenv(env.name, env.value.c_str(), 1);
        } else {
            unsetenv(env.name);
        }
    }
}

}  // namespace
