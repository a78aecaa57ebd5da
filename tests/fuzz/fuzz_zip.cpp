// ZIP archives read through the file system: the archive is added to the search list, every entry its
// directory lists is opened by name (as the loaders do) and read in pieces, skipped over and read whole.
#include <vector>

#include "engine/filesystem/cCommonFileSystem.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    // Nothing lies on disk below the root, so every name is looked up in the archive.
    static cCommonFileSystem* files = [] {
        cCommonFileSystem* made = &fuzz::Folder().Files();
        made->SetRootFolder((fuzz::Folder().Path() + "root/").c_str());
        return made;
    }();
    const std::string archive = fuzz::Folder().Write("in.zip", data, size);
    files->AddArchive(archive.c_str(), 0);
    const cZipDirectory* directory = files->GetArchiveDirectory(archive);
    std::vector<std::string> names;
    if (directory) {
        for (const cZipDirectory::sEntry& entry : directory->GetEntries()) {
            if (names.size() < 16) names.push_back(entry.name);
        }
    }
    names.push_back("missing/entry.txt");
    std::vector<std::uint8_t> buffer(4096);
    for (const std::string& name : names) {
        if (IFile* file = files->OpenFile(name.c_str())) {
            file->Read(buffer.data(), 1, 7);
            file->Seek(100, SEEK_FROM_CURRENT);
            while (file->Read(buffer.data(), 1, static_cast<std::int32_t>(buffer.size())) > 0) {
            }
            delete[] file->ReadAll();
            file->Release();
        }
        if (IFile* file = files->OpenCompressedFile(archive.c_str(), name.c_str())) {
            std::string text;
            file->ReadString(text);
            file->ReadInt();
            delete[] file->ReadAll();
            file->Release();
        }
    }
    files->RemoveArchive(archive.c_str());
    return 0;
}
