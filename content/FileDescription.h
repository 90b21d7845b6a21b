#pragma once
// What the file view shows for one stored file, as text: the caption of a picture, the
// label of a sound, the text of a text record or of a raw file, or the bad-file message.

#include "archive/DATArchive.h"

#include <span>
#include <string>

namespace orvanel {

// Fills shown with what the view shows for the file and returns true. Returns false when the
// view has nothing to show (a file shorter than its ID, a picture or sound that does not
// load, a text record that no length fits); shown then says why.
bool DescribeStoredFile(
    const CDATArchive& archive, std::span<const uint8_t> bytes, const DATEntry& entry, std::string& shown);

} // namespace orvanel
