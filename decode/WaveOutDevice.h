#pragma once
// The wave-out device a sound plays through: it plays buffers of PCM samples in the order
// they are written, pauses and resumes, reports each buffer it has finished with and tells how
// much it has played. The prepared buffers waiting for the device are kept in a `CWaveHdrList`.

#include <cstdint>
#include <deque>
#include <memory>

namespace orvanel {

struct WaveFormat;

// One buffer on its way through the device. The samples are not owned: they stay in the
// sound for as long as the buffer exists.
struct WaveHeader {
    const uint8_t* data = nullptr;
    uint32_t length = 0;
};

// Called with the instance value given to Open and a buffer the device has finished with.
using WaveOutCallback = void (*)(void* instance, WaveHeader* header);

class IWaveOutDevice {
public:
    virtual ~IWaveOutDevice() = default;
    // Opens the default output for samples of the format; false when there is none or it
    // cannot play the format. Finished buffers are reported on the thread that opened the
    // device, from its event loop and never from inside a call to the device, so the
    // client is never entered from two threads. Reset is the one exception: it hands back
    // every buffer not yet reported before it returns.
    virtual bool Open(const WaveFormat& format, WaveOutCallback callback, void* instance) = 0;
    virtual bool Prepare(WaveHeader& header) = 0;
    virtual void Unprepare(WaveHeader& header) = 0;
    // Queues a prepared buffer behind those written before. The device keeps the pointer
    // until it reports the buffer finished.
    virtual bool Write(WaveHeader& header) = 0;
    virtual void Pause() = 0;
    virtual void Restart() = 0;
    // Stops playing and hands back every buffer still in the device.
    virtual void Reset() = 0;
    virtual void Close() = 0;
    // Bytes of the buffers written since Open that the output has really played (heard, as
    // far as it can tell), not merely taken: what a position marker follows.
    virtual uint64_t GetPlayedBytes() = 0;
};

// Buffers owned by a sound, oldest first.
class CWaveHdrList {
public:
    void AddTail(std::unique_ptr<WaveHeader> header) { m_headers.push_back(std::move(header)); }
    std::unique_ptr<WaveHeader> RemoveHead()
    {
        if (m_headers.empty())
            return nullptr;
        std::unique_ptr<WaveHeader> head = std::move(m_headers.front());
        m_headers.pop_front();
        return head;
    }
    // Takes the buffer out of the list; null when it is not in it.
    std::unique_ptr<WaveHeader> Remove(const WaveHeader* header)
    {
        for (auto it = m_headers.begin(); it != m_headers.end(); ++it) {
            if (it->get() == header) {
                std::unique_ptr<WaveHeader> found = std::move(*it);
                m_headers.erase(it);
                return found;
            }
        }
        return nullptr;
    }
    size_t GetCount() const { return m_headers.size(); }
    bool IsEmpty() const { return m_headers.empty(); }
    void RemoveAll() { m_headers.clear(); }
    // Unprepares every buffer on the device, oldest first, and frees them all.
    void UnprepareAll(IWaveOutDevice& device)
    {
        for (const std::unique_ptr<WaveHeader>& header : m_headers)
            device.Unprepare(*header);
        m_headers.clear();
    }

private:
    std::deque<std::unique_ptr<WaveHeader>> m_headers;
};

} // namespace orvanel
