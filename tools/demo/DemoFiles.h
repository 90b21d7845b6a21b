#pragma once
// The stored files of the sample archive, by kind. Each list is in the order its files are
// written; the catalogue sorts them by ID anyway.

#include "writer/ArchiveBuilder.h"

#include <cstdint>
#include <vector>

namespace orvanel::demo {

// Colour tables (category 0x04); the indexed textures take their palettes from them.
inline constexpr uint32_t kPalette256 = 0x04000001;
inline constexpr uint32_t kPalette2048 = 0x04000002;
// An 8-bit indexed texture names this palette, which the archive does not hold.
inline constexpr uint32_t kMissingPalette = 0x04000099;

std::vector<writer::FileSpec> DemoColourTables();
std::vector<writer::FileSpec> DemoTextures();
std::vector<writer::FileSpec> DemoSounds();
std::vector<writer::FileSpec> DemoTexts();
// Records the viewer shows as bytes, in named categories and in one without a name.
std::vector<writer::FileSpec> DemoRawFiles();
// Files that are not what their directory entry says: category 0x08 records whose first word
// is not their ID (which the viewer accepts there), a damaged record elsewhere, and a file
// stored in two versions.
std::vector<writer::FileSpec> DemoOddFiles();

} // namespace orvanel::demo
