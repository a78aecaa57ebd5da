// The generated pictures load through the engine's own image loaders (the
// build's loose data folder, as a "-path" run reads it).
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "engine/core/cException.h"
#include "engine/filesystem/cHDDFile.h"
#include "tools/generator/ArchivePacker.h"
#include "video/loaders/cDDSTexture2DLoader.h"
#include "video/loaders/cDDSTextureCubeLoader.h"
#include "video/loaders/cJPGTexture2DLoader.h"
#include "video/loaders/cTGATexture2DLoader.h"

namespace {

std::string BuildDir()
{
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR"))
        return std::string(bin) + "/";
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    std::string path = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string("build/tests/x");
    path = path.substr(0, path.rfind('/'));
    return path.substr(0, path.rfind('/')) + "/";
}

bool EndsWith(const std::string& s, const char* ext)
{
    std::string e(ext);
    return s.size() >= e.size() && s.compare(s.size() - e.size(), e.size(), e) == 0;
}

} // namespace

TEST(GeneratedData, EveryPictureLoadsThroughTheEngineLoaders)
{
    std::string root = BuildDir();
    std::vector<std::string> files = brevonne::ListDataFiles(root);
    if (files.empty())
        GTEST_SKIP() << "no generated data below " << root;
    velmora::video::cTGATexture2DLoader tga;
    velmora::video::cDDSTexture2DLoader dds;
    velmora::video::cJPGTexture2DLoader jpg;
    velmora::video::cDDSTextureCubeLoader cube;
    int loaded = 0;
    for (const std::string& name : files) {
        bool isCube = name.find("sky_cube") != std::string::npos;
        if (!EndsWith(name, ".tga") && !EndsWith(name, ".dds") && !EndsWith(name, ".jpg"))
            continue;
        velmora::cHDDFile* file = new velmora::cHDDFile();
        try {
            file->Open((root + name).c_str(), "rb");
            if (isCube) {
                velmora::video::sCubeImageData img;
                cube.LoadTextureCube(file, img);
                EXPECT_EQ(img.size, 128u) << name;
                for (const auto& f : img.faces)
                    EXPECT_FALSE(f.empty()) << name;
            } else {
                velmora::video::sImageData img;
                if (EndsWith(name, ".tga"))
                    tga.LoadTexture(file, img);
                else if (EndsWith(name, ".dds"))
                    dds.LoadTexture(file, img);
                else
                    jpg.LoadTexture(file, img);
                EXPECT_GT(img.width, 0u) << name;
                EXPECT_GT(img.height, 0u) << name;
                EXPECT_FALSE(img.pixels.empty()) << name;
                if (!EndsWith(name, ".dds")) {
                    EXPECT_EQ(img.pixels.size(), static_cast<std::size_t>(img.width) * img.height * img.bytesPerPixel) << name;
                }
            }
            ++loaded;
        } catch (const velmora::cException& e) {
            ADD_FAILURE() << name << ": " << e.GetText();
        }
        file->Release();
    }
    EXPECT_GE(loaded, 30);
}
