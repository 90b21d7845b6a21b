#include "tools/cli/Arguments.h"

#include <charconv>

namespace orvanel::cli {

namespace {

bool ParseWhole(const std::string& text, size_t start, int base, uint32_t& value)
{
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    if (first == last)
        return false;
    const auto [end, error] = std::from_chars(first, last, value, base);
    return error == std::errc() && end == last;
}

} // namespace

bool ParseFileID(const std::string& text, uint32_t& id)
{
    const size_t start = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0 ? 2 : 0;
    return text.size() - start <= 8 && ParseWhole(text, start, 16, id);
}

bool ParseIndex(const std::string& text, uint32_t& index)
{
    return ParseWhole(text, 0, 10, index);
}

} // namespace orvanel::cli
