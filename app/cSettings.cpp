#include "app/cSettings.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "app/ConfigDialogView.h"
#include "app/Globals.h"
#include "app/Platform.h"
#include "app/cConfigDialog.h"
#include "engine/core/Log.h"
#include "engine/core/cException.h"

namespace brevonne {

using velmora::LogWarning;
using velmora::RaiseError;

namespace {

// The working directory value as text: up to the first NUL, without the
// line end a hand-edited file tends to carry.
std::string ValueText(const std::vector<std::uint8_t>& data) {
    std::string text(data.begin(), data.end());
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        text.resize(nul);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

std::string CurrentFolder() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return error ? std::string() : folder.string();
}

} // namespace

cSettings::cSettings(ISettingsStore& store, tErrorBox errorBox) : m_Store(store), m_ErrorBox(std::move(errorBox)) {
    if (!m_ErrorBox) {
        m_ErrorBox = [](const char* text) { ShowErrorBox(text, nullptr); };
    }
}

std::string cSettings::GetKeyName() { return std::string(kKeyPrefix) + ScreensaverName(); }

void cSettings::ReadSettings() {
    const std::string key = GetKeyName();
    if (!m_Store.OpenKey(key)) {
        WriteSettings(cSettingsRecord());
        if (!m_Store.OpenKey(key)) {
            RaiseError("cSettings::ReadSettings : failed to open registry key");
        }
    }

    std::vector<std::uint8_t> data;
    if (m_Store.ReadValue(key, kSettingsValue, data) && !m_Record.FromBytes(data.data(), data.size())) {
        // Half a record (or somebody else's file) is never applied.
        LogWarning("cSettings::ReadSettings : value '%s' holds %zu bytes instead of %zu, keeping the defaults\n",
                   kSettingsValue, data.size(), cSettingsRecord::kSize);
    }

    std::string folder;
    if (m_Store.ReadValue(key, kWorkingDirectoryValue, data) && data.size() <= kMaxWorkingDirectory) {
        folder = ValueText(data);
    }
    if (folder.empty()) {
        folder = CurrentFolder();
    }
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    WorkingDirectory() = folder;
}

bool cSettings::WriteSettings() { return WriteSettings(m_Record); }

bool cSettings::WriteSettings(const cSettingsRecord& record) {
    const cSettingsRecord::tBytes bytes = record.ToBytes();
    if (!m_Store.WriteValue(GetKeyName(), kSettingsValue, bytes.data(), bytes.size())) {
        m_ErrorBox("cSettings::WriteSettings : failed to create registry key");
        return false;
    }
    return true;
}

int cSettings::SetupScreensaver() {
    cConfigDialog dialog(*this);
    std::string reason;
    if (!RunConfigDialogView(dialog, reason)) {
        RaiseError("cSettings::SetupScreensaver : DialogBox failed, %s", reason.c_str());
    }
    return dialog.GetResult();
}

cSettings& GetSettings() {
    static cSettings settings(GetPlatformSettingsStore());
    return settings;
}

} // namespace brevonne
