// The executable's string resources on Windows: the STRINGTABLE of
// brevonne3d.rc, loaded from the program's own module.
#include "app/Resources.h"

#include <map>
#include <string>

#include "engine/win32/Win32Text.h"

// Last: <windows.h> defines macros that clash with the engine's names.
#include "engine/win32/Win32Api.h"

namespace brevonne {

const char* LoadStringResource(int id) {
    // Loaded once; the texts live as long as the process.
    static std::map<int, std::string> loaded;
    const auto found = loaded.find(id);
    if (found != loaded.end()) {
        return found->second.c_str();
    }
    wchar_t buffer[256] = {};
    const int length = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), buffer, 256);
    if (length <= 0) {
        return nullptr;
    }
    return loaded.emplace(id, velmora::win32::Narrow(std::wstring(buffer, static_cast<std::size_t>(length))))
        .first->second.c_str();
}

} // namespace brevonne
