#include "app/win32/cWin32SettingsStore.h"

#include "engine/win32/Win32Api.h"

#include <cstring>

#include "engine/win32/Win32Text.h"

namespace brevonne {

namespace {

constexpr REGSAM kAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;

// A value name: not the key's unnamed default value, no embedded zero.
bool IsValidName(const std::string& name) { return !name.empty() && name.find('\0') == std::string::npos; }

class cKey {
public:
    ~cKey() {
        if (m_Key) {
            ::RegCloseKey(m_Key);
        }
    }
    HKEY* Out() { return &m_Key; }
    HKEY Get() const { return m_Key; }

private:
    HKEY m_Key = nullptr;
};

} // namespace

cWin32SettingsStore::cWin32SettingsStore(void* root) : m_Root(root) {}

bool cWin32SettingsStore::IsValidKey(const std::string& key) {
    if (key.empty() || key.find('\0') != std::string::npos) {
        return false;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = key.find('\\', start);
        if (end == start) {
            return false; // an empty part: leading, trailing or doubled '\'
        }
        if (end == std::string::npos) {
            return start < key.size();
        }
        start = end + 1;
    }
}

bool cWin32SettingsStore::OpenKey(const std::string& key) {
    if (!IsValidKey(key)) {
        return false;
    }
    cKey opened;
    const HKEY root = m_Root ? static_cast<HKEY>(m_Root) : HKEY_CURRENT_USER;
    return ::RegOpenKeyExW(root, velmora::win32::Widen(key).c_str(), 0, kAccess, opened.Out()) == ERROR_SUCCESS;
}

bool cWin32SettingsStore::CreateKey(const std::string& key) {
    if (!IsValidKey(key)) {
        return false;
    }
    cKey created;
    const HKEY root = m_Root ? static_cast<HKEY>(m_Root) : HKEY_CURRENT_USER;
    return ::RegCreateKeyExW(root, velmora::win32::Widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             kAccess, nullptr, created.Out(), nullptr) == ERROR_SUCCESS;
}

bool cWin32SettingsStore::ReadValue(const std::string& key, const std::string& name,
                                    std::vector<std::uint8_t>& data) {
    if (!IsValidKey(key) || !IsValidName(name)) {
        return false;
    }
    cKey opened;
    const HKEY root = m_Root ? static_cast<HKEY>(m_Root) : HKEY_CURRENT_USER;
    if (::RegOpenKeyExW(root, velmora::win32::Widen(key).c_str(), 0, KEY_QUERY_VALUE, opened.Out()) !=
        ERROR_SUCCESS) {
        return false;
    }
    const std::wstring valueName = velmora::win32::Widen(name);
    // Text arrives as UTF-16, up to twice the size of its UTF-8 form.
    std::vector<std::uint8_t> buffer(2 * kMaxValueSize + 2);
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(buffer.size());
    const LONG result = ::RegQueryValueExW(opened.Get(), valueName.c_str(), nullptr, &type, buffer.data(), &size);
    if (result != ERROR_SUCCESS || size > buffer.size()) {
        return false; // missing, unreadable, or too large (ERROR_MORE_DATA)
    }
    buffer.resize(size);
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(size / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), buffer.data(), text.size() * sizeof(wchar_t));
        const std::size_t end = text.find(L'\0');
        if (end != std::wstring::npos) {
            text.resize(end);
        }
        const std::string utf8 = velmora::win32::Narrow(text);
        buffer.assign(utf8.begin(), utf8.end());
    }
    if (buffer.size() > kMaxValueSize) {
        return false;
    }
    data.swap(buffer);
    return true;
}

bool cWin32SettingsStore::WriteValue(const std::string& key, const std::string& name, const void* data,
                                     std::size_t size) {
    // Nothing is written that ReadValue would refuse to read back.
    if (!IsValidName(name) || (!data && size > 0) || size > kMaxValueSize || !IsValidKey(key)) {
        return false;
    }
    cKey created;
    const HKEY root = m_Root ? static_cast<HKEY>(m_Root) : HKEY_CURRENT_USER;
    if (::RegCreateKeyExW(root, velmora::win32::Widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess,
                          nullptr, created.Out(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    static const BYTE kNothing = 0;
    const BYTE* bytes = size > 0 ? static_cast<const BYTE*>(data) : &kNothing;
    return ::RegSetValueExW(created.Get(), velmora::win32::Widen(name).c_str(), 0, REG_BINARY, bytes,
                            static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

} // namespace brevonne
