#pragma once
// The comparison of two archives as text, the same in both programs: one line per differing
// file ID and a last line with the counts.
//   added   06001234  12312 bytes  06 - 31545844 - DXT1
//   changed 0A000007  44100 -> 44144 bytes  0A - Sounds
//   1 added, 0 removed, 1 changed, 98 unchanged

#include "archive/ArchiveCompare.h"

#include <string>
#include <vector>

namespace orvanel {

// One line per entry of differences.files, in their order. A file is labelled with the text
// (without its count) of the category selector line it belongs to in the new archive, in the
// old one when removed: a texture's pixel-format line, the category's line otherwise.
std::vector<std::string> DifferenceLines(
    const ArchiveDifferences& differences, const CDATArchive& oldArchive, const CDATArchive& newArchive);

// "N added, M removed, K changed, U unchanged".
std::string DifferenceSummary(const ArchiveDifferences& differences);

} // namespace orvanel
