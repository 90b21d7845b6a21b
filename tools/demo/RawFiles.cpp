// The sample archive's other records, which the viewer shows as their bytes: small made-up
// structures with readable names in them, in named categories and in one without a name,
// and the files that are deliberately not what their directory entries say.

#include "tools/demo/DemoFiles.h"

#include "archive/ByteOrder.h"

#include <bit>
#include <cmath>
#include <string>

namespace orvanel::demo {

using writer::FileSpec;

namespace {

// Builds the bytes of a record after its ID.
class CPayload {
public:
    CPayload& U32(uint32_t v)
    {
        const size_t at = m_bytes.size();
        m_bytes.resize(at + 4);
        WriteLE32(&m_bytes[at], v);
        return *this;
    }
    CPayload& Float(float v) { return U32(std::bit_cast<uint32_t>(v)); }
    // A length word, then the characters and a terminating zero.
    CPayload& Text(const std::string& s)
    {
        U32(uint32_t(s.size()));
        m_bytes.insert(m_bytes.end(), s.begin(), s.end());
        m_bytes.push_back(0);
        return *this;
    }
    CPayload& Byte(uint8_t v)
    {
        m_bytes.push_back(v);
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

FileSpec Record(uint32_t id, const CPayload& payload, uint32_t version = kDATVersionLive2)
{
    return {id, writer::StoredFile(id, payload.Bytes()), version};
}

// A simple object: a name and the eight corners of its bounding box.
CPayload SimpleObject(const std::string& name, float w, float d, float h)
{
    CPayload p;
    p.Text(name).U32(8);
    for (int corner = 0; corner < 8; ++corner)
        p.Float(corner & 1 ? w : 0).Float(corner & 2 ? d : 0).Float(corner & 4 ? h : 0);
    return p;
}

// A complex object: a name and the simple objects it is made of, each with a position.
CPayload ComplexObject(const std::string& name, std::initializer_list<uint32_t> parts)
{
    CPayload p;
    p.Text(name).U32(uint32_t(parts.size()));
    float x = 0;
    for (uint32_t part : parts) {
        p.U32(part).Float(x).Float(0).Float(0);
        x += 1.5f;
    }
    return p;
}

CPayload Animation(const std::string& name, uint32_t frames)
{
    CPayload p;
    p.Text(name).U32(frames);
    for (uint32_t f = 0; f < frames; ++f)
        p.Float(float(std::sin(f * 0.2))).Float(float(std::cos(f * 0.2))).Float(float(f) / frames);
    return p;
}

// A dungeon block: a name and a square grid of cell types, one byte each.
CPayload DungeonBlock(const std::string& name, uint32_t size)
{
    CPayload p;
    p.Text(name).U32(size).U32(size);
    for (uint32_t y = 0; y < size; ++y)
        for (uint32_t x = 0; x < size; ++x) {
            const bool wall =
                x == 0 || y == 0 || x + 1 == size || y + 1 == size || (x % 8 == 4 && y % 6 != 3);
            p.Byte(wall ? '#' : '.');
        }
    return p;
}

CPayload NamedList(std::initializer_list<const char*> names)
{
    CPayload p;
    p.U32(uint32_t(names.size()));
    uint32_t value = 0;
    for (const char* name : names)
        p.U32(value++).Text(name);
    return p;
}

} // namespace

std::vector<FileSpec> DemoRawFiles()
{
    CPayload filler;
    // Exactly one block's worth of data with the ID: read from one block, its link never used.
    for (uint32_t i = 0; i < (1024 - 4 - 4) / 4; ++i)
        filler.U32(0x01010101u * (i % 256));
    CPayload rects;
    rects.Text("Inventory window").U32(4);
    for (uint32_t i = 0; i < 4; ++i)
        rects.U32(10 + 40 * i).U32(20).U32(32).U32(32);
    CPayload colourTables;
    colourTables.U32(4);
    for (uint32_t id = kPalette256; id < kPalette256 + 4; ++id)
        colourTables.U32(id);

    return {
        Record(0x01000001, SimpleObject("Lantern post", 0.3f, 0.3f, 2.5f)),
        Record(0x01000002, SimpleObject("Wooden crate", 1.0f, 1.0f, 1.0f)),
        Record(0x02000002, ComplexObject("Market stall", {0x01000001, 0x01000002, 0x01000002})),
        Record(0x03000001, Animation("Lantern flicker", 24)),
        Record(0x03000002, Animation("Crate falling open", 60), kDATVersionLive3),
        Record(0x05000001, NamedList({"unnamed", "category", "records"})),
        Record(0x05000002, CPayload()),
        Record(0x05000003, filler),
        Record(0x0D000001, DungeonBlock("Cellar under the mill", 64)),
        Record(0x0E000001, NamedList({"Wave", "Bow", "Laugh", "Point", "Sit"})),
        Record(0x0F000001, colourTables),
        Record(0x13000001,
            NamedList({"Frostmonth", "Thawmonth", "Seedmonth", "Highsun", "Harvest", "Longnight"})),
        Record(0x22000001, NamedList({"Command_None", "Command_Move", "Command_Use", "Command_Drop"})),
        Record(0x25000001, rects),
        Record(0x27000001, NamedList({"Iron", "Copper", "Oak", "Ruby", "Moonstone"})),
    };
}

std::vector<FileSpec> DemoOddFiles()
{
    // Category 0x08 records start with a header word rather than their ID; the viewer takes them
    // as they are.
    CPayload first = NamedList({"Lantern light", "Torch light"});
    CPayload second = NamedList({"Fog", "Rain", "Snow"});
    std::vector<uint8_t> lights = writer::StoredFile(0x00010008, first.Bytes());
    std::vector<uint8_t> weather = writer::StoredFile(0x00020008, second.Bytes());

    // A simple object whose first word has two digits swapped: shown as a bad file.
    std::vector<uint8_t> damaged =
        writer::StoredFile(0x01000030, SimpleObject("Broken barrel", 0.8f, 0.8f, 1.1f).Bytes());

    return {
        {0x08000001, lights},
        {0x08000002, weather},
        {0x01000003, damaged},
        // One complex object in two versions: the later one has gained a part.
        Record(0x02000001, ComplexObject("Gate", {0x01000001, 0x01000001})),
        Record(0x02000001, ComplexObject("Gate with crate", {0x01000001, 0x01000001, 0x01000002}),
            kDATVersionLive3),
    };
}

} // namespace orvanel::demo
