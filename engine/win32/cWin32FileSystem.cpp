#include "engine/win32/cWin32FileSystem.h"

#include "engine/win32/Win32Api.h"

#include <string>

#include "engine/core/Log.h"
#include "engine/win32/Win32Text.h"

namespace velmora {

namespace {

void CreateParents(const std::string& path) {
    for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        if (slash > 0) {
            ::CreateDirectoryW(win32::Widen(path.substr(0, slash)).c_str(), nullptr);
        }
    }
}

// An open handle on the file or folder itself (not what a link points to), for its identity; null when it
// cannot be opened.
HANDLE OpenForQuery(const std::wstring& path, bool followLinks) {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    HANDLE handle = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, flags, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

bool GetIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    HANDLE handle = OpenForQuery(path, true);
    if (!handle) {
        return false;
    }
    const bool ok = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    return ok;
}

bool IsFolderLink(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Copies from to to; on failure the thread's last error holds the reason.
bool CopyContents(const std::wstring& from, const std::wstring& to, bool noOverwrite) {
    const DWORD attributes = ::GetFileAttributesW(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // Copying a file onto itself (under another name, through a link or in another letter case) is refused
    // before the system is asked to open it for writing.
    BY_HANDLE_FILE_INFORMATION source = {};
    BY_HANDLE_FILE_INFORMATION target = {};
    if (GetIdentity(from, source) && GetIdentity(to, target) &&
        source.dwVolumeSerialNumber == target.dwVolumeSerialNumber &&
        source.nFileIndexHigh == target.nFileIndexHigh && source.nFileIndexLow == target.nFileIndexLow) {
        ::SetLastError(noOverwrite ? ERROR_FILE_EXISTS : ERROR_INVALID_PARAMETER);
        return false;
    }
    return ::CopyFileW(from.c_str(), to.c_str(), noOverwrite ? TRUE : FALSE) != 0;
}

std::int64_t Combine(DWORD high, DWORD low) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

} // namespace

bool cWin32FileSystem::CopyFile(const char* from, const char* to, std::uint32_t flags) {
    if (!from || !to) {
        LogWarning("cWin32FileSystem::CopyFile( %s, %s ) : %s\n", from ? from : "NULL", to ? to : "NULL",
                   win32::ErrorText(ERROR_INVALID_PARAMETER).c_str());
        return false;
    }
    if (flags & FS_CREATE_PATH) {
        CreateParents(to);
    }
    if (!CopyContents(win32::Widen(from), win32::Widen(to), (flags & FS_NO_OVERWRITE) != 0)) {
        LogWarning("cWin32FileSystem::CopyFile( %s, %s ) : %s\n", from, to, win32::LastErrorText().c_str());
        return false;
    }
    return true;
}

bool cWin32FileSystem::DeleteFile(const char* path) {
    if (path && IsFolderLink(win32::Widen(path))) {
        return ::RemoveDirectoryW(win32::Widen(path).c_str()) != 0;
    }
    return cCommonFileSystem::DeleteFile(path);
}

bool cWin32FileSystem::EraseFolder(const char* folder, std::uint32_t flags) {
    // An empty name would address the drive's root once a '/' is appended.
    if (!folder || folder[0] == '\0') {
        LogWarning("cWin32FileSystem::EraseFolder( %s ) : %s\n", folder ? folder : "NULL",
                   win32::ErrorText(ERROR_PATH_NOT_FOUND).c_str());
        return false;
    }
    if (flags & (FS_RECURSIVE | FS_ERASE_FILES)) {
        std::string base = folder;
        if (base.back() != '/') {
            base += "/";
        }
        std::vector<std::string> files;
        std::vector<std::string> folders;
        if (ReadFolder(base, files, folders)) {
            if (flags & FS_RECURSIVE) {
                for (const std::string& sub : folders) {
                    EraseFolder((base + sub).c_str(), flags);
                }
            }
            if (flags & FS_ERASE_FILES) {
                for (const std::string& file : files) {
                    DeleteFile((base + file).c_str());
                }
            }
        }
    }
    if (!::RemoveDirectoryW(win32::Widen(folder).c_str())) {
        LogWarning("cWin32FileSystem::EraseFolder( %s ) : %s\n", folder, win32::LastErrorText().c_str());
        return false;
    }
    return true;
}

bool cWin32FileSystem::CreateFolder(const char* folder, std::uint32_t flags) {
    if (!folder) {
        return false;
    }
    if (flags & FS_CREATE_PARENTS) {
        CreateParents(folder);
        return true;
    }
    return ::CreateDirectoryW(win32::Widen(folder).c_str(), nullptr) != 0;
}

bool cWin32FileSystem::ReadFolder(const std::string& folder, std::vector<std::string>& files,
                                  std::vector<std::string>& folders) {
    files.clear();
    folders.clear();
    std::string pattern = folder.empty() ? std::string(".") : folder;
    if (pattern.back() != '/' && pattern.back() != '\\') {
        pattern += "/";
    }
    pattern += "*";
    WIN32_FIND_DATAW entry = {};
    HANDLE search = ::FindFirstFileExW(win32::Widen(pattern).c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        // A folder without entries still lists (as empty); a missing or unreadable one does not.
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                              !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        (isFolder ? folders : files).push_back(win32::Narrow(name));
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return true;
}

bool cWin32FileSystem::GetFileStamp(const char* path, sFileStamp& stamp) {
    if (!path) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetIdentity(win32::Widen(path), info)) {
        return false;
    }
    stamp.device = info.dwVolumeSerialNumber;
    stamp.inode = static_cast<std::uint64_t>(Combine(info.nFileIndexHigh, info.nFileIndexLow));
    stamp.size = Combine(info.nFileSizeHigh, info.nFileSizeLow);
    // FILETIME counts 100-nanosecond steps.
    stamp.modified = Combine(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime) * 100;
    return true;
}

} // namespace velmora
