#pragma once
// The GUI targets' one run: a fresh manager with its script environment loads the dialog file, writes what it
// read in both forms and reads each back, then takes a few input events and draws on the null renderer.
#include <string>

#include "fuzz/FuzzSupport.h"
#include "gui/cGUIManager.h"
#include "scene/support/cNullRenderer.h"
#include "script/IScriptEnv.h"

namespace velmora::fuzz {

inline void RunDialogFile(const std::uint8_t* data, std::size_t size, const char* name) {
    static scene::test::cNullRenderer renderer;
    Folder().Write(name, data, size);
    gui::cGUIManager manager(script::CreateScriptEnv());
    manager.SetRenderer(&renderer);
    manager.SetViewSize(640.0f, 480.0f);
    if (!manager.LoadGUI(name)) return;
    if (manager.SaveGUI("out.bingui")) {
        gui::cGUIManager again(script::CreateScriptEnv());
        again.LoadGUI("out.bingui");
    }
    if (manager.SaveGUI("out.gui")) {
        gui::cGUIManager again(nullptr);
        again.LoadGUI("out.gui");
    }
    manager.OnMouseMove(20.0f, 30.0f);
    manager.OnLeftButtonDown(20.0f, 30.0f);
    manager.OnLeftButtonUp(20.0f, 30.0f);
    manager.OnChar('a');
    manager.Update();
    manager.Render();
}

} // namespace velmora::fuzz
