#pragma once
// Settings storage in per-user files: the key "Software\Quillmere\<name>"
// is the folder $XDG_CONFIG_HOME/Quillmere/<name>/ (default ~/.config/...),
// and each value is one file of its name in that folder.

#include "app/ISettingsStore.h"

namespace brevonne {

class cPosixSettingsStore : public ISettingsStore {
public:
    // An empty root folder follows $XDG_CONFIG_HOME (or ~/.config) at every call.
    explicit cPosixSettingsStore(const std::string& rootFolder = std::string());

    bool OpenKey(const std::string& key) override;
    bool CreateKey(const std::string& key) override;
    bool ReadValue(const std::string& key, const std::string& name, std::vector<std::uint8_t>& data) override;
    bool WriteValue(const std::string& key, const std::string& name, const void* data, std::size_t size) override;

    // The per-user configuration folder: $XDG_CONFIG_HOME when it is an
    // absolute path, else $HOME/.config; empty when neither can be found.
    static std::string GetConfigHome();
    // The folder of a key below the root ("Software\A\B" -> "<root>/A/B"),
    // or empty when the key names no safe folder (empty, ".", ".." or '/' parts).
    std::string GetKeyFolder(const std::string& key) const;

private:
    std::string m_Root;
};

} // namespace brevonne
