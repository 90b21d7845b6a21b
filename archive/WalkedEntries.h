#pragma once
// The catalogue's first step: the directory's live entries collected in walk order, then
// sorted by file ID into one array.

#include "archive/DATFormat.h"

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace orvanel {

// The walked entries in walk order, collected in blocks of a fixed size: the walk needs no
// count beforehand, and nothing collected moves when more arrives.
class CWalkedEntries {
public:
    // The directory walk's callback: context is the CWalkedEntries.
    static int Collect(const DATEntry* entry, void* context)
    {
        static_cast<CWalkedEntries*>(context)->Add(*entry);
        return 1;
    }

    CWalkedEntries() { m_blocks.reserve(kBlocksAhead); }

    void Add(const DATEntry& entry)
    {
        if ((m_count & kBlockMask) == 0)
            m_blocks.push_back(NewBlock());
        m_blocks.back()[m_count & kBlockMask] = entry;
        ++m_count;
    }

    size_t Count() const { return m_count; }
    DATEntry& operator[](size_t index) { return m_blocks[index >> kBlockShift][index & kBlockMask]; }
    const DATEntry& operator[](size_t index) const
    {
        return m_blocks[index >> kBlockShift][index & kBlockMask];
    }

private:
    static constexpr size_t kBlockShift = 14;
    static constexpr size_t kBlockSize = size_t(1) << kBlockShift;
    static constexpr size_t kBlockMask = kBlockSize - 1;
    // The list of blocks is made long enough for millions of entries before the first block,
    // so that it does not grow between the blocks: freed together, they leave one stretch of
    // memory behind, which the catalogue's next arrays can take.
    static constexpr size_t kBlocksAhead = 1024;

    // A block's storage is left unset: every place is written before it is read, and entries
    // (plain data) need no constructing, whereas a new DATEntry[] would clear every field.
    struct BlockDeleter {
        void operator()(DATEntry* block) const { ::operator delete(block); }
    };
    using Block = std::unique_ptr<DATEntry[], BlockDeleter>;
    static Block NewBlock()
    {
        return Block(static_cast<DATEntry*>(::operator new(kBlockSize * sizeof(DATEntry))));
    }

    std::vector<Block> m_blocks;
    size_t m_count = 0;
};

// Sorts the walked entries by file ID into sorted (resized to hold them all), stably: entries
// sharing an ID stay in walk order. Uses the walked entries' blocks as its second array, so
// they are left in no particular order.
void SortByID(CWalkedEntries& walked, std::vector<DATEntry>& sorted);

} // namespace orvanel
