#pragma once
// The device-independent part of a bitmap font: the ".fnt" reader, the
// character records, colour and blend factors, measuring and the pen walk
// of Print. A backend derives from it and draws single glyphs (DrawGlyph).
//
// ".fnt" layout (little-endian): atlas width, atlas height and font height
// (signed 32-bit each); the compression information (marker, decompressed
// size, compressed size; 32-bit each); the run-length coded atlas (one grey
// byte per pixel, rows bottom first); 256 character records of six floats
// (u, v of the glyph's lower-left corner, width and height in texture units,
// advance and quad height in pixels).

#include <array>
#include <cstdint>
#include <string>

#include "video/IFont.h"

namespace velmora {
class IFile;
}

namespace velmora::video {

class IRenderer;
class ITexture2D;
class cResourceManager;

class cCommonFont : public IFont {
public:
    static constexpr int kCharacterCount = 256;
    // The largest atlas side a font file may declare.
    static constexpr int kMaxAtlasSide = 8192;

    // One character record as stored in the file.
    struct sCharacter {
        float u = 0.0f;
        float v = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
        float advance = 0.0f;
        float quadHeight = 0.0f;
    };

    // owner: the renderer's cache; renderer: creates the atlas and takes the blend and texture
    // states while printing (without one, Print only walks the pen through DrawGlyph).
    cCommonFont(cResourceManager* owner, IRenderer* renderer);
    ~cCommonFont() override;
    cCommonFont(const cCommonFont&) = delete;
    cCommonFont& operator=(const cCommonFont&) = delete;

    void Release() override;
    IFont* AddRef() override;
    const std::string& GetName() const override { return m_Name; }
    int GetHeight() const override { return m_FontHeight; }
    cColor GetColor() const override { return m_Color; }
    int GetBlendSrc() const override { return m_BlendSrc; }
    int GetBlendDst() const override { return m_BlendDst; }
    float MeasureText(const char* text) const override;
    void GetTextSize(cRect& out, const char* text) const override;
    void SetColor(float r, float g, float b, float a) override;
    void SetColor(const cColor& color) override { m_Color = color; }
    void SetBlendFunc(int src, int dst) override;
    void Print3D(float x, float y, float z, const char* text) override;
    void Print(float x, float y, const char* text) override;
    void Printf3D(float x, float y, float z, const char* format, ...) override;
    void Printf(float x, float y, const char* format, ...) override;

    // Reads the font from an open ".fnt" file (the caller keeps and releases the file).
    // Raises "cCommonFont::Create : ..." on a null file, a short or malformed file and when
    // memory or the atlas texture cannot be had.
    void Create(IFile* file);
    void SetName(const std::string& name) { m_Name = name; }

    // The record of a character code (low byte). Records whose values are not all finite
    // (control characters of some fonts hold arbitrary bytes) read as all zero.
    const sCharacter& GetCharacter(int code) const { return m_Characters[static_cast<std::uint8_t>(code)]; }
    ITexture2D* GetAtlas() const { return m_Atlas; }
    int GetReferenceCount() const { return m_RefCount; }

protected:
    // Makes the atlas texture from RGBA pixels (rows bottom first); null on failure.
    virtual ITexture2D* CreateAtlas(const std::uint8_t* pixels, int width, int height);

    int m_RefCount = 1;
    cResourceManager* m_Owner;
    IRenderer* m_Renderer;
    std::string m_Name;
    cColor m_Color{255, 255, 255, 255};
    int m_BlendDst = 8;  // one minus source alpha
    int m_BlendSrc = 7;  // source alpha
    int m_FontHeight = 0;
    ITexture2D* m_Atlas = nullptr;
    std::array<sCharacter, kCharacterCount> m_Characters{};
};

} // namespace velmora::video
