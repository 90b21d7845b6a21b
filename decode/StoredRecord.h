#pragma once
// The bytes of one stored record, cut to the size its directory entry gives the stored file.
// Record fields are untrusted: every size they imply is checked here, in 64-bit arithmetic
// that cannot overflow, before anything is read.

#include "archive/ByteOrder.h"
#include "archive/DATFormat.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

namespace orvanel {

class CStoredRecord {
public:
    explicit CStoredRecord(std::span<const uint8_t> bytes) : m_bytes(bytes) { }
    CStoredRecord(std::span<const uint8_t> bytes, const DATEntry& entry)
        : m_bytes(bytes.first(std::min<size_t>(bytes.size(), entry.size)))
    {
    }

    std::span<const uint8_t> Bytes() const { return m_bytes; }

    // True when count items of itemSize bytes starting at offset lie inside the record.
    bool Holds(uint64_t offset, uint64_t count, uint64_t itemSize = 1) const
    {
        return HoldsItems(m_bytes.size(), offset, count, itemSize);
    }
    // The little-endian field at offset, 0 when the record ends before it.
    uint32_t U32(uint64_t offset) const { return Holds(offset, 4) ? ReadLE32(&m_bytes[offset]) : 0; }
    // Everything from offset on (empty past the end).
    std::span<const uint8_t> From(uint64_t offset) const
    {
        return offset < m_bytes.size() ? m_bytes.subspan(size_t(offset)) : std::span<const uint8_t>();
    }

    // Whether count items of itemSize bytes at offset fit in size bytes, without forming
    // the possibly overflowing product.
    static bool HoldsItems(uint64_t size, uint64_t offset, uint64_t count, uint64_t itemSize)
    {
        if (offset > size)
            return false;
        return itemSize == 0 || count <= (size - offset) / itemSize;
    }

private:
    std::span<const uint8_t> m_bytes;
};

} // namespace orvanel
