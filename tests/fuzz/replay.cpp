// Replays fuzz inputs through a fuzz target's LLVMFuzzerTestOneInput without
// libFuzzer: every file of the folders given, in name order. Each is named
// before it runs, so that an abort (the target's or a sanitizer's) says which.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv)
{
    std::set<std::filesystem::path> paths;
    for (int i = 1; i < argc; ++i) {
        if (!std::filesystem::is_directory(argv[i]))
            paths.insert(argv[i]);
        else
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                paths.insert(entry.path());
    }
    for (const auto& path : paths) {
        std::fprintf(stderr, "replaying %s\n", path.c_str());
        std::ifstream in(path, std::ios::binary);
        if (!in.is_open()) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", paths.size());
    return paths.empty() ? 2 : 0;
}
