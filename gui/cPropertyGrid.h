#pragma once
// Name / value rows in a "PropertyGrid" container: per property a label "label_<name>" and an edit
// "edit_<name>". Editing a value raises PE_CHANGE.

#include <vector>

#include "gui/IControls.h"
#include "gui/cContainer.h"

namespace velmora::gui {

class cEdit;
class cLabel;

class cPropertyGrid : public cContainer, public virtual IPropertyGrid {
public:
    static constexpr float kRowHeight = 22.0f;
    static constexpr std::int32_t kMaxProperties = 1024;

    cPropertyGrid();

    void SetProperty(const std::string& name, const std::string& value) override;
    const std::string* GetProperty(const std::string& name) const override;
    bool RemoveProperty(const std::string& name) override;
    std::int32_t GetPropertyCount() const override { return static_cast<std::int32_t>(m_Rows.size()); }
    const std::string& GetPropertyName(std::int32_t index) const override;

    void Layout() override;
    void RenderBackground(cSkin& skin) override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    struct sRow {
        std::string name;
        cLabel* label;
        cEdit* edit;
    };
    const sRow* FindRow(const std::string& name) const;
    void OnValueEdited(IControl* sender);

    cContainer* m_Grid = nullptr;
    std::vector<sRow> m_Rows;
};

} // namespace velmora::gui
