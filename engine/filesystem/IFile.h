#pragma once
// One open file behind one interface: a disk file (cHDDFile), a read-only
// entry of a ZIP archive (cZipFile) or a view onto a caller's memory block
// (cMemoryFile). Files are created by the file system (IFileSystem) and
// destroyed with Release, never with delete.
//
// Counts and positions are signed 32-bit. Read and Write return the number of
// BYTES transferred whatever the item size, for every kind of file, so a
// loader behaves the same whether its file lies on disk or in an archive; a
// short count means the end of the data (or damage) was reached.
// Every operation on a closed file does nothing and returns 0 (reads,
// writes), -1 (Tell, ReadInt), 0xFFFF (ReadShort) or null (ReadAll).

#include <cstdint>
#include <string>
#include "engine/core/PrintfFormat.h"

namespace velmora {

// Seek origins.
constexpr std::int32_t SEEK_FROM_START = 0;
constexpr std::int32_t SEEK_FROM_CURRENT = 1;
constexpr std::int32_t SEEK_FROM_END = 2;

class IFile {
public:
    // Closes the stream or the archive if still open.
    virtual ~IFile() = default;
    // Deletes the object.
    virtual void Release() = 0;
    // The path a disk file was opened with; empty for archive and memory files.
    virtual const std::string& GetName() const = 0;
    // Moves the position by offset from origin (0 start, 1 current, 2 end); 0 on success, -1 on failure.
    // Archive files only skip forward from the current position and throw cException for other origins.
    virtual std::int32_t Seek(std::int32_t offset, std::int32_t origin) = 0;
    // Reads up to size * count bytes into buffer; returns the bytes read (short at the end of the data).
    virtual std::int32_t Read(void* buffer, std::int32_t size, std::int32_t count) = 0;
    // Reads a 32-bit length and that many bytes; out gets the text up to the first zero byte; returns the bytes read.
    virtual std::int32_t ReadString(std::string& out) = 0;
    // Writes size * count bytes; returns the bytes written (0 for archive files, which are read only).
    virtual std::int32_t Write(const void* buffer, std::int32_t size, std::int32_t count) = 0;
    // Writes the 32-bit length and the characters without terminator; returns the bytes written.
    virtual std::int32_t WriteString(const std::string& text) = 0;
    // Formats into 4096 bytes (truncating) and writes the text; memory files also write the terminating zero.
    virtual std::int32_t Printf(const char* format, ...)
#if defined(__GNUC__)
        VELMORA_PRINTF_FORMAT(2, 3)
#endif
        = 0;
    // Writes the characters; memory files also write the terminating zero.
    virtual std::int32_t Print(const char* text) = 0;
    // The next 32-bit little-endian integer; -1 when closed or fewer than 4 bytes remain.
    virtual std::int32_t ReadInt() = 0;
    // The next 16-bit little-endian value; 0xFFFF when closed or fewer than 2 bytes remain.
    virtual std::uint16_t ReadShort() = 0;
    // The current position; -1 when closed.
    virtual std::int32_t Tell() = 0;
    // True while the file holds its stream, archive or memory block.
    virtual bool IsOpen() const = 0;
    // The size in bytes (disk files: as measured when opened; closed archive files: 0).
    virtual std::int32_t GetSize() const = 0;
    // Flushes buffered writes; 0 on success.
    virtual std::int32_t Flush() = 0;
    // The C stream of a disk file, the data pointer of a memory file, null for an archive file.
    virtual void* GetHandle() const = 0;
    // The whole contents in a new buffer of GetSize() + 1 bytes, the last one zero, released by the caller
    // with delete[]; null when closed, when memory runs out or when fewer than GetSize() bytes could be read.
    // Disk files keep their position; archive files are left at their end.
    virtual std::uint8_t* ReadAll() = 0;
};

} // namespace velmora
