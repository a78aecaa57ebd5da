#pragma once
// Writes windows as dialog text that cGUIParser reads back to the same
// controls. Buttons, edits, check boxes, labels, lists, radio groups, combo
// boxes, images and group boxes (with what they hold) are written; scrolls,
// sliders, tab boxes and property grids have no text form and are left out
// (binary dialogs keep them). Double quotes inside texts become single
// quotes; backslashes, line feeds and tabs are escaped.

#include <string>
#include <vector>

namespace velmora {
class IFile;
}

namespace velmora::gui {

class cWindow;
class cControl;

class cGUIExporter {
public:
    // Opens the file ("wt") and writes the windows in order; raises
    // "cGUIExporter::Export : failed to open file '%s'" when it cannot be opened.
    static void Export(const std::vector<cWindow*>& windows, const char* path);
    // The same text, into a string.
    static std::string ExportToString(const std::vector<cWindow*>& windows);

private:
    static void WriteWindow(std::string& out, const cWindow& window);
    static void WriteControl(std::string& out, const cControl& control, const std::string& indent);
};

} // namespace velmora::gui
