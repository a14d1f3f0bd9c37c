// Replays fuzz inputs through a fuzz target's LLVMFuzzerTestOneInput without
// libFuzzer: every file of the folders given, each in a child process of its
// own, so that one input that aborts does not hide the others.

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// Longest time one input may take, sanitizers included.
constexpr unsigned input_seconds = 60;

int run_one(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    alarm(input_seconds);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        if (std::filesystem::is_directory(argv[i], error)) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
                if (entry.is_regular_file())
                    paths.push_back(entry.path().string());
        } else {
            paths.push_back(argv[i]);
        }
    }
    std::sort(paths.begin(), paths.end());
    if (paths.empty()) {
        std::fprintf(stderr, "usage: %s corpus-folder-or-file...\n", argv[0]);
        return 2;
    }
    std::vector<std::string> failed;
    for (const std::string& path : paths) {
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child < 0) {
            std::perror("fork");
            return 1;
        }
        if (child == 0)
            _exit(run_one(path));
        int status = 0;
        if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            if (WIFSIGNALED(status))
                std::fprintf(stderr, "FAILED %s: %s\n", path.c_str(), strsignal(WTERMSIG(status)));
            else
                std::fprintf(stderr, "FAILED %s: exit status %d\n", path.c_str(), WEXITSTATUS(status));
            failed.push_back(path);
        }
    }
    std::printf("%zu inputs replayed, %zu failed\n", paths.size(), failed.size());
    for (const std::string& path : failed)
        std::printf("  failed: %s\n", path.c_str());
    return failed.empty() ? 0 : 1;
}
