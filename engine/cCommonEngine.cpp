#include "engine/cCommonEngine.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <new>

#include "engine/cCommonInput.h"
#include "engine/core/EngineGlobals.h"
#include "engine/core/Log.h"
#include "engine/core/Version.h"
#include "engine/core/cException.h"
#include "engine/core/cLog.h"
#include "engine/filesystem/IFileSystem.h"
#include "engine/filesystem/cHDDFile.h"
#include "engine/filesystem/cMemoryFile.h"
#include "engine/parser/cConfig.h"
#include "gui/IGUIManager.h"
#include "scene/cSceneManager.h"
#include "script/IScriptEnv.h"
#include "sound/ISoundEngine.h"
#include "video/IRenderer.h"

namespace velmora {

cCommonEngine::cCommonEngine() : m_SceneManager(std::make_unique<scene::cSceneManager>()) {}

cCommonEngine::~cCommonEngine() { DestroyServices(); }

void cCommonEngine::DestroyServices() {
    if (m_SceneManager) {
        m_SceneManager->Clear();
    }
    if (m_GUIManager) {
        m_GUIManager->Release();
        m_GUIManager = nullptr;
    }
    if (m_SoundEngine) {
        m_SoundEngine->Release();
        m_SoundEngine = nullptr;
    }
    delete m_Renderer;
    m_Renderer = nullptr;
    m_SceneManager.reset();
    delete m_FrameCallback;
    m_FrameCallback = nullptr;
}

bool cCommonEngine::CreateWindow(int rendererId, int width, int height, bool fullscreen, int refresh, int bits) {
    sRendererDesc desc;
    desc.rendererId = rendererId;
    desc.multisampling = 0;
    desc.depthFlags = kDepth16;
    desc.fullscreen = fullscreen ? 1 : 0;
    return CreateWindow(desc, width, height, fullscreen, refresh, bits);
}

void cCommonEngine::Shutdown() { DestroyWindow(); }

void cCommonEngine::Release() { delete this; }

void cCommonEngine::UpdateFrameTiming(float nowMs) {
    if (nowMs - m_LastFPSUpdateMs >= 750.0f) {
        const float delta = nowMs - m_LastFrameMs;
        // A frame that took no measurable time keeps the previous figure.
        if (delta > 0.0f) {
            m_FPS = 1000.0f / delta;
        }
        m_LastFPSUpdateMs = nowMs;
    }
    m_FrameTime = (nowMs - m_LastFrameMs) * 0.001f;
    m_LastFrameMs = nowMs;
}

void cCommonEngine::Update() {
    UpdateFrameTiming(GetTime());
    if (m_SoundEngine) {
        m_SoundEngine->Update();
    }
    if (m_GUIManager) {
        m_GUIManager->Update();
    }
    if (m_Input) {
        m_Input->ProcessActions();
    }
    RefreshClientSize();
    CaptureInput();
}

void cCommonEngine::BuildGammaRamp(float gamma, unsigned short ramp[256]) {
    const int step = 128 + static_cast<int>(255.0f * (0.5f + gamma / 2.0f));
    for (int i = 0; i < 256; ++i) {
        const long value = static_cast<long>(i) * step;
        ramp[i] = static_cast<unsigned short>(std::clamp(value, 0L, 65535L));
    }
}

void cCommonEngine::SetGamma(float gamma, float second) {
    m_Gamma = gamma;
    m_Gamma2 = second;
    if (gamma == 0.0f) {
        RestoreGammaRamp();
        return;
    }
    unsigned short ramp[256];
    BuildGammaRamp(gamma, ramp);
    ApplyGammaRamp(ramp, ramp, ramp);
}

void cCommonEngine::SetFrameCallback(const tFrameCallback& callback) {
    tFrameCallback* copy = new tFrameCallback(callback);
    delete m_FrameCallback;
    m_FrameCallback = copy;
}

void cCommonEngine::SeedRandom(unsigned int seed) { std::srand(seed); }

void cCommonEngine::Randomize() { std::srand(static_cast<unsigned int>(std::time(nullptr))); }

int cCommonEngine::RandomInt(int first, int last) {
    if (first == last) {
        return first;
    }
    // Widened so that a span near the int range neither overflows nor
    // divides by zero; an inverted range still lies between the two values.
    const long long span = static_cast<long long>(last) - first;
    const long long r = std::rand() % span;
    return static_cast<int>(first + r);
}

float cCommonEngine::RandomFloat(float a, float b) {
    if (a == b) {
        return a;
    }
    return a + static_cast<float>(std::rand()) / 32767.0f * (b - a);
}

void cCommonEngine::RandomVector2(cVector2& out, float a, float b) {
    out.x = RandomFloat(a, b);
    out.y = RandomFloat(a, b);
}

sound::ISoundEngine* cCommonEngine::GetSoundEngine() {
    if (!m_SoundEngine) {
        LogMessage("Creating sound engine... ");
        try {
            m_SoundEngine = sound::CreateSoundEngine();
            LogMessage("succeeded\n");
        } catch (const cException& e) {
            LogWarning("%s\n", e.GetText());
            m_SoundEngine = nullptr;
        }
    }
    return m_SoundEngine;
}

gui::IGUIManager* cCommonEngine::GetGUIManager(bool create) {
    if (!m_GUIManager && create) {
        LogMessage("Crating GUI manager... ");
        m_GUIManager = gui::CreateGUIManager();
        if (!m_GUIManager) {
            LogWarning("failed to allocate memory\n");
        }
    }
    return m_GUIManager;
}

IInput* cCommonEngine::GetInput() { return m_Input; }

const char* cCommonEngine::GetVersionString() const { return GetVersionText(); }

ILog* cCommonEngine::OpenLog(const char* fileName) {
    cLog* log = new (std::nothrow) cLog();
    if (!log) {
        LogWarning("cCommonEngine::OpenLog : failed to allocate memory\n");
        return nullptr;
    }
    log->Open(fileName);
    return log;
}

script::IScriptEnv* cCommonEngine::CreateScriptEnv() {
    LogMessage("Creating script environment... ");
    script::IScriptEnv* env = script::CreateScriptEnv();
    if (!env) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    LogMessage("succeeded\n");
    return env;
}

scene::IResourceManager* cCommonEngine::CreateResourceManager() {
    LogMessage("Creating scene... ");
    scene::IResourceManager* manager = m_SceneManager ? m_SceneManager->CreateResourceManager() : nullptr;
    if (!manager) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    LogMessage("succeeded\n");
    return manager;
}

IConfig* cCommonEngine::OpenConfig(const char* fileName) { return cConfig::Open(fileName); }

IFile* cCommonEngine::OpenFile(void* data, std::size_t size) {
    cMemoryFile* file = new (std::nothrow) cMemoryFile();
    if (!file) {
        LogWarning("cCommonEngine::OpenFile : failed to allocate memory\n");
        return nullptr;
    }
    try {
        if (size > 0x7FFFFFFF) {
            RaiseError("cCommonEngine::OpenFile : memory block too large( %zu bytes )", size);
        }
        file->Open(data, static_cast<std::int32_t>(size));
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        file->Release();
        return nullptr;
    }
    return file;
}

IFile* cCommonEngine::OpenFile(const char* path, const char* mode) {
    cHDDFile* file = new (std::nothrow) cHDDFile();
    if (!file) {
        LogWarning("cCommonEngine::OpenFile : failed to allocate memory\n");
        return nullptr;
    }
    try {
        file->Open(path, mode);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        file->Release();
        return nullptr;
    }
    return file;
}

} // namespace velmora
