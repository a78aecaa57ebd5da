#pragma once
// The engine's one file system. Every file the engine reads or writes is
// opened here: loose files below the root folder, entries of the ZIP archives
// added to the archive list, disk files by path and views onto memory blocks.
//
// Paths use '/' as the separator; folders carry a trailing '/'.
// Open operations never throw: a failure is logged as a warning and reported
// as null. Operations 7 to 11, 14 and 15 use paths exactly as given; the
// root folder is applied by OpenFile (path, mode), OpenFile (name) and
// FileExists as described there.

#include <cstdint>
#include <string>

#include "engine/filesystem/IFile.h"
#include "engine/filesystem/IFileList.h"

namespace velmora {

// Flag bits of the folder operations.
constexpr std::uint32_t FS_CREATE_PATH = 0x02;    // CopyFile: create the destination's folders first
constexpr std::uint32_t FS_NO_OVERWRITE = 0x04;   // CopyFile: fail if the destination exists
constexpr std::uint32_t FS_RECURSIVE = 0x08;      // EraseFolder: erase sub-folders first, with the same flags
constexpr std::uint32_t FS_ERASE_FILES = 0x10;    // EraseFolder: delete the files inside first
constexpr std::uint32_t FS_CREATE_PARENTS = 0x20; // CreateFolder: create every folder along the path

class IFileSystem {
public:
    // Releases nothing the caller holds; open files stay valid.
    virtual ~IFileSystem() = default;
    // Stores the root folder, appending '/' to a non-empty folder that lacks it.
    virtual void SetRootFolder(const char* folder) = 0;
    // The stored root folder: empty or ending in '/'.
    virtual const std::string& GetRootFolder() const = 0;
    // A new memory file over the caller's block (not copied, not freed, never grown), position 0; null on failure.
    virtual IFile* OpenFile(void* data, std::int32_t size) = 0;
    // A new disk file opened with a C-library mode ("rb", "wb", ...); the root folder is put in front of a path
    // that does not contain it anywhere. Null on failure.
    virtual IFile* OpenFile(const char* path, const char* mode) = 0;
    // Opens a file for reading wherever it lies: root folder + name on disk first, then the archives in list
    // order (entry names compared without regard to letter case). Null and a warning when it is nowhere.
    virtual IFile* OpenFile(const char* name) = 0;
    // A new file for the named entry of the archive (letter case ignored); null on failure.
    virtual IFile* OpenCompressedFile(const char* archive, const char* name) = 0;
    // Copies a file (flags FS_CREATE_PATH, FS_NO_OVERWRITE); true on success.
    virtual bool CopyFile(const char* from, const char* to, std::uint32_t flags) = 0;
    // Renames a file or folder; true on success.
    virtual bool RenameFile(const char* from, const char* to) = 0;
    // Deletes a file; true on success.
    virtual bool DeleteFile(const char* path) = 0;
    // Removes a folder, first its files (FS_ERASE_FILES) and sub-folders (FS_RECURSIVE); true when the folder
    // itself was removed. Symbolic links inside are removed, never followed.
    virtual bool EraseFolder(const char* folder, std::uint32_t flags) = 0;
    // Creates the folder; with FS_CREATE_PARENTS every folder named before a '/' (then always true).
    virtual bool CreateFolder(const char* folder, std::uint32_t flags) = 0;
    // Adds an archive path to the search list (not opened here); false if that exact path is listed.
    virtual bool AddArchive(const char* archive, std::uint32_t value) = 0;
    // Removes an archive path from the search list; false if it is not listed.
    virtual bool RemoveArchive(const char* archive) = 0;
    // A new list of every file and folder below the folder, relative to it, files of a level before the
    // contents of its sub-folders. The filter ("*.ext", "*.*" or empty) applies to files only.
    virtual IFileList* ListFolderTree(const char* folder, const char* filter) = 0;
    // A new list of the folder's own files (filtered) and folders, as bare names.
    virtual IFileList* ListFolder(const char* folder, const char* filter) = 0;
    // True if OpenFile (name) would find the file; logs nothing.
    virtual bool FileExists(const char* name) = 0;
};

} // namespace velmora
