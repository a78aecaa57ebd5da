#pragma once
// Butterflies (see IButterflies). Each butterfly is six vertices, the left
// tip, the body and the right tip at the front and at the back edge, and four
// triangles (0, 1, 2), (2, 1, 3), (2, 3, 4), (4, 3, 5); its tips rise and fall
// with the wing phase, which swings between -0.25 and 0.25. The vertices are
// rewritten on every update and drawn from one vertex buffer.

#include <vector>

#include "scene/IButterflies.h"
#include "scene/cCommonEntity.h"
#include "scene/cEffectTexture.h"

namespace velmora::video {
class IRenderer;
class IVertexBuffer;
class IIndexBuffer;
}

namespace velmora::scene {

class cButterflies : public cCommonEntity<IButterflies, ENTITY_BUTTERFLIES> {
public:
    struct sButterfly {
        cVector3 position;
        cVector3 velocity;
        float phase = 0.0f;
        float direction = -1.0f;
    };
    // Position float3, texture coordinate float2.
    struct sVertex {
        float x, y, z;
        float u, v;
    };
    static constexpr float kHalfSpan = 0.225f;
    static constexpr float kHalfLength = 0.25f;
    static constexpr float kMaxPhase = 0.25f;

    // renderer: makes the buffers, loads the texture and draws (null: the butterflies move but draw nothing).
    explicit cButterflies(video::IRenderer* renderer);
    // Releases buffers and texture.
    ~cButterflies() override;
    cButterflies(const cButterflies&) = delete;
    cButterflies& operator=(const cButterflies&) = delete;

    // Sets the drift and variation, places the ten butterflies at random and makes the buffers; throws
    // cException when the renderer cannot make them.
    void Create(const cVector3& driftVelocity, float speedVariation);

    void SetDriftVelocity(const cVector3& velocity) override { m_Drift = velocity; }
    const cVector3& GetDriftVelocity() const override { return m_Drift; }
    void SetSpeedVariation(float variation) override { m_SpeedVariation = variation; }
    float GetSpeedVariation() const override { return m_SpeedVariation; }
    void SetChangeThreshold(int threshold) override { m_ChangeThreshold = threshold; }
    int GetChangeThreshold() const override { return m_ChangeThreshold; }
    void SetFlapSpeed(float speed) override { m_FlapSpeed = speed; }
    float GetFlapSpeed() const override { return m_FlapSpeed; }
    // Negative sizes count as their magnitude.
    void SetAreaHalfSize(float halfSize) override;
    float GetAreaHalfSize() const override { return m_AreaHalfSize; }
    void SetTexture(const std::string& fileName) override { m_Texture.Set(m_Renderer, fileName); }
    std::string GetTextureName() const override { return m_Texture.GetName(); }
    video::ITexture2D* GetTexture() const override { return m_Texture.Get(); }
    void Update(float dt) override;
    void Render() override;

    const sButterfly& GetButterfly(int index) const { return m_Butterflies[index]; }
    sButterfly& GetButterfly(int index) { return m_Butterflies[index]; }
    // The 60 vertices as the last update wrote them.
    const std::vector<sVertex>& GetVertices() const { return m_Vertices; }
    // The 120 indices.
    static const unsigned short* Indices();

private:
    void WriteVertices(int index);

    video::IRenderer* m_Renderer = nullptr;
    cVector3 m_Drift;
    float m_SpeedVariation = 0.0f;
    int m_ChangeThreshold = 94;
    float m_FlapSpeed = 10.0f;
    float m_AreaHalfSize = 10.0f;
    sButterfly m_Butterflies[kCount];
    std::vector<sVertex> m_Vertices;
    cEffectTexture m_Texture;
    video::IVertexBuffer* m_VertexBuffer = nullptr;
    video::IIndexBuffer* m_IndexBuffer = nullptr;
};

} // namespace velmora::scene
