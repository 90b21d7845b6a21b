#include "platform/WineRegistryParser.h"

#include "platform/WineRegistry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvanel {

std::string FoldRegistryName(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return folded;
}

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

std::optional<size_t> CWineHive::Find(std::string_view path) const
{
    if (m_keys.empty())
        return std::nullopt;
    size_t key = 0;
    for (std::string_view name : SplitPath(path, "\\")) {
        const auto found = m_keys[key].children.find(FoldRegistryName(name));
        if (found == m_keys[key].children.end())
            return std::nullopt;
        key = found->second;
    }
    return key;
}

size_t CWineHive::Make(std::string_view path)
{
    // What a key or value costs beyond its names and data, roughly: the nodes and containers.
    constexpr uint64_t kKeyOverhead = 256;
    if (m_keys.empty())
        m_keys.emplace_back();
    size_t key = 0;
    for (std::string_view name : SplitPath(path, "\\")) {
        const auto [at, added] = m_keys[key].children.try_emplace(FoldRegistryName(name), m_keys.size());
        if (added) {
            m_keys[key].subkeys.push_back(m_keys.size());
            m_keys.push_back({std::string(name), {}, {}, {}});
            m_footprint += kKeyOverhead + 2 * name.size();
        }
        key = at->second;
    }
    return key;
}

void CWineHive::SetValue(size_t key, const std::string& name, uint32_t type, std::vector<uint8_t> data)
{
    constexpr uint64_t kValueOverhead = 128;
    m_footprint += kValueOverhead + name.size() + data.size();
    m_keys[key].values[FoldRegistryName(name)] = {type, std::move(data)};
}

namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";
// Keys and values take some three to five times the room of their text; a real registry
// of tens of megabytes stays far below this, a damaged or hostile file is stopped here.
constexpr uint64_t kMaxFootprint = 2 * kMaxWineRegistrySize;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void SkipSpaces(std::string_view line, size_t& pos)
{
    while (pos < line.size() && IsSpace(line[pos]))
        ++pos;
}

bool OnlySpacesFrom(std::string_view line, size_t pos)
{
    SkipSpaces(line, pos);
    return pos == line.size();
}

// Reads up to maxDigits hex digits; false when there is none.
bool ParseHex(std::string_view line, size_t& pos, size_t maxDigits, uint32_t& value)
{
    const size_t start = pos;
    value = 0;
    while (pos < line.size() && pos - start < maxDigits && HexDigit(line[pos]) >= 0)
        value = value << 4 | uint32_t(HexDigit(line[pos++]));
    return pos > start;
}

void AppendUtf8(std::string& out, uint32_t codePoint)
{
    if (codePoint < 0x80) {
        out += char(codePoint);
    } else if (codePoint < 0x800) {
        out += char(0xC0 | codePoint >> 6);
        out += char(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += char(0xE0 | codePoint >> 12);
        out += char(0x80 | (codePoint >> 6 & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    } else {
        out += char(0xF0 | codePoint >> 18);
        out += char(0x80 | (codePoint >> 12 & 0x3F));
        out += char(0x80 | (codePoint >> 6 & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    }
}

// Wine writes characters above 127 as UTF-16 code units, "\xNNNN"; a character outside the
// basic plane is two of them. pos is just past the "x".
uint32_t ParseUnicodeEscape(std::string_view line, size_t& pos)
{
    uint32_t unit = 0;
    if (!ParseHex(line, pos, 4, unit))
        return 'x';
    if (unit >= 0xDC00 && unit <= 0xDFFF)
        return 0xFFFD; // a low surrogate without its high one
    if (unit < 0xD800 || unit > 0xDBFF)
        return unit;
    size_t next = pos + 2;
    uint32_t low = 0;
    if (line.substr(pos, 2) == "\\x" && ParseHex(line, next, 4, low) && low >= 0xDC00 && low <= 0xDFFF) {
        pos = next;
        return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    return 0xFFFD;
}

// Reads an escaped string as Wine writes key names, value names and string data, up to the
// unescaped delimiter, into UTF-8. pos ends past the delimiter; false when the line ends first.
bool ParseEscaped(std::string_view line, size_t& pos, char delimiter, std::string& out)
{
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == delimiter)
            return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos == line.size())
            return false;
        const char e = line[pos++];
        switch (e) {
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'e': out += '\x1B'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'v': out += '\v'; break;
        case 'x': AppendUtf8(out, ParseUnicodeEscape(line, pos)); break;
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7': {
            uint32_t value = uint32_t(e - '0');
            for (int digits = 1; digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
                 ++digits)
                value = value * 8 + uint32_t(line[pos++] - '0');
            AppendUtf8(out, value);
            break;
        }
        default: out += e; break; // "\\", "\"", "\[", "\]" and anything else stand for themselves
        }
    }
    return false;
}

// Turns the text of system.reg into keys and values of a registry.
class CWineRegistryParser {
public:
    CWineRegistryParser(std::string_view text, CWineHive& target) : m_text(text), m_target(target) { }

    bool Parse(bool& win64)
    {
        std::string_view line;
        if (!NextLine(line) || !line.starts_with(kHeader) || !OnlySpacesFrom(line, kHeader.size()))
            return false;
        while (NextLine(line)) {
            if (line.empty())
                continue;
            switch (line[0]) {
            case '[': StartKey(line); break;
            case '"':
            case '@':
                if (m_key)
                    ParseValue(line);
                break;
            case '#':
                if (line.starts_with("#arch="))
                    win64 = line.substr(6) == "win64";
                break;
            default: break; // comments (";", leading blanks) and lines Wine does not recognise
            }
            if (m_target.Footprint() > kMaxFootprint)
                return false;
        }
        return true;
    }

private:
    bool NextLine(std::string_view& line)
    {
        if (m_pos >= m_text.size())
            return false;
        size_t end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos)
            end = m_text.size();
        line = m_text.substr(m_pos, end - m_pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_pos = end + 1;
        return true;
    }

    // "[Software\\Wine] 1700000000": the path, escaped, then the time it was last written.
    void StartKey(std::string_view line)
    {
        size_t pos = 1;
        std::string path;
        m_key.reset();
        // Without its closing bracket, the values below it belong to no key.
        if (ParseEscaped(line, pos, ']', path))
            m_key = m_target.Make(path);
    }

    void ParseValue(std::string_view line)
    {
        size_t pos = 1;
        std::string name;
        if (line[0] == '"' && !ParseEscaped(line, pos, '"', name))
            return;
        SkipSpaces(line, pos);
        if (pos == line.size() || line[pos++] != '=')
            return;
        SkipSpaces(line, pos);
        const std::string_view data = line.substr(pos);

        uint32_t type = kRegSz;
        size_t at = 0;
        if (data.starts_with("\"")) {
            at = 1;
        } else if (data.starts_with("str:\"")) {
            at = 5;
        } else if (data.starts_with("str(")) {
            at = 4;
            if (!ParseHex(data, at, 8, type) || data.substr(at, 3) != "):\"")
                return;
            at += 3;
        } else if (data.starts_with("dword:")) {
            at = 6;
            uint32_t value = 0;
            if (ParseHex(data, at, 8, value) && OnlySpacesFrom(data, at))
                m_target.SetValue(*m_key, name, kRegDword,
                    {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
            return;
        } else if (data.starts_with("hex:")) {
            ParseBytes(name, kRegBinary, line, pos + 4);
            return;
        } else if (data.starts_with("hex(")) {
            at = 4;
            if (ParseHex(data, at, 8, type) && data.substr(at, 2) == "):")
                ParseBytes(name, type, line, pos + at + 2);
            return;
        } else {
            return;
        }
        std::string text;
        if (ParseEscaped(data, at, '"', text) && OnlySpacesFrom(data, at)) {
            std::vector<uint8_t> bytes(text.begin(), text.end());
            bytes.push_back(0); // stored with its terminating zero, as Windows stores strings
            m_target.SetValue(*m_key, name, type, std::move(bytes));
        }
    }

    // "01,02,\" continued on the next lines: the bytes of a binary or other typed value.
    void ParseBytes(const std::string& name, uint32_t type, std::string_view line, size_t pos)
    {
        std::vector<uint8_t> bytes;
        for (;;) {
            SkipSpaces(line, pos);
            uint32_t byte = 0;
            if (pos == line.size())
                break;
            if (line[pos] == '\\' && OnlySpacesFrom(line, pos + 1)) {
                if (!NextLine(line))
                    return;
                pos = 0;
                continue;
            }
            if (!ParseHex(line, pos, 2, byte) || (pos < line.size() && HexDigit(line[pos]) >= 0))
                return;
            bytes.push_back(uint8_t(byte));
            SkipSpaces(line, pos);
            if (pos < line.size() && line[pos] == ',')
                ++pos;
        }
        m_target.SetValue(*m_key, name, type, std::move(bytes));
    }

    std::string_view m_text;
    size_t m_pos = 0;
    CWineHive& m_target;
    std::optional<size_t> m_key; // the key the value lines belong to
};

} // namespace

bool ParseWineRegistry(std::string_view text, CWineHive& target, bool& win64)
{
    return CWineRegistryParser(text, target).Parse(win64);
}

} // namespace orvanel
