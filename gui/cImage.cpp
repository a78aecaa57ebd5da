#include "gui/cImage.h"

#include "gui/GUIFileIO.h"
#include "gui/cSkin.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace velmora::gui {

cImage::cImage() : cControl(CK_IMAGE, IE_COUNT) {}

bool cImage::OnMouseDown(float, float) {
    m_Pressed = true;
    return true;
}

void cImage::OnMouseUp(float, float, bool inside) {
    const bool wasPressed = m_Pressed;
    m_Pressed = false;
    if (wasPressed && inside) RaiseEvent(IE_CLICK);
}

void cImage::Render(cSkin& skin) {
    const cRect r = GetScreenRect();
    video::ITexture2D* texture = skin.GetTexture(m_Texture);
    video::IRenderer* renderer = skin.GetRenderer();
    if (!texture || !renderer) {
        skin.DrawPiece(SP_PANEL, 0, r, cColor(214, 222, 226));
        return;
    }
    const cColor tint = IsActive() ? cColor(255, 255, 255) : cColor(255, 255, 255, 110);
    renderer->RenderRect(texture, r, cRect(0.0f, 1.0f, 1.0f, 0.0f), tint);
}

void cImage::WriteData(IFile* file) const { WriteText(file, m_Texture); }

void cImage::ReadData(IFile* file, std::int32_t) { m_Texture = ReadText(file, "cImage::ReadFromFile"); }

} // namespace velmora::gui
