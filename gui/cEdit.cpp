#include "gui/cEdit.h"

#include <algorithm>
#include <cmath>

#include "engine/IInput.h"
#include "gui/GUIFileIO.h"
#include "engine/core/cException.h"
#include "gui/cSkin.h"
#include "gui/cWindow.h"

namespace velmora::gui {

namespace {
constexpr float kPadX = 5.0f;
constexpr float kPadY = 3.0f;
constexpr float kBlinkPeriod = 1.0f;
} // namespace

cEdit::cEdit() : cControl(CK_EDIT, EE_COUNT) {}

void cEdit::SetText(const std::string& text) {
    m_Text = text.substr(0, static_cast<std::size_t>(m_MaxLength));
    m_Caret = static_cast<std::int32_t>(m_Text.size());
    m_ScrollX = 0.0f;
    m_FirstLine = 0;
}

void cEdit::SetReadOnly(bool on) {
    m_ReadOnly = on;
    if (on && HasFocus()) FindWindow()->SetFocusControl(nullptr);
}

void cEdit::SetCaret(std::int32_t index) {
    m_Caret = std::clamp(index, 0, static_cast<std::int32_t>(m_Text.size()));
    m_Blink = 0.0f;
}

void cEdit::SetMaxLength(std::int32_t length) {
    m_MaxLength = std::clamp(length, 0, kMaxFileString);
    if (m_Text.size() > static_cast<std::size_t>(m_MaxLength)) SetText(m_Text);
}

std::vector<std::size_t> cEdit::LineStarts() const {
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < m_Text.size(); ++i) {
        if (m_Text[i] == '\n') starts.push_back(i + 1);
    }
    return starts;
}

std::size_t cEdit::LineOf(std::size_t index, const std::vector<std::size_t>& starts) const {
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), index) - starts.begin()) - 1;
}

std::size_t cEdit::LineEnd(std::size_t line, const std::vector<std::size_t>& starts) const {
    return line + 1 < starts.size() ? starts[line + 1] - 1 : m_Text.size();
}

cRect cEdit::GetTextRect() const {
    const cRect r = GetScreenRect();
    return cRect(r.x1 + kPadX, r.y1 + kPadY, r.x2 - kPadX, r.y2 - kPadY);
}

std::int32_t cEdit::IndexAt(float x, float y) const {
    const cSkin& skin = GetLayoutSkin();
    const cRect inner = GetTextRect();
    const std::vector<std::size_t> starts = LineStarts();
    std::size_t line = 0;
    if (m_Multiline) {
        const float height = skin.GetLineHeight(FONT_TEXT);
        const float row = std::floor((inner.y2 - y) / height);
        line = static_cast<std::size_t>(std::clamp(static_cast<float>(m_FirstLine) + row, 0.0f,
                                                   static_cast<float>(starts.size() - 1)));
    }
    const std::size_t begin = starts[line], end = LineEnd(line, starts);
    const float local = x - (inner.x1 - (m_Multiline ? 0.0f : m_ScrollX));
    std::size_t best = begin;
    float bestDistance = std::fabs(local);
    for (std::size_t i = begin + 1; i <= end; ++i) {
        const float d = std::fabs(local - skin.MeasureText(FONT_TEXT, m_Text.substr(begin, i - begin)));
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<std::int32_t>(best);
}

bool cEdit::OnMouseDown(float x, float y) {
    if (m_ReadOnly) return false;
    SetCaret(IndexAt(x, y));
    m_Selecting = true;
    return true;
}

void cEdit::OnMouseMove(float x, float y) {
    if (m_Selecting) SetCaret(IndexAt(x, y));
}

void cEdit::OnMouseUp(float, float, bool) { m_Selecting = false; }

bool cEdit::Accepts(char c) const {
    const bool digit = c >= '0' && c <= '9';
    if (m_TextOnly && digit) return false;
    if (!m_NumberOnly) return true;
    if (digit) return true;
    if (c == '.') return m_Text.find('.') == std::string::npos;
    if (c == '-') return m_Caret == 0 && m_Text.find('-') == std::string::npos;
    return false;
}

void cEdit::Edited() {
    m_Blink = 0.0f;
    ScrollToCaret();
    RaiseEvent(EE_CHANGE);
}

bool cEdit::OnChar(int character) {
    if (m_ReadOnly) return false;
    // Printable characters only; a refused one is still the field's key.
    if (character < 32 || character > 126) return false;
    const char c = static_cast<char>(character);
    if (!Accepts(c) || m_Text.size() >= static_cast<std::size_t>(m_MaxLength)) return true;
    m_Text.insert(static_cast<std::size_t>(m_Caret), 1, c);
    ++m_Caret;
    Edited();
    return true;
}

bool cEdit::OnKeyDown(int code) {
    if (m_ReadOnly) return false;
    const auto caret = static_cast<std::size_t>(m_Caret);
    const std::vector<std::size_t> starts = LineStarts();
    const std::size_t line = LineOf(caret, starts);
    switch (code) {
    case kKeyBackspace:
        if (caret > 0) {
            m_Text.erase(caret - 1, 1);
            --m_Caret;
            Edited();
        }
        return true;
    case kKeyDelete:
        if (caret < m_Text.size()) {
            m_Text.erase(caret, 1);
            Edited();
        }
        return true;
    case kKeyLeft: SetCaret(m_Caret - 1); return true;
    case kKeyRight: SetCaret(m_Caret + 1); return true;
    case kKeyHome: SetCaret(static_cast<std::int32_t>(m_Multiline ? starts[line] : 0)); return true;
    case kKeyEnd:
        SetCaret(static_cast<std::int32_t>(m_Multiline ? LineEnd(line, starts) : m_Text.size()));
        return true;
    case kKeyUp:
    case kKeyDown: {
        if (!m_Multiline) return false;
        if ((code == kKeyUp && line == 0) || (code == kKeyDown && line + 1 >= starts.size())) return true;
        const std::size_t target = code == kKeyUp ? line - 1 : line + 1;
        const std::size_t column = std::min(caret - starts[line], LineEnd(target, starts) - starts[target]);
        SetCaret(static_cast<std::int32_t>(starts[target] + column));
        return true;
    }
    case kKeyEnter:
        if (!m_Multiline) {
            RaiseEvent(EE_ENTER);
            return true;
        }
        if (m_Text.size() < static_cast<std::size_t>(m_MaxLength)) {
            m_Text.insert(caret, 1, '\n');
            ++m_Caret;
            Edited();
        }
        return true;
    default: return false;
    }
}

void cEdit::OnFocusChanged(bool) { m_Blink = 0.0f; }

void cEdit::Update(float seconds) {
    if (seconds > 0.0f && std::isfinite(seconds)) m_Blink = std::fmod(m_Blink + seconds, kBlinkPeriod);
}

void cEdit::ScrollToCaret() {
    const cSkin& skin = GetLayoutSkin();
    const cRect inner = GetTextRect();
    const std::vector<std::size_t> starts = LineStarts();
    const std::size_t line = LineOf(static_cast<std::size_t>(m_Caret), starts);
    if (m_Multiline) {
        const float height = skin.GetLineHeight(FONT_TEXT);
        const auto rows = std::max<std::int32_t>(1, static_cast<std::int32_t>((inner.y2 - inner.y1) / height));
        const auto caretLine = static_cast<std::int32_t>(line);
        if (caretLine < m_FirstLine) m_FirstLine = caretLine;
        if (caretLine >= m_FirstLine + rows) m_FirstLine = caretLine - rows + 1;
        return;
    }
    const float caretX = skin.MeasureText(FONT_TEXT, m_Text.substr(0, static_cast<std::size_t>(m_Caret)));
    const float width = std::max(1.0f, inner.x2 - inner.x1 - 2.0f);
    if (caretX - m_ScrollX > width) m_ScrollX = caretX - width;
    if (caretX - m_ScrollX < 0.0f) m_ScrollX = caretX;
    m_ScrollX = std::max(0.0f, m_ScrollX);
}

void cEdit::Render(cSkin& skin) {
    ScrollToCaret();
    const cRect r = GetScreenRect();
    const bool active = IsActive();
    const bool focused = HasFocus();
    if (!m_Frameless) {
        skin.DrawPiece(SP_LOWERED, 0, r, active ? cColor(255, 255, 255) : cColor(238, 241, 242));
        if (focused) skin.DrawFrame(r, cColor(38, 150, 160, 200));
    } else if (focused) {
        skin.FillRect(cRect(r.x1, r.y1, r.x2, r.y2), cColor(255, 255, 255));
        skin.DrawFrame(r, cColor(38, 150, 160, 200));
    }
    const cRect inner = GetTextRect();
    const cColor color = active ? cSkin::kText : cSkin::kTextDisabled;
    const float height = skin.GetLineHeight(FONT_TEXT);
    const bool caretOn = focused && m_Blink < kBlinkPeriod * 0.5f;
    skin.PushClip(cRect(inner.x1 - 1.0f, r.y1 + 1.0f, inner.x2 + 1.0f, r.y2 - 1.0f));
    const std::vector<std::size_t> starts = LineStarts();
    const std::size_t caretLine = LineOf(static_cast<std::size_t>(m_Caret), starts);
    if (!m_Multiline) {
        const float x = inner.x1 - m_ScrollX;
        skin.DrawTextInRect(FONT_TEXT, cRect(x, r.y1, inner.x2 + 4096.0f, r.y2), m_Text, color);
        if (caretOn) {
            const float cx = std::floor(x + skin.MeasureText(FONT_TEXT, m_Text.substr(0, static_cast<std::size_t>(m_Caret))));
            const float cy = (r.y1 + r.y2) * 0.5f;
            skin.FillRect(cRect(cx, cy - height * 0.42f, cx + 1.0f, cy + height * 0.42f), cSkin::kText);
        }
    } else {
        for (std::size_t line = static_cast<std::size_t>(std::max(0, m_FirstLine)); line < starts.size(); ++line) {
            const float top = inner.y2 - static_cast<float>(line - static_cast<std::size_t>(m_FirstLine)) * height;
            if (top < inner.y1) break;
            const std::size_t begin = starts[line];
            const std::string text = m_Text.substr(begin, LineEnd(line, starts) - begin);
            skin.DrawText(FONT_TEXT, inner.x1, top - height, text, color);
            if (caretOn && line == caretLine) {
                const float cx = std::floor(
                    inner.x1 + skin.MeasureText(FONT_TEXT, m_Text.substr(begin, static_cast<std::size_t>(m_Caret) - begin)));
                skin.FillRect(cRect(cx, top - height + 1.0f, cx + 1.0f, top - 1.0f), cSkin::kText);
            }
        }
    }
    skin.PopClip();
}

void cEdit::WriteData(IFile* file) const {
    WriteText(file, m_Text);
    WriteBool(file, m_TextOnly);
    WriteBool(file, m_NumberOnly);
    WriteBool(file, m_Multiline);
    WriteBool(file, m_ReadOnly);
    WriteInt32(file, m_MaxLength);
}

void cEdit::ReadData(IFile* file, std::int32_t) {
    const char* who = "cEdit::ReadFromFile";
    const std::string text = ReadText(file, who);
    m_TextOnly = ReadBool(file, who);
    m_NumberOnly = ReadBool(file, who);
    m_Multiline = ReadBool(file, who);
    m_ReadOnly = ReadBool(file, who);
    const std::int32_t length = ReadInt32(file, who);
    if (length < 0 || length > kMaxFileString) RaiseError("%s : invalid count %d", who, length);
    m_MaxLength = length;
    SetText(text);
}

} // namespace velmora::gui
