#include "platform/QtWaveOutDevice.h"

#include "decode/WaveSound.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>

namespace orvanel {

namespace {

// Short enough that the sink never runs dry between two feeds, and that the position
// marker moves about as often as a 1,024-byte buffer plays.
constexpr int kPollMilliseconds = 10;
// Half a second without progress.
constexpr int kStillPollsAtEnd = 50;

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

CQtWaveOutDevice::CQtWaveOutDevice()
{
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
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull() || format.formatTag != kWaveFormatPCM)
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
    if (!StartSink())
        return false;
    m_open = true;
    m_timer.start();
    return true;
}

bool CQtWaveOutDevice::StartSink()
{
    m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), m_format);
    m_input = m_sink->start();
    if (!m_input) {
        m_sink.reset();
        return false;
    }
    if (m_paused)
        m_sink->suspend();
    m_writtenBytes = 0;
    m_fedBytes = 0;
    m_lastUSecs = 0;
    m_stillPolls = 0;
    return true;
}

void CQtWaveOutDevice::StopSink()
{
    // Stopping the sink deletes the input it handed out.
    m_input = nullptr;
    if (m_sink)
        m_sink->stop();
    m_sink.reset();
}

bool CQtWaveOutDevice::Write(WaveHeader& header)
{
    if (!m_open || (!m_sink && !StartSink()))
        return false;
    m_queue.push_back({&header, m_writtenBytes, m_writtenBytes + header.length});
    m_writtenBytes += header.length;
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
    if (m_sink) {
        m_sink->resume();
        Feed();
    }
}

void CQtWaveOutDevice::Reset()
{
    StopSink();
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

void CQtWaveOutDevice::Poll()
{
    if (!m_sink)
        return;
    Feed();
    ReportFinished();
}

void CQtWaveOutDevice::Feed()
{
    // A sink that has not started yet cannot be suspended, so a paused device gives it
    // nothing to play.
    if (m_paused)
        return;
    // Writes to the sink never block; they take at most what it has room for.
    for (const Queued& queued : m_queue) {
        if (queued.end <= m_fedBytes)
            continue;
        const int64_t room = m_sink->bytesFree();
        if (room <= 0)
            return;
        const int64_t offset = m_fedBytes - queued.start;
        const int64_t length = std::min(queued.end - m_fedBytes, room);
        const qint64 taken = m_input->write(
            reinterpret_cast<const char*>(queued.header->data) + offset, length);
        if (taken <= 0)
            return;
        m_fedBytes += taken;
        if (taken < length)
            return;
    }
}

int64_t CQtWaveOutDevice::PlayedBytes()
{
    // Rounded to the nearest frame: rounding down can leave the last frame of the stream
    // short for ever.
    const int64_t usecs = m_sink->processedUSecs();
    const int64_t frames = (usecs * m_format.sampleRate() + 500000) / 1000000;
    int64_t played = std::min(frames * m_format.bytesPerFrame(), m_fedBytes);

    // A sink that has taken everything and not moved on for a while has played it all,
    // whatever its clock says.
    if (usecs != m_lastUSecs || m_paused || m_fedBytes < m_writtenBytes) {
        m_lastUSecs = usecs;
        m_stillPolls = 0;
    } else if (++m_stillPolls >= kStillPollsAtEnd) {
        played = m_fedBytes;
    }
    return played;
}

void CQtWaveOutDevice::ReportFinished()
{
    // Measured again after each report: the client may have stopped, reset or closed the
    // device, or written to it, while it was told.
    while (m_sink && !m_queue.empty() && m_queue.front().end <= PlayedBytes()) {
        WaveHeader* header = m_queue.front().header;
        m_queue.pop_front();
        m_callback(m_instance, header);
    }
}

} // namespace orvanel
