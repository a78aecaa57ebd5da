// cConfigDialog: the dialog procedure without a toolkit.

#include "app/cConfigDialog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/SettingsTestSupport.h"
#include "app/VideoModes.h"
#include "app/cSettings.h"
#include "app/sdl/cPosixSettingsStore.h"

using namespace brevonne;
using brevonne::test::cTempConfigHome;
using D = cConfigDialog;

namespace {

struct cDialogFixture : ::testing::Test {
    cTempConfigHome home;
    cPosixSettingsStore store;
    cSettings settings{store, [](const char*) {}};
    cConfigDialog dialog{settings};

    void Store(const cSettingsRecord& record) {
        const cSettingsRecord::tBytes b = record.ToBytes();
        home.WriteFile(home.SettingsFile(), std::string(b.begin(), b.end()));
    }
    cSettingsRecord Stored() const {
        const std::vector<unsigned char> file = cTempConfigHome::ReadFile(home.SettingsFile());
        cSettingsRecord record;
        EXPECT_TRUE(record.FromBytes(file.data(), file.size()));
        return record;
    }
    const D::sControl& C(int id) const { return *dialog.GetControl(id); }
    void Select(int id, int index) {
        dialog.SetSelection(id, index);
        dialog.OnCommand(id);
    }
    void Check(int id, bool checked) {
        dialog.SetChecked(id, checked);
        dialog.OnCommand(id);
    }
    void Scroll(int id, int position) {
        dialog.SetPosition(id, position);
        dialog.OnHScroll(id);
    }
};

} // namespace

TEST_F(cDialogFixture, ControlsOfTheTemplate) {
    EXPECT_STREQ(D::kCaption, "Configuration dialog");
    EXPECT_EQ(dialog.GetControls().size(), 18u);
    EXPECT_EQ(C(D::kUseShaders).text, "Use pixel shaders(if available)");
    EXPECT_EQ(C(D::kVolumeLabel).text, "Volume:");
    EXPECT_EQ(C(D::kVolume).rect.x, 109);
    EXPECT_EQ(C(D::kSoundGroup).rect.width, 215);

    const std::vector<std::string>& modes = C(D::kVideoMode).items;
    ASSERT_EQ(modes.size(), 25u);
    EXPECT_EQ(modes[0], "Same as desktop");
    EXPECT_EQ(modes[1], "640 x 480 x 16");
    EXPECT_EQ(modes[12], "1024 x 480 x 32");
    EXPECT_EQ(modes[24], "1280 x 1024 x 32");
    EXPECT_EQ(C(D::kTextureQuality).items, (std::vector<std::string>{"Low", "Medium", "High"}));
    EXPECT_EQ(C(D::kGamma).minimum, -100);
    EXPECT_EQ(C(D::kGamma).maximum, 100);
    EXPECT_EQ(C(D::kVolume).minimum, 0);
    EXPECT_EQ(C(D::kVolume).maximum, 100);
    EXPECT_EQ(dialog.GetControl(4242), nullptr);
}

TEST_F(cDialogFixture, InitialisationFromTheDefaultRecord) {
    dialog.Init();
    EXPECT_TRUE(std::filesystem::exists(home.SettingsFile()));  // first run stores the defaults
    EXPECT_EQ(C(D::kVideoMode).selection, 0);
    EXPECT_EQ(C(D::kTextureQuality).selection, 1);
    EXPECT_TRUE(C(D::kUseShaders).checked);
    EXPECT_FALSE(C(D::kShowFPS).checked);
    EXPECT_TRUE(C(D::kShowClock).checked);
    EXPECT_EQ(C(D::kGamma).position, 0);
    EXPECT_EQ(C(D::kGammaValue).text, "0.00");
    EXPECT_EQ(C(D::kVolume).position, 100);
    EXPECT_EQ(C(D::kVolumeValue).text, "100");
    EXPECT_TRUE(C(D::kEnableSound).checked);
    EXPECT_TRUE(C(D::kVolume).enabled);
    EXPECT_TRUE(C(D::kVolumeLabel).enabled);
    EXPECT_TRUE(C(D::kVolumeValue).enabled);
}

TEST_F(cDialogFixture, GammaAndVolumeTruncateTowardZero) {
    cSettingsRecord record;
    record.gamma = 0.29f;  // 0.28999999 in single precision
    record.volume = 0.57f;
    record.soundEnabled = false;
    Store(record);
    dialog.Init();
    EXPECT_EQ(C(D::kGamma).position, 28);
    EXPECT_EQ(C(D::kGammaValue).text, "0.29");
    EXPECT_EQ(C(D::kVolume).position, 56);
    EXPECT_EQ(C(D::kVolumeValue).text, "56");

    record.gamma = -0.29f;
    Store(record);
    dialog.Init();
    EXPECT_EQ(C(D::kGamma).position, -28);
    EXPECT_EQ(C(D::kGammaValue).text, "-0.29");
}

TEST_F(cDialogFixture, OutOfRangeStoredValuesStayOnTheSliders) {
    cSettingsRecord record;
    record.gamma = 5.0f;
    record.volume = std::numeric_limits<float>::quiet_NaN();
    record.textureQuality = 7;
    Store(record);
    dialog.Init();
    EXPECT_EQ(C(D::kGamma).position, 100);
    EXPECT_EQ(C(D::kGammaValue).text, "5.00");  // the label shows the stored value
    EXPECT_EQ(C(D::kVolume).position, 0);
    EXPECT_EQ(C(D::kTextureQuality).selection, -1);
}

TEST_F(cDialogFixture, StoredVideoModeSelectsItsRow) {
    cSettingsRecord record;
    record.sameAsDesktop = false;
    record.width = 1024;
    record.height = 768;
    record.bits = 32;
    Store(record);
    dialog.Init();
    EXPECT_EQ(C(D::kVideoMode).selection, 14);

    // The desktop flag wins over a stored mode.
    record.sameAsDesktop = true;
    Store(record);
    dialog.Init();
    EXPECT_EQ(C(D::kVideoMode).selection, 0);

    // A mode the list does not have shows "Same as desktop".
    record.sameAsDesktop = false;
    record.width = 1600;
    record.height = 1200;
    Store(record);
    dialog.Init();
    EXPECT_EQ(C(D::kVideoMode).selection, 0);

    record.width = 800;
    record.height = 600;
    record.bits = 24;
    Store(record);
    dialog.Init();
    EXPECT_EQ(C(D::kVideoMode).selection, 0);
}

TEST_F(cDialogFixture, ChoosingVideoModesAndOK) {
    dialog.Init();
    Select(D::kVideoMode, 14);
    EXPECT_FALSE(settings.GetRecord().sameAsDesktop);
    dialog.OnCommand(D::kOK);
    EXPECT_TRUE(dialog.IsEnded());
    EXPECT_EQ(dialog.GetResult(), 1);
    cSettingsRecord stored = Stored();
    EXPECT_EQ(stored.width, 1024);
    EXPECT_EQ(stored.height, 768);
    EXPECT_EQ(stored.bits, 32);
    EXPECT_FALSE(stored.sameAsDesktop);

    cConfigDialog again(settings);
    again.Init();
    EXPECT_EQ(again.GetControl(D::kVideoMode)->selection, 14);
    again.SetSelection(D::kVideoMode, 0);
    again.OnCommand(D::kVideoMode);
    again.OnCommand(D::kOK);
    stored = Stored();
    EXPECT_TRUE(stored.sameAsDesktop);
    EXPECT_EQ(stored.width, 0);
    EXPECT_EQ(stored.height, 0);
    EXPECT_EQ(stored.bits, 0);
}

TEST_F(cDialogFixture, NoSelectionKeepsTheModeAndStoresNoQuality) {
    dialog.Init();
    Select(D::kVideoMode, 99);  // nothing selected
    EXPECT_EQ(C(D::kVideoMode).selection, -1);
    EXPECT_TRUE(settings.GetRecord().sameAsDesktop);
    EXPECT_EQ(settings.GetRecord().width, 800);
    Select(D::kTextureQuality, -1);
    EXPECT_EQ(settings.GetRecord().textureQuality, -1);
    Select(D::kTextureQuality, 2);
    EXPECT_EQ(settings.GetRecord().textureQuality, 2);
}

TEST_F(cDialogFixture, CancelDoesNotWrite) {
    dialog.Init();
    const std::vector<unsigned char> before = cTempConfigHome::ReadFile(home.SettingsFile());
    Check(D::kShowFPS, true);
    Scroll(D::kGamma, -40);
    EXPECT_TRUE(settings.GetRecord().showFPS);  // edits reach the record at once
    dialog.OnCommand(D::kCancel);
    EXPECT_TRUE(dialog.IsEnded());
    EXPECT_EQ(dialog.GetResult(), 0);
    EXPECT_EQ(cTempConfigHome::ReadFile(home.SettingsFile()), before);

    cConfigDialog zero(settings);
    zero.Init();
    zero.OnCommand(D::kEndCommand);
    EXPECT_TRUE(zero.IsEnded());
    EXPECT_EQ(zero.GetResult(), 0);
}

TEST_F(cDialogFixture, CloseRequestsCancelWithoutWriting) {
    dialog.Init();
    dialog.OnCommand(D::kVolumeLabel);
    EXPECT_FALSE(dialog.IsEnded());
    dialog.OnCommand(D::kCloseRequest);
    EXPECT_TRUE(dialog.IsEnded());
    EXPECT_EQ(dialog.GetResult(), 0);
}

TEST_F(cDialogFixture, CheckBoxesAndSliders) {
    dialog.Init();
    Check(D::kUseShaders, false);
    Check(D::kShowFPS, true);
    Check(D::kShowClock, false);
    Scroll(D::kGamma, 29);
    EXPECT_EQ(C(D::kGammaValue).text, "0.29");
    Scroll(D::kGamma, -250);  // clamped to the range
    EXPECT_EQ(C(D::kGamma).position, -100);
    EXPECT_EQ(C(D::kGammaValue).text, "-1.00");
    Scroll(D::kVolume, 35);
    EXPECT_EQ(C(D::kVolumeValue).text, "35");
    dialog.OnCommand(D::kOK);

    const cSettingsRecord stored = Stored();
    EXPECT_FALSE(stored.useShaders);
    EXPECT_TRUE(stored.showFPS);
    EXPECT_FALSE(stored.showClock);
    EXPECT_EQ(stored.gamma, -100 * 0.01f);
    EXPECT_EQ(stored.volume, 35 * 0.01f);
}

TEST_F(cDialogFixture, SoundSwitchGreysTheVolumeControls) {
    dialog.Init();
    Check(D::kEnableSound, false);
    EXPECT_FALSE(settings.GetRecord().soundEnabled);
    for (int id : {D::kVolume, D::kVolumeLabel, D::kVolumeValue}) {
        EXPECT_FALSE(C(id).enabled) << id;
    }
    EXPECT_TRUE(C(D::kEnableSound).enabled);
    Check(D::kEnableSound, true);
    for (int id : {D::kVolume, D::kVolumeLabel, D::kVolumeValue}) {
        EXPECT_TRUE(C(id).enabled) << id;
    }

    cSettingsRecord record;
    record.soundEnabled = false;
    Store(record);
    cConfigDialog silent(settings);
    silent.Init();
    EXPECT_FALSE(silent.GetControl(D::kEnableSound)->checked);
    EXPECT_FALSE(silent.GetControl(D::kVolume)->enabled);
    EXPECT_FALSE(silent.GetControl(D::kVolumeValue)->enabled);
}
