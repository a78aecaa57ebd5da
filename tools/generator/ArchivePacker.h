#pragma once
// Packing of the data tree: a ZIP archive (minizip's writer) whose entries are
// named below "data/", and the self-contained executable: the bare program,
// then the archive, then the 16-byte trailer (two reserved words, the
// archive's offset, 0xDEADBEEF).

#include <cstdint>
#include <string>
#include <vector>

namespace brevonne {

constexpr std::uint32_t kArchiveMagic = 0xDEADBEEFu;

// Every file below root + "data/", as names relative to root ("data/..."), sorted byte-wise.
std::vector<std::string> ListDataFiles(const std::string& root);
// Writes the ZIP of those files to zipPath with fixed time stamps, so equal trees give equal bytes.
bool PackDataTree(const std::string& root, const std::string& zipPath, std::string& error);
// Copies the bare executable, appends the archive and the trailer, and marks the result executable.
bool AppendArchive(const std::string& exePath, const std::string& zipPath, const std::string& outPath, std::string& error);
// The trailer for an archive starting at offset.
std::vector<std::uint8_t> MakeTrailer(std::uint32_t archiveOffset);

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out);

} // namespace brevonne
