#pragma once
// Runs everything a user can do with an archive (open it, list it, show, export and compare every
// file) in a child process, and reports how it ended, how long it took and how much memory
// it took on top of what the process held before.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvanel::hostile {

struct RunReport {
    bool exitedNormally = false; // no crash, no abort, no sanitizer report
    double seconds = 0;
    uint64_t peakGrowthBytes = 0; // peak resident memory above the start of the run
    uint64_t archiveBytes = 0;
};

// The child first builds the archive with build and writes it to archivePath: libraries that
// keep thread pools (libsquish's OpenMP) must not be started before a fork.
RunReport OpenListShowAndExportAll(const std::function<std::vector<uint8_t>()>& build,
    const std::string& archivePath, const std::string& outFolder, double timeLimitSeconds);

} // namespace orvanel::hostile
