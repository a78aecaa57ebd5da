#pragma once
// Helpers for the tests of shaders, buffers, materials and render targets:
// shader files in a scratch folder that is the process file system's root,
// the checked-in test data, reading the PNG references back, and a capture of
// what the engine logs.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/filesystem/IFileSystem.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "video/VideoTestSupport.h"

namespace vtest {

// tests/video/data in the source tree.
std::string DataDir();

// Reads an 8-bit RGBA PNG (as WritePNG writes them) into an image, bottom row first.
bool ReadPNG(const std::string& path, sImage& out);

// Each channel within 1 of the wanted colour.
::testing::AssertionResult Near(const std::uint8_t* got, int r, int g, int b, int a = 255);
inline ::testing::AssertionResult Near(const std::array<std::uint8_t, 4>& got, int r, int g, int b, int a = 255) {
    return Near(got.data(), r, g, b, a);
}

// What the action writes to standard output (where the engine logs).
std::string Captured(const std::function<void()>& action);

// A fresh folder registered as the process file system's root while the object lives.
class cScratchFiles {
public:
    cScratchFiles();
    ~cScratchFiles();
    cScratchFiles(const cScratchFiles&) = delete;
    cScratchFiles& operator=(const cScratchFiles&) = delete;

    // Writes a file below the root (folders are made as needed).
    void Write(const std::string& name, const std::string& text) const;
    // Copies tests/video/data/<name> to the same name below the root.
    void Install(const std::string& name) const;
    const std::string& Root() const { return m_Root; }

private:
    std::string m_Root;
    velmora::cPlatformFileSystem m_FileSystem;
    velmora::IFileSystem* m_Previous = nullptr;
};

} // namespace vtest
