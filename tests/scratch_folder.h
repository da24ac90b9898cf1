// A folder of a test's own in the system's temporary folder, made with the standard library alone
// so that the tests need no POSIX calls; it goes, with everything in it, when the record does.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

struct ScratchFolder {
    std::filesystem::path path;

    // Makes a new, empty folder PREFIX_<number>; path stays empty when none can be made.
    explicit ScratchFolder(const char* prefix) {
        std::random_device random;
        std::error_code error;
        std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
        // create_directory says false for a folder that exists, so two tests never share one.
        for (int attempt = 0; !error && attempt < 100; attempt++) {
            std::filesystem::path candidate =
                temporary / (std::string(prefix) + "_" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, error)) {
                path = candidate;
                return;
            }
        }
    }
    ~ScratchFolder() {
        std::error_code error;
        if (!path.empty())
            std::filesystem::remove_all(path, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};
