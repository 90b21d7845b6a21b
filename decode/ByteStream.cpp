#include "decode/ByteStream.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace orvanel {

size_t CMemStream::Read(void* buffer, size_t size, size_t count)
{
    if (size == 0 || count == 0 || !buffer)
        return 0;
    const size_t left = m_position < m_buffer.size() ? m_buffer.size() - m_position : 0;
    // Whole items only, so that size × count never has to be formed.
    const size_t items = std::min(count, left / size);
    if (items > 0) {
        std::memcpy(buffer, m_buffer.data() + m_position, items * size);
        m_position += items * size;
    }
    return items;
}

size_t CMemStream::Write(const void*, size_t size, size_t count)
{
    if (size != 0 && count != 0)
        m_failed = true;
    return 0;
}

bool CMemStream::Seek(int64_t offset, int origin)
{
    int64_t base = 0;
    switch (origin) {
    case kSeekStart: base = 0; break;
    case kSeekCurrent: base = int64_t(m_position); break;
    case kSeekEnd: base = int64_t(m_buffer.size()); break;
    default: return false;
    }
    const int64_t size = int64_t(m_buffer.size());
    int64_t target = 0;
    if (offset >= 0)
        target = offset > size - base ? size : base + offset;
    else
        target = -offset > base ? 0 : base + offset;
    m_position = size_t(target);
    return true;
}

CStdioStream::~CStdioStream()
{
    Close();
}

bool CStdioStream::Open(const std::string& path, const char* mode)
{
    Close();
    m_failed = false;
    m_file = std::fopen(path.c_str(), mode);
    return m_file != nullptr;
}

bool CStdioStream::Close()
{
    if (!m_file)
        return false;
    const bool flushed = std::fflush(m_file) == 0 && !std::ferror(m_file);
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    const bool ok = flushed && closed && !m_failed;
    m_failed = false;
    return ok;
}

size_t CStdioStream::Read(void* buffer, size_t size, size_t count)
{
    if (!m_file || !buffer || size == 0 || count == 0)
        return 0;
    return std::fread(buffer, size, count, m_file);
}

size_t CStdioStream::Write(const void* buffer, size_t size, size_t count)
{
    if (size == 0 || count == 0)
        return 0;
    if (!m_file || !buffer) {
        m_failed = true;
        return 0;
    }
    const size_t written = std::fwrite(buffer, size, count, m_file);
    if (written != count)
        m_failed = true;
    return written;
}

bool CStdioStream::Seek(int64_t offset, int origin)
{
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (!m_file || origin < kSeekStart || origin > kSeekEnd)
        return false;
    // std::fseek takes a long: the files written here stay far below its range.
    if (offset < LONG_MIN || offset > LONG_MAX)
        return false;
    return std::fseek(m_file, long(offset), kWhence[origin]) == 0;
}

int64_t CStdioStream::Tell() const
{
    return m_file ? int64_t(std::ftell(m_file)) : -1;
}

int64_t CStdioStream::Size() const
{
    if (!m_file)
        return -1;
    const long here = std::ftell(m_file);
    if (here < 0 || std::fseek(m_file, 0, SEEK_END) != 0)
        return -1;
    const long end = std::ftell(m_file);
    std::fseek(m_file, here, SEEK_SET);
    return int64_t(end);
}

bool CStdioStream::Flush()
{
    if (!m_file)
        return false;
    if (std::fflush(m_file) != 0)
        m_failed = true;
    return !m_failed;
}

bool CStdioStream::Eof() const
{
    return !m_file || std::feof(m_file) != 0;
}

bool CStdioStream::Error() const
{
    return m_failed || (m_file && std::ferror(m_file) != 0);
}

} // namespace orvanel
