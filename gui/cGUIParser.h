#pragma once
// Reads dialog text into the GUI manager:
//
//   window "main" {
//       rect ( 100, 100, 420, 340 )   caption "Settings"   dockingThreshold 8
//       isVisible true   isEnabled true   isDragable true   isDockable false
//       button "ok" { rect ( 220, 10, 300, 40 ) caption "OK" }
//       check "sound" { rect ( ... ) caption "Sound" isChecked true }
//       edit "name" { rect ( ... ) text "Ann" isTextOnly false isNumberOnly false isMultiline false isReadOnly false }
//       label "hint" { rect ( ... ) caption "Hello" }
//       image "logo" { rect ( ... ) texture "data/textures/logo.tga" }
//       group "g" { rect ( ... ) caption "Options"  ...controls... }
//       list "files" { rect ( ... ) items { "a" "b" } selected 0 }
//       radio "mode" { rect ( ... ) caption "Mode" item { caption "Fast" rect ( ... ) } }
//       combo "size" { rect ( ... ) items { "Small" "Large" } selected 1 }
//   }
//
// Every block accepts the common properties rect, isVisible, isEnabled and isDragable. Errors raise
// cException ("<source>( <line> ) error : <message>" for the text, "cGUIParser::Parse... : failed to create
// ..." when a control cannot be made); the window being read is then removed, windows read before it stay.

#include <cstdint>
#include <map>
#include <string>

#include "engine/core/cFunctor.h"
#include "engine/parser/cParser.h"

namespace velmora::gui {

class cGUIManager;
class cContainer;
class cControl;

class cGUIParser : public cParser {
public:
    explicit cGUIParser(cGUIManager& manager);

    // Reads a file found by the process file system (a disk file without one).
    void ParseFile(const char* path);
    // Reads text; sourceName appears in the messages.
    void ParseText(const std::string& text, const char* sourceName = "memory");

private:
    using tPropertyReader = cFunctor<void, tTypeList<cControl&>>;
    using tControlReader = cFunctor<void, tTypeList<cContainer&, std::int32_t>>;

    void ParseWindow();
    // A key of the common property table or the control table; false when the token is neither.
    bool ParseCommonProperty(cControl& control);
    bool ParseControl(cContainer& container, std::int32_t depth);
    // "caption" STRING, when the token is "caption".
    bool ParseCaption(cControl& control);

    void ReadRect(cControl& control);
    void ReadVisible(cControl& control);
    void ReadEnabled(cControl& control);
    void ReadDragable(cControl& control);
    bool ReadBoolean();
    // Reads the block's name and "{", creates the control; the caller's message when that fails.
    cControl* BeginControl(cContainer& container, std::int32_t kind, const char* failure);
    // True at the block's closing "}" (consumed); raises at the end of the input.
    bool EndOfBlock();
    void ReadItems(std::vector<std::string>& items);

    void ParseButton(cContainer& container, std::int32_t depth);
    void ParseCheckBox(cContainer& container, std::int32_t depth);
    void ParseEdit(cContainer& container, std::int32_t depth);
    void ParseLabel(cContainer& container, std::int32_t depth);
    void ParseImage(cContainer& container, std::int32_t depth);
    void ParseGroupBox(cContainer& container, std::int32_t depth);
    void ParseListBox(cContainer& container, std::int32_t depth);
    void ParseRadioGroup(cContainer& container, std::int32_t depth);
    void ParseComboBox(cContainer& container, std::int32_t depth);

    cGUIManager& m_Manager;
    std::map<std::string, tPropertyReader> m_Properties;
    std::map<std::string, tControlReader> m_Controls;
};

} // namespace velmora::gui
