#include "platform/QtWaveOutDevice.h"

#include "decode/WaveSound.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>
#include <cstring>

namespace orvanel {

namespace {

// Often enough that the position marker moves smoothly.
constexpr int kPollMilliseconds = 10;
// What the sink keeps ahead of what is heard: enough to ride out a busy moment of the program.
constexpr int kSinkBufferMicroseconds = 500000;
// A third of a second with everything taken, the clock still and the sink idle: all is heard,
// whatever the clock says (it may stop a frame short of the end).
constexpr int kStillPollsAtEnd = 30;

QAudioFormat::SampleFormat SampleFormatFor(uint16_t bitsPerSample)
{
    switch (bitsPerSample) {
    case 8: return QAudioFormat::UInt8;
    case 16: return QAudioFormat::Int16;
    case 32: return QAudioFormat::Int32;
    default: return QAudioFormat::Unknown;
    }
}

} // namespace

qint64 CQtWaveOutDevice::CSource::bytesAvailable() const
{
    return m_device.m_writtenBytes - m_device.m_takenBytes + QIODevice::bytesAvailable();
}

qint64 CQtWaveOutDevice::CSource::readData(char* data, qint64 maxSize)
{
    qint64 copied = 0;
    for (const Queued& queued : m_device.m_queue) {
        if (copied == maxSize)
            break;
        const int64_t taken = m_device.m_takenBytes;
        if (queued.end <= taken)
            continue;
        const int64_t length = std::min<int64_t>(queued.end - taken, maxSize - copied);
        std::memcpy(data + copied, queued.header->data + (taken - queued.start), size_t(length));
        copied += length;
        m_device.m_takenBytes += length;
    }
    return copied;
}

CQtWaveOutDevice::CQtWaveOutDevice()
{
    m_source.open(QIODevice::ReadOnly);
    m_timer.setInterval(kPollMilliseconds);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
}

CQtWaveOutDevice::~CQtWaveOutDevice()
{
    m_queue.clear();
    StopSink();
}

bool CQtWaveOutDevice::Open(const WaveFormat& format, WaveOutCallback callback, void* instance)
{
    Close();
    if (QMediaDevices::defaultAudioOutput().isNull() || format.formatTag != kWaveFormatPCM)
        return false;
    QAudioFormat audio;
    audio.setSampleRate(int(std::min<uint32_t>(format.samplesPerSec, INT32_MAX)));
    audio.setChannelCount(format.channels);
    audio.setSampleFormat(SampleFormatFor(format.bitsPerSample));
    // The sink lays frames out by its own format; a block alignment that differs would play
    // the samples out of step.
    if (!audio.isValid() || audio.bytesPerFrame() != format.blockAlign)
        return false;
    m_format = audio;
    m_callback = callback;
    m_instance = instance;
    m_paused = false;
    m_writtenBytes = 0;
    m_takenBytes = 0;
    m_open = true;
    m_timer.start();
    return true;
}

void CQtWaveOutDevice::StartSink()
{
    // A new sink, so that nothing of an earlier stream (its clock, its buffer) carries over.
    m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), m_format);
    m_sink->setBufferSize(m_format.bytesForDuration(kSinkBufferMicroseconds));
    m_lastUSecs = 0;
    m_stillPolls = 0;
    m_failed = false;
    m_sink->start(&m_source);
}

void CQtWaveOutDevice::StopSink()
{
    if (m_sink)
        m_sink->stop();
    m_sink.reset();
}

bool CQtWaveOutDevice::Write(WaveHeader& header)
{
    if (!m_open)
        return false;
    m_queue.push_back({&header, m_writtenBytes, m_writtenBytes + header.length});
    m_writtenBytes += header.length;
    if (!m_sink && !m_paused)
        StartSink();
    else
        emit m_source.readyRead();
    return true;
}

void CQtWaveOutDevice::Pause()
{
    m_paused = true;
    if (m_sink)
        m_sink->suspend();
}

void CQtWaveOutDevice::Restart()
{
    m_paused = false;
    if (m_sink)
        m_sink->resume();
    else if (m_open && m_writtenBytes > m_takenBytes)
        StartSink(); // with every buffer written so far there to take at once
}

void CQtWaveOutDevice::Reset()
{
    StopSink();
    m_writtenBytes = 0;
    m_takenBytes = 0;
    // Taken out first: the callback may write to the device again.
    std::deque<Queued> handedBack;
    handedBack.swap(m_queue);
    for (const Queued& queued : handedBack)
        m_callback(m_instance, queued.header);
}

void CQtWaveOutDevice::Close()
{
    if (!m_open)
        return;
    Reset();
    m_timer.stop();
    m_open = false;
    m_callback = nullptr;
    m_instance = nullptr;
}

uint64_t CQtWaveOutDevice::GetPlayedBytes()
{
    if (!m_sink)
        return 0;
    if (m_failed)
        return uint64_t(m_writtenBytes);
    if (m_stillPolls >= kStillPollsAtEnd)
        return uint64_t(m_takenBytes);
    // Rounded to the nearest frame: rounding down can leave the last frame short for ever.
    const int64_t frames = (m_sink->processedUSecs() * m_format.sampleRate() + 500000) / 1000000;
    return uint64_t(std::min(frames * m_format.bytesPerFrame(), m_takenBytes));
}

void CQtWaveOutDevice::Poll()
{
    if (!m_sink)
        return;
    // A sink that has failed (the server went away) will play nothing more: everything written
    // counts as played, so that the sound stops rather than waits for ever.
    m_failed = m_failed || (m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError);
    const int64_t usecs = m_sink->processedUSecs();
    const bool drained = !m_paused && m_takenBytes == m_writtenBytes && m_sink->state() == QAudio::IdleState;
    if (usecs != m_lastUSecs || !drained) {
        m_lastUSecs = usecs;
        m_stillPolls = 0;
    } else if (m_stillPolls < kStillPollsAtEnd) {
        ++m_stillPolls;
    }
    ReportFinished();
}

void CQtWaveOutDevice::ReportFinished()
{
    // Measured again after each report: the client may have stopped, reset or closed the
    // device, or written to it, while it was told.
    while (m_sink && !m_queue.empty() && uint64_t(m_queue.front().end) <= GetPlayedBytes()) {
        WaveHeader* header = m_queue.front().header;
        m_queue.pop_front();
        m_callback(m_instance, header);
    }
}

} // namespace orvanel
