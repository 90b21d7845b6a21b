#pragma once
// Whole-file memory mapping and file status, the platform layer under the archive reader.
// One implementation per platform, in platform/.

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

// Opens the file and maps all of it, read-only or read-write. Only a regular, non-empty file
// is mapped, and the open never waits (a pipe without a writer is refused at once). On
// failure returns false with the failing call's error code left as the system's last error.
bool MapWholeFile(const std::string& path, bool writable, MappedFile& out);
// Releases a mapping made by MapWholeFile and closes its handles.
void UnmapWholeFile(MappedFile& file);
// Why the last MapWholeFile failed, in a few words for the user ("No such file", "Is a
// folder", "Permission denied", "Not a regular file", ...); empty after a success.
std::string LastMapFailureReason();

// Copies count bytes out of a mapped view (or any other memory). False, with out partly
// written, when the file behind the view no longer holds those bytes: another program cut it
// short while it was mapped. Reading such bytes straight from the view would end the process.
bool CopyFromView(uint8_t* out, const uint8_t* from, size_t count);
// Runs read(context), which reads straight from mapped views, so that such a cut-short file
// ends the call early instead of the process: false then. read must only read and copy plain
// data (it may be left at any point), never allocate or hold anything that needs destroying.
bool RunGuarded(void (*read)(void* context), void* context);

// What the proper-archive check asks of the archive file: its length.
struct DATFileStatus {
    uint64_t length = 0;
};

// Fills status for the file at path; false (status untouched) when it cannot be queried.
bool QueryFileStatus(const std::string& path, DATFileStatus& status);

// Whether path names a regular file that can be opened for reading; it never waits, as
// opening a named pipe that nobody writes to would.
bool CanOpenForReading(const std::string& path);

} // namespace orvanel
