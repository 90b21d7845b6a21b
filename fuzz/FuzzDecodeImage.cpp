// DecodeImage on one record, with a small catalogue holding palettes of several sizes (one
// of them damaged) that indexed textures can refer to. The first input byte picks the
// category (colour table or texture); the rest is the record. A picture that decodes is also
// decoded with its own alpha and encoded as a PNG file, which must succeed.

#include "archive/DATArchive.h"
#include "decode/DibImage.h"
#include "decode/PngFile.h"
#include "decode/TextureDecoder.h"
#include "fuzz/FuzzSupport.h"
#include "writer/ArchiveBuilder.h"
#include "writer/RecordBuilders.h"

#include <memory>

namespace {

const orvanel::CDATArchive& Palettes()
{
    using namespace orvanel;
    static std::unique_ptr<CDATArchive> archive = [] {
        std::vector<writer::FileSpec> files;
        for (uint32_t count : {1u, 2u, 16u, 256u, 2048u}) {
            std::vector<uint32_t> colours(count);
            for (uint32_t i = 0; i < count; ++i)
                colours[i] = 0xFF000000u | (i * 0x010203u);
            files.push_back({0x04000000 + count, writer::MakeColourTableRecord(0x04000000 + count, colours)});
        }
        std::vector<uint8_t> damaged = writer::MakeColourTableRecord(0x04000001, std::vector<uint32_t>(4, 1));
        damaged[4] = 0xFF; // claims 255 colours, holds 4
        files.push_back({0x04000000, damaged});
        writer::CArchiveBuilder builder(512);
        builder.AddFilesAsTree(files);
        const std::string path = (fuzz::ScratchFolder() / "palettes.dat").string();
        builder.WriteFile(path);
        static CSilentPrompts prompts;
        static CNoBusyIndicator busy;
        auto opened = std::make_unique<CDATArchive>(path, prompts, busy);
        opened->BuildCatalogue();
        return opened;
    }();
    return *archive;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace orvanel;
    if (size < 1)
        return 0;
    const uint32_t category = data[0] & 1 ? 0x04 : 0x06;
    const std::span<const uint8_t> record(data + 1, size - 1);
    DATEntry entry;
    entry.fileID = (category << 24) | 0x10;
    entry.size = uint32_t(record.size());
    CDibImage colour, grey;
    float scale = 0;
    uint32_t noteKind = 0, noteFileID = 0;
    const bool decoded = DecodeImage(Palettes(), record, entry, colour, grey, scale, noteKind, noteFileID);
    if (decoded != colour.IsValid())
        __builtin_trap();
    if (colour.IsValid() && (colour.GetWidth() == 0 || colour.GetHeight() == 0))
        __builtin_trap();
    // Encoding costs time in proportion to the pixels: small pictures only, so that the
    // fuzzer keeps its pace.
    if (decoded && uint64_t(colour.GetWidth()) * colour.GetHeight() <= (1u << 16)) {
        DecodedPicture picture;
        if (!DecodePicture(Palettes(), record, entry, {.grey = false, .ownAlpha = true}, picture))
            __builtin_trap();
        std::vector<uint8_t> png;
        if (!EncodePNG(picture.colour, picture.alpha, png) || png.empty())
            __builtin_trap();
    }
    return 0;
}
