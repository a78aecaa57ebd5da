#pragma once
// Bitmap fonts (".fnt"), created and cached by name by IRenderer::CreateFont.
// A font prints in screen space (pixels, origin bottom-left) as one textured
// quad per character. Release at zero only logs
// "cCommonFont::Release : font '%s' released"; the renderer destroys fonts.

#include <string>

#include "engine/core/cColor.h"
#include "engine/core/cRect.h"

namespace velmora::video {

class IFont {
public:
    // Releases the atlas texture and the character records.
    virtual ~IFont() = default;
    // Lowers the reference count; logs the release line at zero.
    virtual void Release() = 0;
    // Raises the reference count; returns this font.
    virtual IFont* AddRef() = 0;
    // The file name the font was loaded from.
    virtual const std::string& GetName() const = 0;
    // Font height in pixels from the file.
    virtual int GetHeight() const = 0;
    // Text colour (white opaque at creation).
    virtual cColor GetColor() const = 0;
    // Blend source factor used while printing (7 at creation).
    virtual int GetBlendSrc() const = 0;
    // Blend destination factor used while printing (8 at creation).
    virtual int GetBlendDst() const = 0;
    // Sum of the advances of the characters below 128.
    virtual float MeasureText(const char* text) const = 0;
    // (0, 0, MeasureText, GetHeight).
    virtual void GetTextSize(cRect& out, const char* text) const = 0;
    // No operation.
    virtual void Reserved(int) {}
    // Colour from floats 0..1 (clamped above 1, scaled by 255).
    virtual void SetColor(float r, float g, float b, float a) = 0;
    // Colour from bytes.
    virtual void SetColor(const cColor& color) = 0;
    // Blend factors used while printing; (0, 0) leaves the renderer's blending alone.
    virtual void SetBlendFunc(int src, int dst) = 0;
    // Prints at the window position of a projected world point.
    virtual void Print3D(float x, float y, float z, const char* text) = 0;
    // Prints with the pen starting at (floor(x), floor(y)); null text prints nothing.
    virtual void Print(float x, float y, const char* text) = 0;
    // Formats into 4096 bytes, then Print3D.
    virtual void Printf3D(float x, float y, float z, const char* format, ...) = 0;
    // Formats into 4096 bytes, then Print; a null format prints nothing.
    virtual void Printf(float x, float y, const char* format, ...) = 0;
    // Draws one character (low byte of code) with the pen at (x, y).
    virtual void DrawGlyph(int code, float x, float y) = 0;
};

} // namespace velmora::video
