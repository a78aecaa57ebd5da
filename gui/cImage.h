#pragma once
// A texture stretched over the rectangle (a grey panel while it cannot be loaded); IE_CLICK when clicked.

#include "gui/IControls.h"
#include "gui/cControl.h"

namespace velmora::gui {

class cImage : public cControl, public virtual IImage {
public:
    cImage();

    const std::string& GetTextureName() const override { return m_Texture; }
    void SetTextureName(const std::string& name) override { m_Texture = name; }

    bool OnMouseDown(float x, float y) override;
    void OnMouseUp(float x, float y, bool inside) override;
    void Render(cSkin& skin) override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    std::string m_Texture;
    bool m_Pressed = false;
};

} // namespace velmora::gui
