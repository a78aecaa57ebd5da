// The GTK view of the configuration dialog. Runs under a display (for
// example xvfb-run); without one only the failure to show is checked.

#include "app/gtk/cGTKConfigDialog.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "app/SettingsTestSupport.h"
#include "app/cSettings.h"
#include "app/sdl/cPosixSettingsStore.h"
#include "engine/core/cException.h"

using namespace brevonne;
using brevonne::test::cTempConfigHome;
using D = cConfigDialog;

namespace {

bool HasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

// Runs the steps once the dialog's loop is running.
gboolean RunSteps(gpointer data) {
    (*static_cast<std::function<void()>*>(data))();
    return G_SOURCE_REMOVE;
}

} // namespace

TEST(GTKConfigDialog, WithoutDisplayTheDialogFailsWithTheReason) {
    if (HasDisplay()) {
        GTEST_SKIP() << "a display is available";
    }
    cTempConfigHome home;
    cPosixSettingsStore store;
    cSettings settings(store, [](const char*) {});
    try {
        settings.SetupScreensaver();
        FAIL() << "no exception";
    } catch (const velmora::cException& e) {
        const std::string text = e.GetText();
        const std::string prefix = "cSettings::SetupScreensaver : DialogBox failed, ";
        EXPECT_EQ(text.compare(0, prefix.size(), prefix), 0) << text;
        EXPECT_GT(text.size(), prefix.size()) << "the toolkit's reason is missing";
    }
}

TEST(GTKConfigDialog, WidgetsFollowTheProcedureAndOKStores) {
    std::string reason;
    if (!HasDisplay() || !cGTKConfigDialog::StartToolkit(reason)) {
        GTEST_SKIP() << "no display " << reason;
    }
    cTempConfigHome home;
    cPosixSettingsStore store;
    cSettings settings(store, [](const char*) {});
    cConfigDialog dialog(settings);
    cGTKConfigDialog view(dialog);
    view.Create();

    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(view.GetWindow())), "Configuration dialog");
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(view.GetWidget(D::kVideoMode))), 0);
    EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(view.GetWidget(D::kTextureQuality))), 1);
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(view.GetWidget(D::kGammaValue))), "0.00");
    EXPECT_TRUE(gtk_widget_get_sensitive(view.GetWidget(D::kVolume)));

    std::function<void()> steps = [&] {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view.GetWidget(D::kEnableSound)), FALSE);
        EXPECT_FALSE(gtk_widget_get_sensitive(view.GetWidget(D::kVolume)));
        EXPECT_FALSE(gtk_widget_get_sensitive(view.GetWidget(D::kVolumeLabel)));
        EXPECT_FALSE(gtk_widget_get_sensitive(view.GetWidget(D::kVolumeValue)));

        gtk_range_set_value(GTK_RANGE(view.GetWidget(D::kGamma)), 29.0);
        EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(view.GetWidget(D::kGammaValue))), "0.29");
        gtk_combo_box_set_active(GTK_COMBO_BOX(view.GetWidget(D::kVideoMode)), 14);
        gtk_combo_box_set_active(GTK_COMBO_BOX(view.GetWidget(D::kTextureQuality)), 2);
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view.GetWidget(D::kShowFPS)), TRUE);
        EXPECT_FALSE(dialog.IsEnded());
        gtk_button_clicked(GTK_BUTTON(view.GetWidget(D::kOK)));
    };
    g_idle_add(RunSteps, &steps);
    view.Run();

    ASSERT_TRUE(dialog.IsEnded());
    EXPECT_EQ(dialog.GetResult(), 1);
    const std::vector<unsigned char> file = cTempConfigHome::ReadFile(home.SettingsFile());
    cSettingsRecord stored;
    ASSERT_TRUE(stored.FromBytes(file.data(), file.size()));
    EXPECT_FALSE(stored.soundEnabled);
    EXPECT_FALSE(stored.sameAsDesktop);
    EXPECT_EQ(stored.width, 1024);
    EXPECT_EQ(stored.textureQuality, 2);
    EXPECT_TRUE(stored.showFPS);
    EXPECT_EQ(stored.gamma, 29 * 0.01f);
}
