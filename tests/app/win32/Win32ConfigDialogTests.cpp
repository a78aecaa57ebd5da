// The configuration dialog as Windows shows it: dialog resource 104 with the
// controls cConfigDialog describes, driven through window messages as a user
// drives it, OK storing the record in the registry and Cancel storing nothing.
// Every test acts from the dialog's ready hook, inside the dialog's own
// message loop, so nothing waits on time.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/Globals.h"
#include "app/Resources.h"
#include "app/cConfigDialog.h"
#include "app/cSettings.h"
#include "app/win32/cWin32ConfigDialog.h"
#include "app/win32/cWin32SettingsStore.h"
#include "engine/core/cException.h"

namespace brevonne {
namespace {

std::wstring Text(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[64] = {};
    GetClassNameW(window, buffer, 64);
    return buffer;
}

void Command(HWND dialog, int id, int code) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Scroll(HWND dialog, int id, int position) {
    HWND trackbar = GetDlgItem(dialog, id);
    SendMessageW(trackbar, TBM_SETPOS, TRUE, position);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(trackbar));
}

// A settings key of its own per run, removed afterwards, with the store and the dialog's hook.
class Win32ConfigDialog : public ::testing::Test {
protected:
    Win32ConfigDialog() : m_OldName(ScreensaverName()) {
        ScreensaverName() = "BrevonneDialogTest_" + std::to_string(GetCurrentProcessId());
    }
    ~Win32ConfigDialog() override {
        cWin32ConfigDialog::SetReadyHook({});
        const std::string key = cSettings::GetKeyName();
        RegDeleteTreeW(HKEY_CURRENT_USER, std::wstring(key.begin(), key.end()).c_str());
        ScreensaverName() = m_OldName;
    }

    void Store(const cSettingsRecord& record) {
        const cSettingsRecord::tBytes bytes = record.ToBytes();
        ASSERT_TRUE(store.WriteValue(cSettings::GetKeyName(), "Settings", bytes.data(), bytes.size()));
    }
    cSettingsRecord Stored() {
        std::vector<std::uint8_t> data;
        cSettingsRecord record;
        EXPECT_TRUE(store.ReadValue(cSettings::GetKeyName(), "Settings", data));
        EXPECT_TRUE(record.FromBytes(data.data(), data.size()));
        return record;
    }

    // Runs the dialog through the platform's view; the hook acts on the shown dialog.
    int Run(const std::function<void(HWND)>& act) {
        cWin32ConfigDialog::SetReadyHook([&](void* window) { act(static_cast<HWND>(window)); });
        cSettings settings(store, [this](const char*) { ++errorBoxes; });
        return settings.SetupScreensaver();
    }

    cWin32SettingsStore store;
    int errorBoxes = 0;

private:
    std::string m_OldName;
};

TEST_F(Win32ConfigDialog, TheResourceHoldsEveryControlWhereTheProcedurePlacesIt) {
    cSettingsRecord record;
    record.sameAsDesktop = false;
    record.width = 1600; // not in the table: shown as "Same as desktop"
    record.height = 1200;
    record.gamma = 0.29f;
    record.volume = 0.5f;
    record.textureQuality = 2;
    record.showFPS = true;
    Store(record);

    bool checked = false;
    const int result = Run([&](HWND dialog) {
        checked = true;
        EXPECT_EQ(Text(dialog), L"Configuration dialog");
        RECT size = {0, 0, cConfigDialog::kWidth, cConfigDialog::kHeight}, client = {};
        MapDialogRect(dialog, &size);
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);

        // The children in template order: kinds, texts and places as the procedure lists them.
        cSettings probe(store);
        cConfigDialog expected(probe);
        std::vector<HWND> children;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            children.push_back(child);
        }
        ASSERT_EQ(children.size(), expected.GetControls().size());
        for (std::size_t i = 0; i < children.size(); ++i) {
            const cConfigDialog::sControl& control = expected.GetControls()[i];
            SCOPED_TRACE(control.id);
            HWND child = children[i];
            if (control.id > 0) {
                EXPECT_EQ(GetDlgCtrlID(child), control.id);
            }
            using eKind = cConfigDialog::eKind;
            const wchar_t* kind = control.kind == eKind::DropDown   ? L"ComboBox"
                                  : control.kind == eKind::Trackbar ? TRACKBAR_CLASSW
                                  : control.kind == eKind::Label    ? L"Static"
                                                                    : L"Button";
            EXPECT_EQ(_wcsicmp(ClassOf(child).c_str(), kind), 0) << "class " << ClassOf(child).size();
            // Positions and sizes are converted from dialog units each on its own.
            RECT place = {control.rect.x, control.rect.y, control.rect.width, control.rect.height};
            MapDialogRect(dialog, &place);
            RECT actual = {};
            GetWindowRect(child, &actual);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(actual.left, place.left);
            EXPECT_EQ(actual.top, place.top);
            EXPECT_EQ(actual.right - actual.left, place.right);
            if (control.kind != eKind::DropDown) { // a closed list is one line high
                EXPECT_EQ(actual.bottom - actual.top, place.bottom);
            }
        }

        // Filled from the stored record.
        HWND modes = GetDlgItem(dialog, cConfigDialog::kVideoMode);
        EXPECT_EQ(SendMessageW(modes, CB_GETCOUNT, 0, 0), 25);
        EXPECT_EQ(SendMessageW(modes, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, cConfigDialog::kTextureQuality), CB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, cConfigDialog::kTextureQuality), CB_GETCOUNT, 0, 0), 3);
        HWND gamma = GetDlgItem(dialog, cConfigDialog::kGamma);
        EXPECT_EQ(SendMessageW(gamma, TBM_GETRANGEMIN, 0, 0), -100);
        EXPECT_EQ(SendMessageW(gamma, TBM_GETRANGEMAX, 0, 0), 100);
        EXPECT_EQ(SendMessageW(gamma, TBM_GETPOS, 0, 0), 28);
        EXPECT_EQ(Text(GetDlgItem(dialog, cConfigDialog::kGammaValue)), L"0.29");
        EXPECT_EQ(SendMessageW(GetDlgItem(dialog, cConfigDialog::kVolume), TBM_GETPOS, 0, 0), 50);
        EXPECT_EQ(Text(GetDlgItem(dialog, cConfigDialog::kVolumeValue)), L"50");
        EXPECT_EQ(IsDlgButtonChecked(dialog, cConfigDialog::kShowFPS), static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(IsDlgButtonChecked(dialog, cConfigDialog::kShowClock), static_cast<UINT>(BST_CHECKED));
        EXPECT_EQ(IsDlgButtonChecked(dialog, cConfigDialog::kUseShaders), static_cast<UINT>(BST_CHECKED));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, cConfigDialog::kVolume)));
        PostMessageW(GetDlgItem(dialog, cConfigDialog::kCancel), BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(result, 0);
}

TEST_F(Win32ConfigDialog, OKStoresWhatTheUserChanged) {
    Store(cSettingsRecord());
    const int result = Run([&](HWND dialog) {
        SendMessageW(GetDlgItem(dialog, cConfigDialog::kVideoMode), CB_SETCURSEL, 14, 0); // 1024 x 768 x 32
        Command(dialog, cConfigDialog::kVideoMode, CBN_SELCHANGE);
        SendMessageW(GetDlgItem(dialog, cConfigDialog::kTextureQuality), CB_SETCURSEL, 0, 0);
        Command(dialog, cConfigDialog::kTextureQuality, CBN_SELCHANGE);

        // Unchecking the sound greys its volume controls at once.
        CheckDlgButton(dialog, cConfigDialog::kEnableSound, BST_UNCHECKED);
        Command(dialog, cConfigDialog::kEnableSound, BN_CLICKED);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, cConfigDialog::kVolume)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, cConfigDialog::kVolumeLabel)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, cConfigDialog::kVolumeValue)));

        CheckDlgButton(dialog, cConfigDialog::kShowFPS, BST_CHECKED);
        Command(dialog, cConfigDialog::kShowFPS, BN_CLICKED);
        Scroll(dialog, cConfigDialog::kGamma, -50);
        EXPECT_EQ(Text(GetDlgItem(dialog, cConfigDialog::kGammaValue)), L"-0.50");
        Scroll(dialog, cConfigDialog::kVolume, 30);
        EXPECT_EQ(Text(GetDlgItem(dialog, cConfigDialog::kVolumeValue)), L"30");

        // The click itself goes through the dialog's message loop.
        PostMessageW(GetDlgItem(dialog, cConfigDialog::kOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(errorBoxes, 0);
    const cSettingsRecord stored = Stored();
    EXPECT_FALSE(stored.sameAsDesktop);
    EXPECT_EQ(stored.width, 1024);
    EXPECT_EQ(stored.height, 768);
    EXPECT_EQ(stored.bits, 32);
    EXPECT_EQ(stored.textureQuality, 0);
    EXPECT_FALSE(stored.soundEnabled);
    EXPECT_TRUE(stored.showFPS);
    EXPECT_FLOAT_EQ(stored.gamma, -0.5f);
    EXPECT_FLOAT_EQ(stored.volume, 0.3f);
}

TEST_F(Win32ConfigDialog, CancelTheCloseBoxAndEscapeStoreNothing) {
    cSettingsRecord record;
    record.gamma = 0.25f;
    Store(record);
    const cSettingsRecord::tBytes before = record.ToBytes();

    // The Cancel button, the close box (WM_CLOSE) and the Escape key (IDCANCEL) all end the dialog.
    const std::vector<std::function<void(HWND)>> endings = {
        [](HWND dialog) { PostMessageW(GetDlgItem(dialog, cConfigDialog::kCancel), BM_CLICK, 0, 0); },
        [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); },
        [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); },
    };
    for (std::size_t i = 0; i < endings.size(); ++i) {
        SCOPED_TRACE(i);
        const int result = Run([&](HWND dialog) {
            SendMessageW(GetDlgItem(dialog, cConfigDialog::kVideoMode), CB_SETCURSEL, 3, 0);
            Command(dialog, cConfigDialog::kVideoMode, CBN_SELCHANGE);
            Scroll(dialog, cConfigDialog::kGamma, 90);
            endings[i](dialog);
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(Stored().ToBytes(), before);
    }
}

// A settings store whose key never opens: the dialog's initialisation fails.
class cBrokenStore : public ISettingsStore {
public:
    bool OpenKey(const std::string&) override { return false; }
    bool CreateKey(const std::string&) override { return false; }
    bool ReadValue(const std::string&, const std::string&, std::vector<std::uint8_t>&) override { return false; }
    bool WriteValue(const std::string&, const std::string&, const void*, std::size_t) override { return false; }
};

TEST_F(Win32ConfigDialog, AnInitialisationErrorLeavesThroughTheCallerWithTheDialogGone) {
    cBrokenStore broken;
    cSettings settings(broken, [](const char*) {});
    bool hooked = false;
    cWin32ConfigDialog::SetReadyHook([&](void*) { hooked = true; });
    try {
        settings.SetupScreensaver();
        ADD_FAILURE() << "the error was swallowed";
    } catch (const velmora::cException& error) {
        EXPECT_STREQ(error.GetText(), "cSettings::ReadSettings : failed to open registry key");
    }
    EXPECT_FALSE(hooked);
    EXPECT_EQ(FindWindowW(nullptr, L"Configuration dialog"), nullptr);
}

TEST(Win32Resources, TheStringTableNamesTheScreensaver) {
    ASSERT_NE(LoadStringResource(1), nullptr);
    EXPECT_STREQ(LoadStringResource(1), "Brevonne_3D");
    EXPECT_EQ(LoadStringResource(2), nullptr);
}

} // namespace
} // namespace brevonne
