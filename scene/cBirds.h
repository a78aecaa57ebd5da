#pragma once
// Sea birds (see IBirds). Every bird's place, heading, bank and wing pose is a
// function of the flock's clock and the bird's index alone: no random draws,
// so a flock looks the same at the same time whatever else the scene does.
// The vertices of the whole flock are rewritten on every update and drawn
// from one vertex buffer as one list of triangles.

#include <vector>

#include "scene/IBirds.h"
#include "scene/cCommonEntity.h"
#include "scene/cEffectTexture.h"

namespace velmora::video {
class IRenderer;
class IVertexBuffer;
class IIndexBuffer;
}

namespace velmora::scene {

class cBirds : public cCommonEntity<IBirds, ENTITY_BIRDS> {
public:
    // Position float3, texture coordinate float2.
    struct sVertex {
        float x, y, z;
        float u, v;
    };
    // One bird at one moment, in entity coordinates.
    struct sPose {
        cVector3 position;
        cVector3 forward;   // unit, horizontal
        cVector3 right;     // unit, banked
        cVector3 up;        // unit, banked
        float flapping = 0; // 0 gliding .. 1 full wing beats
    };
    // The roll into the turn, degrees.
    static constexpr float kBankDegrees = 14.0f;

    // renderer: makes the buffers, loads the texture and draws (null: the birds fly but draw nothing).
    explicit cBirds(video::IRenderer* renderer);
    // Releases buffers and texture.
    ~cBirds() override;
    cBirds(const cBirds&) = delete;
    cBirds& operator=(const cBirds&) = delete;

    // Writes the first vertices and makes the buffers; throws cException when the renderer cannot make them.
    void Create();

    void SetCount(int count) override;
    int GetCount() const override { return m_Count; }
    void SetRadius(float radius) override;
    float GetRadius() const override { return m_Radius; }
    void SetSpeed(float speed) override { m_Speed = speed; }
    float GetSpeed() const override { return m_Speed; }
    void SetWingSpan(float span) override;
    float GetWingSpan() const override { return m_WingSpan; }
    void SetFlapSpeed(float speed) override;
    float GetFlapSpeed() const override { return m_FlapSpeed; }
    void SetTexture(const std::string& fileName) override { m_Texture.Set(m_Renderer, fileName); }
    std::string GetTextureName() const override { return m_Texture.GetName(); }
    video::ITexture2D* GetTexture() const override { return m_Texture.Get(); }
    float GetTime() const override { return m_Time; }
    void Update(float dt) override;
    void GetBounds(cVector3& min, cVector3& max) const override;
    void Render() override;

    // Bird `index` at time `time` (seconds on the flock's clock).
    sPose GetPose(int index, float time) const;
    // The vertices of the birds as the last update wrote them (kVerticesEach per bird, GetCount birds).
    const std::vector<sVertex>& GetVertices() const { return m_Vertices; }
    // The indices of kMaxCount birds.
    static const unsigned short* Indices();

private:
    void WriteVertices();
    // How high the birds rise and fall about their own height.
    float BobAmplitude() const;

    video::IRenderer* m_Renderer = nullptr;
    int m_Count = 3;
    float m_Radius = 20.0f;
    float m_Speed = 4.0f;
    float m_WingSpan = 1.6f;
    float m_FlapSpeed = 2.5f;
    float m_Time = 0.0f;
    std::vector<sVertex> m_Vertices;
    cEffectTexture m_Texture;
    video::IVertexBuffer* m_VertexBuffer = nullptr;
    video::IIndexBuffer* m_IndexBuffer = nullptr;
};

} // namespace velmora::scene
