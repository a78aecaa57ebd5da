// GUI dialog text through the GUI manager.
#include "fuzz/GUIFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmora::fuzz::RunDialogFile(data, size, "in.gui");
    return 0;
}
