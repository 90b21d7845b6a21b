#pragma once
// Byte streams that let one codec read from memory or write to a disk file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

namespace orvanel {

// Seek origins.
inline constexpr int kSeekStart = 0;
inline constexpr int kSeekCurrent = 1;
inline constexpr int kSeekEnd = 2;

class CByteStream {
public:
    virtual ~CByteStream() = default;

    // Reads up to count items of size bytes; returns the number of whole items read.
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    // Writes count items of size bytes; returns the number of whole items written.
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    // Moves the position relative to origin (kSeekStart, kSeekCurrent or kSeekEnd).
    virtual bool Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() const = 0;
    virtual int64_t Size() const = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() const = 0;
    // True once a read or write has failed.
    virtual bool Error() const = 0;

    bool PutC(uint8_t c) { return Write(&c, 1, 1) == 1; }
    // The next byte, or -1 at the end of the stream.
    int GetC()
    {
        uint8_t c = 0;
        return Read(&c, 1, 1) == 1 ? c : -1;
    }
};

// Reads from a caller's block of memory, which it never frees or changes.
class CMemStream final : public CByteStream {
public:
    explicit CMemStream(std::span<const uint8_t> buffer) : m_buffer(buffer) { }

    size_t Read(void* buffer, size_t size, size_t count) override;
    // The stream is read-only: writing fails and marks the stream as failed.
    size_t Write(const void* buffer, size_t size, size_t count) override;
    // The position stays within the buffer: before the start lands at 0, past the end at the end.
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() const override { return int64_t(m_position); }
    int64_t Size() const override { return int64_t(m_buffer.size()); }
    bool Flush() override { return true; }
    bool Eof() const override { return m_position >= m_buffer.size(); }
    bool Error() const override { return m_failed; }

private:
    std::span<const uint8_t> m_buffer;
    size_t m_position = 0;
    bool m_failed = false;
};

// A stdio file stream that the object opens and closes.
class CStdioStream final : public CByteStream {
public:
    CStdioStream() = default;
    ~CStdioStream() override;
    CStdioStream(const CStdioStream&) = delete;
    CStdioStream& operator=(const CStdioStream&) = delete;

    // Opens path with an fopen mode ("rb", "wb"), closing any file open before.
    bool Open(const std::string& path, const char* mode);
    // Closes the file. False when none was open, or when a write, the final flush or the
    // close itself failed: only then has everything written reached the file.
    bool Close();

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() const override;
    int64_t Size() const override;
    bool Flush() override;
    bool Eof() const override;
    bool Error() const override;

private:
    std::FILE* m_file = nullptr;
    bool m_failed = false;
};

} // namespace orvanel
