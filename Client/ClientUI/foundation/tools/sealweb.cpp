// sealweb <plain.ini> <WebAddress.dat>
// Seals every entry of section "WebAddress" (keys 0..17) of a plain address
// table into the file the program reads. Composed entries hold only their
// path part; the program knows which base goes in front.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "common/Cipher.h"
#include "common/IniFile.h"

namespace {

constexpr int kEntries = 18;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <plain.ini> <WebAddress.dat>\n", argv[0]);
        return 2;
    }
    const IniFile plain(argv[1]);
    const std::string outPath = argv[2];
    std::string content = "[WebAddress]\r\n";
    for (int i = 0; i < kEntries; ++i) {
        const std::string key = std::to_string(i);
        if (!plain.ValueExists("WebAddress", key)) {
            std::fprintf(stderr, "sealweb: %s: entry %d of [WebAddress] is missing\n", argv[1], i);
            return 1;
        }
        const std::string value = plain.ReadString("WebAddress", key, "");
        content += key + "=" + SealText(value, kWebAddressKey, KeyKind::Aes256) + "\r\n";
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(outPath).parent_path(), ec);
    if (!WriteFileAtomically(outPath, content)) {
        std::fprintf(stderr, "sealweb: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}
