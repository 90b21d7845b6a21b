#pragma once
// Shared by the fuzz targets: a scratch folder in memory-backed storage.

#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace orvanel::fuzz {

// A folder of this process's own, under /dev/shm when it exists.
inline const std::filesystem::path& ScratchFolder()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path base = std::filesystem::exists("/dev/shm")
            ? std::filesystem::path("/dev/shm")
            : std::filesystem::temp_directory_path();
        auto path = base / ("orvanel-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

} // namespace orvanel::fuzz
