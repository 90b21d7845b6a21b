// Playback of a sound: the samples are streamed to the wave-out device in 1,024-byte buffers
// straight from the sound's own sample buffer. The device holds about a second of sound, so
// that a busy program does not starve the output (a starved output skips what comes late),
// and some more buffers are prepared behind it; each finished buffer lets one more in and
// prepares one more. The marker follows what the device says it has played.
#include "decode/WaveSound.h"

#include "archive/Platform.h"

#include <algorithm>
#include <new>

namespace orvanel {

namespace {

constexpr uint32_t kChunkBytes = 1024;
constexpr uint64_t kFewestInDevice = 16;
// A rate read from a file can be absurd; two mebibytes in the device are plenty for any real one.
constexpr uint64_t kMostInDevice = 2048;
constexpr size_t kPreparedBehind = 64;

// Buffers that hold one second of the format.
size_t BuffersInDevice(const WaveFormat& format)
{
    const uint64_t perSecond = uint64_t(format.samplesPerSec) * format.blockAlign;
    return size_t(std::clamp((perSecond + kChunkBytes - 1) / kChunkBytes, kFewestInDevice, kMostInDevice));
}

} // namespace

void CWaveSound::SetOutput(IWaveOutDevice* device, IUserPrompts* prompts)
{
    Stop();
    m_device = device;
    m_prompts = prompts;
}

void CWaveSound::Play()
{
    PlayFrom(0);
}

void CWaveSound::PlayFrom(uint32_t frame)
{
    Stop();
    // A sound without bytes would leave the device open with nothing ever to finish.
    if (m_open || !m_samples || m_sampleCount == 0)
        return;
    if (!m_device || !m_device->Open(m_format, &CWaveSound::WaveOutProc, this)) {
        if (m_prompts)
            m_prompts->Report(MessageKind::Error, "Unable to open sound device for playback!!!");
        return;
    }
    // Nothing plays while the first buffers go in.
    m_device->Pause();

    const uint64_t start = std::min<uint64_t>(uint64_t(frame) * m_format.blockAlign, m_sampleCount);
    m_startBytes = uint32_t(start);
    m_queuedBytes = m_startBytes;
    m_chunkSize = kChunkBytes;
    const size_t inDevice = BuffersInDevice(m_format);
    while (m_ready.GetCount() < inDevice + kPreparedBehind && QueueNextChunk()) {
    }
    for (size_t i = 0; i < inDevice; ++i)
        WriteNextReady();

    // The bytes before the start count as played, so that the end of the sound comes out
    // right.
    m_playedBytes = m_startBytes;
    m_position = m_format.blockAlign ? m_startBytes / m_format.blockAlign : 0;
    NotifyViewerPosition(m_position);

    m_open = true;
    m_paused = false;
    m_device->Restart();
    // Starting past the last byte, or with no buffer accepted, nothing would ever finish.
    if (m_written.IsEmpty())
        Stop();
}

void CWaveSound::Stop()
{
    if (!m_open)
        return;
    m_device->Pause();
    m_paused = true;
    m_playedBytes = 0;
    m_position = 0;
    NotifyViewerPosition(0);
    m_ready.UnprepareAll(*m_device);
    m_open = false;
    m_paused = false;
    // The sound is no longer open, so the buffers the reset hands back are only freed.
    m_device->Reset();
    m_device->Close();
    m_written.RemoveAll();
}

void CWaveSound::TogglePause()
{
    if (!m_open)
        return;
    if (m_paused) {
        m_device->Restart();
        m_paused = false;
    } else {
        m_device->Pause();
        m_paused = true;
    }
}

void CWaveSound::NotifyViewerPosition(uint32_t frames)
{
    if (m_viewer)
        m_viewer->OnWavePositionChanged(frames);
}

void CWaveSound::WaveOutProc(void* instance, WaveHeader* header)
{
    CWaveSound* sound = static_cast<CWaveSound*>(instance);
    if (sound->m_open) {
        sound->OnBufferDone(header);
        return;
    }
    // Handed back by a reset: the device is still open until it is closed, so the buffer
    // is unprepared before it is freed, as every prepared buffer is.
    if (std::unique_ptr<WaveHeader> done = sound->m_written.Remove(header))
        sound->m_device->Unprepare(*done);
}

void CWaveSound::OnBufferDone(WaveHeader* header)
{
    std::unique_ptr<WaveHeader> done = m_written.Remove(header);
    if (!done)
        return; // not a buffer of this sound's playback
    const uint32_t length = done->length;
    m_device->Unprepare(*done);
    done.reset();

    WriteNextReady();
    QueueNextChunk();

    // The buffers finished decide the end; the marker shows what has been heard.
    m_playedBytes += length;
    const uint64_t heard = std::min<uint64_t>(m_startBytes + m_device->GetPlayedBytes(), m_sampleCount);
    m_position = m_format.blockAlign ? uint32_t(heard / m_format.blockAlign) : 0;
    NotifyViewerPosition(m_position);
    // An empty device will never report again: either every byte has been played, or a
    // chunk could not be prepared and the rest cannot follow.
    if (m_playedBytes >= m_sampleCount || m_written.IsEmpty())
        Stop();
}

void CWaveSound::QueueBuffer(const uint8_t* data, uint32_t length)
{
    std::unique_ptr<WaveHeader> header(new (std::nothrow) WaveHeader {data, length});
    if (!header || !m_device->Prepare(*header))
        return;
    m_ready.AddTail(std::move(header));
}

bool CWaveSound::QueueNextChunk()
{
    if (m_queuedBytes >= m_sampleCount)
        return false;
    m_chunkSize = std::min(m_chunkSize, m_sampleCount - m_queuedBytes);
    QueueBuffer(m_samples.get() + m_queuedBytes, m_chunkSize);
    m_queuedBytes += m_chunkSize;
    return true;
}

void CWaveSound::WriteNextReady()
{
    std::unique_ptr<WaveHeader> next = m_ready.RemoveHead();
    if (!next)
        return;
    WaveHeader& header = *next;
    m_written.AddTail(std::move(next));
    if (!m_device->Write(header)) {
        m_device->Unprepare(header);
        m_written.Remove(&header);
    }
}

} // namespace orvanel
