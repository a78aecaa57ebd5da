#pragma once
// Settings storage in the registry: a key such as "Software\Quillmere\<name>"
// is that key below the current user's hive (or another root given for
// tests), and each value is a registry value of its name. Values are written
// as REG_BINARY; string values (REG_SZ, REG_EXPAND_SZ, such as
// "sWorkingDirectory") are read back as their UTF-8 text without the
// terminating zero, any other type as its raw bytes.

#include "app/ISettingsStore.h"

namespace brevonne {

class cWin32SettingsStore : public ISettingsStore {
public:
    // root: an open registry key (an HKEY) below which the keys are looked up; null means HKEY_CURRENT_USER.
    explicit cWin32SettingsStore(void* root = nullptr);

    bool OpenKey(const std::string& key) override;
    bool CreateKey(const std::string& key) override;
    bool ReadValue(const std::string& key, const std::string& name, std::vector<std::uint8_t>& data) override;
    // RegSetValueEx replaces the value as a whole, so a failed write leaves the old one.
    bool WriteValue(const std::string& key, const std::string& name, const void* data, std::size_t size) override;

    // True when a key names a sub key: non-empty '\'-separated parts, none of them empty.
    static bool IsValidKey(const std::string& key);

private:
    void* m_Root;
};

} // namespace brevonne
