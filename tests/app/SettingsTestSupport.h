#pragma once
// A private per-user configuration folder for settings tests.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/Globals.h"

namespace brevonne::test {

class cTempConfigHome {
public:
    cTempConfigHome() {
        char pattern[] = "/tmp/brevonne-settings-XXXXXX";
        m_Root = mkdtemp(pattern);
        const char* old = getenv("XDG_CONFIG_HOME");
        m_HadOld = old != nullptr;
        m_Old = old ? old : "";
        setenv("XDG_CONFIG_HOME", m_Root.c_str(), 1);
        m_OldName = ScreensaverName();
        ScreensaverName() = "Brevonne_3D";
    }
    ~cTempConfigHome() {
        if (m_HadOld) {
            setenv("XDG_CONFIG_HOME", m_Old.c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        ScreensaverName() = m_OldName;
        std::error_code ignored;
        std::filesystem::permissions(m_Root, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_Root, ignored);
    }

    const std::string& Root() const { return m_Root; }
    // The folder of the screensaver's key.
    std::string KeyFolder() const { return m_Root + "/Quillmere/Brevonne_3D"; }
    std::string SettingsFile() const { return KeyFolder() + "/Settings"; }

    void WriteFile(const std::string& path, const std::string& bytes) const {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    static std::vector<unsigned char> ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string m_Root;
    std::string m_Old;
    std::string m_OldName;
    bool m_HadOld = false;
};

} // namespace brevonne::test
