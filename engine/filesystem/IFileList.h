#pragma once
// The result of a folder listing: bare or folder-relative names of files and
// folders in the order they were found. Released by the caller with Release.

#include <string>
#include <vector>

namespace velmora {

class IFileList {
public:
    // Frees both name lists.
    virtual ~IFileList() = default;
    // Deletes the object.
    virtual void Release() = 0;
    // The names of the files that passed the filter.
    virtual const std::vector<std::string>& GetFiles() const = 0;
    // The names of the folders (never filtered, no trailing '/').
    virtual const std::vector<std::string>& GetFolders() const = 0;
};

} // namespace velmora
