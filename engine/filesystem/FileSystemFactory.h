#pragma once
// The platform's file system (cPosixFileSystem or cWin32FileSystem). Exactly
// one file per platform folder (engine/posix, engine/win32) defines the two
// factory functions; everything else names only the interfaces.

#include <cstdint>
#include <map>
#include <string>

#include "engine/filesystem/cCommonFileSystem.h"

namespace velmora {

// A new platform file system, owned by the caller; null when it cannot be allocated.
cCommonFileSystem* CreatePlatformFileSystem();
// Deletes a file system made by CreatePlatformFileSystem (null is ignored).
void DestroyPlatformFileSystem(IFileSystem* fileSystem);

// A platform file system held by value, for tools and tests that keep one for a scope: it makes one with
// CreatePlatformFileSystem (std::bad_alloc when that fails), hands every operation to it and destroys it.
class cPlatformFileSystem final : public IFileSystem {
public:
    cPlatformFileSystem();
    ~cPlatformFileSystem() override;
    cPlatformFileSystem(const cPlatformFileSystem&) = delete;
    cPlatformFileSystem& operator=(const cPlatformFileSystem&) = delete;

    void SetRootFolder(const char* folder) override { m_Impl->SetRootFolder(folder); }
    const std::string& GetRootFolder() const override { return m_Impl->GetRootFolder(); }
    IFile* OpenFile(void* data, std::int32_t size) override { return m_Impl->OpenFile(data, size); }
    IFile* OpenFile(const char* path, const char* mode) override { return m_Impl->OpenFile(path, mode); }
    IFile* OpenFile(const char* name) override { return m_Impl->OpenFile(name); }
    IFile* OpenCompressedFile(const char* archive, const char* name) override {
        return m_Impl->OpenCompressedFile(archive, name);
    }
    bool CopyFile(const char* from, const char* to, std::uint32_t flags) override {
        return m_Impl->CopyFile(from, to, flags);
    }
    bool RenameFile(const char* from, const char* to) override { return m_Impl->RenameFile(from, to); }
    bool DeleteFile(const char* path) override { return m_Impl->DeleteFile(path); }
    bool EraseFolder(const char* folder, std::uint32_t flags) override { return m_Impl->EraseFolder(folder, flags); }
    bool CreateFolder(const char* folder, std::uint32_t flags) override {
        return m_Impl->CreateFolder(folder, flags);
    }
    bool AddArchive(const char* archive, std::uint32_t value) override { return m_Impl->AddArchive(archive, value); }
    bool RemoveArchive(const char* archive) override { return m_Impl->RemoveArchive(archive); }
    IFileList* ListFolderTree(const char* folder, const char* filter) override {
        return m_Impl->ListFolderTree(folder, filter);
    }
    IFileList* ListFolder(const char* folder, const char* filter) override {
        return m_Impl->ListFolder(folder, filter);
    }
    bool FileExists(const char* name) override { return m_Impl->FileExists(name); }

    // The archive list, as cCommonFileSystem::GetArchives.
    const std::map<std::string, std::uint32_t>& GetArchives() const { return m_Impl->GetArchives(); }

private:
    cCommonFileSystem* m_Impl;
};

} // namespace velmora
