#pragma once
// The sample archive that ships with the source: every kind of stored file the viewer shows,
// all of it drawn, synthesised and written here, so that the programs can be tried without
// the game installed.

#include <cstdint>
#include <string>

namespace orvanel::demo {

inline constexpr uint32_t kDemoBlockSize = 1024;

// Writes the sample archive to path; false when the file cannot be written.
bool WriteDemoArchive(const std::string& path);

} // namespace orvanel::demo
