// Shared libraries on Windows: LoadLibraryExW (UTF-8 names widened) and GetProcAddress.
#include "engine/win32/Win32Api.h"

#include <new>

#include "engine/core/SharedLibrary.h"
#include "engine/win32/Win32Text.h"

namespace velmora {

namespace {

class cWin32SharedLibrary : public ISharedLibrary {
public:
    explicit cWin32SharedLibrary(HMODULE module) : m_Module(module) {}
    ~cWin32SharedLibrary() override { ::FreeLibrary(m_Module); }
    void Release() override { delete this; }
    void* FindSymbol(const char* name) override {
        return name ? reinterpret_cast<void*>(::GetProcAddress(m_Module, name)) : nullptr;
    }

private:
    HMODULE m_Module;
};

} // namespace

ISharedLibrary* OpenSharedLibrary(const char* name) {
    if (!name || name[0] == '\0') {
        return nullptr;
    }
    // A missing library is an answer here, not something to ask the user about.
    DWORD previousMode = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE module = ::LoadLibraryExW(win32::Widen(name).c_str(), nullptr, 0);
    ::SetThreadErrorMode(previousMode, nullptr);
    if (!module) {
        return nullptr;
    }
    ISharedLibrary* library = new (std::nothrow) cWin32SharedLibrary(module);
    if (!library) {
        ::FreeLibrary(module);
    }
    return library;
}

} // namespace velmora
