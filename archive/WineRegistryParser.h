#pragma once
// Reads the text Wine keeps a registry hive in (system.reg of a prefix): "[key]" sections
// followed by "name"=data lines.

#include "archive/MemoryRegistry.h"

#include <string_view>

namespace orvanel {

// Adds the keys and values of the text to target, keeping the order keys first appear in.
// win64 tells whether the prefix is a 64-bit one (#arch=win64). False when the text is not
// a Wine registry (no header), or would build far more than any real registry does; lines
// Wine itself would reject are skipped, as Wine skips them.
bool ParseWineRegistry(std::string_view text, CMemoryRegistry& target, bool& win64);

} // namespace orvanel
