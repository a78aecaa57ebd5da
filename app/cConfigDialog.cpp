#include "app/cConfigDialog.h"

#include <cmath>
#include <cstdio>

#include "app/VideoModes.h"
#include "app/cSettings.h"

namespace brevonne {

namespace {

using eKind = cConfigDialog::eKind;

const char* const kTextureQualityTexts[] = {"Low", "Medium", "High"};

// trunc(value x 100) as a trackbar position inside [minimum, maximum]. The
// product is taken in double precision, so a stored 0.29f (0.28999999...)
// gives 28 as it always has.
int ToPosition(float value, int minimum, int maximum) {
    const double scaled = static_cast<double>(value) * 100.0;
    if (!(scaled >= minimum)) {
        return minimum; // also NaN
    }
    if (scaled > maximum) {
        return maximum;
    }
    return static_cast<int>(std::trunc(scaled));
}

cConfigDialog::sControl MakeControl(int id, eKind kind, const char* text, cConfigDialog::sRect rect) {
    cConfigDialog::sControl control;
    control.id = id;
    control.kind = kind;
    control.text = text;
    control.rect = rect;
    return control;
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Format(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

cConfigDialog::cConfigDialog(cSettings& settings) : m_Settings(settings) {
    m_Controls = {
        MakeControl(kRenderingGroup, eKind::GroupBox, "Rendering:", {2, 1, 163, 80}),
        MakeControl(kVideoModeLabel, eKind::Label, "Video mode:", {11, 14, 40, 8}),
        MakeControl(kVideoMode, eKind::DropDown, "", {66, 10, 90, 90}),
        MakeControl(kTextureQualityLabel, eKind::Label, "Texture quality:", {11, 28, 52, 8}),
        MakeControl(kTextureQuality, eKind::DropDown, "", {66, 24, 90, 60}),
        MakeControl(kGammaLabel, eKind::Label, "Gamma:", {11, 43, 27, 8}),
        MakeControl(kGamma, eKind::Trackbar, "", {61, 41, 79, 12}),
        MakeControl(kGammaValue, eKind::Label, "1.00", {140, 42, 22, 8}),
        MakeControl(kUseShaders, eKind::CheckBox, "Use pixel shaders(if available)", {11, 56, 111, 10}),
        MakeControl(kShowFPS, eKind::CheckBox, "Show FPS", {11, 69, 47, 10}),
        MakeControl(kShowClock, eKind::CheckBox, "Show clock", {65, 69, 51, 10}),
        MakeControl(kOK, eKind::PushButton, "OK", {167, 5, 50, 21}),
        MakeControl(kCancel, eKind::PushButton, "Cancel", {167, 27, 50, 21}),
        MakeControl(kSoundGroup, eKind::GroupBox, "Sound:", {2, 82, 215, 30}),
        MakeControl(kEnableSound, eKind::CheckBox, "Enable sound", {12, 96, 59, 10}),
        MakeControl(kVolumeLabel, eKind::Label, "Volume:", {77, 96, 26, 8}),
        MakeControl(kVolume, eKind::Trackbar, "", {109, 95, 89, 12}),
        MakeControl(kVolumeValue, eKind::Label, "100", {199, 96, 13, 8}),
    };
    for (std::size_t row = 0; row < kVideoModeRows; ++row) {
        Find(kVideoMode)->items.push_back(GetVideoModeText(row));
    }
    for (const char* text : kTextureQualityTexts) {
        Find(kTextureQuality)->items.push_back(text);
    }
    Find(kGamma)->minimum = -100;
    Find(kGamma)->maximum = 100;
    // The volume controls start greyed until initialisation says otherwise.
    Find(kVolumeLabel)->enabled = false;
    Find(kVolume)->enabled = false;
    Find(kVolumeValue)->enabled = false;
}

cConfigDialog::sControl* cConfigDialog::Find(int id) {
    for (sControl& control : m_Controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

const cConfigDialog::sControl* cConfigDialog::GetControl(int id) const {
    return const_cast<cConfigDialog*>(this)->Find(id);
}

void cConfigDialog::SetText(int id, const std::string& text) {
    if (sControl* control = Find(id)) {
        control->text = text;
    }
}

void cConfigDialog::EnableVolume(bool enable) {
    Find(kVolume)->enabled = enable;
    Find(kVolumeLabel)->enabled = enable;
    Find(kVolumeValue)->enabled = enable;
}

void cConfigDialog::ShowGamma() { SetText(kGammaValue, Format("%1.2f", static_cast<double>(m_Settings.GetRecord().gamma))); }

void cConfigDialog::ShowVolume() { SetText(kVolumeValue, Format("%d", Find(kVolume)->position)); }

void cConfigDialog::Init() {
    m_Settings.ReadSettings();
    const cSettingsRecord& record = m_Settings.GetRecord();

    Find(kVideoMode)->selection =
        static_cast<int>(FindVideoModeRow(record.sameAsDesktop, record.width, record.height, record.bits));
    SetSelection(kTextureQuality, record.textureQuality);

    Find(kUseShaders)->checked = record.useShaders;
    Find(kShowFPS)->checked = record.showFPS;
    Find(kShowClock)->checked = record.showClock;

    sControl* gamma = Find(kGamma);
    gamma->position = ToPosition(record.gamma, gamma->minimum, gamma->maximum);
    ShowGamma();

    sControl* volume = Find(kVolume);
    volume->position = ToPosition(record.volume, volume->minimum, volume->maximum);
    ShowVolume();

    Find(kEnableSound)->checked = record.soundEnabled;
    EnableVolume(record.soundEnabled);
}

void cConfigDialog::SetChecked(int id, bool checked) {
    sControl* control = Find(id);
    if (control && control->kind == eKind::CheckBox) {
        control->checked = checked;
    }
}

void cConfigDialog::SetSelection(int id, int index) {
    sControl* control = Find(id);
    if (control && control->kind == eKind::DropDown) {
        const bool inside = index >= 0 && static_cast<std::size_t>(index) < control->items.size();
        control->selection = inside ? index : -1;
    }
}

void cConfigDialog::SetPosition(int id, int position) {
    sControl* control = Find(id);
    if (control && control->kind == eKind::Trackbar) {
        control->position = position < control->minimum   ? control->minimum
                            : position > control->maximum ? control->maximum
                                                          : position;
    }
}

void cConfigDialog::OnCommand(int id) {
    cSettingsRecord& record = m_Settings.GetRecord();
    switch (id) {
    case kVideoMode: {
        const int row = Find(kVideoMode)->selection;
        if (row < 0 || static_cast<std::size_t>(row) >= kVideoModeRows) {
            break; // nothing selected: the record keeps its mode
        }
        const sVideoMode& mode = kVideoModes[row];
        record.width = mode.width;
        record.height = mode.height;
        record.bits = mode.bits;
        record.sameAsDesktop = row == 0;
        break;
    }
    case kTextureQuality:
        record.textureQuality = Find(kTextureQuality)->selection;
        break;
    case kUseShaders:
        record.useShaders = Find(kUseShaders)->checked;
        break;
    case kShowFPS:
        record.showFPS = Find(kShowFPS)->checked;
        break;
    case kShowClock:
        record.showClock = Find(kShowClock)->checked;
        break;
    case kEnableSound:
        record.soundEnabled = Find(kEnableSound)->checked;
        EnableVolume(record.soundEnabled);
        break;
    case kOK:
        m_Settings.WriteSettings();
        m_Result = 1;
        m_Ended = true;
        break;
    case kCancel:
    case kEndCommand:
    case kCloseRequest:
        // Escape and the close box cancel, as a user expects of any dialog.
        m_Result = 0;
        m_Ended = true;
        break;
    default:
        break;
    }
}

void cConfigDialog::OnHScroll(int id) {
    cSettingsRecord& record = m_Settings.GetRecord();
    if (id == kGamma) {
        record.gamma = static_cast<float>(Find(kGamma)->position) * 0.01f;
        ShowGamma();
    } else if (id == kVolume) {
        record.volume = static_cast<float>(Find(kVolume)->position) * 0.01f;
        ShowVolume();
    }
}

} // namespace brevonne
