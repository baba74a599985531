#include "common/IniFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/GbkText.h"

namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("ini_test_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "Config.dat").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    void Put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string Get() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    fs::path dir_;
    std::string path_;
};

const char kSample[] =
    "; profile\r\n"
    "[User]\r\n"
    "Name = Alice \r\n"
    "name=second\r\n"
    "Quoted=\"  spaced  \"\r\n"
    "garbage line without equals\r\n"
    "=no key\r\n"
    "[broken\r\n"
    "Count=0x1F\r\n"
    "# hash comment\r\n"
    "\r\n"
    "[Other]\n"
    "Neg=-12\n"
    "Bad=12abc\n"
    "Flag=1\n"
    "[user]\r\n"
    "Late=yes\r\n";

TEST_F(IniFileTest, ReadsWithWindowsSemantics) {
    Put(kSample);
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadString("USER", "NAME", "x"), "Alice");  // first wins, trimmed
    EXPECT_EQ(ini.ReadString("user", "quoted", "x"), "  spaced  ");
    EXPECT_EQ(ini.ReadString("User", "Count", "x"), "0x1F");  // "[broken" is no section
    EXPECT_EQ(ini.ReadString("User", "Late", "x"), "yes");    // repeated section joins in
    EXPECT_EQ(ini.ReadString("User", "Missing", "def"), "def");
    EXPECT_EQ(ini.ReadString("Nope", "Name", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("user", "count", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Other", "Neg", 0), -12);
    EXPECT_EQ(ini.ReadInteger("Other", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadInteger("User", "Name", 7), 7);
    EXPECT_TRUE(ini.ReadBool("Other", "Flag", false));
    EXPECT_TRUE(ini.ReadBool("Other", "Missing", true));
    EXPECT_TRUE(ini.SectionExists("OTHER"));
    EXPECT_FALSE(ini.SectionExists("broken"));
    EXPECT_TRUE(ini.ValueExists("user", "LATE"));
    EXPECT_FALSE(ini.ValueExists("user", "garbage line without equals"));
    EXPECT_EQ(ini.ReadSection("user"),
              (std::vector<std::string>{"Name", "Quoted", "Count", "Late"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"User", "Other"}));
}

TEST_F(IniFileTest, MissingFileReadsDefaultsAndWriteCreatesIt) {
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadString("s", "k", "d"), "d");
    EXPECT_EQ(ini.ReadInteger("s", "k", 5), 5);
    EXPECT_TRUE(ini.ReadSection("s").empty());
    EXPECT_TRUE(ini.DeleteKey("s", "k"));
    EXPECT_TRUE(ini.EraseSection("s"));
    EXPECT_FALSE(fs::exists(path_));

    ASSERT_TRUE(ini.WriteString("Login", "User", "42"));
    ASSERT_TRUE(ini.WriteInteger("Login", "Port", -8000));
    ASSERT_TRUE(ini.WriteBool("Net", "Auto", true));
    EXPECT_EQ(Get(), "[Login]\r\nUser=42\r\nPort=-8000\r\n[Net]\r\nAuto=1\r\n");
    EXPECT_EQ(IniFile(path_).ReadInteger("login", "port", 0), -8000);  // a second object sees it
}

TEST_F(IniFileTest, WritePreservesEverythingElseByteForByte) {
    Put(kSample);
    IniFile ini(path_);
    // Second bytes 0x5C and 0x5D must survive, in values and in section names.
    const std::string gbk = Utf8ToGbk("聊天室") + "\x81\x5C\x81\x5D";
    ASSERT_TRUE(ini.WriteString("user", "NAME", gbk));
    ASSERT_TRUE(ini.WriteString("Other", "Added", "v"));
    ASSERT_TRUE(ini.WriteString("User", "New", "n"));
    ASSERT_TRUE(ini.WriteInteger("OTHER", "neg", 5));  // the line keeps its LF end
    std::string expected = kSample;
    expected.replace(expected.find("Name = Alice \r\n"), 15, "Name=" + gbk + "\r\n");
    expected.replace(expected.find("Flag=1\n"), 7, "Flag=1\nAdded=v\r\n");
    expected.replace(expected.find("Neg=-12\n"), 8, "Neg=5\n");
    expected.replace(expected.find("Count=0x1F\r\n"), 12, "Count=0x1F\r\nNew=n\r\n");
    EXPECT_EQ(Get(), expected);
    EXPECT_EQ(ini.ReadString("User", "Name", ""), gbk);
    ASSERT_TRUE(ini.WriteString(gbk, "k", "v"));
    EXPECT_EQ(ini.ReadString(gbk, "K", ""), "v");
    EXPECT_EQ(ini.ReadSections().back(), gbk);
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey) {
    Put("[A]\r\nk=1\r\n; note\r\n[B]\r\nk=2\r\nk=3\r\nj=4\r\n[a]\r\nz=5\r\n");
    IniFile ini(path_);
    ASSERT_TRUE(ini.DeleteKey("b", "K"));
    EXPECT_EQ(ini.ReadString("B", "k", "gone"), "gone");  // a duplicate does not resurface
    ASSERT_TRUE(ini.EraseSection("A"));
    EXPECT_EQ(Get(), "[B]\r\nj=4\r\n");
}

TEST_F(IniFileTest, LastLineWithoutEndAndStructureBreakingInput) {
    Put("[S]\nk=1");
    IniFile ini(path_);
    ASSERT_TRUE(ini.WriteString("S", "m", "2"));
    EXPECT_EQ(Get(), "[S]\nk=1\r\nm=2\r\n");
    // A line break, "=" in a key or "]" in a section name would write other entries.
    EXPECT_FALSE(ini.WriteString("S", "k", "1\r\n[Evil]\r\nx=1"));
    EXPECT_FALSE(ini.WriteString("S", "a=b", "1"));
    EXPECT_FALSE(ini.WriteString("S]x", "k", "1"));
    EXPECT_FALSE(ini.WriteString("S", "", "1"));
    EXPECT_EQ(Get(), "[S]\nk=1\r\nm=2\r\n");
}

TEST_F(IniFileTest, FailedWriteLeavesOldFileIntact) {
    IniFile missingFolder((dir_ / "nofolder" / "Config.dat").string());
    EXPECT_FALSE(missingFolder.WriteString("s", "k", "v"));
    EXPECT_FALSE(fs::exists(dir_ / "nofolder"));

    // The target is a folder: the rename fails and no temporary file stays.
    fs::create_directory(dir_ / "AsDir");
    IniFile asDir((dir_ / "AsDir").string());
    EXPECT_EQ(asDir.ReadString("s", "k", "d"), "d");
    EXPECT_FALSE(asDir.WriteString("s", "k", "v"));
    EXPECT_FALSE(asDir.EraseSection("s"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

    if (geteuid() != 0) {  // root reads and writes regardless of permissions
        // A profile that exists but cannot be read is not replaced by one key.
        Put("[s]\r\nk=old\r\n");
        fs::permissions(path_, fs::perms::none);
        EXPECT_FALSE(IniFile(path_).WriteString("s", "other", "new"));
        fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(Get(), "[s]\r\nk=old\r\n");

        Put("[s]\r\nk=old\r\n");
        fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(IniFile(path_).WriteString("s", "k", "new"));
        fs::permissions(dir_, fs::perms::owner_all);
        EXPECT_EQ(Get(), "[s]\r\nk=old\r\n");
    }
}

TEST_F(IniFileTest, AtomicWriteKeepsPermissions) {
    Put("old");
    ::chmod(path_.c_str(), 0640);
    ASSERT_TRUE(WriteFileAtomically(path_, "new"));
    EXPECT_EQ(Get(), "new");
    EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
