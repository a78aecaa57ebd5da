#pragma once
// A file view onto a caller's memory block. The block is neither copied nor
// freed, and writes never grow it.

#include "engine/filesystem/IFile.h"

namespace velmora {

class cMemoryFile : public IFile {
public:
    cMemoryFile() = default;
    ~cMemoryFile() override = default;
    cMemoryFile(const cMemoryFile&) = delete;
    cMemoryFile& operator=(const cMemoryFile&) = delete;

    // Views size bytes at data (a negative size counts as 0), position 0; throws cException for a null pointer.
    void Open(void* data, std::int32_t size);
    // Forgets the block.
    void Close();

    void Release() override;
    const std::string& GetName() const override { return m_Name; }
    // Origin 0: offset from the start; 1: from the position; 2: from the end. The result is clamped to 0..size.
    std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
    std::int32_t Read(void* buffer, std::int32_t size, std::int32_t count) override;
    std::int32_t ReadString(std::string& out) override;
    std::int32_t Write(const void* buffer, std::int32_t size, std::int32_t count) override;
    std::int32_t WriteString(const std::string& text) override;
    std::int32_t Printf(const char* format, ...) override;
    std::int32_t Print(const char* text) override;
    std::int32_t ReadInt() override;
    std::uint16_t ReadShort() override;
    std::int32_t Tell() override { return m_Data ? m_Position : -1; }
    bool IsOpen() const override { return m_Data != nullptr; }
    std::int32_t GetSize() const override { return m_Size; }
    std::int32_t Flush() override { return 0; }
    void* GetHandle() const override { return m_Data; }
    // A copy of the whole block regardless of the position.
    std::uint8_t* ReadAll() override;

private:
    std::uint8_t* m_Data = nullptr;
    std::int32_t m_Size = 0;
    std::int32_t m_Position = 0;
    std::string m_Name;
};

} // namespace velmora
