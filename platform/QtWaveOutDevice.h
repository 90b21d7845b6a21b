#pragma once
// The wave-out device on Qt Multimedia's audio sink. Every Open makes a new sink, started only
// once it has samples to take and is not paused, so that no stream ever runs ahead of its
// data (an output that runs dry skips whatever arrives late). The sink pulls the written
// buffers itself; a short timer on the thread that owns the device reports each buffer the
// sink has played, by the sink's own count of the microseconds it has played, so finished
// buffers reach the sound on that thread only.

#include "decode/WaveOutDevice.h"

#include <QAudioFormat>
#include <QIODevice>
#include <QTimer>

#include <deque>
#include <memory>

class QAudioSink;

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
    void Unprepare(WaveHeader&) override { }
    bool Write(WaveHeader& header) override;
    void Pause() override;
    void Restart() override;
    void Reset() override;
    void Close() override;
    uint64_t GetPlayedBytes() override;

private:
    struct Queued {
        WaveHeader* header;
        int64_t start; // offset of the buffer's first byte in the stream since Open
        int64_t end;
    };

    // What the sink reads: the written buffers, in order, from the first byte not yet taken.
    class CSource final : public QIODevice {
    public:
        explicit CSource(CQtWaveOutDevice& device) : m_device(device) { }
        bool isSequential() const override { return true; }
        qint64 bytesAvailable() const override;

    protected:
        qint64 readData(char* data, qint64 maxSize) override;
        qint64 writeData(const char*, qint64) override { return -1; }

    private:
        CQtWaveOutDevice& m_device;
    };

    void StartSink();
    void StopSink();
    void Poll();
    void ReportFinished();

    QAudioFormat m_format;
    WaveOutCallback m_callback = nullptr;
    void* m_instance = nullptr;
    bool m_open = false;
    bool m_paused = false;
    std::unique_ptr<QAudioSink> m_sink;
    CSource m_source {*this};
    std::deque<Queued> m_queue; // written and not yet reported, oldest first
    int64_t m_writtenBytes = 0; // bytes of every buffer written since Open
    int64_t m_takenBytes = 0;   // of those, the bytes the sink has taken
    int64_t m_lastUSecs = 0;    // the sink's clock at the last poll
    int m_stillPolls = 0;       // polls since it last moved with nothing left to take
    bool m_failed = false;      // the sink stopped with an error
    QTimer m_timer;
};

} // namespace orvanel
