#pragma once
// Platform-neutral part of the engine: frame bookkeeping, random numbers,
// ownership of the services, creation helpers. A platform class derives from
// it and supplies the window, the timer, the gamma ramp and the messages.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/IEngine.h"

namespace velmora {

class cCommonInput;

class cCommonEngine : public IEngine {
public:
    cCommonEngine();
    ~cCommonEngine() override;
    cCommonEngine(const cCommonEngine&) = delete;
    cCommonEngine& operator=(const cCommonEngine&) = delete;

    bool CreateWindow(int rendererId, int width, int height, bool fullscreen, int refresh, int bits) override;
    using IEngine::CreateWindow;
    void Shutdown() override;
    void Release() override;
    void Update() override;
    int GetViewWidth() const override { return m_Width; }
    int GetViewHeight() const override { return m_Height; }
    bool IsFullscreen() const override { return m_Fullscreen; }
    int GetRendererId() const override { return m_RendererId; }
    float GetFPS() const override { return m_FPS; }
    float GetFrameTime() const override { return m_FrameTime; }
    void SetGamma(float gamma, float second) override;
    float GetGamma() const override { return m_Gamma; }
    float GetGamma2() const override { return m_Gamma2; }
    const std::string& GetWindowCaption() const override { return m_Caption; }
    void SetFrameRateLimit(int fps) override { m_FrameRateLimit = fps; }
    void SetFrameCallback(const tFrameCallback& callback) override;
    void SeedRandom(unsigned int seed) override;
    void Randomize() override;
    int RandomInt(int first, int last) override;
    float RandomFloat(float a, float b) override;
    void RandomVector2(cVector2& out, float a, float b) override;
    video::IRenderer* GetRenderer() override { return m_Renderer; }
    sound::ISoundEngine* GetSoundEngine() override;
    gui::IGUIManager* GetGUIManager(bool create) override;
    scene::cSceneManager* GetSceneManager() override { return m_SceneManager.get(); }
    IFileSystem* GetFileSystem() override { return m_FileSystem; }
    IInput* GetInput() override;
    const char* GetVersionString() const override;
    IConfig* OpenConfig(const char* fileName) override;
    ILog* OpenLog(const char* fileName) override;
    script::IScriptEnv* CreateScriptEnv() override;
    IFile* OpenFile(void* data, std::size_t size) override;
    IFile* OpenFile(const char* path, const char* mode) override;
    scene::IResourceManager* CreateResourceManager() override;

    // Builds the 256-entry gamma ramp for a gamma value: step = 128 + trunc(255 * (0.5 + gamma / 2)),
    // entry i = min(i * step, 65535).
    static void BuildGammaRamp(float gamma, unsigned short ramp[256]);
    // Milliseconds between two readings of a 32-bit millisecond counter, wrap-around safe.
    static float ElapsedMilliseconds32(std::uint32_t start, std::uint32_t now) {
        return static_cast<float>(static_cast<std::uint32_t>(now - start));
    }

protected:
    // The frame-time rule of Update, given the current time in milliseconds.
    void UpdateFrameTiming(float nowMs);
    // Sets the desktop gamma ramp (3 x 256 entries); false when the platform cannot.
    virtual bool ApplyGammaRamp(const unsigned short* red, const unsigned short* green,
                                const unsigned short* blue) = 0;
    // Restores the ramp saved from the desktop.
    virtual void RestoreGammaRamp() = 0;
    // Re-reads the client size into m_Width / m_Height while attached.
    virtual void RefreshClientSize() = 0;
    // Reads this frame's keyboard and mouse state.
    virtual void CaptureInput() = 0;
    // Deletes the services in the order the engine's shutdown requires.
    void DestroyServices();

    int m_Width = 0;
    int m_Height = 0;
    int m_Bits = 0;
    int m_Refresh = -1;
    bool m_Fullscreen = false;
    float m_Gamma = 1.0f;
    float m_Gamma2 = 1.0f;
    int m_RendererId = kRendererOpenGL;
    std::string m_Caption;
    int m_FrameRateLimit = 0;
    float m_FrameTime = 0.0f;
    float m_FPS = 0.0f;
    float m_LastFrameMs = 0.0f;
    float m_LastFPSUpdateMs = 0.0f;
    tFrameCallback* m_FrameCallback = nullptr;
    video::IRenderer* m_Renderer = nullptr;
    sound::ISoundEngine* m_SoundEngine = nullptr;
    gui::IGUIManager* m_GUIManager = nullptr;
    std::unique_ptr<scene::cSceneManager> m_SceneManager;
    IFileSystem* m_FileSystem = nullptr;
    cCommonInput* m_Input = nullptr;
};

} // namespace velmora
