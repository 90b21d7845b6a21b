#pragma once
// The wave-out device on Qt Multimedia's audio sink. The buffers written are fed to the sink
// from a short timer on the thread that owns the device, and the same timer reports each
// buffer the sink has played, so finished buffers reach the sound on that thread only.

#include "decode/WaveOutDevice.h"

#include <QAudioFormat>
#include <QTimer>

#include <deque>
#include <memory>

class QAudioSink;
class QIODevice;

namespace orvanel {

class CQtWaveOutDevice final : public IWaveOutDevice {
public:
    CQtWaveOutDevice();
    // Drops any buffers still queued without reporting them: whoever played through the
    // device has stopped by now.
    ~CQtWaveOutDevice() override;
    CQtWaveOutDevice(const CQtWaveOutDevice&) = delete;
    CQtWaveOutDevice& operator=(const CQtWaveOutDevice&) = delete;

    bool Open(const WaveFormat& format, WaveOutCallback callback, void* instance) override;
    bool Prepare(WaveHeader&) override { return true; }
    void Unprepare(WaveHeader&) override {}
    bool Write(WaveHeader& header) override;
    void Pause() override;
    void Restart() override;
    void Reset() override;
    void Close() override;

private:
    struct Queued {
        WaveHeader* header;
        int64_t start; // offset of the buffer's first byte in the stream sent to the sink
        int64_t end;
    };

    bool StartSink();
    void StopSink();
    void Poll();
    void Feed();
    void ReportFinished();
    int64_t PlayedBytes();

    QAudioFormat m_format;
    WaveOutCallback m_callback = nullptr;
    void* m_instance = nullptr;
    bool m_open = false;
    bool m_paused = false;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_input = nullptr; // belongs to the sink; gone once the sink stops
    std::deque<Queued> m_queue;   // written and not yet reported, oldest first
    int64_t m_writtenBytes = 0;   // bytes of every buffer written since the sink started
    int64_t m_fedBytes = 0;       // of those, the bytes the sink has taken
    int64_t m_lastUSecs = 0;      // the sink's clock at the last poll
    int m_stillPolls = 0;         // polls since it last moved
    QTimer m_timer;
};

} // namespace orvanel
