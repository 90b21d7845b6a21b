#pragma once
// The program's own version information: the strings of its version resource, embedded when
// the program is built, and the version line the about box shows.

#include <cstdint>
#include <string>

namespace orvanel {

// Options of BuildVersionLine, as bits.
inline constexpr uint32_t kVersionPrivateBuild = 1;
inline constexpr uint32_t kVersionSpecialBuild = 2;
inline constexpr uint32_t kVersionFourth = 4;
inline constexpr uint32_t kVersionThird = 8;
inline constexpr uint32_t kVersionSecond = 16;
inline constexpr uint32_t kVersionFirst = 32;
inline constexpr uint32_t kVersionShortPrefix = 64;
inline constexpr uint32_t kVersionFromFileVersion = 128;

// Reads one string of a file's version information. A null or empty file means this program
// (the only one whose information is at hand); a null language means the first entry of its
// translation table, or "040904B0" without one. True, and text set, when the string exists.
bool ReadVersionString(
    std::string& text, const char* key, const char* file = nullptr, const char* language = nullptr);

// The version line for a version string such as "2, 0, 0, 0": "Version" and a space (or "v"
// with kVersionShortPrefix), the numbers the options include joined by ".", and the build
// strings the options ask for in brackets. A null build string is left out.
std::string BuildVersionLine(const std::string& version, uint32_t options, const std::string* privateBuild,
    const std::string* specialBuild);

} // namespace orvanel
