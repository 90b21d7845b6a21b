#pragma once
// The sound object: a PCM wave format header with the samples it describes, owned by the
// object, and their playback through a wave-out device. The viewer that draws a sound links
// itself to it to hear of new data and of the played position.

#include "decode/WaveOutDevice.h"

#include <cstdint>
#include <memory>
#include <span>

namespace orvanel {

class IUserPrompts;

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

// What draws a sound: told when the sound's data has changed, so that it draws it anew, and
// where playback has got to, in sample frames.
class IWaveViewer {
public:
    virtual ~IWaveViewer() = default;
    virtual void OnWaveDataChanged() = 0;
    // A viewer without a position marker has nothing to do here.
    virtual void OnWavePositionChanged(uint32_t /*frames*/) { }
    // The sound is being destroyed; a viewer that keeps a pointer to it drops it here.
    virtual void OnWaveSoundDestroyed() { }
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

    // Where playback goes and whom to tell when it cannot start. Neither is owned; both must
    // outlive the sound's playback. Without a device the sound cannot be played.
    void SetOutput(IWaveOutDevice* device, IUserPrompts* prompts);

    // Plays from the first sample, stopping any playback first.
    void Play();
    // Plays from the sample frame given (clamped to the end), stopping any playback first.
    void PlayFrom(uint32_t frame);
    // Stops any playback of this sound; a sound that is not playing is left as it is.
    void Stop();
    // Pauses a playing sound or resumes a paused one; a stopped sound is left as it is.
    void TogglePause();
    bool IsOpen() const { return m_open; }
    bool IsPaused() const { return m_paused; }
    // Played position in sample frames.
    uint32_t GetPosition() const { return m_position; }
    // Whole sample frames held; 0 when the format has no block alignment.
    uint32_t GetFrameCount() const { return m_format.blockAlign ? m_sampleCount / m_format.blockAlign : 0; }

    // Tells the linked viewer, if any, that the sound's data changed.
    void NotifyViewerData();
    // Tells the linked viewer, if any, the played position in sample frames.
    void NotifyViewerPosition(uint32_t frames);

    // The viewer is not owned; it unlinks itself (null) before it goes away.
    void SetViewer(IWaveViewer* viewer) { m_viewer = viewer; }
    IWaveViewer* GetViewer() const { return m_viewer; }

    const WaveFormat& GetFormat() const { return m_format; }
    // Null when the object holds no samples.
    const uint8_t* GetSamples() const { return m_samples.get(); }
    uint32_t GetSampleCount() const { return m_sampleCount; }

private:
    static void WaveOutProc(void* instance, WaveHeader* header);
    void OnBufferDone(WaveHeader* header);
    void QueueBuffer(const uint8_t* data, uint32_t length);
    // Queues the chunk at the queued offset; false when every byte is queued already.
    bool QueueNextChunk();
    void WriteNextReady();

    WaveFormat m_format;
    std::unique_ptr<uint8_t[]> m_samples;
    bool m_open = false;
    bool m_paused = false;
    uint32_t m_sampleCount = 0;
    uint32_t m_position = 0;
    CWaveHdrList m_ready;   // prepared, not yet written
    CWaveHdrList m_written; // in the device until it hands them back
    IWaveOutDevice* m_device = nullptr;
    IUserPrompts* m_prompts = nullptr;
    uint32_t m_startBytes = 0; // where in the samples playback started
    uint32_t m_queuedBytes = 0;
    uint32_t m_chunkSize = 0;
    uint32_t m_playedBytes = 0;
    IWaveViewer* m_viewer = nullptr;
};

} // namespace orvanel
