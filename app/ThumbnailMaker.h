#pragma once
// One thumbnail: the stored picture read through the archive's guarded reads, decoded, and
// drawn nearest-neighbour to fit an edge x edge square. Safe to run on several threads at
// once over one archive: it only reads the archive and keeps no state of its own.

#include "app/ThumbnailCache.h"

#include <memory>

namespace orvanel {

class CDATArchive;

// Null when the file cannot be read or is not a picture that decodes.
std::shared_ptr<ThumbnailPixels> MakeThumbnail(
    const CDATArchive& archive, const DATEntry& entry, uint32_t edge);

} // namespace orvanel
