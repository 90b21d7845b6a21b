#include "decode/WaveSound.h"

#include "archive/ByteOrder.h"

#include <cstring>
#include <new>

namespace orvanel {

WaveFormat ReadWaveFormat(std::span<const uint8_t, kWaveFormatSize> bytes)
{
    const uint8_t* p = bytes.data();
    WaveFormat format;
    format.formatTag = ReadLE16(p + 0);
    format.channels = ReadLE16(p + 2);
    format.samplesPerSec = ReadLE32(p + 4);
    format.avgBytesPerSec = ReadLE32(p + 8);
    format.blockAlign = ReadLE16(p + 12);
    format.bitsPerSample = ReadLE16(p + 14);
    format.extraSize = ReadLE16(p + 16);
    return format;
}

CWaveSound::~CWaveSound()
{
    Stop();
    if (m_viewer)
        m_viewer->OnWaveSoundDestroyed();
}

bool CWaveSound::SetWave(const WaveFormat& format, std::span<const uint8_t> samples)
{
    Stop();
    m_samples.reset();
    m_format = WaveFormat {};
    m_sampleCount = 0;
    if (format.formatTag == kWaveFormatPCM && samples.size() <= UINT32_MAX) {
        m_samples.reset(new (std::nothrow) uint8_t[samples.size()]);
        if (m_samples) {
            if (!samples.empty())
                std::memcpy(m_samples.get(), samples.data(), samples.size());
            m_format = format;
            m_sampleCount = uint32_t(samples.size());
        }
    }
    NotifyViewerData();
    return m_samples != nullptr;
}

void CWaveSound::NotifyViewerData()
{
    if (m_viewer)
        m_viewer->OnWaveDataChanged();
}

} // namespace orvanel
