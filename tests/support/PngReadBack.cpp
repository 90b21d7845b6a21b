#include "tests/support/PngReadBack.h"

#include <png.h>

namespace orvanel::fixture {

bool PngReadBack::HasAlpha() const
{
    return (fileFormat & PNG_FORMAT_FLAG_ALPHA) != 0;
}

PngReadBack ReadPNG(const std::string& path)
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
