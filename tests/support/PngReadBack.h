#pragma once
// Reads a PNG file back with libpng's own reader, as RGBA whatever layout the file stores.

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orvanel::fixture {

struct PngReadBack {
    bool ok = false;
    uint32_t fileFormat = 0;   // the layout stored in the file (PNG_FORMAT_FLAG_ALPHA, ..._COLOR)
    std::vector<uint8_t> rgba; // red, green, blue, alpha, top row first
    uint32_t width = 0, height = 0;

    bool HasAlpha() const { return (fileFormat & PNG_FORMAT_FLAG_ALPHA) != 0; }
};

inline PngReadBack ReadPNG(const std::string& path)
{
    PngReadBack result;
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return result;
    result.fileFormat = image.format;
    result.width = image.width;
    result.height = image.height;
    image.format = PNG_FORMAT_RGBA;
    result.rgba.resize(PNG_IMAGE_SIZE(image));
    result.ok = png_image_finish_read(&image, nullptr, result.rgba.data(), 0, nullptr);
    return result;
}

} // namespace orvanel::fixture
