#pragma once
// A wave-out device that records the calls made on it and finishes buffers only when the
// test says so.

#include "decode/WaveOutDevice.h"

#include <string>
#include <vector>

namespace orvanel::fixture {

class CFakeWaveOutDevice final : public IWaveOutDevice {
public:
    bool Open(const WaveFormat&, WaveOutCallback callback, void* instance) override
    {
        calls.push_back("open");
        m_callback = callback;
        m_instance = instance;
        return opens;
    }
    bool Prepare(WaveHeader&) override { return ++prepared, true; }
    void Unprepare(WaveHeader&) override { ++unprepared; }
    bool Write(WaveHeader& header) override
    {
        written.push_back(header.length);
        inDevice.push_back(&header);
        return true;
    }
    void Pause() override { calls.push_back("pause"); }
    void Restart() override { calls.push_back("restart"); }
    void Reset() override
    {
        calls.push_back("reset");
        Finish(inDevice.size());
    }
    void Close() override { calls.push_back("close"); }

    // Hands back the oldest count buffers in the device, as playing them would.
    void Finish(size_t count)
    {
        for (; count > 0 && !inDevice.empty(); --count) {
            WaveHeader* header = inDevice.front();
            inDevice.erase(inDevice.begin());
            m_callback(m_instance, header);
        }
    }

    bool opens = true;
    std::vector<std::string> calls;
    std::vector<uint32_t> written; // the length of every buffer written, in order
    std::vector<WaveHeader*> inDevice;
    int prepared = 0;
    int unprepared = 0;

private:
    WaveOutCallback m_callback = nullptr;
    void* m_instance = nullptr;
};

} // namespace orvanel::fixture
