#include "writer/DamagedArchives.h"

#include "archive/ByteOrder.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"

namespace orvanel::writer {

namespace {

constexpr uint32_t kDXT1 = 0x31545844, kDXT3 = 0x33545844, kDXT5 = 0x35545844;
const uint32_t kAllFormats[] = {kDXT1, kDXT3, kDXT5, 28, 244, 20, 243, 21, 500, 41, 101, 23, 26};

std::vector<uint8_t> FromFiles(const std::vector<FileSpec>& files, uint32_t blockSize = 256)
{
    CArchiveBuilder b(blockSize);
    b.AddFilesAsTree(files, {4, 3});
    return b.Build();
}

// A texture header whose fields are given outright, followed by some bytes.
FileSpec RawTexture(
    uint32_t id, uint32_t width, uint32_t height, uint32_t format, uint32_t dataSize, size_t trailing)
{
    std::vector<uint8_t> record =
        MakeTextureRecord(id, width, height, format, std::vector<uint8_t>(trailing, 0x5A));
    WriteLE32(&record[20], dataSize);
    return {id, record};
}

std::vector<uint8_t> SoundWith(uint32_t id, uint32_t formatSize, uint32_t sampleCount, uint16_t formatTag,
    uint16_t extraSize, size_t trailing)
{
    std::vector<uint8_t> r = MakeSoundRecord(id, PCMFormat(1, 8000, 8), std::vector<uint8_t>(trailing, 0x80));
    WriteLE32(&r[4], formatSize);
    WriteLE32(&r[8], sampleCount);
    WriteLE16(&r[12], formatTag);
    WriteLE16(&r[28], extraSize);
    return r;
}

std::vector<uint8_t> SmallJPEG(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> pixels(size_t(width) * height * 3, 0x40);
    return EncodeJPEG(pixels, width, height, 3);
}

// A JPEG stream whose frame header claims a size of width x height.
std::vector<uint8_t> JPEGClaiming(uint16_t width, uint16_t height)
{
    std::vector<uint8_t> jpeg = SmallJPEG(16, 16);
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = uint8_t(height >> 8);
            jpeg[i + 6] = uint8_t(height);
            jpeg[i + 7] = uint8_t(width >> 8);
            jpeg[i + 8] = uint8_t(width);
            break;
        }
    }
    return jpeg;
}

} // namespace

void AddDamagedRecords(std::vector<DamagedArchive>& corpus)
{
    auto add = [&](std::string name, std::function<std::vector<uint8_t>()> build) {
        corpus.push_back({std::move(name), std::move(build)});
    };

    // Stored files of every kind.
    add("EmptyAndTinyFilesOfEveryKind", [] {
        std::vector<FileSpec> files;
        for (uint32_t category : {0x01u, 0x04u, 0x06u, 0x08u, 0x0Au, 0x31u}) {
            files.push_back({(category << 24) | 1, {}});
            files.push_back({(category << 24) | 2, {1, 0, 0}});
            files.push_back({(category << 24) | 3, StoredFile((category << 24) | 3)});
        }
        return FromFiles(files);
    });
    add("StoredIDsThatDiffer", [] {
        return FromFiles({{0x06000001, MakeTextureRecord(0x06000002, 1, 1, 28, std::vector<uint8_t> {1})},
            {0x08000001, StoredFile(0xFFFFFFFF)}, {0x0A000001, StoredFile(0)}});
    });

    // Textures.
    add("TexturesWhoseSizeOverflows32Bits", [] {
        std::vector<FileSpec> files;
        uint32_t id = 0x06000001;
        for (uint32_t format : kAllFormats) {
            files.push_back(RawTexture(id++, 0x10000, 0x10001, format, 64, 64));
            files.push_back(RawTexture(id++, 0xFFFFFFFF, 0xFFFFFFFF, format, 0xFFFFFFFF, 64));
            files.push_back(RawTexture(id++, 0x40000000, 4, format, 16, 16));
            files.push_back(RawTexture(id++, 0, 5, format, 0, 8));
        }
        return FromFiles(files);
    });
    add("TexturesShorterThanTheirPixels", [] {
        std::vector<FileSpec> files;
        uint32_t id = 0x06000100;
        for (uint32_t format : kAllFormats) {
            files.push_back(RawTexture(id++, 64, 64, format, 4096, 100));
            files.push_back(RawTexture(id++, 1, 1, format, 0, 0));
            files.push_back({id, StoredFile(id, std::vector<uint8_t>(14, 0))});
            ++id;
        }
        return FromFiles(files);
    });
    add("DXTOddSizes", [] {
        std::vector<FileSpec> files;
        uint32_t id = 0x06000200;
        for (uint32_t format : {kDXT1, kDXT3, kDXT5}) {
            const std::vector<uint8_t> one(4, 200), fifteen(3 * 5 * 4, 100);
            files.push_back({id, MakeTextureRecord(id, 1, 1, format, CompressDXT(one, 1, 1, format))});
            ++id;
            files.push_back({id, MakeTextureRecord(id, 3, 5, format, CompressDXT(fifteen, 3, 5, format))});
            ++id;
            // 3 x 5 needs two blocks; one is missing.
            files.push_back(RawTexture(id++, 3, 5, format, 0, format == kDXT1 ? 8 : 16));
        }
        return FromFiles(files);
    });
    add("JPEGDataSizePastTheEnd", [] {
        const auto jpeg = SmallJPEG(8, 8);
        std::vector<uint8_t> record = MakeTextureRecord(0x06000300, 8, 8, 500, jpeg);
        WriteLE32(&record[20], uint32_t(jpeg.size() + 1000));
        std::vector<uint8_t> huge = record;
        WriteLE32(&huge[0], 0x06000301);
        WriteLE32(&huge[20], 0xFFFFFFFF);
        return FromFiles({{0x06000300, record}, {0x06000301, huge}});
    });
    add("CorruptJPEGStreams", [] {
        auto jpeg = SmallJPEG(32, 32);
        auto truncated = std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(jpeg.size() / 2));
        auto garbled = jpeg;
        for (size_t i = jpeg.size() / 3; i < jpeg.size(); i += 3)
            garbled[i] ^= 0xA5;
        std::vector<uint8_t> noise(500);
        for (size_t i = 0; i < noise.size(); ++i)
            noise[i] = uint8_t(i * 37);
        noise[0] = 0xFF;
        noise[1] = 0xD8;
        return FromFiles({{0x06000400, MakeTextureRecord(0x06000400, 32, 32, 500, truncated)},
            {0x06000401, MakeTextureRecord(0x06000401, 32, 32, 500, garbled)},
            {0x06000402, MakeTextureRecord(0x06000402, 32, 32, 500, noise)},
            {0x06000403, MakeTextureRecord(0x06000403, 32, 32, 500, {})}});
    });
    add("JPEGClaimingAHugePicture", [] {
        const auto bomb = JPEGClaiming(65500, 65500);
        const auto wide = JPEGClaiming(65500, 1);
        return FromFiles({{0x06000500, MakeTextureRecord(0x06000500, 16, 16, 500, bomb)},
            {0x06000501, MakeTextureRecord(0x06000501, 16, 16, 500, wide)}});
    });
    add("JPEGClaimingABigPicture", [] {
        const auto big = JPEGClaiming(4000, 4000);
        return FromFiles({{0x06000502, MakeTextureRecord(0x06000502, 4000, 4000, 500, big)}});
    });
    add("IndexedTexturesWithDamagedPalettes", [] {
        std::vector<uint8_t> shortPalette {0x01, 0, 0, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4};
        const std::vector<uint8_t> indices {0, 1, 2, 255, 7, 200, 3, 3, 9};
        const std::vector<uint16_t> wide {0, 65535, 300, 2, 1, 0, 7, 8, 9};
        return FromFiles({
            {0x04000001, shortPalette},
            {0x04000002, MakeColourTableRecord(0x04000002, std::vector<uint32_t>(2, 0xFF00FF00))},
            {0x06000600, MakeIndexedTextureRecord(0x06000600, 3, 3, 41, indices, 0x04000001)},
            {0x06000601, MakeIndexedTextureRecord(0x06000601, 3, 3, 41, indices, 0x04000002)},
            {0x06000602, MakeIndexedTextureRecord(0x06000602, 3, 3, 101, Values16(wide), 0x04000002)},
            {0x06000603, MakeIndexedTextureRecord(0x06000603, 3, 3, 41, indices, 0x06000603)},
            {0x06000604, MakeIndexedTextureRecord(0x06000604, 3, 3, 101, Values16(wide), 0x04000099)},
            {0x06000605, MakeTextureRecord(0x06000605, 3, 3, 23, Values16(std::vector<uint16_t>(9, 5)))},
        });
    });

    // Colour tables.
    add("ColourCountsPastTheEndAndZero", [] {
        std::vector<uint8_t> huge = MakeColourTableRecord(0x04000001, std::vector<uint32_t>(3, 0xFF123456));
        WriteLE32(&huge[4], 0xFFFFFFFF);
        std::vector<uint8_t> more = MakeColourTableRecord(0x04000002, std::vector<uint32_t>(3, 0xFF123456));
        WriteLE32(&more[4], 1000);
        return FromFiles(
            {{0x04000001, huge}, {0x04000002, more}, {0x04000003, MakeColourTableRecord(0x04000003, {})},
                {0x04000004, StoredFile(0x04000004, std::vector<uint8_t> {1})}});
    });

    // Sounds.
    add("SoundsClaimingMoreThanTheyHold", [] {
        return FromFiles({
            {0x0A000001, SoundWith(0x0A000001, 18, 0xFFFFFFFF, 1, 0, 100)},
            {0x0A000002, SoundWith(0x0A000002, 18, 100, 1, 0xFFFF, 100)},
            {0x0A000003, SoundWith(0x0A000003, 18, 100, 1, 60, 100)},
            {0x0A000004, SoundWith(0x0A000004, 17, 10, 1, 0, 100)},
            {0x0A000005, SoundWith(0x0A000005, 18, 10, 2, 0, 100)},
            {0x0A000006, StoredFile(0x0A000006, std::vector<uint8_t>(20, 18))},
        });
    });
    add("SoundWithoutFramesOrRate", [] {
        std::vector<uint8_t> r = SoundWith(0x0A000001, 18, 3, 1, 0, 3);
        WriteLE16(&r[24], 0); // block align
        WriteLE32(&r[16], 0); // samples per second
        return FromFiles({{0x0A000001, r}});
    });

    // Text records.
    add("TextRecordsWithoutAFittingLength", [] {
        return FromFiles({{0x31000001, StoredFile(0x31000001, std::vector<uint8_t> {9, 7, 7})},
            {0x31000002, StoredFile(0x31000002, std::vector<uint8_t>(5000, 0xFF))},
            {0x31000003, StoredFile(0x31000003)},
            {0x31000004, StoredFile(0x31000004, std::vector<uint8_t> {0x80, 0x00, 0, 'x'})}});
    });
}

} // namespace orvanel::writer
