#include "video/loaders/cJPGTexture2DLoader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "engine/core/Log.h"
#include "video/VideoTypes.h"
#include "video/loaders/LoaderUtil.h"

namespace velmora::video {

namespace {

constexpr std::size_t kChunk = 4096;
constexpr const char* kOutOfMemory = "cJPGTexture2DLoader::LoadTexture : failed to allocate memory";
// Pixels one byte of compressed data may stand for. Huffman-coded scans spend at least one bit on every 8x8
// block, so real files stay far below this; a header that claims more describes data the file does not hold.
constexpr std::uint64_t kMaxPixelsPerByte = 4096;

// The decoder's source: the engine file read in chunks; at its end a fake end-of-image marker.
struct sFileSource {
    jpeg_source_mgr base;
    IFile* file;
    JOCTET buffer[kChunk];
};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    sFileSource* src = reinterpret_cast<sFileSource*>(cinfo->src);
    std::int32_t got = 0;
    try {
        got = src->file->Read(src->buffer, 1, static_cast<std::int32_t>(kChunk));
    } catch (...) {
        got = 0;  // a failing file reads as the end of the data
    }
    if (got <= 0) {
        // Warns (and so fails, see EmitMessage) like libjpeg's own file source.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->base.next_input_byte = src->buffer;
    src->base.bytes_in_buffer = static_cast<std::size_t>(got);
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    sFileSource* src = reinterpret_cast<sFileSource*>(cinfo->src);
    while (count > 0) {
        if (src->base.bytes_in_buffer == 0) FillInputBuffer(cinfo);
        const std::size_t step = std::min<std::size_t>(static_cast<std::size_t>(count), src->base.bytes_in_buffer);
        src->base.next_input_byte += step;
        src->base.bytes_in_buffer -= step;
        count -= static_cast<long>(step);
    }
}

void TermSource(j_decompress_ptr) {}

struct sErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    sErrorManager* err = reinterpret_cast<sErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (level -1) mean corrupt or missing data: treat them as errors. Trace messages are dropped.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level < 0) ErrorExit(cinfo);
}

// The decoding itself; only trivially destructible objects live in this frame, so that the
// decoder's long jump out of it is harmless. Returns false with `message` filled on failure. The declared
// size is checked against `limits` and against the `fileBytes` the data has before anything is allocated.
bool Decode(IFile* file, std::uint64_t fileBytes, const sImageLimits& limits, std::uint8_t*& pixels,
            std::uint32_t& width, std::uint32_t& height, char* message) {
    jpeg_decompress_struct cinfo;
    sErrorManager err;
    sFileSource* source = nullptr;
    std::uint8_t* volatile image = nullptr;
    std::memset(&cinfo, 0, sizeof(cinfo));
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = ErrorExit;
    err.base.emit_message = EmitMessage;
    err.message[0] = 0;
    if (setjmp(err.jump)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        jpeg_destroy_decompress(&cinfo);
        delete[] image;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    source = static_cast<sFileSource*>(
        (*cinfo.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_PERMANENT, sizeof(sFileSource)));
    source->file = file;
    source->base.init_source = InitSource;
    source->base.fill_input_buffer = FillInputBuffer;
    source->base.skip_input_data = SkipInputData;
    source->base.resync_to_restart = jpeg_resync_to_restart;
    source->base.term_source = TermSource;
    source->base.bytes_in_buffer = 0;
    source->base.next_input_byte = nullptr;
    cinfo.src = &source->base;

    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.jpeg_color_space != JCS_GRAYSCALE && cinfo.jpeg_color_space != JCS_YCbCr &&
        cinfo.jpeg_color_space != JCS_RGB) {
        std::snprintf(message, JMSG_LENGTH_MAX, "unsupported colour space %d", static_cast<int>(cinfo.jpeg_color_space));
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const std::uint32_t edgeLimit = std::min(limits.maxEdge, loaderutil::kMaxImageEdge);
    if (cinfo.image_width > edgeLimit || cinfo.image_height > edgeLimit) {
        std::snprintf(message, JMSG_LENGTH_MAX, "image size %ux%u exceeds the device limit %u",
                      static_cast<unsigned>(cinfo.image_width), static_cast<unsigned>(cinfo.image_height), edgeLimit);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (static_cast<std::uint64_t>(cinfo.image_width) * cinfo.image_height > fileBytes * kMaxPixelsPerByte) {
        std::snprintf(message, JMSG_LENGTH_MAX, "image size %ux%u is more than %llu bytes of data can hold",
                      static_cast<unsigned>(cinfo.image_width), static_cast<unsigned>(cinfo.image_height),
                      static_cast<unsigned long long>(fileBytes));
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    width = cinfo.output_width;
    height = cinfo.output_height;
    if (cinfo.output_components != 3 || width == 0 || height == 0 || width > loaderutil::kMaxImageEdge ||
        height > loaderutil::kMaxImageEdge) {
        std::snprintf(message, JMSG_LENGTH_MAX, "unexpected output %ux%u x %d", width, height, cinfo.output_components);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    image = new (std::nothrow) std::uint8_t[rowBytes * height];
    if (!image) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", kOutOfMemory);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        // Decoded row k (top-down) becomes stored row height - 1 - k.
        JSAMPROW row = image + rowBytes * (height - 1 - cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    pixels = image;
    return true;
}

} // namespace

cJPGTexture2DLoader* cJPGTexture2DLoader::GetInstance() {
    static cJPGTexture2DLoader instance;
    return &instance;
}

void cJPGTexture2DLoader::LoadTexture(IFile* file, sImageData& image, const sImageLimits& limits) const {
    if (!file) RaiseError("cJPGTexture2DLoader::LoadTexture : NULL pointer to file");
    std::uint8_t* pixels = nullptr;
    std::uint32_t width = 0, height = 0;
    char message[JMSG_LENGTH_MAX];
    if (!Decode(file, loaderutil::Remaining(file), limits, pixels, width, height, message)) {
        RaiseError("cJPGTexture2DLoader::LoadTexture : an error occured while loading texture from '%s' (%s)",
                   file->GetName().c_str(), message);
    }
    try {
        image.pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 3);
    } catch (...) {
        delete[] pixels;
        RaiseError("%s", kOutOfMemory);
    }
    delete[] pixels;
    image.width = width;
    image.height = height;
    image.bytesPerPixel = 3;
    image.mipCount = 0;
    image.compression = TC_NONE;
}

} // namespace velmora::video
