// cSettings: reading and writing the record and the working directory.

#include "app/cSettings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/SettingsTestSupport.h"
#include "app/Globals.h"
#include "app/sdl/cPosixSettingsStore.h"
#include "engine/core/cException.h"

using namespace brevonne;
using brevonne::test::cTempConfigHome;

namespace {

struct cSettingsFixture : ::testing::Test {
    cTempConfigHome home;
    cPosixSettingsStore store;
    std::vector<std::string> boxes;
    cSettings settings{store, [this](const char* text) { boxes.push_back(text); }};

    std::string RecordBytes(const cSettingsRecord& record) const {
        const cSettingsRecord::tBytes b = record.ToBytes();
        return std::string(b.begin(), b.end());
    }
};

} // namespace

TEST_F(cSettingsFixture, FirstRunCreatesTheDefaultRecord) {
    settings.GetRecord().width = 1;  // whatever the process held: the stored defaults win
    settings.ReadSettings();
    const std::vector<unsigned char> file = cTempConfigHome::ReadFile(home.SettingsFile());
    ASSERT_EQ(file.size(), 356u);
    const cSettingsRecord defaults;
    EXPECT_EQ(std::string(file.begin(), file.end()), RecordBytes(defaults));
    EXPECT_EQ(settings.GetRecord(), defaults);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(cSettingsFixture, StoredRecordIsRead) {
    cSettingsRecord stored;
    stored.sameAsDesktop = false;
    stored.width = 1024;
    stored.height = 768;
    stored.gamma = 0.5f;
    stored.reserved[100] = 0x5a;
    home.WriteFile(home.SettingsFile(), RecordBytes(stored));
    settings.ReadSettings();
    EXPECT_EQ(settings.GetRecord(), stored);

    // Written back byte for byte, reserved bytes included.
    ASSERT_TRUE(settings.WriteSettings());
    const std::vector<unsigned char> file = cTempConfigHome::ReadFile(home.SettingsFile());
    EXPECT_EQ(std::string(file.begin(), file.end()), RecordBytes(stored));
}

TEST_F(cSettingsFixture, WrongSizeRecordKeepsDefaultsUntilWritten) {
    cSettingsRecord stored;
    stored.width = 640;
    stored.soundEnabled = false;
    const std::string truncated = RecordBytes(stored).substr(0, 200);
    home.WriteFile(home.SettingsFile(), truncated);
    settings.ReadSettings();
    EXPECT_EQ(settings.GetRecord(), cSettingsRecord());
    // Reading alone does not touch the file...
    EXPECT_EQ(cTempConfigHome::ReadFile(home.SettingsFile()).size(), 200u);
    // ...the write at the end of the run replaces it with a whole record.
    ASSERT_TRUE(settings.WriteSettings());
    EXPECT_EQ(cTempConfigHome::ReadFile(home.SettingsFile()).size(), 356u);

    home.WriteFile(home.SettingsFile(), RecordBytes(stored) + "tail");
    settings.ReadSettings();
    EXPECT_EQ(settings.GetRecord(), cSettingsRecord());
}

TEST_F(cSettingsFixture, MissingValueInExistingKeyLeavesTheRecord) {
    std::filesystem::create_directories(home.KeyFolder());
    settings.GetRecord().bits = 16;
    settings.ReadSettings();
    EXPECT_EQ(settings.GetRecord().bits, 16);
    EXPECT_FALSE(std::filesystem::exists(home.SettingsFile()));
}

TEST_F(cSettingsFixture, WorkingDirectoryFromTheValueOrTheCurrentFolder) {
    home.WriteFile(home.KeyFolder() + "/sWorkingDirectory", "/opt/island\n");
    settings.ReadSettings();
    EXPECT_EQ(WorkingDirectory(), "/opt/island/");

    home.WriteFile(home.KeyFolder() + "/sWorkingDirectory", std::string("/opt/data/\0junk", 15));
    settings.ReadSettings();
    EXPECT_EQ(WorkingDirectory(), "/opt/data/");

    const std::string current = std::filesystem::current_path().string() + "/";
    std::filesystem::remove(home.KeyFolder() + "/sWorkingDirectory");
    settings.ReadSettings();
    EXPECT_EQ(WorkingDirectory(), current);

    // Longer than the value may be, or empty: unreadable.
    home.WriteFile(home.KeyFolder() + "/sWorkingDirectory", "/" + std::string(256, 'a'));
    settings.ReadSettings();
    EXPECT_EQ(WorkingDirectory(), current);
    home.WriteFile(home.KeyFolder() + "/sWorkingDirectory", "");
    settings.ReadSettings();
    EXPECT_EQ(WorkingDirectory(), current);
}

TEST_F(cSettingsFixture, UnusableKeyRaisesAndReportsTheWrite) {
    // The configuration home is a file: the key can be neither opened nor created.
    const std::string file = home.Root() + "/not-a-folder";
    home.WriteFile(file, "x");
    setenv("XDG_CONFIG_HOME", file.c_str(), 1);
    try {
        settings.ReadSettings();
        FAIL() << "no exception";
    } catch (const velmora::cException& e) {
        EXPECT_STREQ(e.GetText(), "cSettings::ReadSettings : failed to open registry key");
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "cSettings::WriteSettings : failed to create registry key");

    EXPECT_FALSE(settings.WriteSettings());
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(cSettingsFixture, KeyFollowsTheScreensaverName) {
    ScreensaverName() = "Other Saver";
    EXPECT_EQ(cSettings::GetKeyName(), "Software\\Quillmere\\Other Saver");
    ASSERT_TRUE(settings.WriteSettings());
    EXPECT_TRUE(std::filesystem::exists(home.Root() + "/Quillmere/Other Saver/Settings"));
}
