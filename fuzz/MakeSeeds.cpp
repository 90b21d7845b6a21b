// orvanel-fuzz-seeds FOLDER: writes the seed corpora of the fuzz targets into
// FOLDER/<target>/, made with the archive and record builders.

#include "archive/ByteOrder.h"
#include "writer/ArchiveBuilder.h"
#include "writer/DamagedArchives.h"
#include "writer/RecordBuilders.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace orvanel;
namespace fs = std::filesystem;

constexpr size_t kMaxSeedBytes = 1 << 20;

void WriteSeed(const fs::path& folder, const std::string& name, const std::vector<uint8_t>& bytes)
{
    if (bytes.size() > kMaxSeedBytes)
        return;
    fs::create_directories(folder);
    writer::WriteWholeFile(folder / name, bytes);
}

std::vector<writer::FileSpec> EveryKindOfFile()
{
    std::vector<uint8_t> rgba(8 * 8 * 4);
    for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = uint8_t(i * 13);
    std::vector<uint8_t> rgb(8 * 8 * 3, 0x33), grey(8 * 8, 0x77);
    std::vector<uint32_t> palette(16);
    for (uint32_t i = 0; i < 16; ++i)
        palette[i] = 0xFF000000u | (i << 20);
    std::vector<uint8_t> indices(8 * 8);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = uint8_t(i % 16);
    std::vector<uint16_t> wide(8 * 8);
    for (size_t i = 0; i < wide.size(); ++i)
        wide[i] = uint16_t(i * 100);
    const std::vector<uint8_t> help {11, 'H', 'e', 'l', 'l', 'o', '\n', 'w', 'o', 'r', 'l', 'd'};
    const std::vector<uint8_t> samples(64, 0x80);

    std::vector<writer::FileSpec> files = {
        {0x04000001, writer::MakeColourTableRecord(0x04000001, palette)},
        {0x06000001,
            writer::MakeTextureRecord(
                0x06000001, 8, 8, 0x31545844, writer::CompressDXT(rgba, 8, 8, 0x31545844))},
        {0x06000002,
            writer::MakeTextureRecord(
                0x06000002, 8, 8, 0x33545844, writer::CompressDXT(rgba, 8, 8, 0x33545844))},
        {0x06000003,
            writer::MakeTextureRecord(
                0x06000003, 8, 8, 0x35545844, writer::CompressDXT(rgba, 8, 8, 0x35545844))},
        {0x06000004, writer::MakeTextureRecord(0x06000004, 8, 8, 28, grey)},
        {0x06000005, writer::MakeTextureRecord(0x06000005, 8, 8, 20, rgb)},
        {0x06000006, writer::MakeTextureRecord(0x06000006, 8, 8, 21, rgba)},
        {0x06000007, writer::MakeTextureRecord(0x06000007, 8, 8, 500, writer::EncodeJPEG(rgb, 8, 8, 3))},
        {0x06000008, writer::MakeIndexedTextureRecord(0x06000008, 8, 8, 41, indices, 0x04000001)},
        {0x06000009,
            writer::MakeIndexedTextureRecord(0x06000009, 8, 8, 101, writer::Values16(wide), 0x04000001)},
        {0x0600000A, writer::MakeTextureRecord(0x0600000A, 8, 8, 23, writer::Values16(wide))},
        {0x0600000B, writer::MakeTextureRecord(0x0600000B, 8, 8, 500, writer::EncodeJPEG(grey, 8, 8, 1))},
        {0x0A000001, writer::MakeSoundRecord(0x0A000001, writer::PCMFormat(1, 8000, 8), samples)},
        {0x31000001, writer::StoredFile(0x31000001, help)},
        {0x01000001, writer::StoredFile(0x01000001, help)},
    };
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: orvanel-fuzz-seeds FOLDER\n");
        return 2;
    }
    const fs::path root = argv[1];
    const auto files = EveryKindOfFile();

    writer::CArchiveBuilder builder(128);
    builder.AddFilesAsTree(files, {4, 3});
    WriteSeed(root / "fuzz-archive", "every-kind.dat", builder.Build());
    for (const auto& damaged : writer::DamagedArchives())
        WriteSeed(root / "fuzz-archive", damaged.name + ".dat", damaged.build());

    for (const auto& file : files) {
        const uint8_t category = uint8_t(file.fileID >> 24);
        char name[32];
        std::snprintf(name, sizeof name, "%08X", file.fileID);
        if (category == 0x04 || category == 0x06) {
            std::vector<uint8_t> seed {uint8_t(category == 0x04 ? 1 : 0)};
            seed.insert(seed.end(), file.bytes.begin(), file.bytes.end());
            WriteSeed(root / "fuzz-decode-image", name, seed);
        } else if (category == 0x0A) {
            WriteSeed(root / "fuzz-sound", name, file.bytes);
        } else {
            std::vector<uint8_t> seed(4);
            WriteLE32(seed.data(), uint32_t(file.bytes.size()));
            seed.insert(seed.end(), file.bytes.begin(), file.bytes.end());
            WriteSeed(root / "fuzz-record-text", name, seed);
        }
    }

    const std::string reg =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
        "[Software\\\\Wow6432Node\\\\Microsoft\\\\Microsoft Games\\\\Tarnwick\\\\1.00] 1700000000\n"
        "#time=1d9a1b2c3d4e5f6\n\"Portal Dat\"=\"C:\\\\Games\\\\Tarnwick\"\n\"FullScreen\"=dword:00000001\n\n"
        "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\{A1}] "
        "1700000000\n"
        "\"DisplayName\"=\"Tarnwick: Emberfall\"\n\"Publisher\"=\"Quellspire\"\n"
        "\"InstallLocation\"=str(2):\"C:\\\\Games\\\\Tarnwick\\\\\"\n\"Blob\"=hex:01,02,\\\n  03\n"
        "@=\"default \\\"quoted\\\" \\x263a \\n\"\n";
    WriteSeed(root / "fuzz-wine-registry", "system.reg", std::vector<uint8_t>(reg.begin(), reg.end()));
    return 0;
}
