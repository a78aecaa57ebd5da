#pragma once
// A text field with a caret: characters are inserted at the caret; Backspace, Delete, Left, Right, Home and
// End edit and move as usual; multi-line fields also take Enter, Up and Down. The caret blinks while the
// field has the focus; a click puts it at the nearest character.

#include <vector>

#include "gui/IControls.h"
#include "gui/cControl.h"

namespace velmora::gui {

class cEdit : public cControl, public virtual IEdit {
public:
    cEdit();

    const std::string& GetText() const override { return m_Text; }
    void SetText(const std::string& text) override;
    bool IsTextOnly() const override { return m_TextOnly; }
    void SetTextOnly(bool on) override { m_TextOnly = on; }
    bool IsNumberOnly() const override { return m_NumberOnly; }
    void SetNumberOnly(bool on) override { m_NumberOnly = on; }
    bool IsMultiline() const override { return m_Multiline; }
    void SetMultiline(bool on) override { m_Multiline = on; }
    bool IsReadOnly() const override { return m_ReadOnly; }
    void SetReadOnly(bool on) override;
    std::int32_t GetCaret() const override { return m_Caret; }
    void SetCaret(std::int32_t index) override;
    void SetMaxLength(std::int32_t length) override;
    // Drawn without its sunken frame (cells of a property grid).
    void SetFrameless(bool frameless) { m_Frameless = frameless; }

    // The caret index nearest to a screen point.
    std::int32_t IndexAt(float x, float y) const;

    bool OnMouseDown(float x, float y) override;
    void OnMouseMove(float x, float y) override;
    void OnMouseUp(float x, float y, bool inside) override;
    bool OnKeyDown(int code) override;
    bool OnChar(int character) override;
    bool CanFocus() const override { return !m_ReadOnly; }
    void OnFocusChanged(bool focused) override;
    void Update(float seconds) override;
    void Render(cSkin& skin) override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    // Start index of every line.
    std::vector<std::size_t> LineStarts() const;
    std::size_t LineOf(std::size_t index, const std::vector<std::size_t>& starts) const;
    std::size_t LineEnd(std::size_t line, const std::vector<std::size_t>& starts) const;
    cRect GetTextRect() const;
    bool Accepts(char c) const;
    void Edited();
    void ScrollToCaret();

    std::string m_Text;
    std::int32_t m_Caret = 0;
    std::int32_t m_MaxLength = kDefaultMaxLength;
    bool m_TextOnly = false;
    bool m_NumberOnly = false;
    bool m_Multiline = false;
    bool m_ReadOnly = false;
    bool m_Frameless = false;
    bool m_Selecting = false;
    float m_ScrollX = 0.0f;
    std::int32_t m_FirstLine = 0;
    float m_Blink = 0.0f;
};

} // namespace velmora::gui
