#pragma once
// Builds DAT archives for tests, benchmarks and sample files: block chains, directory
// trees of any shape, duplicate entries and deliberate damage.

#include "archive/DATFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvanel::writer {

// A stored file: the bytes begin with the file's own ID as every stored file does, unless a
// test wants otherwise.
struct FileSpec {
    uint32_t fileID = 0;
    std::vector<uint8_t> bytes;
    uint32_t version = kDATVersionLive2;
};

// Bytes of a stored file: the ID (little-endian) followed by payload.
std::vector<uint8_t> StoredFile(uint32_t fileID, std::span<const uint8_t> payload = {});

struct DirectoryNode {
    std::array<DATEntry, kDATSlotCount> slots {};
    std::array<uint32_t, kDATBranchCount> branches {};
};

// How AddFilesAsTree lays out a directory: each node holds up to entriesPerNode entries and
// up to branchesPerNode children. By default the files go into the tree in the order given,
// so that the pre-order walk meets them in that order. As a search tree, the way the game's
// directories are kept, the entries are ordered by file ID across the tree: a node's entries
// separate its branches, each branch holding the IDs between two of them.
struct TreeShape {
    uint32_t entriesPerNode = 62;
    uint32_t branchesPerNode = 62;
    bool searchTree = false;
};

enum class ChainLayout {
    Forward, // blocks one after another
    Reverse, // blocks laid out last to first, so that reading must follow the links
};

DATEntry MakeEntry(uint32_t fileID, uint32_t offset, uint32_t size, uint32_t version = kDATVersionLive2);

// Writes bytes as the whole content of a file; false when that fails.
bool WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

class CArchiveBuilder {
public:
    explicit CArchiveBuilder(uint32_t blockSize = 1024);

    uint32_t BlockSize() const { return m_blockSize; }
    size_t Size() const { return m_bytes.size(); }

    // Appends raw bytes (or zeros) at the end; returns their offset.
    uint32_t Append(std::span<const uint8_t> bytes);
    uint32_t AppendZeros(size_t count);

    // Stores data as a chain of blocks; returns the first block's offset (0 for no data).
    uint32_t StoreChain(std::span<const uint8_t> data, ChainLayout layout = ChainLayout::Forward);
    // Stores a file's bytes and returns the live entry that locates it.
    DATEntry StoreFile(const FileSpec& file, ChainLayout layout = ChainLayout::Forward);

    uint32_t AddNode(const DirectoryNode& node);
    void WriteNode(uint32_t offset, const DirectoryNode& node);
    void SetRoot(uint32_t offset) { m_root = offset; }
    uint32_t Root() const { return m_root; }

    // Stores the files and builds a directory over them whose pre-order walk reports them in
    // the given order; sets the root. Returns the entries in that order.
    std::vector<DATEntry> AddFilesAsTree(const std::vector<FileSpec>& files, TreeShape shape = {});

    // Damage and overrides.
    void SetRecordedSize(uint32_t size) { m_recordedSize = size; }
    void SetHeaderBlockSize(uint32_t size) { m_headerBlockSize = size; }
    void Poke32(uint32_t offset, uint32_t value);

    // The archive: the header (block size, file size, root) written over the bytes.
    std::vector<uint8_t> Build() const;
    bool WriteFile(const std::string& path) const;

private:
    uint32_t BuildTree(std::span<const DATEntry> entries, TreeShape shape);
    uint32_t BuildSearchTree(std::span<const DATEntry> entries, TreeShape shape);
    void WriteHeader(std::vector<uint8_t>& bytes) const;

    uint32_t m_blockSize;
    std::vector<uint8_t> m_bytes;
    uint32_t m_root = 0;
    std::optional<uint32_t> m_recordedSize;
    std::optional<uint32_t> m_headerBlockSize;
};

// Writes the files as an archive of the given block size at path, its directory a tree of
// the given shape; false when the file cannot be written.
bool WriteArchive(const std::string& path, const std::vector<FileSpec>& files, uint32_t blockSize = 1024,
    TreeShape shape = {});

} // namespace orvanel::writer
