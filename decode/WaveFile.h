#pragma once
// Writing a sound object as a RIFF WAVE file.

#include "decode/ByteStream.h"
#include "decode/WaveSound.h"

#include <string>

namespace orvanel {

// Writes "RIFF", the "fmt " chunk with the first 16 bytes of the format, and the "data"
// chunk with the samples, padded to an even size. An empty object gives a 44-byte file with
// a zero format. False when the file cannot be created or any write fails.
bool WriteWaveFile(const CWaveSound& sound, const std::string& path);
// The same file written into an open stream.
bool WriteWaveFile(const CWaveSound& sound, CByteStream& stream);

} // namespace orvanel
