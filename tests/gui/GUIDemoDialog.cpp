#include "GUIDemoDialog.h"

#include <gtest/gtest.h>

#include "gui/IControls.h"

namespace guitest {

using namespace velmora;
using namespace velmora::gui;

namespace {

template <class T>
T* Put(IContainer* container, const char* name, const cRect& rect, const char* caption = nullptr) {
    T* control = AddControl<T>(container, name);
    if (!control) return nullptr;
    control->SetRect(rect);
    if (caption) control->SetCaption(caption);
    return control;
}

} // namespace

IWindow* BuildDemoDialog(IGUIManager& manager) {
    testing::internal::CaptureStdout();
    IWindow* w = manager.CreateDialog("demo", DF_DRAGABLE);
    w->SetRect(cRect(20, 20, 620, 460));
    w->SetCaption("Island settings");

    // Left column.
    Put<ILabel>(w, "nameLabel", cRect(16, 380, 290, 402), "Player name");
    Put<IEdit>(w, "name", cRect(16, 352, 290, 378))->SetText("Ann Bell");
    Put<ICheckBox>(w, "sound", cRect(16, 318, 140, 342), "Sound")->SetChecked(true);
    Put<ICheckBox>(w, "music", cRect(150, 318, 290, 342), "Music");
    Put<ILabel>(w, "volumeLabel", cRect(16, 286, 96, 310), "Volume");
    ISlider* volume = Put<ISlider>(w, "volume", cRect(100, 286, 290, 310));
    volume->SetValue(70.0f);
    IRadioGroup* quality = Put<IRadioGroup>(w, "quality", cRect(16, 184, 150, 276), "Quality");
    quality->AddItem("Low", cRect(12, 54, 130, 74));
    quality->AddItem("Medium", cRect(12, 30, 130, 50));
    quality->AddItem("High", cRect(12, 6, 130, 26));
    quality->SetSelected(1);
    Put<IImage>(w, "preview", cRect(160, 188, 290, 270))->SetTextureName("data/textures/splash.tga");
    IComboBox* resolution = Put<IComboBox>(w, "resolution", cRect(16, 146, 290, 172));
    for (const char* item : {"640 x 480", "800 x 600", "1024 x 768", "1280 x 720", "1920 x 1080"}) {
        resolution->AddItem(item);
    }
    resolution->SetSelected(3);
    IGroupBox* advanced = Put<IGroupBox>(w, "advanced", cRect(16, 56, 290, 136), "Advanced");
    Put<ICheckBox>(advanced, "shaders", cRect(12, 34, 260, 56), "Pixel shaders")->SetChecked(true);
    Put<IButton>(advanced, "reset", cRect(12, 6, 120, 30), "Reset");

    // Right column.
    ITabBox* tabs = Put<ITabBox>(w, "tabs", cRect(310, 196, 584, 402));
    IContainer* scene = tabs->AddPage("Scene");
    IContainer* camera = tabs->AddPage("Camera");
    IContainer* about = tabs->AddPage("About");
    IListBox* scenes = Put<IListBox>(scene, "scenes", cRect(10, 40, 264, 170));
    for (const char* item : {"Lagoon", "North cape", "Harbour", "Reef", "Old mill", "Lighthouse", "Dunes"}) {
        scenes->AddItem(item);
    }
    scenes->SetSelected(1);
    IScroll* speed = Put<IScroll>(scene, "speed", cRect(10, 10, 264, 28));
    speed->SetRange(0, 20);
    speed->SetPageSize(4);
    speed->SetPosition(6);
    Put<ILabel>(camera, "fovLabel", cRect(10, 140, 100, 164), "Field of view");
    ISlider* fov = Put<ISlider>(camera, "fov", cRect(110, 140, 264, 164));
    fov->SetRange(30.0f, 120.0f);
    fov->SetStep(5.0f);
    fov->SetValue(75.0f);
    IScroll* height = Put<IScroll>(camera, "height", cRect(240, 10, 258, 130));
    height->SetRange(-10, 10);
    IEdit* notes = Put<IEdit>(about, "notes", cRect(10, 10, 264, 170));
    notes->SetMultiline(true);
    notes->SetText("Brevonne island\nscreensaver demo");

    IPropertyGrid* props = Put<IPropertyGrid>(w, "props", cRect(310, 56, 584, 186));
    props->SetProperty("Seed", "1905");
    props->SetProperty("Fog density", "0.0035");
    props->SetProperty("Wind", "4.5 m/s");
    props->SetProperty("Time of day", "17:40");
    props->SetProperty("Sea level", "12.0");

    Put<IButton>(w, "apply", cRect(310, 14, 400, 42), "Apply")->SetEnabled(false);
    Put<IButton>(w, "ok", cRect(404, 14, 494, 42), "OK");
    Put<IButton>(w, "cancel", cRect(498, 14, 584, 42), "Cancel");
    testing::internal::GetCapturedStdout();
    return w;
}

} // namespace guitest
