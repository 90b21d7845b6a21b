#pragma once
// On-disk layout of a DAT archive: header fields, directory nodes and entries.

#include <cstdint>

namespace orvanel {

// Offsets of the header fields the reader uses, from the start of the file.
inline constexpr uint32_t kDATBlockSizeOffset = 0x144;
inline constexpr uint32_t kDATFileSizeOffset = 0x148;
inline constexpr uint32_t kDATRootOffset = 0x160;
// A file shorter than this has no complete header.
inline constexpr uint32_t kDATHeaderEnd = 0x164;

// Directory node: 62 branch offsets at 0x004, 62 entry slots of 24 bytes at 0x100.
inline constexpr uint32_t kDATNodeSize = 0x6D0;
inline constexpr uint32_t kDATBranchCount = 62;
inline constexpr uint32_t kDATBranchesOffset = 0x004;
inline constexpr uint32_t kDATSlotCount = 62;
inline constexpr uint32_t kDATSlotsOffset = 0x100;
inline constexpr uint32_t kDATEntrySize = 24;

// Branch values that mean "no child".
inline constexpr uint32_t kDATNoBranch = 0;
inline constexpr uint32_t kDATNoBranchFill = 0xCDCDCDCD;

// Only these version values mark a live entry.
inline constexpr uint32_t kDATVersionLive2 = 0x20000;
inline constexpr uint32_t kDATVersionLive3 = 0x30000;

// Each block starts with the 4-byte offset of the next block of its chain.
inline constexpr uint32_t kDATBlockLinkSize = 4;

// A directory entry, as stored (24 bytes, little-endian fields).
struct DATEntry {
    uint32_t version = 0;
    uint32_t fileID = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
    uint32_t reserved1 = 0; // carried along, never interpreted
    uint32_t reserved2 = 0; // carried along, never interpreted
};
static_assert(sizeof(DATEntry) == kDATEntrySize);

inline bool IsLiveVersion(uint32_t version)
{
    return version == kDATVersionLive2 || version == kDATVersionLive3;
}

inline uint8_t CategoryOf(uint32_t fileID)
{
    return uint8_t(fileID >> 24);
}

} // namespace orvanel
