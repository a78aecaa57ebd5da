#pragma once
// The sky box (see ISky): a box spanning x and z from -1 to 1 and y from 0 to
// 1, four vertices and one four-index strip per face, drawn around the camera
// before everything else with depth writes off so that the scene covers it.
// The box's buffers are made with the renderer at construction; without them
// (no renderer, or creation failed) the sky draws nothing.

#include <string>

#include "scene/ISky.h"
#include "scene/cCloudLayer.h"
#include "scene/cCommonEntity.h"

namespace velmora::video {
class IRenderer;
class IVertexBuffer;
class IIndexBuffer;
}

namespace velmora::scene {

class cSky : public cCommonEntity<ISky, ENTITY_SKY> {
public:
    // Vertices of five floats (x, y, z, u, v), four per face in face order left, right, front, back, top,
    // bottom; strip indices 0, 1, 3, 2 per face.
    static constexpr int kVertexCount = 24;
    static constexpr int kIndexCount = 24;
    static const float kVertices[kVertexCount * 5];
    static const unsigned short kIndices[kIndexCount];

    // renderer: makes the buffers and loads the face textures (null: a sky that draws nothing).
    explicit cSky(video::IRenderer* renderer);
    // Releases the buffers and the face textures.
    ~cSky() override;
    cSky(const cSky&) = delete;
    cSky& operator=(const cSky&) = delete;

    void SetYOffset(float offset) override { m_YOffset = offset; }
    // Faces outside 0..5 are ignored.
    void SetFaceTexture(int face, const std::string& fileName) override;
    float GetYOffset() const override { return m_YOffset; }
    std::string GetFaceTextureName(int face) const override;
    video::ITexture2D* GetFaceTexture(int face) const override;
    void Render(const cVector3& center) override;
    void SetCloudTexture(const std::string& fileName) override { m_Clouds.SetTexture(fileName); }
    std::string GetCloudTextureName() const override { return m_Clouds.GetTextureName(); }
    void SetCloudDrift(const cVector2& texelsPerSecond) override { m_Clouds.SetDrift(texelsPerSecond); }
    cVector2 GetCloudDrift() const override { return m_Clouds.GetDrift(); }
    void RenderClouds(const cVector3& center, float seconds) override;
    float GetCloudCover(const cVector3& direction, float seconds) const override {
        return m_Clouds.GetCover(direction, seconds);
    }
    const cCloudLayer& GetCloudLayer() const { return m_Clouds; }

    // False when the box's buffers could not be made.
    bool HasBuffers() const { return m_VertexBuffer && m_IndexBuffer; }

private:
    video::IRenderer* m_Renderer = nullptr;
    float m_YOffset = 0.0f;
    video::ITexture2D* m_Faces[SKY_FACE_COUNT] = {};
    video::IVertexBuffer* m_VertexBuffer = nullptr;
    video::IIndexBuffer* m_IndexBuffer = nullptr;
    cCloudLayer m_Clouds;
};

} // namespace velmora::scene
