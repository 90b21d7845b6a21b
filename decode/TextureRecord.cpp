#include "decode/TextureRecord.h"

namespace orvanel {

std::optional<TextureRecord> ReadTextureRecord(const CStoredRecord& record)
{
    if (!record.Holds(0, kTexturePixelsOffset))
        return std::nullopt;
    TextureRecord texture;
    texture.fileID = record.U32(0);
    texture.width = record.U32(kTextureWidthOffset);
    texture.height = record.U32(kTextureHeightOffset);
    texture.format = record.U32(kTextureFormatOffset);
    texture.dataSize = record.U32(kTextureDataSizeOffset);
    texture.pixels = record.From(kTexturePixelsOffset);
    return texture;
}

std::optional<ColourTableRecord> ReadColourTableRecord(const CStoredRecord& record)
{
    if (!record.Holds(0, kColourTableColoursOffset))
        return std::nullopt;
    ColourTableRecord table;
    table.fileID = record.U32(0);
    table.count = record.U32(kColourTableCountOffset);
    table.colours = record.From(kColourTableColoursOffset);
    return table;
}

} // namespace orvanel
