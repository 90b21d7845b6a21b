#pragma once
// Thumbnails kept in memory within a fixed budget: the least recently used ones go first when
// a new one would pass it. Keyed by the stored file (its entry's first four words) and the
// thumbnail's edge length, so thumbnails of another size never stand in for each other.

#include "archive/DATFormat.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

namespace orvanel {

// A thumbnail's pixels, 0xAARRGGBB, top row first.
struct ThumbnailPixels {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint32_t> argb;

    size_t Bytes() const { return argb.size() * sizeof(uint32_t) + sizeof(ThumbnailPixels); }
};

struct ThumbnailKey {
    uint32_t version = 0;
    uint32_t fileID = 0;
    uint32_t offset = 0;
    uint32_t size = 0;
    uint32_t edge = 0;

    static ThumbnailKey Of(const DATEntry& entry, uint32_t edge)
    {
        return {entry.version, entry.fileID, entry.offset, entry.size, edge};
    }
    bool operator==(const ThumbnailKey&) const = default;
};

struct ThumbnailKeyHash {
    size_t operator()(const ThumbnailKey& key) const
    {
        uint64_t h = key.fileID;
        for (uint32_t word : {key.version, key.offset, key.size, key.edge})
            h = h * 0x9E3779B97F4A7C15ull + word;
        return size_t(h ^ (h >> 29));
    }
};

class CThumbnailCache {
public:
    static constexpr size_t kDefaultBudget = 64u << 20;

    explicit CThumbnailCache(size_t budgetBytes = kDefaultBudget) : m_budget(budgetBytes) { }

    // The thumbnail, marked as just used; null when not kept.
    std::shared_ptr<const ThumbnailPixels> Find(const ThumbnailKey& key);
    bool Contains(const ThumbnailKey& key) const { return m_index.count(key) != 0; }
    // Keeps a thumbnail, dropping the least recently used ones to stay within the budget. A
    // thumbnail larger than the whole budget is not kept.
    void Insert(const ThumbnailKey& key, std::shared_ptr<const ThumbnailPixels> pixels);
    void Clear();

    size_t Count() const { return m_index.size(); }
    size_t BytesUsed() const { return m_used; }
    size_t Budget() const { return m_budget; }

private:
    struct Item {
        ThumbnailKey key;
        std::shared_ptr<const ThumbnailPixels> pixels;
    };
    void Remove(std::list<Item>::iterator item);

    size_t m_budget;
    size_t m_used = 0;
    std::list<Item> m_order; // most recently used first
    std::unordered_map<ThumbnailKey, std::list<Item>::iterator, ThumbnailKeyHash> m_index;
};

} // namespace orvanel
