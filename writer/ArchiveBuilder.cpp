#include "writer/ArchiveBuilder.h"

#include "archive/ByteOrder.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace orvanel::writer {

std::vector<uint8_t> StoredFile(uint32_t fileID, std::span<const uint8_t> payload)
{
    std::vector<uint8_t> bytes(4 + payload.size());
    WriteLE32(bytes.data(), fileID);
    std::copy(payload.begin(), payload.end(), bytes.begin() + 4);
    return bytes;
}

DATEntry MakeEntry(uint32_t fileID, uint32_t offset, uint32_t size, uint32_t version)
{
    DATEntry e;
    e.version = version;
    e.fileID = fileID;
    e.offset = offset;
    e.size = size;
    return e;
}

CArchiveBuilder::CArchiveBuilder(uint32_t blockSize) : m_blockSize(blockSize), m_bytes(kDATHeaderEnd, 0)
{
}

uint32_t CArchiveBuilder::Append(std::span<const uint8_t> bytes)
{
    if (m_bytes.size() + bytes.size() > UINT32_MAX)
        throw std::length_error("archive larger than 4 GiB");
    const auto offset = uint32_t(m_bytes.size());
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return offset;
}

uint32_t CArchiveBuilder::AppendZeros(size_t count)
{
    if (m_bytes.size() + count > UINT32_MAX)
        throw std::length_error("archive larger than 4 GiB");
    const auto offset = uint32_t(m_bytes.size());
    m_bytes.resize(m_bytes.size() + count, 0);
    return offset;
}

uint32_t CArchiveBuilder::StoreChain(std::span<const uint8_t> data, ChainLayout layout)
{
    if (data.empty())
        return 0;
    if (m_blockSize <= kDATBlockLinkSize)
        throw std::invalid_argument("block size must exceed the link");
    const size_t perBlock = m_blockSize - kDATBlockLinkSize;
    const size_t blocks = (data.size() + perBlock - 1) / perBlock;
    const uint32_t first = AppendZeros(blocks * m_blockSize);
    // Block k of the chain sits at slot k (forward) or slot blocks-1-k (reverse).
    auto slotOf = [&](size_t k) {
        const size_t slot = layout == ChainLayout::Forward ? k : blocks - 1 - k;
        return first + uint32_t(slot * m_blockSize);
    };
    for (size_t k = 0; k < blocks; ++k) {
        const uint32_t at = slotOf(k);
        WriteLE32(&m_bytes[at], k + 1 < blocks ? slotOf(k + 1) : 0);
        const size_t take = std::min(perBlock, data.size() - k * perBlock);
        std::copy_n(data.begin() + std::ptrdiff_t(k * perBlock), take, &m_bytes[at + 4]);
    }
    return slotOf(0);
}

DATEntry CArchiveBuilder::StoreFile(const FileSpec& file, ChainLayout layout)
{
    const uint32_t offset = StoreChain(file.bytes, layout);
    return MakeEntry(file.fileID, offset, uint32_t(file.bytes.size()), file.version);
}

uint32_t CArchiveBuilder::AddNode(const DirectoryNode& node)
{
    const uint32_t offset = AppendZeros(kDATNodeSize);
    WriteNode(offset, node);
    return offset;
}

void CArchiveBuilder::WriteNode(uint32_t offset, const DirectoryNode& node)
{
    if (uint64_t(offset) + kDATNodeSize > m_bytes.size())
        m_bytes.resize(size_t(offset) + kDATNodeSize, 0);
    uint8_t* base = &m_bytes[offset];
    for (uint32_t b = 0; b < kDATBranchCount; ++b)
        WriteLE32(base + kDATBranchesOffset + 4 * b, node.branches[b]);
    for (uint32_t s = 0; s < kDATSlotCount; ++s) {
        uint8_t* p = base + kDATSlotsOffset + kDATEntrySize * s;
        const DATEntry& e = node.slots[s];
        WriteLE32(p, e.version);
        WriteLE32(p + 4, e.fileID);
        WriteLE32(p + 8, e.offset);
        WriteLE32(p + 12, e.size);
        WriteLE32(p + 16, e.reserved1);
        WriteLE32(p + 20, e.reserved2);
    }
}

std::vector<DATEntry> CArchiveBuilder::AddFilesAsTree(const std::vector<FileSpec>& files, TreeShape shape)
{
    if (shape.entriesPerNode == 0 || shape.entriesPerNode > kDATSlotCount || shape.branchesPerNode == 0
        || shape.branchesPerNode > kDATBranchCount)
        throw std::invalid_argument("tree shape out of range");
    std::vector<DATEntry> entries;
    entries.reserve(files.size());
    for (const FileSpec& file : files)
        entries.push_back(StoreFile(file));
    if (shape.searchTree) {
        std::vector<DATEntry> ordered = entries;
        std::stable_sort(ordered.begin(), ordered.end(),
            [](const DATEntry& a, const DATEntry& b) { return a.fileID < b.fileID; });
        m_root = BuildSearchTree(ordered, shape);
    } else {
        m_root = BuildTree(entries, shape);
    }
    return entries;
}

uint32_t CArchiveBuilder::BuildSearchTree(std::span<const DATEntry> entries, TreeShape shape)
{
    // A node with n children holds the n - 1 entries between their ranges. The children are
    // given the fewest levels that hold the rest, and share it evenly.
    DirectoryNode node;
    const size_t most = shape.entriesPerNode;
    const size_t branches = std::min<size_t>(shape.branchesPerNode, most + 1);
    if (entries.size() <= most) {
        std::copy(entries.begin(), entries.end(), node.slots.begin());
        return AddNode(node);
    }
    if (branches < 2)
        throw std::invalid_argument("tree shape holds too few entries");
    size_t below = most; // what a child of that many levels holds
    while ((below + 1) * branches - 1 < entries.size())
        below = (below + 1) * branches - 1;
    const size_t children = (entries.size() + below + 1) / (below + 1);
    const size_t inChildren = entries.size() - (children - 1);
    std::vector<std::span<const DATEntry>> ranges;
    size_t start = 0;
    for (size_t c = 0; c < children; ++c) {
        const size_t count = inChildren / children + (c < inChildren % children ? 1 : 0);
        ranges.push_back(entries.subspan(start, count));
        start += count;
        if (c + 1 < children)
            node.slots[c] = entries[start++];
    }
    const uint32_t offset = AddNode(node);
    for (size_t c = 0; c < children; ++c)
        node.branches[c] = BuildSearchTree(ranges[c], shape);
    WriteNode(offset, node);
    return offset;
}

uint32_t CArchiveBuilder::BuildTree(std::span<const DATEntry> entries, TreeShape shape)
{
    // A node keeps the first entries itself and shares the rest evenly among its children,
    // so the pre-order walk meets the entries in their given order.
    DirectoryNode node;
    const size_t own = std::min<size_t>(shape.entriesPerNode, entries.size());
    std::copy_n(entries.begin(), own, node.slots.begin());
    const uint32_t offset = AddNode(node);
    std::span<const DATEntry> rest = entries.subspan(own);
    if (rest.empty())
        return offset;
    const size_t children = std::min<size_t>(
        shape.branchesPerNode, (rest.size() + shape.entriesPerNode - 1) / shape.entriesPerNode);
    size_t start = 0;
    for (size_t c = 0; c < children; ++c) {
        const size_t count = rest.size() / children + (c < rest.size() % children ? 1 : 0);
        node.branches[c] = BuildTree(rest.subspan(start, count), shape);
        start += count;
    }
    WriteNode(offset, node);
    return offset;
}

void CArchiveBuilder::Poke32(uint32_t offset, uint32_t value)
{
    if (uint64_t(offset) + 4 > m_bytes.size())
        m_bytes.resize(size_t(offset) + 4, 0);
    WriteLE32(&m_bytes[offset], value);
}

void CArchiveBuilder::WriteHeader(std::vector<uint8_t>& bytes) const
{
    WriteLE32(&bytes[kDATBlockSizeOffset], m_headerBlockSize.value_or(m_blockSize));
    WriteLE32(&bytes[kDATFileSizeOffset], m_recordedSize.value_or(uint32_t(bytes.size())));
    WriteLE32(&bytes[kDATRootOffset], m_root);
}

std::vector<uint8_t> CArchiveBuilder::Build() const
{
    std::vector<uint8_t> bytes = m_bytes;
    WriteHeader(bytes);
    return bytes;
}

bool WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes)
{
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f)
        return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

bool CArchiveBuilder::WriteFile(const std::string& path) const
{
    return WriteWholeFile(path, Build());
}

bool WriteArchive(
    const std::string& path, const std::vector<FileSpec>& files, uint32_t blockSize, TreeShape shape)
{
    CArchiveBuilder builder(blockSize);
    builder.AddFilesAsTree(files, shape);
    return builder.WriteFile(path);
}

} // namespace orvanel::writer
