#pragma once
// A file on disk, read and written through a C-library stream.

#include <cstdio>

#include "engine/filesystem/IFile.h"

namespace velmora {

class cHDDFile : public IFile {
public:
    cHDDFile() = default;
    ~cHDDFile() override;
    cHDDFile(const cHDDFile&) = delete;
    cHDDFile& operator=(const cHDDFile&) = delete;

    // Opens path with a C-library mode, measures the size and stores the path; throws cException on failure.
    // Folders are refused.
    void Open(const char* path, const char* mode);
    // Closes the stream; nothing when closed.
    void Close();

    // True when path names something the C library opens for "rb" that is not a folder.
    static bool CanOpenForReading(const char* path);

    void Release() override;
    const std::string& GetName() const override { return m_Name; }
    std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
    std::int32_t Read(void* buffer, std::int32_t size, std::int32_t count) override;
    std::int32_t ReadString(std::string& out) override;
    std::int32_t Write(const void* buffer, std::int32_t size, std::int32_t count) override;
    std::int32_t WriteString(const std::string& text) override;
    std::int32_t Printf(const char* format, ...) override;
    std::int32_t Print(const char* text) override;
    std::int32_t ReadInt() override;
    std::uint16_t ReadShort() override;
    std::int32_t Tell() override;
    bool IsOpen() const override { return m_File != nullptr; }
    std::int32_t GetSize() const override { return m_Size; }
    std::int32_t Flush() override;
    void* GetHandle() const override { return m_File; }
    std::uint8_t* ReadAll() override;

private:
    std::FILE* m_File = nullptr;
    std::int32_t m_Size = 0;
    std::string m_Name;
};

} // namespace velmora
