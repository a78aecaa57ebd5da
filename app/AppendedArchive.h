#pragma once
// The data archive appended to the screensaver executable:
//
//   [executable image][ZIP archive][reserved 32-bit][reserved 32-bit][archive offset 32-bit][0xDEADBEEF]
//
// all little-endian. The archive (with the 12 trailer bytes before the magic,
// which a ZIP reader takes as trailing bytes) is copied to ".pk.NUMBER" in the
// per-user archive folder and added to the file system's archive list. NUMBER
// is the process's own, so that screensavers running side by side (one per
// monitor, the settings preview beside a full run) each read their own copy,
// which none of the others replaces or deletes.

#include <cstdint>
#include <functional>
#include <string>

namespace velmora {
class IFile;
class IFileSystem;
}

namespace brevonne {

constexpr std::uint32_t kArchiveMagic = 0xDEADBEEFu;
constexpr int kTrailerSize = 16;

// Where the appended archive lies in an executable.
struct sAppendedArchive {
    bool found = false;         // the magic ends the file
    std::uint32_t offset = 0;   // file position where the archive begins
    std::int32_t copySize = 0;  // bytes from the offset up to, not including, the magic
};

// Reads the trailer of an open executable. No magic at the end gives found = false. An offset
// that leaves no room for a ZIP end record before the trailer, or that does not point at a ZIP
// signature, raises "cScreensaver::ExtractData : damaged archive offset %u in '%s'".
sAppendedArchive FindAppendedArchive(velmora::IFile& exe, const std::string& exePath);

// The name of the copy a process makes: folder + "/.pk." + processNumber.
std::string GetArchiveCopyPath(const std::string& folder, unsigned long processNumber);

// Copies the archive appended to exePath into GetArchiveCopyPath (folder, processNumber) and adds
// that path to the file system's archive list; returns the path, or an empty string when the
// executable carries no archive (nothing is written then). The copy is written under a temporary
// name and renamed into place, so a reader never sees half an archive. Raises cException naming cScreensaver::ExtractData when the executable cannot be
// opened or read, the trailer is damaged, or ".pk" cannot be written (with the system's reason).
std::string ExtractAppendedArchive(velmora::IFileSystem& fs, const std::string& exePath, const std::string& folder,
                                   unsigned long processNumber);

// Deletes the copies (and half-written temporary copies) that processes no longer running left in
// the folder, as one ended by SIGKILL does; isRunning tells whether a process number still runs.
// Returns how many files were deleted.
int RemoveStaleArchiveCopies(velmora::IFileSystem& fs, const std::string& folder, unsigned long processNumber,
                             const std::function<bool(unsigned long)>& isRunning);

} // namespace brevonne
