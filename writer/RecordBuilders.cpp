#include "writer/RecordBuilders.h"

#include "archive/ByteOrder.h"
#include "decode/SoundRecord.h"
#include "decode/TextureRecord.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <squish.h>

namespace orvanel::writer {

namespace {

void Put32(std::vector<uint8_t>& v, uint32_t x)
{
    const size_t at = v.size();
    v.resize(at + 4);
    WriteLE32(&v[at], x);
}

void Put16(std::vector<uint8_t>& v, uint16_t x)
{
    const size_t at = v.size();
    v.resize(at + 2);
    WriteLE16(&v[at], x);
}

} // namespace

std::vector<uint8_t> MakeTextureRecord(
    uint32_t id, uint32_t width, uint32_t height, uint32_t format, std::span<const uint8_t> data)
{
    std::vector<uint8_t> record;
    for (uint32_t v : {id, 0u, width, height, format, uint32_t(data.size())})
        Put32(record, v);
    record.insert(record.end(), data.begin(), data.end());
    return record;
}

std::vector<uint8_t> MakeIndexedTextureRecord(uint32_t id, uint32_t width, uint32_t height, uint32_t format,
    std::span<const uint8_t> indices, uint32_t paletteID)
{
    std::vector<uint8_t> record = MakeTextureRecord(id, width, height, format, indices);
    Put32(record, paletteID);
    return record;
}

std::vector<uint8_t> Values16(std::span<const uint16_t> values)
{
    std::vector<uint8_t> bytes;
    for (uint16_t v : values)
        Put16(bytes, v);
    return bytes;
}

std::vector<uint8_t> MakeColourTableRecord(uint32_t id, std::span<const uint32_t> colours)
{
    std::vector<uint8_t> record;
    Put32(record, id);
    Put32(record, uint32_t(colours.size()));
    for (uint32_t c : colours)
        Put32(record, c);
    return record;
}

WaveFormat PCMFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample)
{
    WaveFormat format;
    format.formatTag = kWaveFormatPCM;
    format.channels = channels;
    format.samplesPerSec = samplesPerSec;
    format.blockAlign = uint16_t(channels * bitsPerSample / 8);
    format.avgBytesPerSec = samplesPerSec * format.blockAlign;
    format.bitsPerSample = bitsPerSample;
    return format;
}

std::vector<uint8_t> MakeSoundRecord(
    uint32_t id, WaveFormat format, std::span<const uint8_t> samples, std::span<const uint8_t> extra)
{
    format.extraSize = uint16_t(extra.size());
    std::vector<uint8_t> record;
    Put32(record, id);
    Put32(record, kWaveFormatSize);
    Put32(record, uint32_t(samples.size()));
    Put16(record, format.formatTag);
    Put16(record, format.channels);
    Put32(record, format.samplesPerSec);
    Put32(record, format.avgBytesPerSec);
    Put16(record, format.blockAlign);
    Put16(record, format.bitsPerSample);
    Put16(record, format.extraSize);
    Put16(record, 0xBEEF); // the two bytes before the samples that are never read
    record.insert(record.end(), extra.begin(), extra.end());
    record.insert(record.end(), samples.begin(), samples.end());
    return record;
}

std::vector<uint8_t> CompressDXT(
    std::span<const uint8_t> rgba, uint32_t width, uint32_t height, uint32_t format)
{
    const int flags = format == kTextureDXT1 ? squish::kDxt1
        : format == kTextureDXT3             ? squish::kDxt3
                                             : squish::kDxt5;
    std::vector<uint8_t> blocks(size_t(squish::GetStorageRequirements(int(width), int(height), flags)));
    squish::CompressImage(rgba.data(), int(width), int(height), blocks.data(), flags);
    return blocks;
}

std::vector<uint8_t> EncodeJPEG(std::span<const uint8_t> pixels, uint32_t width, uint32_t height,
    int components, int quality, uint16_t dotsPerInch)
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&info, &out, &outSize);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (dotsPerInch != 0) {
        info.write_JFIF_header = TRUE;
        info.density_unit = 1;
        info.X_density = dotsPerInch;
        info.Y_density = dotsPerInch;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + size_t(info.next_scanline) * width * components);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> stream(out, out + outSize);
    std::free(out);
    return stream;
}

} // namespace orvanel::writer
