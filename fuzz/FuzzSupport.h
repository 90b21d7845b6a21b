#pragma once
// Shared by the fuzz targets: a scratch folder in memory-backed storage and prompts that
// answer Yes, so that every input is walked even when its recorded size is wrong.

#include "archive/Platform.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace orvanel::fuzz {

class CYesPrompts final : public IUserPrompts {
public:
    void Inform(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return true; }
};

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

inline bool WriteWholeFile(const std::string& path, const uint8_t* data, size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

} // namespace orvanel::fuzz
