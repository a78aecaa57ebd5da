#pragma once
// Stand-ins for scene tests: a scratch folder served as the process file
// system, a sound engine that plays nothing, entity classes that only hold
// what the scene file stores (for the kinds not built yet), a resource
// manager that makes them, and a recording rendering pipeline.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "scene/IBillboard.h"
#include "scene/ILensFlare.h"
#include "scene/IRain.h"
#include "scene/IRenderingPipeline.h"
#include "scene/ISky.h"
#include "scene/IWater.h"
#include "scene/cCommonEntity.h"
#include "scene/cResourceManager.h"
#include "sound/ISoundEngine.h"

namespace velmora {
class cPlatformFileSystem;
}

namespace velmora::scene::test {

// A fresh folder (removed at destruction) that is the root folder of a file system registered as the
// process file system while this object lives.
class cScratchFolder {
public:
    cScratchFolder();
    ~cScratchFolder();
    cScratchFolder(const cScratchFolder&) = delete;
    cScratchFolder& operator=(const cScratchFolder&) = delete;

    // The folder, ending in '/'.
    const std::string& Path() const { return m_Path; }
    // Writes a file below the folder (creating sub-folders).
    void Write(const std::string& name, const std::string& text) const;
    // The bytes of a file below the folder (empty when unreadable).
    std::string Read(const std::string& name) const;
    // A text file the engine wrote in text mode, with the platform's line ends read as "\n".
    std::string ReadText(const std::string& name) const;
    bool Exists(const std::string& name) const;
    // Creates a folder below the folder (with its parents).
    void MakeFolder(const std::string& name) const;
    // Copies the shaders the screensaver ships (the repository's data/shaders/common/) to the same place
    // below the folder.
    void CopyShippedShaders() const;

private:
    std::string m_Path;
    std::unique_ptr<cPlatformFileSystem> m_FileSystem;
};

// Everything written to standard output (the engine log) while it lives.
class cLogCapture {
public:
    cLogCapture();
    ~cLogCapture();
    // Stops capturing (once) and returns the text.
    const std::string& Text();

private:
    bool m_Done = false;
    std::string m_Text;
};

// The build folder (ending in '/'): VELMORA_BINARY_DIR, else the folder above the test program's.
std::string BuildFolder();

// ---- Sound ---------------------------------------------------------------------------------------

class cFakeSoundEngine;

class cFakeSoundSource : public sound::ISoundSource {
public:
    cFakeSoundSource(cFakeSoundEngine& engine, const std::string& name) : m_Engine(engine), m_Name(name) {}
    void Release() override;
    sound::ISoundSource* AddRef() override;
    void Play() override { playing = true; }
    void Pause() override { playing = false; }
    void Stop() override { playing = false; }
    void SetPitch(float v) override { pitch = v; }
    void SetLooping(bool v) override { looping = v; }
    void SetVolume(float v) override { volume = v; }
    void SetPosition(const cVector3& p) override { position = p; }
    void SetRelative(bool v) override { relative = v; }
    void SetMaxDistance(float v) override { maxDistance = v; }
    void SetRolloff(float v) override { rolloff = v; }
    const std::string& GetName() const override { return m_Name; }
    float GetVolume() const override { return volume; }
    float GetPitch() const override { return pitch; }
    const cVector3& GetPosition() const override { return position; }
    float GetMaxDistance() const override { return maxDistance; }
    float GetRolloff() const override { return rolloff; }
    bool IsPlaying() const override { return playing; }
    bool IsPaused() const override { return false; }
    bool IsLooping() const override { return looping; }
    bool IsStreaming() const override { return false; }
    bool IsStopped() const override { return !playing; }
    bool IsRelative() const override { return relative; }
    void Update() override {}

    float volume = 1.0f, pitch = 1.0f, maxDistance = 10000.0f, rolloff = 1.0f;
    bool looping = false, playing = false, relative = false;
    cVector3 position;
    int references = 1;

private:
    cFakeSoundEngine& m_Engine;
    std::string m_Name;
};

class cFakeSoundEngine : public sound::ISoundEngine {
public:
    ~cFakeSoundEngine() override;
    void Release() override {}
    // Names that fail to load.
    std::vector<std::string> missing;
    std::map<std::string, cFakeSoundSource*> sources;
    cVector3 listener, forward, up;
    int listenerMoves = 0;
    int lastMode = -1;

    sound::ISoundSource* CreateSource(const std::string& name, int mode) override;
    void SetVolume(float) override {}
    void SetPitch(float) override {}
    void SetListenerPosition(const cVector3& position) override {
        listener = position;
        ++listenerMoves;
    }
    float GetVolume() const override { return 1.0f; }
    float GetPitch() const override { return 1.0f; }
    const cVector3& GetListenerPosition() const override { return listener; }
    void Update() override {}
    void SetListenerOrientation(const cVector3& f, const cVector3& u) override {
        forward = f;
        up = u;
    }
};

// ---- Entities that only hold their scene-file values ---------------------------------------------

class cFakeWater : public cCommonEntity<IWater, ENTITY_WATER> {
public:
    explicit cFakeWater(int* live) : m_Live(live) { ++*m_Live; }
    ~cFakeWater() override { --*m_Live; }
    void SetColor(const cColor& c) override { color = c; }
    void SetDensity(float v) override { density = v; }
    void SetSpeed(float v) override { speed = v; }
    void SetLevel(float v) override { level = v; }
    const cColor& GetColor() const override { return color; }
    float GetDensity() const override { return density; }
    float GetSpeed() const override { return speed; }
    float GetLevel() const override { return level; }
    void SetFoamTexture(const std::string& name) override { foam = name; }
    std::string GetFoamTextureName() const override { return foam; }
    void SetSurfMap(const std::string& name) override { surfMap = name; }
    std::string GetSurfMapName() const override { return surfMap; }
    cColor color{255, 255, 255, 255};
    float density = 0, speed = 0, level = 0;
    std::string foam, surfMap;

private:
    int* m_Live;
};

class cFakeSky : public cCommonEntity<ISky, ENTITY_SKY> {
public:
    explicit cFakeSky(int* live) : m_Live(live) { ++*m_Live; }
    ~cFakeSky() override { --*m_Live; }
    void SetYOffset(float v) override { yOffset = v; }
    void SetFaceTexture(int face, const std::string& name) override { faces[face] = name; }
    float GetYOffset() const override { return yOffset; }
    std::string GetFaceTextureName(int face) const override { return faces[face]; }
    video::ITexture2D* GetFaceTexture(int) const override { return nullptr; }
    void Render(const cVector3&) override {}
    void SetCloudTexture(const std::string& name) override { clouds = name; }
    std::string GetCloudTextureName() const override { return clouds; }
    void SetCloudDrift(const cVector2& v) override { cloudDrift = v; }
    cVector2 GetCloudDrift() const override { return cloudDrift; }
    float yOffset = 0;
    std::string faces[SKY_FACE_COUNT];
    std::string clouds;
    cVector2 cloudDrift;

private:
    int* m_Live;
};

class cFakeLensFlare : public cCommonEntity<ILensFlare, ENTITY_LENS_FLARE> {
public:
    explicit cFakeLensFlare(int* live) : m_Live(live) { ++*m_Live; }
    ~cFakeLensFlare() override { --*m_Live; }
    void SetFlareTexture(int i, const std::string& name) override { textures[i] = name; }
    void SetFlareSize(int i, float w, float h) override { sizes[i] = cVector2(w, h); }
    void SetBoundToCamera(bool v) override { bound = v; }
    std::string GetFlareTextureName(int i) const override { return textures[i]; }
    video::ITexture2D* GetFlareTexture(int) const override { return nullptr; }
    cVector2 GetFlareSize(int i) const override { return sizes[i]; }
    bool IsBoundToCamera() const override { return bound; }
    void Render(ICamera*) override {}
    std::string textures[LENS_FLARE_COUNT];
    cVector2 sizes[LENS_FLARE_COUNT];
    bool bound = false;

private:
    int* m_Live;
};

class cFakeRain : public cCommonEntity<IRain, ENTITY_RAIN> {
public:
    explicit cFakeRain(int* live) : m_Live(live) { ++*m_Live; }
    ~cFakeRain() override { --*m_Live; }
    void SetTexture(const std::string& name) override { texture = name; }
    void SetDropCount(int v) override { count = v; }
    void SetRadius(float v) override { radius = v; }
    void SetDropSize(float w, float h) override {
        width = w;
        height = h;
    }
    std::string GetTextureName() const override { return texture; }
    int GetDropCount() const override { return count; }
    float GetRadius() const override { return radius; }
    float GetDropWidth() const override { return width; }
    float GetDropHeight() const override { return height; }
    video::ITexture2D* GetTexture() const override { return nullptr; }
    IBillboardSet* GetBillboardSet() const override { return nullptr; }
    std::string texture;
    int count = 0;
    float radius = 0, width = 0, height = 0;

private:
    int* m_Live;
};

class cFakeBillboard : public cCommonEntity<IBillboard, ENTITY_BILLBOARD> {
public:
    explicit cFakeBillboard(int* live) : m_Live(live) { ++*m_Live; }
    ~cFakeBillboard() override { --*m_Live; }
    void SetTexture(const std::string& name) override { texture = name; }
    void SetBillboardWidth(float v) override { width = v; }
    void SetBillboardHeight(float v) override { height = v; }
    float GetBillboardWidth() const override { return width; }
    float GetBillboardHeight() const override { return height; }
    std::string GetTextureName() const override { return texture; }
    video::ITexture2D* GetTexture() const override { return nullptr; }
    std::string texture;
    float width = 0, height = 0;

private:
    int* m_Live;
};

// A directional light as far as the scene manager sees one: an entity of type 9.
class cFakeLight : public cCommonEntity<IEntity, ENTITY_DIRECTIONAL_LIGHT> {};

// The scene's resource manager plus the stand-in entities above; counts the live ones.
class cEntityFactory : public cResourceManager {
public:
    IWater* CreateWater(const cColor& color, float density, float speed, float level) override;
    IRain* CreateRain(int count, float radius, float halfHeight, float halfWidth) override;
    IBillboard* CreateBillboard() override;
    ILensFlare* CreateLensFlare() override;
    ISky* CreateSkyBox() override;
    int live = 0;
};

// ---- Pipeline ------------------------------------------------------------------------------------

// Records what the scene manager asks of it into a shared log ("<name> init", "<name> render", ...).
class cRecordingPipeline : public IRenderingPipeline {
public:
    cRecordingPipeline(std::vector<std::string>& log, const char* name) : m_Log(log), m_Name(name) {}
    ~cRecordingPipeline() override { m_Log.push_back(m_Name + " deleted"); }
    bool Init() override;
    void Shutdown() override;
    bool IsInitialized() const override { return m_Initialized; }
    void Render(ISceneManager* scene, ICamera* camera) override;
    void RenderMesh(IStaticMesh*) override { m_Log.push_back(m_Name + " mesh"); }
    void RenderTerrain(ISceneManager*, video::IShader*, ICamera*, float) override { m_Log.push_back(m_Name + " terrain"); }

    // Init fails while set.
    bool failInit = false;
    ISceneManager* lastScene = nullptr;

private:
    std::vector<std::string>& m_Log;
    std::string m_Name;
    bool m_Initialized = false;
};

} // namespace velmora::scene::test
