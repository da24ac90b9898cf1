// Replays fuzz inputs without libFuzzer: linked with a fuzz target in the ordinary test builds,
// it feeds every file named on the command line (or found directly inside a named directory) to
// the target once, so each input kept in the corpus is checked by every test run.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Feeds one file to the target; false when it cannot be read.
static bool replay(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (file.bad())
        return false;
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

int main(int argc, char** argv) {
    int replayed = 0;
    for (int i = 1; i < argc; i++) {
        std::error_code error;
        std::vector<std::filesystem::path> paths;
        if (std::filesystem::is_directory(argv[i], error)) {
            for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
                if (entry.is_regular_file())
                    paths.push_back(entry.path());
            }
        } else {
            paths.push_back(argv[i]);
        }
        if (error) {
            fprintf(stderr, "cannot list %s: %s\n", argv[i], error.message().c_str());
            return 1;
        }
        for (const auto& path : paths) {
            if (!replay(path)) {
                fprintf(stderr, "cannot read %s\n", path.string().c_str());
                return 1;
            }
            replayed++;
        }
    }
    // An empty or misnamed corpus would otherwise pass without checking anything.
    if (replayed == 0) {
        fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    printf("replayed %d inputs\n", replayed);
    return 0;
}
