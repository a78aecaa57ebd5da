#include "sound/openal/OpenALBinding.h"

#include "engine/core/SharedLibrary.h"

namespace velmora::sound {

namespace {

sOpenALBinding g_Binding;
ISharedLibrary* g_Library = nullptr;
int g_Users = 0;

void Clear() {
    g_Binding = sOpenALBinding();
    if (g_Library) {
        g_Library->Release();
        g_Library = nullptr;
    }
    g_Users = 0;
}

ISharedLibrary* OpenLibrary(const char* path) {
    if (path) {
        return OpenSharedLibrary(path);
    }
    for (const char* const* name = GetDefaultOpenALLibraries(); name && *name; ++name) {
        if (ISharedLibrary* library = OpenSharedLibrary(*name)) {
            return library;
        }
    }
    return nullptr;
}

} // namespace

bool LoadOpenAL(const char* path) {
    if (g_Library) {
        ++g_Users;
        return true;
    }
    g_Library = OpenLibrary(path);
    if (!g_Library) {
        return false;
    }
#define VELMORA_OPENAL_RESOLVE(name, type)                                                                      \
    g_Binding.name = reinterpret_cast<type>(g_Library->FindSymbol(#name));                                      \
    if (!g_Binding.name) {                                                                                      \
        Clear();                                                                                                \
        return false;                                                                                           \
    }
    VELMORA_OPENAL_ENTRY_POINTS(VELMORA_OPENAL_RESOLVE)
#undef VELMORA_OPENAL_RESOLVE
    g_Users = 1;
    return true;
}

void UnloadOpenAL() {
    if (g_Users > 1) {
        --g_Users;
        return;
    }
    Clear();
}

bool IsOpenALLoaded() { return g_Library != nullptr; }

const sOpenALBinding& GetOpenAL() { return g_Binding; }

} // namespace velmora::sound
