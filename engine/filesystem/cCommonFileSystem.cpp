#include "engine/filesystem/cCommonFileSystem.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/DiskFiles.h"
#include "engine/filesystem/cCommonFileList.h"
#include "engine/filesystem/cHDDFile.h"
#include "engine/filesystem/cMemoryFile.h"
#include "engine/filesystem/cZipFile.h"

namespace velmora {

void cCommonFileSystem::SetRootFolder(const char* folder) {
    m_RootFolder = folder ? folder : "";
    if (!m_RootFolder.empty() && m_RootFolder.back() != '/') {
        m_RootFolder += "/";
    }
}

IFile* cCommonFileSystem::OpenFile(void* data, std::int32_t size) {
    cMemoryFile* file = new (std::nothrow) cMemoryFile();
    if (!file) {
        LogWarning("cCommonFileSystem::OpenFile : failed to allocate memory\n");
        return nullptr;
    }
    try {
        file->Open(data, size);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        file->Release();
        return nullptr;
    }
    return file;
}

IFile* cCommonFileSystem::OpenFile(const char* path, const char* mode) {
    cHDDFile* file = new (std::nothrow) cHDDFile();
    if (!file) {
        LogWarning("cCommonFileSystem::OpenFile : failed to allocate memory\n");
        return nullptr;
    }
    std::string fullPath;
    if (path) {
        fullPath = path;
        if (fullPath.find(m_RootFolder) == std::string::npos) {
            fullPath = m_RootFolder + fullPath;
        }
    }
    try {
        file->Open(path ? fullPath.c_str() : nullptr, mode);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        file->Release();
        return nullptr;
    }
    return file;
}

IFile* cCommonFileSystem::OpenFile(const char* name) {
    if (!name) {
        LogWarning("cCommonFileSystem::OpenFile : invalid file name( NULL )\n");
        return nullptr;
    }
    const std::string candidate = m_RootFolder + name;
    if (cHDDFile::CanOpenForReading(candidate.c_str())) {
        return OpenFile(candidate.c_str(), "rb");
    }
    for (const auto& archive : m_Archives) {
        LogMessage("Searching for '%s' in archive '%s'...\n", name, archive.first.c_str());
        const cZipDirectory* directory = GetArchiveDirectory(archive.first);
        if (!directory) {
            continue;
        }
        if (const cZipDirectory::sEntry* entry = directory->Find(name)) {
            return OpenArchiveEntry(archive.first.c_str(), name, entry);
        }
    }
    LogWarning("cCommonFileSystem::OpenFile : file '%s' not found\n", candidate.c_str());
    return nullptr;
}

IFile* cCommonFileSystem::OpenCompressedFile(const char* archive, const char* name) {
    const cZipDirectory::sEntry* hint = nullptr;
    if (archive && name) {
        if (const cZipDirectory* directory = GetArchiveDirectory(archive)) {
            hint = directory->Find(name);
        }
    }
    return OpenArchiveEntry(archive, name, hint);
}

IFile* cCommonFileSystem::OpenArchiveEntry(const char* archive, const char* name,
                                           const cZipDirectory::sEntry* hint) {
    cZipFile* file = new (std::nothrow) cZipFile();
    if (!file) {
        LogWarning("cCommonFileSystem::OpenCompressedFile : failed to allocate memory\n");
        return nullptr;
    }
    try {
        file->Open(archive, name, hint);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        file->Release();
        return nullptr;
    }
    return file;
}

const cZipDirectory* cCommonFileSystem::GetArchiveDirectory(const std::string& archive) {
    sFileStamp stamp;
    if (!GetFileStamp(archive.c_str(), stamp)) {
        m_Directories.erase(archive);
        return nullptr;
    }
    auto found = m_Directories.find(archive);
    if (found != m_Directories.end() && found->second.stamp == stamp) {
        return found->second.readable ? &found->second.directory : nullptr;
    }
    sCachedDirectory& cached = m_Directories[archive];
    cached.stamp = stamp;
    cached.readable = cached.directory.Load(archive.c_str());
    // Reported once per state of the archive file, not on every lookup.
    if (!cached.readable) {
        LogWarning("cCommonFileSystem::GetArchiveDirectory : failed to open archive '%s'\n", archive.c_str());
        return nullptr;
    }
    if (cached.directory.IsDamaged()) {
        LogWarning("cCommonFileSystem::GetArchiveDirectory : archive '%s' is damaged, only %d entries are readable\n",
                   archive.c_str(), static_cast<int>(cached.directory.GetEntries().size()));
    }
    return &cached.directory;
}

bool cCommonFileSystem::RenameFile(const char* from, const char* to) {
    if (!from || !to) {
        return false;
    }
    return RenameDiskFile(from, to) == 0;
}

bool cCommonFileSystem::DeleteFile(const char* path) {
    if (!path) {
        return false;
    }
    return RemoveDiskFile(path) != -1;
}

bool cCommonFileSystem::AddArchive(const char* archive, std::uint32_t value) {
    if (!archive) {
        return false;
    }
    return m_Archives.emplace(archive, value).second;
}

bool cCommonFileSystem::RemoveArchive(const char* archive) {
    if (!archive || m_Archives.erase(archive) == 0) {
        return false;
    }
    m_Directories.erase(archive);
    return true;
}

bool cCommonFileSystem::PassesFilter(const std::string& name, const char* filter) {
    if (!filter || filter[0] == '\0' || std::strcmp(filter, "*.*") == 0) {
        return true;
    }
    const std::size_t suffixLength = std::strlen(filter + 1);
    return name.size() >= suffixLength &&
           name.compare(name.size() - suffixLength, suffixLength, filter + 1) == 0;
}

IFileList* cCommonFileSystem::ListFolder(const char* folder, const char* filter) {
    cCommonFileList* list = new (std::nothrow) cCommonFileList();
    if (!list) {
        LogWarning("cCommonFileSystem::ListFolder : failed to allocate memory\n");
        return nullptr;
    }
    std::vector<std::string> files;
    if (folder && ReadFolder(folder, files, list->Folders())) {
        for (std::string& file : files) {
            if (PassesFilter(file, filter)) {
                list->Files().push_back(std::move(file));
            }
        }
    } else {
        list->Folders().clear();
    }
    return list;
}

IFileList* cCommonFileSystem::ListFolderTree(const char* folder, const char* filter) {
    cCommonFileList* list = new (std::nothrow) cCommonFileList();
    if (!list) {
        LogWarning("cCommonFileSystem::ListFolderTree : failed to allocate memory\n");
        return nullptr;
    }
    if (folder) {
        std::string start = folder;
        if (!start.empty() && start.back() != '/') {
            start += "/";
        }
        ListTree(start, "", filter, list->Files(), list->Folders());
    }
    return list;
}

void cCommonFileSystem::ListTree(const std::string& folder, const std::string& prefix, const char* filter,
                                 std::vector<std::string>& files, std::vector<std::string>& folders) {
    std::vector<std::string> levelFiles;
    std::vector<std::string> levelFolders;
    if (!ReadFolder(folder, levelFiles, levelFolders)) {
        return;
    }
    for (const std::string& file : levelFiles) {
        if (PassesFilter(file, filter)) {
            files.push_back(prefix + file);
        }
    }
    for (const std::string& sub : levelFolders) {
        folders.push_back(prefix + sub);
        ListTree(folder + sub + "/", prefix + sub + "/", filter, files, folders);
    }
}

bool cCommonFileSystem::FileExists(const char* name) {
    if (!name) {
        return false;
    }
    if (cHDDFile::CanOpenForReading((m_RootFolder + name).c_str())) {
        return true;
    }
    for (const auto& archive : m_Archives) {
        const cZipDirectory* directory = GetArchiveDirectory(archive.first);
        if (directory && directory->Find(name)) {
            return true;
        }
    }
    return false;
}

} // namespace velmora
