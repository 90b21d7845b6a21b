#pragma once
// What a stored file becomes, kind by kind: the picture, the sound or the text it is decoded
// to, the line it is described by, and the file it is exported as. The one place that knows
// what each kind of file turns into; the description and the export only call it.

#include "archive/DATArchive.h"
#include "content/FileKind.h"
#include "decode/ByteStream.h"
#include "decode/TextureDecoder.h"
#include "decode/WaveSound.h"

#include <span>
#include <string>
#include <vector>

namespace orvanel {

struct StoredContent {
    FileKind kind = FileKind::Raw;
    // Pictures: the colour picture (no grey one: neither a caption nor a saved file needs
    // it), its display scale and caption note.
    DecodedPicture picture;
    // Sounds.
    CWaveSound sound;
    // Text records: the text that is shown and exported (everything before its first zero).
    std::string text;
    // A picture to be written as PNG: the whole file, when EncodeContent has made it.
    std::vector<uint8_t> encoded;
};

// Decodes a stored file, whose ID has been checked, as its kind asks. Raw files need no
// decoding. A picture to be written as PNG keeps its own alpha beside it. False when the
// file yields nothing to show or save; reason then says why.
bool DecodeStoredContent(const CDATArchive& archive, std::span<const uint8_t> bytes, const DATEntry& entry,
    StoredContent& content, std::string& reason, ExportFormat format = ExportFormat::BMP);

// Makes the file of a decoded picture that is to be written in format ahead of the writing,
// so that it can be made beside the decoding; WriteContent then writes it in one piece. Does
// nothing for other content and for BMP, whose file is its picture as it is. False when the
// picture cannot be encoded.
bool EncodeContent(StoredContent& content, ExportFormat format);

// What the file view shows of decoded content, as text: a picture's caption, a sound's label
// (each ending in a line feed), a text record's text, or a raw file's bytes as characters.
std::string DescribeContent(
    const StoredContent& content, std::span<const uint8_t> bytes, const DATEntry& entry);

// Writes decoded content in its export format: pictures as BMP or as PNG (with the alpha
// decoded for it), sounds as WAV, texts with CRLF line ends. Raw files are not decoded
// content: the export streams their stored bytes itself. False when the stream failed.
bool WriteContent(const StoredContent& content, CByteStream& stream, ExportFormat format = ExportFormat::BMP);

} // namespace orvanel
