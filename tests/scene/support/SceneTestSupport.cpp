#include "scene/support/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/filesystem/FileSystemGlobals.h"
#include "engine/filesystem/FileSystemFactory.h"
#include "TestPlatform.h"

namespace velmora::scene::test {

namespace fs = std::filesystem;

cScratchFolder::cScratchFolder() {
    m_Path = velmora::test::MakeScratchFolder("velmora_scene_");
    if (m_Path.empty()) {
        ADD_FAILURE() << "cannot create a scratch folder";
    }
    m_FileSystem.reset(new cPlatformFileSystem());
    m_FileSystem->SetRootFolder(m_Path.c_str());
    SetProcessFileSystem(m_FileSystem.get());
}

cScratchFolder::~cScratchFolder() {
    SetProcessFileSystem(nullptr);
    std::error_code error;
    fs::remove_all(m_Path, error);
}

void cScratchFolder::Write(const std::string& name, const std::string& text) const {
    const fs::path path = fs::path(m_Path) / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string cScratchFolder::Read(const std::string& name) const {
    std::ifstream in(fs::path(m_Path) / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string cScratchFolder::ReadText(const std::string& name) const {
    std::ifstream in(fs::path(m_Path) / name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void cScratchFolder::MakeFolder(const std::string& name) const {
    fs::create_directories(fs::path(m_Path) / name);
}

bool cScratchFolder::Exists(const std::string& name) const { return fs::exists(fs::path(m_Path) / name); }

void cScratchFolder::CopyShippedShaders() const {
    // This file is tests/scene/support/ in the repository.
    const fs::path shaders = fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path() / "data" /
                             "shaders" / "common";
    for (const auto& entry : fs::directory_iterator(shaders)) {
        std::ifstream in(entry.path(), std::ios::binary);
        Write("data/shaders/common/" + entry.path().filename().string(),
              std::string(std::istreambuf_iterator<char>(in), {}));
    }
}

cLogCapture::cLogCapture() { testing::internal::CaptureStdout(); }

cLogCapture::~cLogCapture() { Text(); }

const std::string& cLogCapture::Text() {
    if (!m_Done) {
        m_Text = testing::internal::GetCapturedStdout();
        m_Done = true;
    }
    return m_Text;
}

std::string BuildFolder() {
    if (const char* bin = std::getenv("VELMORA_BINARY_DIR")) return std::string(bin) + "/";
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (error) return "build/";
    return self.parent_path().parent_path().string() + "/";
}

// ---- Sound ---------------------------------------------------------------------------------------

void cFakeSoundSource::Release() {
    if (--references == 0) {
        m_Engine.sources.erase(GetName());
        delete this;
    }
}

sound::ISoundSource* cFakeSoundSource::AddRef() {
    ++references;
    return this;
}

cFakeSoundEngine::~cFakeSoundEngine() {
    for (auto& entry : sources) {
        delete entry.second;
    }
}

sound::ISoundSource* cFakeSoundEngine::CreateSource(const std::string& name, int mode) {
    lastMode = mode;
    for (const std::string& m : missing) {
        if (m == name) {
            return nullptr;
        }
    }
    auto found = sources.find(name);
    if (found != sources.end()) {
        found->second->AddRef();
        return found->second;
    }
    auto* source = new cFakeSoundSource(*this, name);
    sources[name] = source;
    return source;
}

// ---- Entities ------------------------------------------------------------------------------------

IWater* cEntityFactory::CreateWater(const cColor& color, float density, float speed, float level) {
    auto* water = new cFakeWater(&live);
    water->SetColor(color);
    water->SetDensity(density);
    water->SetSpeed(speed);
    water->SetLevel(level);
    return water;
}

IRain* cEntityFactory::CreateRain(int count, float radius, float halfHeight, float halfWidth) {
    auto* rain = new cFakeRain(&live);
    rain->SetDropCount(count);
    rain->SetRadius(radius);
    rain->SetDropSize(halfWidth, halfHeight);
    return rain;
}

IBillboard* cEntityFactory::CreateBillboard() { return new cFakeBillboard(&live); }

ILensFlare* cEntityFactory::CreateLensFlare() { return new cFakeLensFlare(&live); }

ISky* cEntityFactory::CreateSkyBox() { return new cFakeSky(&live); }

// ---- Pipeline ------------------------------------------------------------------------------------

bool cRecordingPipeline::Init() {
    m_Log.push_back(m_Name + " init");
    m_Initialized = !failInit;
    return m_Initialized;
}

void cRecordingPipeline::Shutdown() {
    m_Log.push_back(m_Name + " shutdown");
    m_Initialized = false;
}

void cRecordingPipeline::Render(ISceneManager* scene, ICamera*) {
    m_Log.push_back(m_Name + " render");
    lastScene = scene;
}

} // namespace velmora::scene::test
