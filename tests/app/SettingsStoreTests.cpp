// cPosixSettingsStore: registry keys as folders, values as files.

#include "app/sdl/cPosixSettingsStore.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/SettingsTestSupport.h"

using namespace brevonne;
using brevonne::test::cTempConfigHome;

namespace {
const char* const kKey = "Software\\Quillmere\\Brevonne_3D";
}

TEST(PosixSettingsStore, KeysMapBelowTheConfigHome) {
    cTempConfigHome home;
    cPosixSettingsStore store;
    EXPECT_EQ(store.GetKeyFolder(kKey), home.Root() + "/Quillmere/Brevonne_3D");

    const char* oldHome = getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(cPosixSettingsStore::GetConfigHome(), "/home/someone/.config");
    if (oldHome) {
        setenv("HOME", savedHome.c_str(), 1);
    } else {
        unsetenv("HOME");
    }

    cPosixSettingsStore fixed("/srv/conf/");
    EXPECT_EQ(fixed.GetKeyFolder("Software\\A\\B"), "/srv/conf/A/B");
    EXPECT_EQ(fixed.GetKeyFolder("A"), "/srv/conf/A");
}

TEST(PosixSettingsStore, KeysThatLeaveTheFolderAreRefused) {
    cPosixSettingsStore store("/srv/conf");
    for (const char* key : {"", "Software", "Software\\", "Software\\..\\x", "Software\\a\\\\b",
                            "Software\\a/b", "Software\\.", "Software\\Quillmere\\.."}) {
        EXPECT_EQ(store.GetKeyFolder(key), "") << key;
        EXPECT_FALSE(store.OpenKey(key)) << key;
    }
    std::vector<std::uint8_t> data;
    EXPECT_FALSE(store.ReadValue(kKey, "../Settings", data));
    EXPECT_FALSE(store.WriteValue(kKey, "..", "x", 1));
}

TEST(PosixSettingsStore, WriteCreatesTheKeyAndReadsBack) {
    cTempConfigHome home;
    cPosixSettingsStore store;
    EXPECT_FALSE(store.OpenKey(kKey));
    std::vector<std::uint8_t> data;
    EXPECT_FALSE(store.ReadValue(kKey, "Settings", data));

    ASSERT_TRUE(store.WriteValue(kKey, "Settings", "abc", 3));
    EXPECT_TRUE(store.OpenKey(kKey));
    ASSERT_TRUE(store.ReadValue(kKey, "Settings", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "abc");

    // Replacing keeps nothing of the longer old value and leaves no temporary file.
    ASSERT_TRUE(store.WriteValue(kKey, "Settings", "xy", 2));
    ASSERT_TRUE(store.ReadValue(kKey, "Settings", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "xy");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home.KeyFolder())) {
        EXPECT_EQ(entry.path().filename(), "Settings");
        ++files;
    }
    EXPECT_EQ(files, 1);

    ASSERT_TRUE(store.WriteValue(kKey, "Empty", nullptr, 0));
    ASSERT_TRUE(store.ReadValue(kKey, "Empty", data));
    EXPECT_TRUE(data.empty());
}

TEST(PosixSettingsStore, FailedWriteKeepsTheOldValue) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "folder permissions do not bind root";
    }
    cTempConfigHome home;
    cPosixSettingsStore store;
    ASSERT_TRUE(store.WriteValue(kKey, "Settings", "old", 3));
    chmod(home.KeyFolder().c_str(), 0500);
    EXPECT_FALSE(store.WriteValue(kKey, "Settings", "new", 3));
    chmod(home.KeyFolder().c_str(), 0700);
    std::vector<std::uint8_t> data;
    ASSERT_TRUE(store.ReadValue(kKey, "Settings", data));
    EXPECT_EQ(std::string(data.begin(), data.end()), "old");
}

TEST(PosixSettingsStore, FailedRenameLeavesNoTemporaryFile) {
    cTempConfigHome home;
    cPosixSettingsStore store;
    // A non-empty folder where the value should be: the rename cannot replace it.
    home.WriteFile(home.KeyFolder() + "/Settings/inside", "x");
    EXPECT_FALSE(store.WriteValue(kKey, "Settings", "new", 3));
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home.KeyFolder())) {
        EXPECT_EQ(entry.path().filename(), "Settings");
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(PosixSettingsStore, OnlyRegularFilesOfSaneSizeAreValues) {
    cTempConfigHome home;
    cPosixSettingsStore store;
    std::filesystem::create_directories(home.KeyFolder() + "/Settings");
    std::vector<std::uint8_t> data;
    EXPECT_FALSE(store.ReadValue(kKey, "Settings", data));

    home.WriteFile(home.KeyFolder() + "/Huge", std::string(ISettingsStore::kMaxValueSize + 1, 'x'));
    EXPECT_FALSE(store.ReadValue(kKey, "Huge", data));

    // A key that is a file, not a folder, cannot be opened or created.
    home.WriteFile(home.Root() + "/Quillmere/Other", "x");
    EXPECT_FALSE(store.OpenKey("Software\\Quillmere\\Other"));
    EXPECT_FALSE(store.CreateKey("Software\\Quillmere\\Other"));
    EXPECT_FALSE(store.WriteValue("Software\\Quillmere\\Other", "Settings", "x", 1));
}
