// Shared libraries on POSIX systems: dlopen and dlsym.
#include <dlfcn.h>

#include <new>

#include "engine/core/SharedLibrary.h"

namespace velmora {

namespace {

class cPosixSharedLibrary : public ISharedLibrary {
public:
    explicit cPosixSharedLibrary(void* handle) : m_Handle(handle) {}
    ~cPosixSharedLibrary() override { dlclose(m_Handle); }
    void Release() override { delete this; }
    void* FindSymbol(const char* name) override { return name ? dlsym(m_Handle, name) : nullptr; }

private:
    void* m_Handle;
};

} // namespace

ISharedLibrary* OpenSharedLibrary(const char* name) {
    if (!name) {
        return nullptr;
    }
    void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        return nullptr;
    }
    ISharedLibrary* library = new (std::nothrow) cPosixSharedLibrary(handle);
    if (!library) {
        dlclose(handle);
    }
    return library;
}

} // namespace velmora
