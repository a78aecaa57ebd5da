#pragma once
// The configuration dialog's procedure, free of any toolkit: the controls
// with their texts, ranges and states, what initialisation fills in, and
// what each command and slider movement does to the settings record. A view
// (ConfigDialogView.h) shows the controls, reports the user's changes with
// the setters followed by OnCommand / OnHScroll, and redraws from
// GetControls() afterwards.

#include <string>
#include <vector>

namespace brevonne {

class cSettings;

class cConfigDialog {
public:
    enum eControlId : int {
        kVideoMode = 1005,
        kTextureQuality = 1007,
        kGamma = 1016,
        kGammaValue = 1017,
        kUseShaders = 1013,
        kShowFPS = 1020,
        kShowClock = 1021,
        kOK = 1011,
        kCancel = 1012,
        kEnableSound = 1014,
        kVolumeLabel = 1015,
        kVolume = 1010,
        kVolumeValue = 1018,
        // Controls without an identifier of their own.
        kRenderingGroup = -2,
        kVideoModeLabel = -3,
        kTextureQualityLabel = -4,
        kGammaLabel = -5,
        kSoundGroup = -6,
    };
    // Command 0 ends the dialog like Cancel.
    static constexpr int kEndCommand = 0;
    // What the close box and the Escape key send; it cancels the dialog.
    static constexpr int kCloseRequest = 2;

    static constexpr const char* kCaption = "Configuration dialog";
    // Size in dialog units (a unit is a quarter of the average character
    // width across and an eighth of the character height down).
    static constexpr int kWidth = 221;
    static constexpr int kHeight = 116;

    enum class eKind { GroupBox, Label, DropDown, Trackbar, CheckBox, PushButton };

    struct sRect {
        int x, y, width, height; // dialog units
    };

    struct sControl {
        int id;
        eKind kind;
        std::string text;
        sRect rect;
        bool enabled = true;
        bool checked = false;            // check boxes
        std::vector<std::string> items;  // drop-down lists
        int selection = -1;              // drop-down lists; -1 = none
        int minimum = 0, maximum = 100;  // trackbars
        int position = 0;                // trackbars
    };

    explicit cConfigDialog(cSettings& settings);

    // Dialog initialisation: reads the settings and fills every control.
    // A settings read failure (cException) reaches the caller.
    void Init();

    // State changes made by the user, reported before the command.
    void SetChecked(int id, bool checked);
    // An index outside the list means no selection (-1).
    void SetSelection(int id, int index);
    // Positions are clamped to the trackbar's range.
    void SetPosition(int id, int position);

    // A command from a control (or kEndCommand / kCloseRequest).
    void OnCommand(int id);
    // A horizontal scroll from a trackbar.
    void OnHScroll(int id);

    // True once OK, Cancel or command 0 ended the dialog.
    bool IsEnded() const { return m_Ended; }
    // 1 after OK, 0 after Cancel (and while the dialog runs).
    int GetResult() const { return m_Result; }

    // Every control in template order.
    const std::vector<sControl>& GetControls() const { return m_Controls; }
    // The control with this id; null for an unknown id.
    const sControl* GetControl(int id) const;

private:
    sControl* Find(int id);
    void SetText(int id, const std::string& text);
    void EnableVolume(bool enable);
    void ShowGamma();
    void ShowVolume();

    cSettings& m_Settings;
    std::vector<sControl> m_Controls;
    bool m_Ended = false;
    int m_Result = 0;
};

} // namespace brevonne
