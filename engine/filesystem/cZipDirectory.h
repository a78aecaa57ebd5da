#pragma once
// The central directory of one ZIP archive, read once and kept in memory so
// that an entry is found by one hash lookup instead of a walk over every
// header. Names are matched without regard to ASCII letter case; when an
// archive holds the same name twice, the first entry wins.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora {

class cZipDirectory {
public:
    struct sEntry {
        std::string name;                   // as stored in the archive
        std::uint64_t directoryOffset = 0;  // where the entry's header lies in the central directory
        std::uint64_t fileNumber = 0;       // index of the entry in the central directory
        std::uint64_t compressedSize = 0;
        std::uint64_t uncompressedSize = 0; // as stated by the archive
        std::uint32_t crc = 0;
        std::uint32_t method = 0;           // 0 stored, 8 deflated
        std::uint32_t flags = 0;            // general purpose bits; bit 0: encrypted
        bool shadowed = false;              // an earlier entry has the same name (letter case ignored)
    };

    // Reads the central directory of the archive. False when the archive cannot be opened at all; a directory
    // that breaks off part-way keeps the entries before the damage and reports IsDamaged.
    bool Load(const char* archivePath);
    // Forgets every entry.
    void Clear();

    // Every entry in directory order.
    const std::vector<sEntry>& GetEntries() const { return m_Entries; }
    // The first entry named name regardless of letter case, or null.
    const sEntry* Find(const char* name) const;
    // True when the central directory could not be read to its end.
    bool IsDamaged() const { return m_Damaged; }

    // name with ASCII letters in lower case.
    static std::string FoldCase(const char* name);
    // True when both names are equal regardless of ASCII letter case.
    static bool SameName(const char* a, const char* b);

private:
    std::vector<sEntry> m_Entries;
    std::unordered_map<std::string, std::size_t> m_Index;
    bool m_Damaged = false;
};

} // namespace velmora
