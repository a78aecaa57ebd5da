#include "app/win32/cWin32ConfigDialog.h"

#include "app/win32/ResourceIds.h"
#include "engine/win32/Win32Text.h"

// Last: <windows.h> defines macros that clash with the engine's names.
#include "engine/win32/Win32Api.h"
#include <commctrl.h>

namespace brevonne {

namespace {

using eKind = cConfigDialog::eKind;

static_assert(IDD_CONFIG == 104, "the dialog's resource number is fixed");
static_assert(IDC_VIDEO_MODE == cConfigDialog::kVideoMode && IDC_TEXTURE_QUALITY == cConfigDialog::kTextureQuality &&
                  IDC_VOLUME == cConfigDialog::kVolume && IDC_OK == cConfigDialog::kOK &&
                  IDC_CANCEL == cConfigDialog::kCancel && IDC_USE_SHADERS == cConfigDialog::kUseShaders &&
                  IDC_ENABLE_SOUND == cConfigDialog::kEnableSound &&
                  IDC_VOLUME_LABEL == cConfigDialog::kVolumeLabel && IDC_GAMMA == cConfigDialog::kGamma &&
                  IDC_GAMMA_VALUE == cConfigDialog::kGammaValue &&
                  IDC_VOLUME_VALUE == cConfigDialog::kVolumeValue && IDC_SHOW_FPS == cConfigDialog::kShowFPS &&
                  IDC_SHOW_CLOCK == cConfigDialog::kShowClock,
              "brevonne3d.rc names the controls cConfigDialog describes");
static_assert(IDCANCEL == cConfigDialog::kCloseRequest, "Escape and the close box send IDCANCEL");

cWin32ConfigDialog::tReadyHook& ReadyHook() {
    static cWin32ConfigDialog::tReadyHook hook;
    return hook;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = GetWindowTextW(window, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    }
    auto* view = reinterpret_cast<cWin32ConfigDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!view) {
        return FALSE;
    }
    return view->HandleMessage(window, message, wParam, lParam) ? TRUE : FALSE;
}

} // namespace

cWin32ConfigDialog::cWin32ConfigDialog(cConfigDialog& dialog) : m_Dialog(dialog) {}

void cWin32ConfigDialog::SetReadyHook(tReadyHook hook) { ReadyHook() = std::move(hook); }

bool cWin32ConfigDialog::Run(std::string& reason) {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES;
    if (!InitCommonControlsEx(&controls)) {
        reason = velmora::win32::LastErrorText();
        return false;
    }
    m_Error.reset();
    SetLastError(0);
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONFIG), GetDesktopWindow(),
                                           DialogProcedure, reinterpret_cast<LPARAM>(this));
    m_Window = nullptr;
    if (m_Error) {
        // The procedure ended the dialog to let the error leave through the caller, not through the
        // system's dialog loop.
        const velmora::cException error = *m_Error;
        m_Error.reset();
        throw error;
    }
    if (result == -1) {
        reason = velmora::win32::LastErrorText();
        return false;
    }
    return true;
}

bool cWin32ConfigDialog::HandleMessage(void* handle, unsigned int message, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
    HWND window = static_cast<HWND>(handle);
    switch (message) {
    case WM_INITDIALOG:
        m_Window = window;
        Initialise();
        if (!m_Error && ReadyHook()) {
            ReadyHook()(window);
        }
        return true; // the system gives the first control the focus
    case WM_COMMAND:
        if (!m_Refreshing) {
            Forward(LOWORD(wParam), true);
        }
        return true;
    case WM_HSCROLL:
        if (!m_Refreshing && lParam) {
            Forward(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)), false);
        }
        return true;
    default:
        return false;
    }
}

void cWin32ConfigDialog::Initialise() {
    try {
        m_Dialog.Init();
    } catch (const velmora::cException& error) {
        m_Error = std::make_unique<velmora::cException>(error);
        EndDialog(static_cast<HWND>(m_Window), 0);
        return;
    }
    Fill();
    Refresh();
}

void cWin32ConfigDialog::Fill() {
    HWND window = static_cast<HWND>(m_Window);
    for (const cConfigDialog::sControl& control : m_Dialog.GetControls()) {
        HWND item = control.id > 0 ? GetDlgItem(window, control.id) : nullptr;
        if (!item) {
            continue;
        }
        if (control.kind == eKind::DropDown) {
            SendMessageW(item, CB_RESETCONTENT, 0, 0);
            for (const std::string& text : control.items) {
                SendMessageW(item, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(velmora::win32::Widen(text).c_str()));
            }
        } else if (control.kind == eKind::Trackbar) {
            SendMessageW(item, TBM_SETRANGEMIN, FALSE, control.minimum);
            SendMessageW(item, TBM_SETRANGEMAX, FALSE, control.maximum);
            SendMessageW(item, TBM_SETPAGESIZE, 0, 10);
        }
    }
}

void cWin32ConfigDialog::Refresh() {
    HWND window = static_cast<HWND>(m_Window);
    m_Refreshing = true;
    for (const cConfigDialog::sControl& control : m_Dialog.GetControls()) {
        HWND item = control.id > 0 ? GetDlgItem(window, control.id) : nullptr;
        if (!item) {
            continue;
        }
        if ((IsWindowEnabled(item) != FALSE) != control.enabled) {
            EnableWindow(item, control.enabled ? TRUE : FALSE);
        }
        switch (control.kind) {
        case eKind::Label: {
            const std::wstring text = velmora::win32::Widen(control.text);
            if (WindowText(item) != text) {
                SetWindowTextW(item, text.c_str());
            }
            break;
        }
        case eKind::CheckBox:
            SendMessageW(item, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case eKind::DropDown:
            if (SendMessageW(item, CB_GETCURSEL, 0, 0) != control.selection) {
                SendMessageW(item, CB_SETCURSEL, static_cast<WPARAM>(control.selection), 0);
            }
            break;
        case eKind::Trackbar:
            if (SendMessageW(item, TBM_GETPOS, 0, 0) != control.position) {
                SendMessageW(item, TBM_SETPOS, TRUE, control.position);
            }
            break;
        default:
            break;
        }
    }
    m_Refreshing = false;
}

void cWin32ConfigDialog::Forward(int id, bool command) {
    HWND window = static_cast<HWND>(m_Window);
    // The control's state as the user left it, then what the procedure makes of it.
    if (const cConfigDialog::sControl* control = m_Dialog.GetControl(id)) {
        HWND item = GetDlgItem(window, id);
        if (item && control->kind == eKind::CheckBox) {
            m_Dialog.SetChecked(id, SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED);
        } else if (item && control->kind == eKind::DropDown) {
            m_Dialog.SetSelection(id, static_cast<int>(SendMessageW(item, CB_GETCURSEL, 0, 0)));
        } else if (item && control->kind == eKind::Trackbar) {
            m_Dialog.SetPosition(id, static_cast<int>(SendMessageW(item, TBM_GETPOS, 0, 0)));
        }
    }
    try {
        if (command) {
            m_Dialog.OnCommand(id);
        } else {
            m_Dialog.OnHScroll(id);
        }
    } catch (const velmora::cException& error) {
        m_Error = std::make_unique<velmora::cException>(error);
        EndDialog(window, 0);
        return;
    }
    if (m_Dialog.IsEnded()) {
        EndDialog(window, m_Dialog.GetResult());
        return;
    }
    Refresh();
}

} // namespace brevonne
