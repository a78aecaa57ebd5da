#pragma once
// Pages with headers along the top ("page0", "page1", ... parts holding users' controls). A click on a
// header, or Left / Right while focused, shows another page (TE_PAGE).

#include <vector>

#include "gui/IControls.h"
#include "gui/cContainer.h"

namespace velmora::gui {

class cTabBox : public cContainer, public virtual ITabBox {
public:
    static constexpr float kHeaderHeight = 26.0f;

    cTabBox();

    IContainer* AddPage(const std::string& caption) override;
    std::int32_t GetPageCount() const override { return static_cast<std::int32_t>(m_Pages.size()); }
    IContainer* GetPage(std::int32_t index) override;
    const std::string& GetPageCaption(std::int32_t index) const override;
    std::int32_t GetActivePage() const override { return m_Active; }
    void SetActivePage(std::int32_t index) override;

    // The header under a screen point, or -1.
    std::int32_t HeaderAt(float x, float y) const;

    void Layout() override;
    bool OnMouseDown(float x, float y) override;
    bool OnKeyDown(int code) override;
    bool CanFocus() const override { return true; }
    void RenderBackground(cSkin& skin) override;
    void Render(cSkin& skin) override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    // The screen rectangle of a header.
    cRect GetHeaderRect(std::int32_t index) const;
    void SelectFromUser(std::int32_t index);

    std::vector<cContainer*> m_Pages;
    std::vector<std::string> m_Captions;
    std::int32_t m_Active = -1;
};

} // namespace velmora::gui
