#pragma once
// What every fuzz target shares: a scratch folder that is the process file
// system's root, a memory file over the input, and a log that stays quiet.
// Each target defines LLVMFuzzerTestOneInput; the clang build links it with
// libFuzzer, the ordinary build with FuzzMain.cpp, which runs given files.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/filesystem/IFile.h"
#include "engine/filesystem/cCommonFileSystem.h"
#include "sound/ISoundEngine.h"

namespace velmora::fuzz {

// Largest input the targets look at; longer ones are cut (keeps every run short).
constexpr std::size_t kMaxInput = 1 << 20;

// A fresh folder below the temporary folder, removed at destruction, that is the root of a platform file
// system registered as the process file system while this object lives. Sends the engine log (standard
// output) to /dev/null unless VELMORA_FUZZ_LOG is set; VELMORA_FUZZ_KEEP keeps the folder (to look at what a
// target wrote).
class cFuzzFolder {
public:
    cFuzzFolder();
    ~cFuzzFolder();
    cFuzzFolder(const cFuzzFolder&) = delete;
    cFuzzFolder& operator=(const cFuzzFolder&) = delete;

    // The folder, ending in '/'.
    const std::string& Path() const { return m_Path; }
    cCommonFileSystem& Files();
    // Writes a file below the folder (creating sub-folders), at most kMaxInput bytes; the full path.
    std::string Write(const std::string& name, const void* data, std::size_t size) const;
    std::string Write(const std::string& name, const std::string& text) const {
        return Write(name, text.data(), text.size());
    }
    // Removes a file below the folder.
    void Remove(const std::string& name) const;

private:
    std::string m_Path;
    cCommonFileSystem* m_FileSystem = nullptr;
};

// The process's one scratch folder (made on first use).
cFuzzFolder& Folder();

// A memory file over the input (the bytes are not copied); released at destruction.
class cInputFile {
public:
    cInputFile(const std::uint8_t* data, std::size_t size);
    ~cInputFile();
    cInputFile(const cInputFile&) = delete;
    cInputFile& operator=(const cInputFile&) = delete;
    IFile* Get() const { return m_File; }

private:
    IFile* m_File = nullptr;
};

// A sound engine without a device that makes no sources: every sound the data asks for stays silent.
class cSilentSoundEngine : public sound::ISoundEngine {
public:
    void Release() override {}
    sound::ISoundSource* CreateSource(const std::string&, int) override { return nullptr; }
    void SetVolume(float) override {}
    void SetPitch(float) override {}
    void SetListenerPosition(const cVector3& position) override { m_Listener = position; }
    float GetVolume() const override { return 1.0f; }
    float GetPitch() const override { return 1.0f; }
    const cVector3& GetListenerPosition() const override { return m_Listener; }
    void Update() override {}
    void SetListenerOrientation(const cVector3&, const cVector3&) override {}

private:
    cVector3 m_Listener;
};

} // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
