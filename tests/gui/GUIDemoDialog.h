#pragma once
// A settings dialog holding every control kind, laid out as a person would
// use it; the file and screenshot tests share it.

#include "gui/IGUIManager.h"

namespace guitest {

// Width and height of the view the demo dialog is laid out for.
constexpr int kDemoViewWidth = 640;
constexpr int kDemoViewHeight = 480;

// Builds the dialog "demo" in the manager (quietly) and returns it.
velmora::gui::IWindow* BuildDemoDialog(velmora::gui::IGUIManager& manager);

} // namespace guitest
