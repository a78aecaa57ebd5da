#include "tools/velmora-tool/SceneRecords.h"

#include "scene/IBillboard.h"
#include "scene/ILensFlare.h"
#include "scene/IRain.h"
#include "scene/ISky.h"
#include "scene/IWater.h"
#include "scene/cCommonEntity.h"

namespace velmora::tool {

using namespace scene;

namespace {

class cRecordSource : public sound::ISoundSource {
public:
    cRecordSource(cRecordSoundEngine& engine, const std::string& name) : m_Engine(engine), m_Name(name) {}
    void Release() override {
        if (--m_References == 0) {
            m_Engine.Forget(m_Name);
            delete this;
        }
    }
    sound::ISoundSource* AddRef() override {
        ++m_References;
        return this;
    }
    void Play() override {}
    void Pause() override {}
    void Stop() override {}
    void SetPitch(float v) override { m_Pitch = v; }
    void SetLooping(bool v) override { m_Looping = v; }
    void SetVolume(float v) override { m_Volume = v; }
    void SetPosition(const cVector3& p) override { m_Position = p; }
    void SetRelative(bool v) override { m_Relative = v; }
    void SetMaxDistance(float v) override { m_MaxDistance = v; }
    void SetRolloff(float v) override { m_Rolloff = v; }
    const std::string& GetName() const override { return m_Name; }
    float GetVolume() const override { return m_Volume; }
    float GetPitch() const override { return m_Pitch; }
    const cVector3& GetPosition() const override { return m_Position; }
    float GetMaxDistance() const override { return m_MaxDistance; }
    float GetRolloff() const override { return m_Rolloff; }
    bool IsPlaying() const override { return false; }
    bool IsPaused() const override { return false; }
    bool IsLooping() const override { return m_Looping; }
    bool IsStreaming() const override { return false; }
    bool IsStopped() const override { return true; }
    bool IsRelative() const override { return m_Relative; }
    void Update() override {}

private:
    cRecordSoundEngine& m_Engine;
    std::string m_Name;
    int m_References = 1;
    float m_Volume = 1.0f, m_Pitch = 1.0f, m_MaxDistance = 10000.0f, m_Rolloff = 1.0f;
    bool m_Looping = false, m_Relative = false;
    cVector3 m_Position;
};

class cWaterRecord : public cCommonEntity<IWater, ENTITY_WATER> {
public:
    void SetColor(const cColor& c) override { m_Color = c; }
    void SetDensity(float v) override { m_Density = v; }
    void SetSpeed(float v) override { m_Speed = v; }
    void SetLevel(float v) override { m_Level = v; }
    const cColor& GetColor() const override { return m_Color; }
    float GetDensity() const override { return m_Density; }
    float GetSpeed() const override { return m_Speed; }
    float GetLevel() const override { return m_Level; }
    void SetFoamTexture(const std::string& name) override { m_Foam = name; }
    std::string GetFoamTextureName() const override { return m_Foam; }
    void SetSurfMap(const std::string& name) override { m_SurfMap = name; }
    std::string GetSurfMapName() const override { return m_SurfMap; }

private:
    cColor m_Color;
    float m_Density = 0, m_Speed = 0, m_Level = 0;
    std::string m_Foam, m_SurfMap;
};

class cRainRecord : public cCommonEntity<IRain, ENTITY_RAIN> {
public:
    void SetTexture(const std::string& name) override { m_Texture = name; }
    void SetDropCount(int v) override { m_Count = v; }
    void SetRadius(float v) override { m_Radius = v; }
    void SetDropSize(float w, float h) override {
        m_Width = w;
        m_Height = h;
    }
    std::string GetTextureName() const override { return m_Texture; }
    int GetDropCount() const override { return m_Count; }
    float GetRadius() const override { return m_Radius; }
    float GetDropWidth() const override { return m_Width; }
    float GetDropHeight() const override { return m_Height; }
    video::ITexture2D* GetTexture() const override { return nullptr; }
    IBillboardSet* GetBillboardSet() const override { return nullptr; }

private:
    std::string m_Texture;
    int m_Count = 0;
    float m_Radius = 0, m_Width = 0, m_Height = 0;
};

class cBillboardRecord : public cCommonEntity<IBillboard, ENTITY_BILLBOARD> {
public:
    void SetTexture(const std::string& name) override { m_Texture = name; }
    void SetBillboardWidth(float v) override { m_Width = v; }
    void SetBillboardHeight(float v) override { m_Height = v; }
    float GetBillboardWidth() const override { return m_Width; }
    float GetBillboardHeight() const override { return m_Height; }
    std::string GetTextureName() const override { return m_Texture; }
    video::ITexture2D* GetTexture() const override { return nullptr; }

private:
    std::string m_Texture;
    float m_Width = 0, m_Height = 0;
};

class cLensFlareRecord : public cCommonEntity<ILensFlare, ENTITY_LENS_FLARE> {
public:
    void SetFlareTexture(int i, const std::string& name) override {
        if (Valid(i)) m_Textures[i] = name;
    }
    void SetFlareSize(int i, float w, float h) override {
        if (Valid(i)) m_Sizes[i] = cVector2(w, h);
    }
    void SetBoundToCamera(bool v) override { m_Bound = v; }
    std::string GetFlareTextureName(int i) const override { return Valid(i) ? m_Textures[i] : std::string(); }
    video::ITexture2D* GetFlareTexture(int) const override { return nullptr; }
    cVector2 GetFlareSize(int i) const override { return Valid(i) ? m_Sizes[i] : cVector2(); }
    bool IsBoundToCamera() const override { return m_Bound; }
    void Render(ICamera*) override {}

private:
    static bool Valid(int i) { return i >= 0 && i < LENS_FLARE_COUNT; }
    std::string m_Textures[LENS_FLARE_COUNT];
    cVector2 m_Sizes[LENS_FLARE_COUNT];
    bool m_Bound = false;
};

class cSkyRecord : public cCommonEntity<ISky, ENTITY_SKY> {
public:
    void SetYOffset(float v) override { m_YOffset = v; }
    void SetFaceTexture(int face, const std::string& name) override {
        if (Valid(face)) m_Faces[face] = name;
    }
    float GetYOffset() const override { return m_YOffset; }
    std::string GetFaceTextureName(int face) const override { return Valid(face) ? m_Faces[face] : std::string(); }
    video::ITexture2D* GetFaceTexture(int) const override { return nullptr; }
    // A record draws nothing.
    void Render(const cVector3&) override {}
    void SetCloudTexture(const std::string& name) override { m_Clouds = name; }
    std::string GetCloudTextureName() const override { return m_Clouds; }
    void SetCloudDrift(const cVector2& v) override { m_CloudDrift = v; }
    cVector2 GetCloudDrift() const override { return m_CloudDrift; }

private:
    static bool Valid(int i) { return i >= 0 && i < SKY_FACE_COUNT; }
    float m_YOffset = 0;
    std::string m_Faces[SKY_FACE_COUNT];
    std::string m_Clouds;
    cVector2 m_CloudDrift;
};

} // namespace

cRecordSoundEngine::~cRecordSoundEngine() {
    // Sources still held by entities outlive nothing: the factory releases its entities first.
    m_Sources.clear();
}

sound::ISoundSource* cRecordSoundEngine::CreateSource(const std::string& name, int) {
    auto found = m_Sources.find(name);
    if (found != m_Sources.end()) {
        return found->second->AddRef();
    }
    auto* source = new cRecordSource(*this, name);
    m_Sources[name] = source;
    return source;
}

cRecordFactory::cRecordFactory() : m_Sound(new cRecordSoundEngine()) {
    SetHeadless(true);
    SetSoundEngine(m_Sound.get());
}

ISky* cRecordFactory::CreateSkyBox() { return new cSkyRecord(); }

ILensFlare* cRecordFactory::CreateLensFlare() { return new cLensFlareRecord(); }

IRain* cRecordFactory::CreateRain(int count, float radius, float halfHeight, float halfWidth) {
    auto* rain = new cRainRecord();
    rain->SetDropCount(count);
    rain->SetRadius(radius);
    rain->SetDropSize(halfWidth, halfHeight);
    return rain;
}

IWater* cRecordFactory::CreateWater(const cColor& color, float density, float speed, float level) {
    auto* water = new cWaterRecord();
    water->SetColor(color);
    water->SetDensity(density);
    water->SetSpeed(speed);
    water->SetLevel(level);
    return water;
}

IBillboard* cRecordFactory::CreateBillboard() { return new cBillboardRecord(); }

} // namespace velmora::tool
