#include "engine/filesystem/cZipDirectory.h"

#include <minizip/unzip.h>

#include <algorithm>
#include <cstring>

#include "engine/filesystem/ZipArchiveAccess.h"

namespace velmora {

namespace {

char FoldChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

std::string cZipDirectory::FoldCase(const char* name) {
    std::string folded = name ? name : "";
    for (char& c : folded) {
        c = FoldChar(c);
    }
    return folded;
}

bool cZipDirectory::SameName(const char* a, const char* b) {
    if (!a || !b) {
        return false;
    }
    for (;; ++a, ++b) {
        if (FoldChar(*a) != FoldChar(*b)) {
            return false;
        }
        if (*a == '\0') {
            return true;
        }
    }
}

void cZipDirectory::Clear() {
    m_Entries.clear();
    m_Index.clear();
    m_Damaged = false;
}

bool cZipDirectory::Load(const char* archivePath) {
    Clear();
    if (!archivePath) {
        return false;
    }
    unzFile archive = OpenZipArchive(archivePath);
    if (!archive) {
        return false;
    }
    unz_global_info64 global = {};
    if (unzGetGlobalInfo64(archive, &global) != UNZ_OK) {
        unzClose(archive);
        return false;
    }
    if (global.number_entry == 0) {
        unzClose(archive);
        return true;
    }
    // Names are at most 65535 bytes long in the format.
    std::vector<char> name(65536 + 1);
    int result = unzGoToFirstFile(archive);
    while (result == UNZ_OK) {
        unz_file_info64 info = {};
        result = unzGetCurrentFileInfo64(archive, &info, name.data(), static_cast<uLong>(name.size() - 1), nullptr, 0,
                                         nullptr, 0);
        if (result != UNZ_OK) {
            break;
        }
        name[std::min<std::size_t>(info.size_filename, name.size() - 1)] = '\0';
        unz64_file_pos position = {};
        if (unzGetFilePos64(archive, &position) != UNZ_OK) {
            result = UNZ_INTERNALERROR;
            break;
        }
        sEntry entry;
        entry.name = name.data();
        entry.directoryOffset = position.pos_in_zip_directory;
        entry.fileNumber = position.num_of_file;
        entry.compressedSize = info.compressed_size;
        entry.uncompressedSize = info.uncompressed_size;
        entry.crc = static_cast<std::uint32_t>(info.crc);
        entry.method = static_cast<std::uint32_t>(info.compression_method);
        entry.flags = static_cast<std::uint32_t>(info.flag);
        const auto inserted = m_Index.emplace(FoldCase(entry.name.c_str()), m_Entries.size());
        entry.shadowed = !inserted.second;
        m_Entries.push_back(std::move(entry));
        result = unzGoToNextFile(archive);
    }
    m_Damaged = result != UNZ_END_OF_LIST_OF_FILE;
    unzClose(archive);
    return true;
}

const cZipDirectory::sEntry* cZipDirectory::Find(const char* name) const {
    if (!name) {
        return nullptr;
    }
    const auto found = m_Index.find(FoldCase(name));
    return found == m_Index.end() ? nullptr : &m_Entries[found->second];
}

} // namespace velmora
