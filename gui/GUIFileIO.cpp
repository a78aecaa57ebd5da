#include "gui/GUIFileIO.h"

#include <cmath>
#include <cstring>

#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/IFile.h"
#include "engine/filesystem/cHDDFile.h"

namespace velmora::gui {

namespace {

void ReadExact(IFile* file, void* out, std::int32_t size, const char* who) {
    if (!file || file->Read(out, 1, size) != size) {
        RaiseError("%s : unexpected end of file", who);
    }
}

void WriteExact(IFile* file, const void* data, std::int32_t size) {
    if (!file || file->Write(data, 1, size) != size) {
        RaiseError("cGUIManager::SaveGUI : failed to write %d bytes", size);
    }
}

} // namespace

std::int32_t ReadInt32(IFile* file, const char* who) {
    std::uint8_t b[4];
    ReadExact(file, b, 4, who);
    const std::uint32_t v = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                            static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    std::int32_t value = 0;
    std::memcpy(&value, &v, 4);
    return value;
}

float ReadFloat(IFile* file, const char* who) {
    const std::int32_t bits = ReadInt32(file, who);
    float value = 0.0f;
    std::memcpy(&value, &bits, 4);
    if (!std::isfinite(value)) {
        RaiseError("%s : invalid number", who);
    }
    return value;
}

bool ReadBool(IFile* file, const char* who) {
    std::uint8_t b = 0;
    ReadExact(file, &b, 1, who);
    return b != 0;
}

std::string ReadText(IFile* file, const char* who) {
    const std::int32_t length = ReadInt32(file, who);
    if (length < 0 || length > kMaxFileString) {
        RaiseError("%s : invalid string length %d", who, length);
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    if (length > 0) ReadExact(file, text.data(), length, who);
    // Text stops at a zero byte, as strings read by files do.
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

std::int32_t ReadCount(IFile* file, const char* who, std::int32_t limit) {
    const std::int32_t count = ReadInt32(file, who);
    if (count < 0 || count > limit) {
        RaiseError("%s : invalid count %d", who, count);
    }
    return count;
}

IFile* OpenDialogFile(const char* path, const char* mode) {
    if (!path || !*path) return nullptr;
    if (IFileSystem* fs = GetProcessFileSystem()) {
        if (!mode) return fs->FileExists(path) ? fs->OpenFile(path) : nullptr;
        return fs->OpenFile(path, mode);
    }
    auto* file = new cHDDFile();
    try {
        file->Open(path, mode ? mode : "rb");
    } catch (const cException&) {
        file->Release();
        return nullptr;
    }
    return file;
}

void WriteInt32(IFile* file, std::int32_t value) {
    std::uint32_t v = 0;
    std::memcpy(&v, &value, 4);
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                               static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    WriteExact(file, b, 4);
}

void WriteFloat(IFile* file, float value) {
    std::int32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    WriteInt32(file, bits);
}

void WriteBool(IFile* file, bool value) {
    const std::uint8_t b = value ? 1 : 0;
    WriteExact(file, &b, 1);
}

void WriteText(IFile* file, const std::string& text) {
    const std::size_t length = text.size() > static_cast<std::size_t>(kMaxFileString) ? kMaxFileString : text.size();
    WriteInt32(file, static_cast<std::int32_t>(length));
    if (length > 0) WriteExact(file, text.data(), static_cast<std::int32_t>(length));
}

} // namespace velmora::gui
