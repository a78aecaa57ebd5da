#include "video/cCommonFont.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"
#include "video/loaders/cRunLengthEncoder.h"

namespace velmora::video {

namespace {

constexpr std::size_t kFormatBuffer = 4096;
constexpr int kSpace = 32;
constexpr int kTabSpaces = 3;

std::int32_t ToInt32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

float ToFloat(const std::uint8_t* p) {
    const std::uint32_t bits = static_cast<std::uint32_t>(ToInt32(p));
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

void ReadExactly(IFile* file, void* buffer, std::size_t size) {
    if (file->Read(buffer, 1, static_cast<std::int32_t>(size)) != static_cast<std::int32_t>(size)) {
        RaiseError("cCommonFont::Create : unexpected end of file");
    }
}

} // namespace

cCommonFont::cCommonFont(cResourceManager* owner, IRenderer* renderer) : m_Owner(owner), m_Renderer(renderer) {}

cCommonFont::~cCommonFont() {
    if (m_Atlas) m_Atlas->Release();
}

void cCommonFont::Release() {
    if (m_RefCount <= 0) return;  // the renderer's cache keeps the font until it goes away
    if (--m_RefCount == 0) LogMessage("cCommonFont::Release : font '%s' released\n", m_Name.c_str());
}

IFont* cCommonFont::AddRef() {
    ++m_RefCount;
    return this;
}

float cCommonFont::MeasureText(const char* text) const {
    float width = 0.0f;
    if (!text) return width;
    for (const char* c = text; *c; ++c) {
        const unsigned char code = static_cast<unsigned char>(*c);
        if (code < 128) width += m_Characters[code].advance;
    }
    return width;
}

void cCommonFont::GetTextSize(cRect& out, const char* text) const {
    out = cRect(0.0f, 0.0f, MeasureText(text), static_cast<float>(m_FontHeight));
}

void cCommonFont::SetColor(float r, float g, float b, float a) { m_Color = cColorF(r, g, b, a).ToColor(); }

void cCommonFont::SetBlendFunc(int src, int dst) {
    m_BlendSrc = src;
    m_BlendDst = dst;
}

void cCommonFont::Print3D(float x, float y, float z, const char* text) {
    if (!text || !m_Renderer) return;
    cVector3 window;
    m_Renderer->Project(window, cVector3(x, y, z));
    Print(window.x, window.y, text);
}

void cCommonFont::Print(float x, float y, const char* text) {
    if (!text) return;
    const sCharacter& space = m_Characters[kSpace];
    const float lineHeight = space.quadHeight;
    const float tabWidth = kTabSpaces * space.advance;

    const bool blend = m_Renderer && m_BlendSrc != 0 && m_BlendDst != 0;
    const int savedSrc = m_Renderer ? m_Renderer->GetBlendSrc() : 0;
    const int savedDst = m_Renderer ? m_Renderer->GetBlendDst() : 0;
    if (blend) m_Renderer->SetBlendFunc(m_BlendSrc, m_BlendDst);
    if (m_Renderer) m_Renderer->SetTexture(m_Atlas, 0);

    float penX = std::floor(x);
    float penY = std::floor(y);
    int previous = 0;
    for (const char* c = text; *c; ++c) {
        const signed char code = static_cast<signed char>(*c);
        if (code < 0) continue;  // 128-255: neither drawn nor advanced
        if (code == '\n') {
            penX = x;
            penY -= lineHeight;
        } else if (code == '\t') {
            penX += tabWidth;
        }
        DrawGlyph(previous << 8 | code, penX, penY);
        penX += m_Characters[static_cast<unsigned char>(code)].advance;
        previous = code;
    }

    if (m_Renderer) m_Renderer->SetTexture(nullptr, 0);
    if (blend) m_Renderer->SetBlendFunc(savedSrc, savedDst);
}

void cCommonFont::Printf3D(float x, float y, float z, const char* format, ...) {
    if (!format) return;
    char buffer[kFormatBuffer];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    Print3D(x, y, z, buffer);
}

void cCommonFont::Printf(float x, float y, const char* format, ...) {
    if (!format) return;
    char buffer[kFormatBuffer];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    Print(x, y, buffer);
}

void cCommonFont::Create(IFile* file) {
    if (!file) RaiseError("cCommonFont::Create : NULL pointer to file");

    std::uint8_t header[24];
    ReadExactly(file, header, sizeof(header));
    const std::int32_t width = ToInt32(header);
    const std::int32_t height = ToInt32(header + 4);
    m_FontHeight = ToInt32(header + 8);
    sCompressionInfo info;
    info.marker = static_cast<std::uint32_t>(ToInt32(header + 12));
    info.decompressedSize = static_cast<std::uint32_t>(ToInt32(header + 16));
    info.compressedSize = static_cast<std::uint32_t>(ToInt32(header + 20));
    if (width <= 0 || height <= 0 || width > kMaxAtlasSide || height > kMaxAtlasSide) {
        RaiseError("cCommonFont::Create : invalid atlas size %d x %d", width, height);
    }
    const std::size_t pixelCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    // A size beyond what the file still holds is damage, not a reason to allocate.
    const std::int32_t position = file->Tell();
    const std::int64_t remaining = static_cast<std::int64_t>(file->GetSize()) - (position < 0 ? 0 : position);
    if (static_cast<std::int64_t>(info.compressedSize) > remaining) {
        RaiseError("cCommonFont::Create : unexpected end of file");
    }

    std::vector<std::uint8_t> grey;
    {
        std::vector<std::uint8_t> compressed;
        try {
            compressed.resize(info.compressedSize);
        } catch (const std::bad_alloc&) {
            RaiseError("cCommonFont::Create : failed to allocate memory for compressed buffer");
        }
        if (!compressed.empty()) ReadExactly(file, compressed.data(), compressed.size());
        // Bytes decoded beyond the atlas would never be used.
        if (info.decompressedSize > pixelCount) info.decompressedSize = static_cast<std::uint32_t>(pixelCount);
        static const std::uint8_t kNothing = 0;
        cRunLengthEncoder::Decompress(compressed.empty() ? &kNothing : compressed.data(), info, grey);
    }
    // An atlas that decodes short is padded with empty pixels.
    grey.resize(pixelCount, 0);

    std::vector<std::uint8_t> pixels;
    try {
        pixels.resize(pixelCount * 4);
    } catch (const std::bad_alloc&) {
        RaiseError("cCommonFont::Create : failed to allocate memory for texture\n");
    }
    for (std::size_t i = 0; i < pixelCount; ++i) {
        std::memset(&pixels[i * 4], grey[i], 4);
    }
    std::vector<std::uint8_t>().swap(grey);

    std::uint8_t records[kCharacterCount * 24];
    ReadExactly(file, records, sizeof(records));
    for (int i = 0; i < kCharacterCount; ++i) {
        const std::uint8_t* r = records + i * 24;
        sCharacter c{ToFloat(r), ToFloat(r + 4), ToFloat(r + 8), ToFloat(r + 12), ToFloat(r + 16), ToFloat(r + 20)};
        const bool finite = std::isfinite(c.u) && std::isfinite(c.v) && std::isfinite(c.width) &&
                            std::isfinite(c.height) && std::isfinite(c.advance) && std::isfinite(c.quadHeight);
        m_Characters[i] = finite ? c : sCharacter();
    }

    m_Atlas = CreateAtlas(pixels.data(), width, height);
    if (!m_Atlas) RaiseError("cCommonFont::Create : failed to create atlas texture");
}

ITexture2D* cCommonFont::CreateAtlas(const std::uint8_t* pixels, int width, int height) {
    if (!m_Renderer) return nullptr;
    return m_Renderer->CreateTexture(pixels, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 4);
}

} // namespace velmora::video
