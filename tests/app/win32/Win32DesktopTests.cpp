// The Windows desktop services of the screensaver shell: the documents
// folder the data archive is unpacked to and the program's own file name.

#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/Platform.h"

namespace brevonne {
namespace {

namespace stdfs = std::filesystem;

TEST(Win32Desktop, TheArchiveGoesToTheUsersDocumentsFolder) {
    const std::string folder = GetArchiveFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_NE(folder.back(), '/');

    // The same folder as the shell's newer interface names.
    PWSTR known = nullptr;
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &known), S_OK);
    const stdfs::path expected(known);
    CoTaskMemFree(known);
    const stdfs::path actual = stdfs::u8path(folder);
    std::error_code error;
    EXPECT_TRUE(stdfs::equivalent(actual, expected, error)) << folder;

    // It can take a file.
    const stdfs::path probe = actual / ("brevonne-probe-" + std::to_string(GetCurrentProcessId()));
    std::ofstream(probe) << "x";
    EXPECT_TRUE(stdfs::exists(probe));
    stdfs::remove(probe, error);
}

TEST(Win32Desktop, TheExecutablePathIsThisProgramsFile) {
    const std::string path = GetExecutablePath();
    wchar_t expected[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, expected, MAX_PATH), 0u);
    std::error_code error;
    EXPECT_TRUE(stdfs::equivalent(stdfs::u8path(path), stdfs::path(expected), error)) << path;
    EXPECT_TRUE(IsProcessRunning(GetProcessNumber()));
}

} // namespace
} // namespace brevonne
