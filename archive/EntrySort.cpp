#include "archive/EntrySort.h"

#include "archive/DATFileRecord.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <utility>

namespace orvanel {

namespace {

struct SortItem {
    uint32_t fileID;
    const DATEntry* entry;
};

uint32_t IDOf(const SortItem& item)
{
    return item.fileID;
}

uint32_t IDOf(const DATEntry* entry)
{
    return entry->fileID;
}

const DATEntry& EntryOf(const SortItem& item)
{
    return *item.entry;
}

const DATEntry& EntryOf(const DATEntry* entry)
{
    return *entry;
}

// Ranges waiting for their turn. Each one pushed lies deeper in the partitioning than the one
// below it, so ordinary lists never come near this; a range that would not fit is sorted
// by the fallback at once.
constexpr size_t kMaxPendingRanges = 256;

// The quicksort, with its left recursion on a fixed stack. Each range is partitioned on its
// own contents only, so the order of work does not change the result, as long as the budget
// of comparisons (far above what any ordinary list needs) lasts.
template <typename Item>
uint64_t QuickSortByID(std::vector<Item>& items)
{
    const uint64_t n = items.size();
    const uint64_t budget = 8 * n * (uint64_t(std::bit_width(n)) + 1);
    uint64_t comparisons = 0;
    auto byIDThenKey = [&comparisons](const Item& a, const Item& b) {
        ++comparisons;
        if (IDOf(a) != IDOf(b))
            return IDOf(a) < IDOf(b);
        return EntryKeyLess(EntryOf(a), EntryOf(b));
    };
    auto fallback = [&](long lo, long hi) {
        std::sort(items.begin() + lo, items.begin() + hi + 1, byIDThenKey);
    };

    std::array<std::pair<long, long>, kMaxPendingRanges> pending;
    size_t pendingCount = 0;
    pending[pendingCount++] = {0, long(n) - 1};
    while (pendingCount > 0) {
        auto [lo, hi] = pending[--pendingCount];
        while (lo < hi) {
            if (comparisons > budget) {
                fallback(lo, hi);
                break;
            }
            long i = lo;
            long j = hi;
            const uint32_t pivot = IDOf(items[size_t((lo + hi) / 2)]);
            while (i <= j) {
                while (++comparisons, IDOf(items[size_t(i)]) < pivot)
                    ++i;
                while (++comparisons, IDOf(items[size_t(j)]) > pivot)
                    --j;
                if (i > j)
                    break;
                std::swap(items[size_t(i)], items[size_t(j)]);
                ++i;
                --j;
            }
            if (lo < j) {
                if (pendingCount < pending.size())
                    pending[pendingCount++] = {lo, j};
                else
                    fallback(lo, j);
            }
            if (i >= hi)
                break;
            lo = i;
        }
    }
    return comparisons;
}

// Sorts items by ID with a least-significant-digit radix sort (stable), in O(n).
void RadixSortByID(std::vector<SortItem>& items)
{
    std::vector<SortItem> scratch(items.size());
    for (int shift = 0; shift < 32; shift += 8) {
        size_t counts[257] = {};
        for (const SortItem& item : items)
            ++counts[((item.fileID >> shift) & 0xFF) + 1];
        for (int d = 0; d < 256; ++d)
            counts[d + 1] += counts[d];
        for (const SortItem& item : items)
            scratch[counts[(item.fileID >> shift) & 0xFF]++] = item;
        items.swap(scratch);
    }
}

} // namespace

uint64_t SortEntriesByFileID(DATEntryList& list)
{
    if (list.size() < 2)
        return 0;
    try {
        // The IDs sit beside the pointers, so that the sorts do not chase them.
        std::vector<SortItem> items;
        items.reserve(list.size());
        for (const DATEntry* entry : list)
            items.push_back({entry->fileID, entry});
        // Where no two entries share an ID, every correct sort gives the same order, so a
        // radix sort serves. Entries sharing an ID must come out as the quicksort leaves
        // them; only such lists pay for it.
        std::vector<SortItem> sorted = items;
        RadixSortByID(sorted);
        const bool shared = std::adjacent_find(sorted.begin(), sorted.end(),
                                [](const SortItem& a, const SortItem& b) { return a.fileID == b.fileID; })
            != sorted.end();
        uint64_t comparisons = 0;
        if (shared) {
            comparisons = QuickSortByID(items);
            sorted.swap(items);
        }
        for (size_t k = 0; k < sorted.size(); ++k)
            list[k] = sorted[k].entry;
        return comparisons;
    } catch (const std::bad_alloc&) {
        // The same quicksort in place; it allocates nothing.
        return QuickSortByID(list);
    }
}

} // namespace orvanel
