#include "app/ThumbnailCache.h"

namespace orvanel {

std::shared_ptr<const ThumbnailPixels> CThumbnailCache::Find(const ThumbnailKey& key)
{
    const auto found = m_index.find(key);
    if (found == m_index.end())
        return nullptr;
    m_order.splice(m_order.begin(), m_order, found->second);
    return found->second->pixels;
}

void CThumbnailCache::Insert(const ThumbnailKey& key, std::shared_ptr<const ThumbnailPixels> pixels)
{
    if (!pixels)
        return;
    if (const auto found = m_index.find(key); found != m_index.end())
        Remove(found->second);
    const size_t bytes = pixels->Bytes();
    if (bytes > m_budget)
        return;
    while (m_used + bytes > m_budget && !m_order.empty())
        Remove(std::prev(m_order.end()));
    m_order.push_front({key, std::move(pixels)});
    m_index.emplace(key, m_order.begin());
    m_used += bytes;
}

void CThumbnailCache::Remove(std::list<Item>::iterator item)
{
    m_used -= item->pixels->Bytes();
    m_index.erase(item->key);
    m_order.erase(item);
}

void CThumbnailCache::Clear()
{
    m_order.clear();
    m_index.clear();
    m_used = 0;
}

} // namespace orvanel
