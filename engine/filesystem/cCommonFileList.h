#pragma once
// The file list handed out by the folder listings.

#include "engine/filesystem/IFileList.h"

namespace velmora {

class cCommonFileList : public IFileList {
public:
    void Release() override;
    const std::vector<std::string>& GetFiles() const override { return m_Files; }
    const std::vector<std::string>& GetFolders() const override { return m_Folders; }

    // The lists being filled.
    std::vector<std::string>& Files() { return m_Files; }
    std::vector<std::string>& Folders() { return m_Folders; }

private:
    std::vector<std::string> m_Files;
    std::vector<std::string> m_Folders;
};

} // namespace velmora
