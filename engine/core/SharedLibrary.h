#pragma once
// Libraries loaded at run time, their entry points looked up by name (the
// sound engine's OpenAL). The platform's system folder (engine/posix,
// engine/win32) supplies OpenSharedLibrary.

namespace velmora {

class ISharedLibrary {
public:
    // Unloads the library; pointers found through it are invalid afterwards.
    virtual ~ISharedLibrary() = default;
    // Deletes the object (and so unloads the library).
    virtual void Release() = 0;
    // The address of the named entry point, or null when the library has none of that name.
    virtual void* FindSymbol(const char* name) = 0;
};

// Loads a library by path or bare file name (a bare name is searched for by the platform's rules). Null when it
// cannot be loaded; nothing is logged and no system error dialog is shown.
ISharedLibrary* OpenSharedLibrary(const char* name);

} // namespace velmora
