#include "archive/MemoryRegistry.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace orvanel {

namespace {

// What a key or value costs beyond its names and data, roughly: the nodes and containers.
constexpr uint64_t kKeyOverhead = 256;
constexpr uint64_t kValueOverhead = 128;

std::vector<std::string_view> PathComponents(std::string_view path)
{
    return SplitPath(path, "\\");
}

} // namespace

std::vector<std::string_view> SplitPath(std::string_view path, std::string_view separators)
{
    std::vector<std::string_view> components;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of(separators, start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            components.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

std::string FoldRegistryName(const std::string& name)
{
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return folded;
}

CMemoryRegistry::CMemoryRegistry() : m_root(std::make_unique<Key>())
{
}

CMemoryRegistry::~CMemoryRegistry() = default;

CMemoryRegistry::Key* CMemoryRegistry::MakeKey(const std::string& path)
{
    const auto components = PathComponents(path);
    if (components.size() > kRegMaxKeyDepth)
        return nullptr;
    for (std::string_view component : components) {
        if (component.size() > kRegMaxStoredNameLength)
            return nullptr;
    }
    Key* key = m_root.get();
    for (std::string_view component : components) {
        std::unique_ptr<Key>& child = key->children[FoldRegistryName(std::string(component))];
        if (!child) {
            child = std::make_unique<Key>();
            child->name = std::string(component);
            key->subkeys.push_back(child.get());
            m_footprint += kKeyOverhead + 2 * component.size();
        }
        key = child.get();
    }
    return key;
}

const CMemoryRegistry::Key* CMemoryRegistry::FindKey(const std::string& path) const
{
    const Key* key = m_root.get();
    for (std::string_view component : PathComponents(path)) {
        const auto found = key->children.find(FoldRegistryName(std::string(component)));
        if (found == key->children.end())
            return nullptr;
        key = found->second.get();
    }
    return key;
}

bool CMemoryRegistry::CreateKey(const std::string& path)
{
    return MakeKey(path) != nullptr;
}

bool CMemoryRegistry::SetValue(const std::string& keyPath, const std::string& name,
    uint32_t type, std::vector<uint8_t> data)
{
    Key* key = name.size() <= kRegMaxStoredNameLength ? MakeKey(keyPath) : nullptr;
    if (!key)
        return false;
    m_footprint += kValueOverhead + name.size() + data.size();
    Value& value = key->values[FoldRegistryName(name)];
    value.type = type;
    value.data = std::move(data);
    return true;
}

bool CMemoryRegistry::SetString(const std::string& keyPath, const std::string& name,
    const std::string& text, uint32_t type)
{
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return SetValue(keyPath, name, type, std::move(data));
}

bool CMemoryRegistry::SetDword(const std::string& keyPath, const std::string& name,
    uint32_t value)
{
    return SetValue(keyPath, name, kRegDword,
        {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
}

bool CMemoryRegistry::HasKey(const std::string& path) const
{
    return FindKey(path) != nullptr;
}

void CMemoryRegistry::Clear()
{
    for (std::optional<const Key*>& slot : m_open) {
        if (slot)
            slot = nullptr;
    }
    m_root = std::make_unique<Key>();
    m_footprint = 0;
}

size_t CMemoryRegistry::OpenKeyCount() const
{
    return size_t(std::count_if(m_open.begin(), m_open.end(),
        [](const std::optional<const Key*>& slot) { return slot.has_value(); }));
}

RegResult CMemoryRegistry::OpenKey(const std::string& path, RegKey& key)
{
    const Key* found = FindKey(path);
    if (!found)
        return kRegNotFound;
    auto slot = std::find_if(m_open.begin(), m_open.end(),
        [](const std::optional<const Key*>& s) { return !s.has_value(); });
    if (slot == m_open.end())
        slot = m_open.insert(m_open.end(), std::nullopt);
    *slot = found;
    key = RegKey(slot - m_open.begin()) + 1;
    return kRegSuccess;
}

const CMemoryRegistry::Key* CMemoryRegistry::OpenedKey(RegKey key) const
{
    if (key == 0 || key > m_open.size() || !m_open[key - 1])
        return nullptr;
    return *m_open[key - 1];
}

const CMemoryRegistry::Value* CMemoryRegistry::FindValue(RegKey key, const std::string& name,
    RegResult& result) const
{
    const Key* owner = OpenedKey(key);
    if (!owner) {
        result = kRegInvalidHandle;
        return nullptr;
    }
    const auto found = owner->values.find(FoldRegistryName(name));
    result = found == owner->values.end() ? kRegNotFound : kRegSuccess;
    return found == owner->values.end() ? nullptr : &found->second;
}

RegResult CMemoryRegistry::QueryValue(RegKey key, const std::string& name, uint32_t& type,
    uint8_t* data, uint32_t& size)
{
    RegResult result = kRegSuccess;
    const Value* value = FindValue(key, name, result);
    if (!value)
        return result;
    if (value->data.size() > UINT32_MAX)
        return kRegMoreData;
    type = value->type;
    const uint32_t capacity = data ? size : 0;
    size = uint32_t(value->data.size());
    if (!data)
        return kRegSuccess; // only the size was asked for
    if (value->data.size() > capacity)
        return kRegMoreData;
    if (!value->data.empty())
        std::memcpy(data, value->data.data(), value->data.size());
    return kRegSuccess;
}

RegResult CMemoryRegistry::QueryDword(RegKey key, const std::string& name, uint32_t& type,
    uint32_t& value)
{
    RegResult result = kRegSuccess;
    const Value* found = FindValue(key, name, result);
    if (!found)
        return result;
    type = found->type;
    const std::vector<uint8_t>& d = found->data;
    if (d.size() != 4)
        return d.size() > 4 ? kRegMoreData : kRegInvalidData;
    value = uint32_t(d[0]) | uint32_t(d[1]) << 8 | uint32_t(d[2]) << 16 | uint32_t(d[3]) << 24;
    return kRegSuccess;
}

RegResult CMemoryRegistry::EnumKey(RegKey key, uint32_t index, std::string& name)
{
    const Key* owner = OpenedKey(key);
    if (!owner)
        return kRegInvalidHandle;
    if (index >= owner->subkeys.size())
        return kRegNoMoreItems;
    const std::string& found = owner->subkeys[index]->name;
    if (found.size() > kRegMaxKeyNameLength)
        return kRegMoreData;
    name = found;
    return kRegSuccess;
}

void CMemoryRegistry::CloseKey(RegKey key)
{
    if (key != 0 && key <= m_open.size())
        m_open[key - 1].reset();
}

std::string CMemoryRegistry::HostPath(const std::string& windowsPath) const
{
    return windowsPath;
}

} // namespace orvanel
