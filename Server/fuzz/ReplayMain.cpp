// Replays fuzz inputs without libFuzzer: every file named on the command line
// (folders: every file inside), or standard input when none is named, as AFL
// drives a target.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

static void Run(const std::string& bytes) {
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::string in((std::istreambuf_iterator<char>(std::cin)), {});
        Run(in);
        return 0;
    }
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(argv[i])) {
            for (const auto& e : std::filesystem::recursive_directory_iterator(argv[i]))
                if (e.is_regular_file())
                    files.push_back(e.path());
        } else {
            files.emplace_back(argv[i]);
        }
        for (const auto& f : files) {
            std::ifstream s(f, std::ios::binary);
            if (!s) {
                std::cerr << "cannot read " << f << "\n";
                return 1;
            }
            Run(std::string((std::istreambuf_iterator<char>(s)), {}));
            ++count;
        }
    }
    std::cout << "replayed " << count << " inputs\n";
    return count ? 0 : 1;
}
