#pragma once
// Writing a picture as a PNG file, lossless, with the picture's own alpha when it has one.

#include "decode/DibImage.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvanel {

class CByteStream;

// Encodes picture as a PNG stream into out. alpha is the picture's own opacities, width ×
// height bytes with the rows bottom-up like the picture's (DecodedPicture's alpha), or empty
// for an opaque picture; the picture's own alpha plane is not used, as in a BMP file.
// The stream is RGB for an opaque picture and RGBA with alpha; an opaque palette picture
// keeps its palette, as grey levels when the palette is the grey ramp. The pixels are
// stored without compression, so that writing stays close to the speed of a BMP file.
// The file is made in memory and written in one piece. False for an empty picture, an alpha
// of another size, or a failed write.
bool EncodePNG(const CDibImage& picture, std::span<const uint8_t> alpha, CByteStream& out);
// The same into out, which holds the whole file afterwards, or nothing on failure.
bool EncodePNG(const CDibImage& picture, std::span<const uint8_t> alpha, std::vector<uint8_t>& out);

// EncodePNG into the file at path, which is created or emptied even when encoding fails.
// False when the file cannot be opened, encoding fails or the file does not close cleanly.
bool SavePNG(const CDibImage& picture, std::span<const uint8_t> alpha, const std::string& path);

} // namespace orvanel
