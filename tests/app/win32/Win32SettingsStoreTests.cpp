// The registry settings store: the settings record and the working directory
// under a key of the current user, read back as written.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/cSettingsRecord.h"
#include "app/win32/cWin32SettingsStore.h"

namespace brevonne {
namespace {

// A key of its own per run, removed with everything below it afterwards.
class Win32SettingsStore : public ::testing::Test {
protected:
    Win32SettingsStore() : key("Software\\Quillmere\\BrevonneTest_" + std::to_string(::GetCurrentProcessId())) {}
    ~Win32SettingsStore() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, Wide(key).c_str()); }

    static std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

    // What the registry itself holds: type and bytes, or false when the value is missing.
    bool Raw(const std::string& name, DWORD& type, std::vector<std::uint8_t>& bytes) const {
        HKEY opened = nullptr;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
            return false;
        }
        DWORD size = 0;
        LONG result = ::RegQueryValueExW(opened, Wide(name).c_str(), nullptr, &type, nullptr, &size);
        bytes.resize(size);
        if (result == ERROR_SUCCESS) {
            result = ::RegQueryValueExW(opened, Wide(name).c_str(), nullptr, &type, bytes.data(), &size);
        }
        ::RegCloseKey(opened);
        return result == ERROR_SUCCESS;
    }

    void SetString(const std::wstring& name, const std::wstring& text, bool terminated, DWORD type = REG_SZ) {
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    &created, nullptr),
                  ERROR_SUCCESS);
        const DWORD size = static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
        EXPECT_EQ(::RegSetValueExW(created, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()), size),
                  ERROR_SUCCESS);
        ::RegCloseKey(created);
    }

    const std::string key;
    cWin32SettingsStore store;
};

TEST_F(Win32SettingsStore, TheRecordRoundTripsAsOneBinaryValueAndCreatesItsKey) {
    std::vector<std::uint8_t> data;
    EXPECT_FALSE(store.OpenKey(key));
    EXPECT_FALSE(store.ReadValue(key, "Settings", data));

    cSettingsRecord record;
    record.soundEnabled = false;
    record.gamma = 0.29f;
    record.width = 1024;
    record.height = 768;
    record.textureQuality = 2;
    record.reserved[0] = 0xAB;
    record.reserved[cSettingsRecord::kReservedSize - 1] = 0xCD;
    const cSettingsRecord::tBytes bytes = record.ToBytes();
    ASSERT_TRUE(store.WriteValue(key, "Settings", bytes.data(), bytes.size()));
    EXPECT_TRUE(store.OpenKey(key));

    DWORD type = REG_NONE;
    std::vector<std::uint8_t> raw;
    ASSERT_TRUE(Raw("Settings", type, raw));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(raw, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));

    ASSERT_TRUE(store.ReadValue(key, "Settings", data));
    cSettingsRecord back;
    ASSERT_TRUE(back.FromBytes(data.data(), data.size()));
    EXPECT_TRUE(back == record);
}

TEST_F(Win32SettingsStore, AValueIsReplacedWholeAndAWrongSizeComesBackAsStored) {
    const std::vector<std::uint8_t> shortRecord(100, 7);
    ASSERT_TRUE(store.WriteValue(key, "Settings", shortRecord.data(), shortRecord.size()));
    std::vector<std::uint8_t> data;
    ASSERT_TRUE(store.ReadValue(key, "Settings", data));
    // The size tells the reader to ignore it; the record is left as it was.
    EXPECT_EQ(data, shortRecord);
    cSettingsRecord record;
    EXPECT_FALSE(record.FromBytes(data.data(), data.size()));
    EXPECT_TRUE(record == cSettingsRecord());

    const cSettingsRecord::tBytes bytes = cSettingsRecord().ToBytes();
    ASSERT_TRUE(store.WriteValue(key, "Settings", bytes.data(), bytes.size()));
    ASSERT_TRUE(store.ReadValue(key, "Settings", data));
    EXPECT_EQ(data.size(), cSettingsRecord::kSize);

    // A write the reader would refuse is refused itself, and the old value stays.
    const std::vector<std::uint8_t> huge(ISettingsStore::kMaxValueSize + 1, 1);
    EXPECT_FALSE(store.WriteValue(key, "Settings", huge.data(), huge.size()));
    ASSERT_TRUE(store.ReadValue(key, "Settings", data));
    EXPECT_EQ(data.size(), cSettingsRecord::kSize);
    EXPECT_FALSE(store.WriteValue(key, "Settings", nullptr, 4));
    EXPECT_TRUE(store.WriteValue(key, "Empty", nullptr, 0));
    ASSERT_TRUE(store.ReadValue(key, "Empty", data));
    EXPECT_TRUE(data.empty());
}

TEST_F(Win32SettingsStore, TheWorkingDirectoryStringReadsAsUTF8WithoutItsTerminator) {
    // "D:\Données\Île/" as the registry editor would store it.
    SetString(L"sWorkingDirectory", L"D:\\Donn\u00e9es\\\u00cele/", true);
    std::vector<std::uint8_t> data;
    ASSERT_TRUE(store.ReadValue(key, "sWorkingDirectory", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "D:\\Donn\xC3\xA9" "es\\\xC3\x8E" "le/");

    // Without a terminator, or with text after an embedded zero, as some tools write it.
    SetString(L"sWorkingDirectory", L"C:\\data", false);
    ASSERT_TRUE(store.ReadValue(key, "sWorkingDirectory", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "C:\\data");
    SetString(L"sWorkingDirectory", std::wstring(L"C:\\a\0junk", 9), true, REG_EXPAND_SZ);
    ASSERT_TRUE(store.ReadValue(key, "sWorkingDirectory", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "C:\\a");

    EXPECT_FALSE(store.ReadValue(key, "sMissing", data));
}

TEST_F(Win32SettingsStore, KeysAndNamesThatNameNothingAreRefused) {
    std::vector<std::uint8_t> data;
    const std::uint8_t byte = 1;
    for (const char* bad : {"", "\\Software\\Quillmere", "Software\\\\Quillmere", "Software\\Quillmere\\"}) {
        EXPECT_FALSE(cWin32SettingsStore::IsValidKey(bad)) << bad;
        EXPECT_FALSE(store.CreateKey(bad)) << bad;
        EXPECT_FALSE(store.OpenKey(bad)) << bad;
        EXPECT_FALSE(store.WriteValue(bad, "Settings", &byte, 1)) << bad;
        EXPECT_FALSE(store.ReadValue(bad, "Settings", data)) << bad;
    }
    EXPECT_TRUE(cWin32SettingsStore::IsValidKey(key));
    // The unnamed default value is not one of the store's values.
    EXPECT_FALSE(store.WriteValue(key, "", &byte, 1));
    EXPECT_FALSE(store.ReadValue(key, "", data));
    EXPECT_TRUE(store.CreateKey(key));
    EXPECT_TRUE(store.OpenKey(key));
}

} // namespace
} // namespace brevonne
