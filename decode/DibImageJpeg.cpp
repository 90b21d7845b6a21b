// JPEG decoding through libjpeg. Every libjpeg error ends decoding with false; nothing is
// printed and the process is never ended.

#include "decode/ByteStream.h"
#include "decode/DibImage.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE declared first
#include <jerror.h>
#include <jpeglib.h>

namespace orvanel {

namespace {

constexpr size_t kSourceChunk = 4096;

struct JpegErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void OnJpegMessage(j_common_ptr)
{
}

// Feeds libjpeg from a byte stream. A stream that ends early gets libjpeg's usual treatment:
// a warning and an end-of-image marker, so the rows not stored come out grey.
struct JpegSource {
    jpeg_source_mgr pub;
    CByteStream* stream;
    JOCTET buffer[kSourceChunk];
};

void InitSource(j_decompress_ptr)
{
}

boolean FillInputBuffer(j_decompress_ptr info)
{
    auto* source = reinterpret_cast<JpegSource*>(info->src);
    size_t count = source->stream->Read(source->buffer, 1, kSourceChunk);
    if (count == 0) {
        WARNMS(info, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = count;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count)
{
    auto* source = reinterpret_cast<JpegSource*>(info->src);
    if (count <= 0)
        return;
    if (size_t(count) <= source->pub.bytes_in_buffer) {
        source->pub.next_input_byte += count;
        source->pub.bytes_in_buffer -= size_t(count);
        return;
    }
    // Past the buffered bytes: move the stream instead of reading through it.
    source->stream->Seek(int64_t(size_t(count) - source->pub.bytes_in_buffer), kSeekCurrent);
    source->pub.bytes_in_buffer = 0;
}

void TermSource(j_decompress_ptr)
{
}

int32_t DotsPerInch(uint8_t unit, uint16_t density)
{
    if (density == 0)
        return 0;
    if (unit == 1)
        return density;
    if (unit == 2) // dots per centimetre
        return int32_t((density * 254 + 50) / 100);
    return 0;
}

// Everything the decoding steps touch lives here, so that a jump out of libjpeg leaves no
// object of the steps' own frame behind.
struct JpegJob {
    jpeg_decompress_struct info;
    JpegErrors errors;
    JpegSource source;
    CDibImage* image;
    uint64_t streamBytes; // what the stream holds from where decoding starts
};

// Huffman coding spends at least one bit on every 8 × 8 block of the full-resolution
// component, so a stream much shorter than that cannot hold the picture it states: it is
// refused before any pixel memory is taken. Arithmetic coding has no such floor.
bool StreamCanHoldPicture(const JpegJob& job)
{
    const jpeg_decompress_struct& info = job.info;
    if (info.arith_code)
        return true;
    const uint64_t blocks = ((uint64_t(info.image_width) + 7) / 8) * ((uint64_t(info.image_height) + 7) / 8);
    return blocks / 8 <= job.streamBytes;
}

void ReadJpeg(JpegJob& job)
{
    jpeg_decompress_struct& info = job.info;
    jpeg_create_decompress(&info);
    // Larger needs (a progressive stream's coefficients) fail instead of being met.
    info.mem->max_memory_to_use = long(kMaxDibBlockBytes);
    job.source.pub.init_source = InitSource;
    job.source.pub.fill_input_buffer = FillInputBuffer;
    job.source.pub.skip_input_data = SkipInputData;
    job.source.pub.resync_to_restart = jpeg_resync_to_restart;
    job.source.pub.term_source = TermSource;
    job.source.pub.bytes_in_buffer = 0;
    job.source.pub.next_input_byte = nullptr;
    info.src = &job.source.pub;

    jpeg_read_header(&info, TRUE);
    if (!StreamCanHoldPicture(job))
        ERREXIT(&info, JERR_INPUT_EOF);
    const bool grey = info.num_components == 1;
    info.out_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_calc_output_dimensions(&info);
    // The picture is allocated before libjpeg allocates its own buffers, so an absurd size
    // stated by the stream fails here.
    CDibImage& image = *job.image;
    if (!image.Create(info.output_width, info.output_height, grey ? 8 : 24, kImageTypeJPEG))
        ERREXIT(&info, JERR_OUT_OF_MEMORY);
    jpeg_start_decompress(&info);
    const uint32_t height = image.GetHeight();
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.GetBits() + size_t(height - 1 - info.output_scanline) * image.GetEffWidth();
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
}

bool RunJpegJob(JpegJob& job)
{
    if (setjmp(job.errors.jump))
        return false;
    ReadJpeg(job);
    return true;
}

} // namespace

bool CDibImage::DecodeJPEG(CByteStream& stream)
{
    CDibImage image(kImageTypeJPEG);
    JpegJob job {};
    job.info.err = jpeg_std_error(&job.errors.pub);
    job.errors.pub.error_exit = OnJpegError;
    job.errors.pub.output_message = OnJpegMessage;
    job.source.stream = &stream;
    job.image = &image;
    const int64_t size = stream.Size(), start = stream.Tell();
    job.streamBytes = size >= 0 && start >= 0 && size >= start ? uint64_t(size - start) : UINT64_MAX;
    const bool ok = RunJpegJob(job);
    const bool grey = job.info.out_color_space == JCS_GRAYSCALE;
    const bool statesDensity = job.info.saw_JFIF_marker;
    const int32_t xDpi = DotsPerInch(job.info.density_unit, job.info.X_density);
    const int32_t yDpi = DotsPerInch(job.info.density_unit, job.info.Y_density);
    jpeg_destroy_decompress(&job.info);
    if (!ok)
        return false;
    if (grey)
        image.SetGreyPalette();
    if (statesDensity && xDpi > 0 && yDpi > 0)
        image.SetResolution(xDpi, yDpi);
    *this = std::move(image);
    return true;
}

} // namespace orvanel
