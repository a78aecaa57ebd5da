#pragma once
// The process-wide settings record and its storage below the per-user key
// "Software\Quillmere\" + screensaver name: the record in the value
// "Settings", the working directory in "sWorkingDirectory" (read only).
// The record is read when the screensaver runs or the dialog opens and
// written back after a full-screen run and when the dialog is confirmed.

#include <functional>
#include <string>

#include "app/ISettingsStore.h"
#include "app/cSettingsRecord.h"

namespace brevonne {

class cSettings {
public:
    // Shows a message box (no caption, error icon) for a failed write.
    using tErrorBox = std::function<void(const char* text)>;

    static constexpr const char* kKeyPrefix = "Software\\Quillmere\\";
    static constexpr const char* kSettingsValue = "Settings";
    static constexpr const char* kWorkingDirectoryValue = "sWorkingDirectory";
    // Longest working directory value read (bytes, terminator included).
    static constexpr std::size_t kMaxWorkingDirectory = 256;

    // A null error box uses the platform's message box.
    explicit cSettings(ISettingsStore& store, tErrorBox errorBox = tErrorBox());

    // The record the run and the dialog work on.
    cSettingsRecord& GetRecord() { return m_Record; }
    const cSettingsRecord& GetRecord() const { return m_Record; }

    // The key of the current screensaver name.
    static std::string GetKeyName();

    // Fills the record and the process-wide working directory from the
    // store. A missing key is created holding the default record; when it
    // still cannot be opened, raises "cSettings::ReadSettings : failed to
    // open registry key". A missing "Settings" value leaves the record as it
    // was; one of the wrong size is ignored with a warning (the record is then
    // written whole at the next write).
    void ReadSettings();
    // Stores the record; on failure shows "cSettings::WriteSettings : failed
    // to create registry key" and returns false.
    bool WriteSettings();
    // Stores the given record in place of the process-wide one.
    bool WriteSettings(const cSettingsRecord& record);
    // Runs the configuration dialog on the record; returns 1 for OK, 0 for
    // Cancel. Raises "cSettings::SetupScreensaver : DialogBox failed, %s"
    // with the toolkit's reason when the dialog cannot be shown.
    int SetupScreensaver();

private:
    ISettingsStore& m_Store;
    tErrorBox m_ErrorBox;
    cSettingsRecord m_Record;
};

// The process-wide settings over the platform's store.
cSettings& GetSettings();

} // namespace brevonne
