#pragma once
// A horizontal slider: a track and a round "thumb". Clicking the track moves the thumb there and drags it;
// Left / Right (Down / Up) step, Home / End go to the ends.

#include "gui/IControls.h"
#include "gui/cContainer.h"

namespace velmora::gui {

class cThumb;

class cSlider : public cContainer, public virtual ISlider {
public:
    cSlider();

    void SetRange(float minimum, float maximum) override;
    float GetMinimum() const override { return m_Minimum; }
    float GetMaximum() const override { return m_Maximum; }
    void SetValue(float value) override;
    float GetValue() const override { return m_Value; }
    void SetStep(float step) override;
    float GetStep() const override { return m_Step; }

    void Layout() override;
    bool OnMouseDown(float x, float y) override;
    void OnMouseMove(float x, float y) override;
    void OnMouseUp(float x, float y, bool inside) override;
    bool OnKeyDown(int code) override;
    bool CanFocus() const override { return true; }
    void RenderBackground(cSkin& skin) override;
    cRect GetClipRect() const override;

protected:
    void WriteData(IFile* file) const override;
    void ReadData(IFile* file, std::int32_t depth) override;

private:
    // The value at a screen x.
    float ValueAt(float x) const;
    // Sets the value and raises the change event when it moved.
    void SetValueFromUser(float value);
    void OnThumbDrag(float x, float y);
    // The track's screen span for the thumb's centre.
    void TrackSpan(float& left, float& right) const;

    float m_Minimum = 0.0f;
    float m_Maximum = 100.0f;
    float m_Value = 0.0f;
    float m_Step = 0.0f;
    bool m_Dragging = false;
    cThumb* m_Thumb = nullptr;
};

} // namespace velmora::gui
