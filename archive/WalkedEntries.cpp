#include "archive/WalkedEntries.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace orvanel {

namespace {

// The widest digit of the ID sort: 2,048 counters and as many places being written at once
// still fit the caches, and three passes cover any 32-bit ID.
constexpr int kDigitBits = 11;

// The share of entries out of order above which the whole array is radix sorted instead.
constexpr size_t kMostApartShare = 8; // one in eight

// Sorts the walked entries by file ID into sorted with a least-significant-digit radix sort:
// stable, so entries sharing an ID stay in walk order, and linear in the number of entries.
// Whole entries move, between the walk's blocks and sorted, each pass reading one of them in
// order and writing the other a few thousand places at a time, so that no pass waits on
// memory scattered over the whole of either. Only the bits in which the IDs differ are sorted
// on, and a digit that is the same in every ID costs no pass.
void RadixSortByID(CWalkedEntries& walked, std::vector<DATEntry>& sorted)
{
    const size_t n = walked.Count();
    sorted.resize(n);
    uint32_t differ = 0;
    for (size_t w = 0; w < n; ++w)
        differ |= walked[w].fileID ^ walked[0].fileID;
    const int low = differ == 0 ? 0 : std::countr_zero(differ);
    const int span = differ == 0 ? 0 : std::bit_width(differ) - low;
    const int passes = (span + kDigitBits - 1) / kDigitBits;
    const int width = passes == 0 ? 0 : (span + passes - 1) / passes;
    const size_t digits = size_t(1) << width;
    std::vector<size_t> counts(size_t(passes) * (digits + 1));
    for (size_t w = 0; w < n; ++w) {
        const uint32_t id = walked[w].fileID;
        for (int p = 0; p < passes; ++p)
            ++counts[size_t(p) * (digits + 1) + ((id >> (low + p * width)) & (digits - 1)) + 1];
    }
    bool inWalked = true;
    for (int p = 0; p < passes; ++p) {
        size_t* count = &counts[size_t(p) * (digits + 1)];
        if (std::find(count + 1, count + digits + 1, n) != count + digits + 1)
            continue;
        for (size_t d = 0; d < digits; ++d)
            count[d + 1] += count[d];
        const int shift = low + p * width;
        auto place = [&](const DATEntry& entry) -> size_t {
            return count[(entry.fileID >> shift) & (digits - 1)]++;
        };
        if (inWalked) {
            for (size_t w = 0; w < n; ++w)
                sorted[place(walked[w])] = walked[w];
        } else {
            for (size_t k = 0; k < n; ++k)
                walked[place(sorted[k])] = sorted[k];
        }
        inWalked = !inWalked;
    }
    if (inWalked) {
        for (size_t w = 0; w < n; ++w)
            sorted[w] = walked[w];
    }
}

} // namespace

// A directory walked depth first, each node's entries before its branches, comes out nearly
// sorted: the entries of the nodes without branches, nearly all of them, are in ID order, and
// only those of the nodes above are out of place. Read from the end, the entries whose IDs
// never rise are that ordered run; the others, few, are sorted on their own (by ID and place
// in the walk) and merged into the run, in two passes through memory in order instead of a
// radix sort's scattered ones. A walk far from order takes the radix sort.
void SortByID(CWalkedEntries& walked, std::vector<DATEntry>& sorted)
{
    const size_t n = walked.Count();
    if (n > UINT32_MAX) {
        RadixSortByID(walked, sorted);
        return;
    }
    std::vector<uint64_t> apart; // ID and place in the walk of each entry out of the run
    std::vector<bool> isApart(n);
    uint32_t lowest = UINT32_MAX;
    for (size_t w = n; w-- > 0;) {
        const uint32_t id = walked[w].fileID;
        if (id <= lowest) {
            lowest = id;
            continue;
        }
        if (apart.size() >= n / kMostApartShare) {
            RadixSortByID(walked, sorted);
            return;
        }
        apart.push_back(uint64_t(id) << 32 | w);
        isApart[w] = true;
    }
    std::sort(apart.begin(), apart.end());

    // Reserved, not resized: every place is written once, so none is cleared first.
    sorted.clear();
    sorted.reserve(n);
    auto next = apart.begin();
    for (size_t w = 0; w < n; ++w) {
        if (isApart[w])
            continue;
        // Of equal IDs the one walked first goes first, as a stable sort would place them.
        const uint64_t key = uint64_t(walked[w].fileID) << 32 | w;
        for (; next != apart.end() && *next < key; ++next)
            sorted.push_back(walked[size_t(*next & 0xFFFFFFFFu)]);
        sorted.push_back(walked[w]);
    }
    for (; next != apart.end(); ++next)
        sorted.push_back(walked[size_t(*next & 0xFFFFFFFFu)]);
}

} // namespace orvanel
