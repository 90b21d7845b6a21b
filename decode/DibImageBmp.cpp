// Writing the image as a BMP file: the 14-byte file header, then the pixel block unchanged.

#include "archive/ByteOrder.h"
#include "decode/ByteStream.h"
#include "decode/DibImage.h"

namespace orvanel {

namespace {

constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint16_t kBmpSignature = 0x4D42; // "BM"

} // namespace

bool CDibImage::EncodeBMP(CByteStream& stream) const
{
    if (!IsValid())
        return false;
    const uint32_t rowsOffset = kBmpFileHeaderSize + uint32_t(RowsOffset());
    uint8_t fileHeader[kBmpFileHeaderSize] = {};
    WriteLE16(fileHeader + 0, kBmpSignature);
    WriteLE32(fileHeader + 2, uint32_t(kBmpFileHeaderSize + m_block.size()));
    WriteLE32(fileHeader + 10, rowsOffset);
    // The block's header is kept in step with the object's fields by every change, so the
    // block goes out as it is; the alpha plane is not part of the file.
    return stream.Write(fileHeader, sizeof fileHeader, 1) == 1
        && stream.Write(m_block.data(), m_block.size(), 1) == 1 && !stream.Error();
}

bool CDibImage::Save(const std::string& path, uint32_t type) const
{
    CStdioStream file;
    if (!file.Open(path, "wb"))
        return false;
    const bool encoded = type == kImageTypeBMP && EncodeBMP(file);
    const bool closed = file.Close();
    return encoded && closed;
}

bool CDibImage::Save(CByteStream& stream, uint32_t type) const
{
    return type == kImageTypeBMP && EncodeBMP(stream);
}

} // namespace orvanel
