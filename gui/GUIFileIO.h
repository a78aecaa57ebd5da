#pragma once
// Checked reading and writing of the values ".bingui" records are made of
// (little-endian): 32-bit integers, floats, one-byte booleans and strings
// (32-bit length, then the characters). A short read, an impossible length
// or count, or a number that is not finite raises cException naming the
// reading operation: "<who> : unexpected end of file", "<who> : invalid
// string length %d", "<who> : invalid count %d", "<who> : invalid number".

#include <cstdint>
#include <string>

namespace velmora {
class IFile;
}

namespace velmora::gui {

// The longest string and the largest item count a dialog file may hold.
constexpr std::int32_t kMaxFileString = 65536;
constexpr std::int32_t kMaxFileCount = 65536;

std::int32_t ReadInt32(IFile* file, const char* who);
float ReadFloat(IFile* file, const char* who);
bool ReadBool(IFile* file, const char* who);
std::string ReadText(IFile* file, const char* who);
// A count 0..limit.
std::int32_t ReadCount(IFile* file, const char* who, std::int32_t limit = kMaxFileCount);

// Opens a dialog file: for reading (mode null) wherever the process file system finds it (loose files,
// then archives), for writing with the C-library mode below its root folder; without a file system, a disk
// file by path. Null when it cannot be opened (the file system may log why).
IFile* OpenDialogFile(const char* path, const char* mode);

void WriteInt32(IFile* file, std::int32_t value);
void WriteFloat(IFile* file, float value);
void WriteBool(IFile* file, bool value);
void WriteText(IFile* file, const std::string& text);

} // namespace velmora::gui
