#pragma once
// Whole-file memory mapping and file status, the platform layer under the archive
// reader. One implementation per platform (FileMappingPosix.cpp here).

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvanel {

struct MappedFile {
    uint8_t* view = nullptr; // first byte of the mapped file; null when not mapped
    size_t length = 0;       // bytes mapped (the whole file)
    intptr_t fileHandle = -1;
    intptr_t mappingHandle = -1; // unused where the platform has no separate mapping object
};

// Opens the file and maps all of it, read-only or read-write. On failure returns
// false with the failing call's error code left in LastPlatformError().
bool MapWholeFile(const std::string& path, bool writable, MappedFile& out);
// Releases a mapping made by MapWholeFile and closes its handles.
void UnmapWholeFile(MappedFile& file);
int LastPlatformError();

struct DATFileStatus {
    uint64_t length = 0;
    int64_t modifiedTime = 0; // seconds since the epoch
    int64_t accessTime = 0;
    int64_t changeTime = 0;
    uint32_t attributes = 0; // the platform's mode bits
    std::string fullPath;
};

// Fills status for the file at path; false (status untouched) when it cannot be queried.
bool QueryFileStatus(const std::string& path, DATFileStatus& status);

} // namespace orvanel
