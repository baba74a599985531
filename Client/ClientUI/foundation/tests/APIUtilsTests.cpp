#include <elf.h>
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "common/Cipher.h"
#include "common/GbkText.h"
#include "foundation/APIUtils.h"
#include "foundation/Globals.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class TempAppDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        root_ = dir_.path().toStdString() + "/";
        AppDir = root_;
    }
    void TearDown() override { AppDir.clear(); }

    // Everything logged today (the functions under test use the clock).
    std::string TodaysLog() const { return ReadAll(LogFilePath(QDateTime::currentDateTime())); }

    QTemporaryDir dir_;
    std::string root_;
};

// --- Log ---------------------------------------------------------------

using WriteLogTest = TempAppDirTest;

TEST_F(WriteLogTest, OneFilePerDayWithoutYearAndOneCrLfLinePerRecord) {
    const std::string gbk = Utf8ToGbk("登录失败");
    WriteLogAt(QDateTime(QDate(2024, 12, 9), QTime(23, 59, 59)), gbk);
    WriteLogAt(QDateTime(QDate(2024, 12, 10), QTime(0, 0, 1)), "next day");
    WriteLogAt(QDateTime(QDate(2025, 12, 9), QTime(8, 5, 3)), "a year later");

    EXPECT_EQ(ReadAll(root_ + "Log/12-9.log"),
              "[2024-12-9 23:59:59] " + gbk + "\r\n[2025-12-9 8:05:03] a year later\r\n");
    EXPECT_EQ(ReadAll(root_ + "Log/12-10.log"), "[2024-12-10 0:00:01] next day\r\n");
}

TEST_F(WriteLogTest, UnwritableLogIsSilentlyLost) {
    WriteAll(root_ + "Log", "a file where the folder should be");
    EXPECT_NO_THROW(WriteLog("lost"));
    EXPECT_EQ(ReadAll(root_ + "Log"), "a file where the folder should be");
}

TEST(DebugLineTest, WritesOnlyWhileDebug1TxtIsInTheCurrentDirectory) {
    QTemporaryDir cwd;
    ASSERT_TRUE(cwd.isValid());
    const fs::path old = fs::current_path();
    fs::current_path(cwd.path().toStdString());

    testing::internal::CaptureStdout();
    DebugLine("hidden");
    WriteAll("Debug1.txt", "");
    DebugLine("TClientEngineHelper.Create called");
    const std::string out = testing::internal::GetCapturedStdout();
    fs::current_path(old);

    EXPECT_EQ(out, "TClientEngineHelper.Create called\n");
}

// --- Version -----------------------------------------------------------

using PackVersionTest = TempAppDirTest;

TEST_F(PackVersionTest, PacksFourNumbersFirstIntoTheHighestByte) {
    const struct {
        const char* text;
        std::uint32_t packed;
    } cases[] = {
        {"1.0.0.1", 0x01000001u},         {"1.2.3.4", 0x01020304u},      {"0.0.0.0", 0u},
        {"255.255.255.255", 0xFFFFFFFFu}, {"10.020.30.40", 0x0A141E28u}, {"1.2.3.4.9", 0x01020304u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PackVersion(c.text), c.packed) << c.text;
    }
    EXPECT_FALSE(fs::exists(root_ + "Log"));
}

TEST_F(PackVersionTest, BadTextGivesNoValueAndLogsTextThenErrorLine) {
    for (const char* bad :
         {"", "1.0.0", "1.0.0.", "1..0.1", "1.a.0.1", "256.0.0.1", "1.0.0.-1", " 1.0.0.1"}) {
        EXPECT_FALSE(PackVersion(bad).has_value()) << bad;
    }
    fs::remove_all(root_ + "Log");

    const auto result = PackVersion("1.0.0");
    EXPECT_FALSE(result.has_value());
    const std::string log = TodaysLog();
    const auto text = log.find("] 1.0.0\r\n");
    const auto error = log.find("] " + Utf8ToGbk("版本号得到错误") + "\r\n");
    ASSERT_NE(text, std::string::npos) << log;
    ASSERT_NE(error, std::string::npos) << log;
    EXPECT_LT(text, error);
}

// This test executable is stamped with the project version.
TEST(ReadFileVersionTest, ReadsTheStampOfTheRunningExecutable) {
    EXPECT_EQ(ReadFileVersion("/proc/self/exe"), "1.0.0.1");
    EXPECT_EQ(PackVersion(ReadFileVersion("/proc/self/exe")), 0x01000001u);
    EXPECT_EQ(ProgramVersion(), 0x01000001u);
}

// A minimal ELF file: null section, name table, version section.
struct ElfShape {
    bool is64 = true;
    bool bigEndian = false;
    std::string content = std::string("2.3.4.5") + '\0';
    std::uint32_t nameShift = 0;        // added to the version section's name offset
    std::uint64_t contentOffset = 0;    // 0: where the content really is
    std::uint32_t type = SHT_PROGBITS;  // of the version section
    int entsizeShrink = 0;              // taken off e_shentsize
};

template <class T>
T Order(T v, bool big) {
    if (!big || sizeof(T) == 1) {
        return v;
    }
    T out{};
    auto* src = reinterpret_cast<const unsigned char*>(&v);
    auto* dst = reinterpret_cast<unsigned char*>(&out);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        dst[i] = src[sizeof(T) - 1 - i];
    }
    return out;
}

template <class Ehdr, class Shdr>
std::string BuildElf(const ElfShape& shape, unsigned char elfClass) {
    const std::string names = std::string("\0.shstrtab\0.chatroom_version\0", 29);
    const std::uint64_t namesAt = sizeof(Ehdr);
    const std::uint64_t contentAt = namesAt + names.size();
    const std::uint64_t headersAt = contentAt + shape.content.size();
    const bool big = shape.bigEndian;

    Ehdr eh{};
    std::memcpy(eh.e_ident, ELFMAG, SELFMAG);
    eh.e_ident[EI_CLASS] = elfClass;
    eh.e_ident[EI_DATA] = big ? ELFDATA2MSB : ELFDATA2LSB;
    eh.e_ident[EI_VERSION] = EV_CURRENT;
    eh.e_type = Order<decltype(eh.e_type)>(ET_EXEC, big);
    eh.e_shoff = Order<decltype(eh.e_shoff)>(headersAt, big);
    eh.e_ehsize = Order<decltype(eh.e_ehsize)>(sizeof(Ehdr), big);
    eh.e_shentsize = Order<decltype(eh.e_shentsize)>(sizeof(Shdr) - shape.entsizeShrink, big);
    eh.e_shnum = Order<decltype(eh.e_shnum)>(3, big);
    eh.e_shstrndx = Order<decltype(eh.e_shstrndx)>(1, big);

    Shdr sh[3]{};
    sh[1].sh_name = Order<decltype(sh[1].sh_name)>(1, big);
    sh[1].sh_type = Order<decltype(sh[1].sh_type)>(SHT_STRTAB, big);
    sh[1].sh_offset = Order<decltype(sh[1].sh_offset)>(namesAt, big);
    sh[1].sh_size = Order<decltype(sh[1].sh_size)>(names.size(), big);
    sh[2].sh_name = Order<decltype(sh[2].sh_name)>(11 + shape.nameShift, big);
    sh[2].sh_type = Order<decltype(sh[2].sh_type)>(shape.type, big);
    sh[2].sh_offset = Order<decltype(sh[2].sh_offset)>(
        shape.contentOffset != 0 ? shape.contentOffset : contentAt, big);
    sh[2].sh_size = Order<decltype(sh[2].sh_size)>(shape.content.size(), big);

    std::string out(reinterpret_cast<const char*>(&eh), sizeof eh);
    out += names;
    out += shape.content;
    out.append(reinterpret_cast<const char*>(sh), sizeof sh);
    return out;
}

std::string BuildElf(const ElfShape& shape) {
    return shape.is64 ? BuildElf<Elf64_Ehdr, Elf64_Shdr>(shape, ELFCLASS64)
                      : BuildElf<Elf32_Ehdr, Elf32_Shdr>(shape, ELFCLASS32);
}

using ReadFileVersionFileTest = TempAppDirTest;

TEST_F(ReadFileVersionFileTest, ReadsWellFormedFilesOfEitherClassAndByteOrder) {
    ElfShape shape;
    const std::string longText(300, '7');
    const struct {
        bool is64;
        bool big;
        std::string content;
        std::string expected;
    } cases[] = {
        {true, false, shape.content, "2.3.4.5"},          {false, false, shape.content, "2.3.4.5"},
        {true, true, shape.content, "2.3.4.5"},           {false, true, shape.content, "2.3.4.5"},
        {true, false, longText, longText.substr(0, 255)},  // no terminator, capped
    };
    for (const auto& c : cases) {
        shape.is64 = c.is64;
        shape.bigEndian = c.big;
        shape.content = c.content;
        WriteAll(root_ + "f", BuildElf(shape));
        EXPECT_EQ(ReadFileVersion(root_ + "f"), c.expected) << c.is64 << c.big;
    }
}

TEST_F(ReadFileVersionFileTest, DamagedOrForeignFilesGiveEmptyText) {
    const std::string self = ReadAll("/proc/self/exe");
    ASSERT_GT(self.size(), 4096u);
    // The same executable with its stamp section renamed.
    std::string unstamped = self;
    for (auto at = unstamped.find(".chatroom_version"); at != std::string::npos;
         at = unstamped.find(".chatroom_version", at)) {
        unstamped[at + 16] = 'X';
    }
    ElfShape farName;
    farName.nameShift = 1000;
    ElfShape pastEnd;
    pastEnd.contentOffset = 1u << 30;
    ElfShape noBits;
    noBits.type = SHT_NOBITS;
    ElfShape shortEntries;
    shortEntries.entsizeShrink = 1;
    std::string badClass = BuildElf(ElfShape{});
    badClass[EI_CLASS] = 7;

    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"unstamped executable", unstamped},
        {"empty file", ""},
        {"text file", "FileVersion=1.0.0.1\n"},
        {"ident only", self.substr(0, 16)},
        {"ELF header only", self.substr(0, 64)},
        {"first half", self.substr(0, self.size() / 2)},
        {"all but the last byte", self.substr(0, self.size() - 1)},
        {"name outside the name table", BuildElf(farName)},
        {"content past the end", BuildElf(pastEnd)},
        {"content without file bytes", BuildElf(noBits)},
        {"section headers too short", BuildElf(shortEntries)},
        {"unknown class", badClass},
    };
    for (const auto& c : cases) {
        WriteAll(root_ + "f", c.bytes);
        EXPECT_EQ(ReadFileVersion(root_ + "f"), "") << c.name;
    }
    EXPECT_EQ(ReadFileVersion(root_ + "missing"), "");
    EXPECT_EQ(ReadFileVersion(root_), "");  // a folder
}

// --- Shell -------------------------------------------------------------

TEST(ShellTargetUrlTest, AddressesStayAddressesAndPathsBecomeFileUrls) {
    EXPECT_EQ(ShellTargetUrl("http://127.0.0.1:7480/help.html?a=1"),
              QUrl("http://127.0.0.1:7480/help.html?a=1"));
    EXPECT_EQ(ShellTargetUrl("mailto:someone@example.com").scheme(), "mailto");

    const QUrl file = ShellTargetUrl("/tmp/Users/" + Utf8ToGbk("表") + "/capture/a b.jpg");
    EXPECT_TRUE(file.isLocalFile());
    EXPECT_EQ(file.toLocalFile(), QString::fromUtf8("/tmp/Users/表/capture/a b.jpg"));

    const QUrl relative = ShellTargetUrl("capture\\1.jpg");
    EXPECT_TRUE(relative.isLocalFile());
    EXPECT_EQ(relative.toLocalFile(), QDir::current().absoluteFilePath("capture/1.jpg"));

    EXPECT_FALSE(ShellTargetUrl("").isValid());
    EXPECT_FALSE(OpenInShell(""));
}

// --- Web addresses -----------------------------------------------------

class WebAddressTest : public TempAppDirTest {
  protected:
    void SetUp() override {
        TempAppDirTest::SetUp();
        std::string dat = "[WebAddress]\r\n";
        for (int i = 0; i < kWebAddressCount; ++i) {
            std::string plain = "part" + std::to_string(i);
            if (i == 0) {
                plain = "http://home/";
            } else if (i == 1) {
                plain = "  http://base/ \t";  // trimmed when opened
            } else if (i == 3) {
                plain = "lobby?user=%s&key=%s";
            }
            const std::string sealed =
                i == 5 ? "NOT HEX" : SealText(plain, kWebAddressKey, KeyKind::Aes256);
            if (i != 8) {
                dat += std::to_string(i) + "=" + sealed + "\r\n";
            }
        }
        WriteAll(root_ + "WebAddress.dat", dat);
    }
};

TEST_F(WebAddressTest, OpensSinglePartsAndJoinsComposedEntriesToTheirBase) {
    EXPECT_EQ(WebAddress(0), "http://home/");
    EXPECT_EQ(WebAddress(1), "http://base/");
    EXPECT_EQ(WebAddress(2), "part2");
    EXPECT_EQ(WebAddress(3), "http://base/lobby?user=%s&key=%s");
    EXPECT_EQ(WebAddress(6), "http://home/part6");
    EXPECT_EQ(WebAddress(15), "part15");
    EXPECT_EQ(WebAddress(17), "http://home/part17");
    EXPECT_EQ(FormatWebAddress(3, {std::string("10001"), Md5Hex("pw")}),
              "http://base/lobby?user=10001&key=" + Md5Hex("pw"));
}

TEST_F(WebAddressTest, OutOfRangeMissingOrDamagedEntriesGiveEmptyTextAndALogLine) {
    for (int index : {-1, 18, 5, 8}) {
        EXPECT_EQ(WebAddress(index), "") << index;
    }
    const std::string log = TodaysLog();
    EXPECT_NE(log.find("WebAddress 18"), std::string::npos) << log;
    EXPECT_NE(log.find("WebAddress 5"), std::string::npos) << log;
    EXPECT_NE(log.find("WebAddress 8"), std::string::npos) << log;

    fs::remove(root_ + "WebAddress.dat");
    EXPECT_EQ(WebAddress(0), "");
}

TEST(FormatWebTextTest, FillsConversionsInOrderAndRefusesMismatches) {
    const std::optional<std::string> none;
    const struct {
        const char* format;
        std::vector<WebArg> args;
        std::optional<std::string> expected;
    } cases[] = {
        {"u=%d&o=%d", {10001, 20002}, "u=10001&o=20002"},
        {"u=%s&k=%s", {std::string("7"), std::string("ab")}, "u=7&k=ab"},
        {"u=%s", {42}, "u=42"},
        {"100%%/%d", {5}, "100%/5"},
        {"plain", {1, 2}, "plain"},
        {"u=%d", {std::string("x")}, none},
        {"u=%d&k=%s", {1}, none},
        {"u=%n", {1}, none},
        {"u=%x", {1}, none},
        {"trailing %", {}, none},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatWebText(c.format, c.args), c.expected) << c.format;
    }
}

// The table built into the program folder from the repository's plain list.
TEST(DeployedWebAddressTest, SealedTableOpensToTheLocalServicePages) {
    const char* appDir = std::getenv("CHATROOM_APP_DIR");
    AppDir = std::string(appDir != nullptr ? appDir : CHATROOM_TEST_APP_DIR) + "/";
    EXPECT_EQ(WebAddress(0), "http://127.0.0.1:7480/");
    EXPECT_EQ(WebAddress(3), "http://127.0.0.1:7480/lobby?user=%s&key=%s");
    EXPECT_EQ(WebAddress(4), "http://127.0.0.1:7480/addgold?user=%d&owner=%d");
    EXPECT_EQ(WebAddress(13), "http://127.0.0.1:7480/update/ChatRoomSetup.bin");
    EXPECT_EQ(WebAddress(17), "http://127.0.0.1:7480/userinfo?user=%d&key=%s");
    for (int i = 0; i < kWebAddressCount; ++i) {
        EXPECT_EQ(WebAddress(i).rfind("http://127.0.0.1:7480/", 0), 0u) << i;
    }
    AppDir.clear();
}

}  // namespace
