#pragma once
// A read-only entry of a ZIP archive. The archive stays open for the file's
// lifetime. Reading stops at the entry's stated size; when a read reaches the
// end, the data is checked against the stored CRC. Damage (bad CRC, data that
// ends early, read or inflate errors) is logged once as a warning, makes Read
// report a short count and ReadAll return null.

#include <minizip/unzip.h>

#include "engine/filesystem/IFile.h"
#include "engine/filesystem/cZipDirectory.h"

namespace velmora {

class cZipFile : public IFile {
public:
    cZipFile() = default;
    ~cZipFile() override;
    cZipFile(const cZipFile&) = delete;
    cZipFile& operator=(const cZipFile&) = delete;

    // Opens entry name of the archive (letter case ignored). hint, when given, is the entry as a cZipDirectory
    // of the same archive found it, which spares the search. Throws cException on failure.
    void Open(const char* archive, const char* name, const cZipDirectory::sEntry* hint = nullptr);
    // Closes the entry, then the archive; nothing when closed.
    void Close();
    // True once a read found the entry's data damaged.
    bool IsDamaged() const { return m_Damaged; }

    void Release() override;
    const std::string& GetName() const override { return m_Name; }
    // Only origin 1: skips offset bytes forward (nothing for offset <= 0); other origins throw cException.
    std::int32_t Seek(std::int32_t offset, std::int32_t origin) override;
    std::int32_t Read(void* buffer, std::int32_t size, std::int32_t count) override;
    std::int32_t ReadString(std::string& out) override;
    std::int32_t Write(const void* buffer, std::int32_t size, std::int32_t count) override;
    std::int32_t WriteString(const std::string& text) override;
    std::int32_t Printf(const char* format, ...) override;
    std::int32_t Print(const char* text) override;
    std::int32_t ReadInt() override;
    std::uint16_t ReadShort() override;
    std::int32_t Tell() override { return m_Archive ? m_Position : -1; }
    bool IsOpen() const override { return m_Archive != nullptr; }
    std::int32_t GetSize() const override;
    std::int32_t Flush() override;
    void* GetHandle() const override { return nullptr; }
    // The whole entry (read again from its start if the position has moved); the position is left at the end.
    std::uint8_t* ReadAll() override;

private:
    void Fail(const char* format, const char* a, const char* b);
    void RewindEntry();
    void FinishEntry();
    void ReportDamage(const char* format);

    unzFile m_Archive = nullptr;
    unz_file_info64 m_Info = {};
    std::string m_Name;        // stays empty: archive files have no disk name
    std::string m_ArchivePath; // for messages
    std::string m_EntryName;   // for messages
    std::int32_t m_Position = 0;
    bool m_EntryOpen = false;
    bool m_Damaged = false;
};

} // namespace velmora
