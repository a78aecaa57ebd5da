#pragma once
// The Windows view of the configuration dialog: dialog resource 104 (in
// brevonne3d.rc, common controls), shown modally. It keeps no settings of its
// own: every change goes to cConfigDialog and the controls are redrawn from
// the procedure's control states.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/cConfigDialog.h"
#include "engine/core/cException.h"

namespace brevonne {

class cWin32ConfigDialog {
public:
    // Called with the dialog window once it is initialised and filled (tests drive it from there).
    using tReadyHook = std::function<void(void* window)>;

    explicit cWin32ConfigDialog(cConfigDialog& dialog);
    cWin32ConfigDialog(const cWin32ConfigDialog&) = delete;
    cWin32ConfigDialog& operator=(const cWin32ConfigDialog&) = delete;

    // Registers the trackbar class and shows the dialog modally over the desktop window until the
    // procedure ends it. False with the system's reason when the dialog cannot be shown. A
    // cException from the initialisation reaches the caller once the dialog is gone.
    bool Run(std::string& reason);

    // The hook every dialog of the process calls when ready; an empty one removes it.
    static void SetReadyHook(tReadyHook hook);

    // The dialog procedure's work; true when the message was handled.
    bool HandleMessage(void* window, unsigned int message, std::uintptr_t wParam, std::intptr_t lParam);

private:
    void Initialise();
    void Fill();
    void Refresh();
    void Forward(int id, bool command);

    cConfigDialog& m_Dialog;
    void* m_Window = nullptr;
    bool m_Refreshing = false;
    std::unique_ptr<velmora::cException> m_Error;
};

} // namespace brevonne
