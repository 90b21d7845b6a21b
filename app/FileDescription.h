#pragma once
// What the file view shows for one stored file, as text: the caption of a picture, the
// label of a sound, the text of a text record or of a raw file, or the bad-file message.

#include "archive/DATArchive.h"

#include <span>
#include <string>

namespace orvanel {

// Fills shown with what the view shows for the file and returns true; false when the view
// shows nothing (a file shorter than its ID, a picture that does not decode).
bool DescribeStoredFile(const CDATArchive& archive, std::span<const uint8_t> bytes,
    const DATEntry& entry, std::string& shown);

} // namespace orvanel
