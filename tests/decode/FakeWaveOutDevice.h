#pragma once
// A wave-out device that plays only when the test says so: it keeps the samples it has played
// since it was opened and counts them as its played position. And a viewer that keeps what a
// sound tells it.

#include "decode/WaveSound.h"

#include <algorithm>
#include <deque>
#include <numeric>
#include <vector>

namespace orvanel::fixture {

class CFakeWaveOutDevice final : public IWaveOutDevice {
public:
    bool Open(const WaveFormat&, WaveOutCallback callback, void* instance) override
    {
        ++opened;
        m_callback = callback;
        m_instance = instance;
        heard.clear();
        paused = false;
        isOpen = opens;
        return opens;
    }
    bool Prepare(WaveHeader&) override { return true; }
    void Unprepare(WaveHeader&) override { }
    bool Write(WaveHeader& header) override { return inDevice.push_back(&header), true; }
    void Pause() override { paused = true; }
    void Restart() override { paused = false; }
    void Reset() override
    {
        m_offset = 0;
        HandBack(inDevice.size());
    }
    void Close() override { isOpen = false; }
    uint64_t GetPlayedBytes() override { return heard.size(); }

    // Plays up to count bytes of the buffers in the device, unless paused, and then hands back
    // each buffer played to its end, as a device that reports a little after it plays.
    void Play(size_t count = SIZE_MAX)
    {
        while (count > 0 && !paused && !inDevice.empty()) {
            size_t finished = 0;
            for (; finished < inDevice.size() && count > 0; ++finished) {
                const WaveHeader& header = *inDevice[finished];
                const size_t length = std::min<size_t>(count, header.length - m_offset);
                heard.insert(heard.end(), header.data + m_offset, header.data + m_offset + length);
                count -= length;
                m_offset += length;
                if (m_offset < header.length)
                    break;
                m_offset = 0;
            }
            HandBack(finished);
        }
    }
    size_t BytesInDevice() const
    {
        return std::accumulate(inDevice.begin(), inDevice.end(), -m_offset,
            [](size_t sum, const WaveHeader* h) { return sum + h->length; });
    }

    bool opens = true;
    bool isOpen = false;
    bool paused = false;
    int opened = 0;
    std::vector<uint8_t> heard; // since the last Open
    std::deque<WaveHeader*> inDevice;

private:
    // The oldest buffers; fewer when a buffer handed back stops the sound, which resets.
    void HandBack(size_t count)
    {
        for (; count > 0 && !inDevice.empty(); --count) {
            WaveHeader* header = inDevice.front();
            inDevice.pop_front();
            m_callback(m_instance, header);
        }
    }

    size_t m_offset = 0; // bytes of the oldest buffer played
    WaveOutCallback m_callback = nullptr;
    void* m_instance = nullptr;
};

class CRecordingViewer final : public IWaveViewer {
public:
    void OnWaveDataChanged() override { ++changes; }
    void OnWavePositionChanged(uint32_t frames) override { positions.push_back(frames); }
    int changes = 0;
    std::vector<uint32_t> positions;
};

} // namespace orvanel::fixture
