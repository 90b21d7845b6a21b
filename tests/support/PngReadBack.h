#pragma once
// Reads a PNG file back with libpng's own reader, as RGBA whatever layout the file stores.

#include <cstdint>
#include <string>
#include <vector>

namespace orvanel::fixture {

struct PngReadBack {
    bool ok = false;
    uint32_t fileFormat = 0;   // the layout stored in the file (PNG_FORMAT_FLAG_ALPHA, ..._COLOR)
    std::vector<uint8_t> rgba; // red, green, blue, alpha, top row first
    uint32_t width = 0, height = 0;

    bool HasAlpha() const;
};

PngReadBack ReadPNG(const std::string& path);

} // namespace orvanel::fixture
