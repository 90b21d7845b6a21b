#include "decode/WaveFile.h"

#include "archive/ByteOrder.h"
#include "decode/ByteStream.h"

#include <cstring>

namespace orvanel {

namespace {

constexpr size_t kWaveHeaderSize = 44;
constexpr uint32_t kFmtChunkSize = 16;

void PutTag(uint8_t* p, const char (&tag)[5])
{
    std::memcpy(p, tag, 4);
}

} // namespace

bool WriteWaveFile(const CWaveSound& sound, const std::string& path)
{
    CStdioStream file;
    if (path.empty() || !file.Open(path, "wb"))
        return false;
    const bool written = WriteWaveFile(sound, file);
    const bool closed = file.Close();
    return written && closed;
}

bool WriteWaveFile(const CWaveSound& sound, CByteStream& file)
{
    const WaveFormat& format = sound.GetFormat();
    const uint32_t count = sound.GetSamples() ? sound.GetSampleCount() : 0;
    const uint32_t pad = count & 1; // a chunk of odd size is followed by one zero byte

    uint8_t header[kWaveHeaderSize] = {};
    PutTag(header + 0, "RIFF");
    WriteLE32(header + 4, uint32_t(36 + uint64_t(count) + pad));
    PutTag(header + 8, "WAVE");
    PutTag(header + 12, "fmt ");
    WriteLE32(header + 16, kFmtChunkSize);
    WriteLE16(header + 20, format.formatTag);
    WriteLE16(header + 22, format.channels);
    WriteLE32(header + 24, format.samplesPerSec);
    WriteLE32(header + 28, format.avgBytesPerSec);
    WriteLE16(header + 32, format.blockAlign);
    WriteLE16(header + 34, format.bitsPerSample);
    PutTag(header + 36, "data");
    WriteLE32(header + 40, count);

    const uint8_t zero = 0;
    return file.Write(header, sizeof header, 1) == 1
        && (count == 0 || file.Write(sound.GetSamples(), count, 1) == 1)
        && (pad == 0 || file.Write(&zero, 1, 1) == 1) && !file.Error();
}

} // namespace orvanel
