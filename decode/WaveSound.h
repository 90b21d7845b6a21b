#pragma once
// The sound object: a PCM wave format header with the samples it describes, owned by the
// object. The viewer that draws a sound links itself to it to hear of new data.

#include <cstdint>
#include <memory>
#include <span>

namespace orvanel {

inline constexpr uint16_t kWaveFormatPCM = 1;
inline constexpr uint32_t kWaveFormatSize = 18; // bytes of a stored wave format header

// The wave format header: format tag, channels, samples per second, average bytes per
// second, block align, bits per sample and the number of extra format bytes.
struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;
};

// Reads the 18 little-endian bytes of a stored wave format header.
WaveFormat ReadWaveFormat(std::span<const uint8_t, kWaveFormatSize> bytes);

// What draws a sound: told when the sound's data has changed, so that it draws it anew.
class IWaveViewer {
public:
    virtual ~IWaveViewer() = default;
    virtual void OnWaveDataChanged() = 0;
};

class CWaveSound {
public:
    CWaveSound() = default;
    ~CWaveSound();
    CWaveSound(const CWaveSound&) = delete;
    CWaveSound& operator=(const CWaveSound&) = delete;

    // Replaces the sound: stops playback, drops the old samples, and keeps a copy of the new
    // ones when the format is PCM (any other format leaves the object empty), then tells the
    // viewer. True when the object holds samples afterwards.
    bool SetWave(const WaveFormat& format, std::span<const uint8_t> samples);
    // Stops any playback of this sound; a sound that is not playing is left as it is.
    void Stop();
    // Tells the linked viewer, if any, that the sound's data changed.
    void NotifyViewerData();

    // The viewer is not owned; it unlinks itself (null) before it goes away.
    void SetViewer(IWaveViewer* viewer) { m_viewer = viewer; }
    IWaveViewer* GetViewer() const { return m_viewer; }

    const WaveFormat& GetFormat() const { return m_format; }
    // Null when the object holds no samples.
    const uint8_t* GetSamples() const { return m_samples.get(); }
    uint32_t GetSampleCount() const { return m_sampleCount; }

private:
    WaveFormat m_format;
    std::unique_ptr<uint8_t[]> m_samples;
    uint32_t m_sampleCount = 0;
    IWaveViewer* m_viewer = nullptr;
};

} // namespace orvanel
