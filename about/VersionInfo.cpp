#include "about/VersionInfo.h"

#include "about/VersionResource.h"

#include <cstdio>
#include <cstring>

namespace orvanel {

namespace {

constexpr const char* kSeparators = " \n\t,./-\\|;:";

bool IsSeparator(char c)
{
    return c != '\0' && std::strchr(kSeparators, c) != nullptr;
}

// The text up to the first separator; the rest starts after the separators that follow it.
std::string SplitNumber(std::string& rest)
{
    size_t end = 0;
    while (end < rest.size() && !IsSeparator(rest[end]))
        ++end;
    std::string number = rest.substr(0, end);
    while (end < rest.size() && IsSeparator(rest[end]))
        ++end;
    rest.erase(0, end);
    return number;
}

} // namespace

bool ReadVersionString(std::string& text, const char* key, const char* file, const char* language)
{
    if (!key || (file && *file))
        return false;
    char defaultLanguage[16];
    if (!language) {
        if (kVersionHasTranslation)
            std::snprintf(defaultLanguage, sizeof defaultLanguage, "%.8X", unsigned(kVersionTranslation));
        else
            std::snprintf(defaultLanguage, sizeof defaultLanguage, "040904B0");
        language = defaultLanguage;
    }
    for (const VersionString& entry : kVersionStrings) {
        if (std::strcmp(entry.language, language) == 0 && std::strcmp(entry.key, key) == 0) {
            text = entry.value;
            return true;
        }
    }
    return false;
}

std::string BuildVersionLine(const std::string& version, uint32_t options, const std::string* privateBuild,
    const std::string* specialBuild)
{
    size_t first = 0;
    size_t last = version.size();
    while (first < last && IsSeparator(version[first]))
        ++first;
    while (last > first && IsSeparator(version[last - 1]))
        --last;
    std::string rest = version.substr(first, last - first);
    std::string numbers[4];
    for (int i = 0; i < 3; ++i)
        numbers[i] = SplitNumber(rest);
    numbers[3] = rest;

    const uint32_t included[4] = {kVersionFirst, kVersionSecond, kVersionThird, kVersionFourth};
    const bool anyNumber = (options & (kVersionFirst | kVersionSecond | kVersionThird | kVersionFourth)) != 0;
    std::string line;
    if (options & kVersionShortPrefix)
        line = "v";
    else
        line = anyNumber ? "Version " : "Version";
    bool earlier = false;
    for (int i = 0; i < 4; ++i) {
        if (!(options & included[i]))
            continue;
        if (earlier)
            line += '.';
        line += numbers[i];
        earlier = true;
    }
    if ((options & kVersionPrivateBuild) && privateBuild)
        line += " (" + *privateBuild + ")";
    if ((options & kVersionSpecialBuild) && specialBuild)
        line += " (" + *specialBuild + ")";
    return line;
}

} // namespace orvanel
