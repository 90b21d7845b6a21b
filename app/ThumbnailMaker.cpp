#include "app/ThumbnailMaker.h"

#include "archive/DATArchive.h"
#include "decode/TextureDecoder.h"

#include <algorithm>
#include <new>

namespace orvanel {

std::shared_ptr<ThumbnailPixels> MakeThumbnail(
    const CDATArchive& archive, const DATEntry& entry, uint32_t edge)
{
    if (edge == 0)
        return nullptr;
    const auto bytes = archive.ReadFile(entry);
    if (!bytes)
        return nullptr;
    // The gallery shows the colour picture only, so the grey one is never made.
    DecodedPicture picture;
    if (!DecodePicture(archive, *bytes, entry, PictureRequest {.grey = false}, picture)
        || !picture.colour.IsValid())
        return nullptr;
    const CDibImage& colour = picture.colour;
    // The picture's shape kept; small pictures grow to fill the square like large ones shrink.
    const double fit = std::min(double(edge) / colour.GetWidth(), double(edge) / colour.GetHeight());
    const uint32_t width = std::clamp<uint32_t>(uint32_t(colour.GetWidth() * fit), 1, edge);
    const uint32_t height = std::clamp<uint32_t>(uint32_t(colour.GetHeight() * fit), 1, edge);
    try {
        auto pixels = std::make_shared<ThumbnailPixels>();
        pixels->width = width;
        pixels->height = height;
        pixels->argb.assign(size_t(width) * height, 0xFF000000u);
        DibDrawTarget target;
        target.pixels = pixels->argb.data();
        target.stride = width;
        target.clipBox = {0, 0, int32_t(width), int32_t(height)};
        colour.Draw(&target, 0, 0, int32_t(width), int32_t(height));
        return pixels;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace orvanel
