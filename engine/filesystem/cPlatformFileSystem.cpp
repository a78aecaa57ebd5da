#include <new>

#include "engine/filesystem/FileSystemFactory.h"

namespace velmora {

cPlatformFileSystem::cPlatformFileSystem() : m_Impl(CreatePlatformFileSystem()) {
    if (!m_Impl) {
        throw std::bad_alloc();
    }
}

cPlatformFileSystem::~cPlatformFileSystem() { DestroyPlatformFileSystem(m_Impl); }

} // namespace velmora
