// The sky box around the camera and the lens flare: the box's geometry and
// how it follows the camera, the flare's sun point, its occlusion measurement
// and where its sprites land for suns on screen, off screen and behind the
// camera, on the recording renderer.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/PipelineTestSupport.h"
#include "scene/camera/cCamera.h"
#include "scene/cLensFlare.h"
#include "scene/cSky.h"
#include "scene/support/SceneTestSupport.h"
#include "video/ITexture.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

cVector3 Vertex(int i) { return cVector3(cSky::kVertices[i * 5], cSky::kVertices[i * 5 + 1], cSky::kVertices[i * 5 + 2]); }

// ---- Sky -------------------------------------------------------------------------------------------

TEST(Sky, EachFaceIsAQuadOnItsSideOfTheBoxDrawnAsOneStrip) {
    // Face k's vertices 4k..4k+3 share the face's constant coordinate; the strip 0, 1, 3, 2 of a quad
    // whose corners go round makes two triangles that cover it without overlap.
    const int axis[6] = {0, 0, 2, 2, 1, 1};               // left, right, front, back, top, bottom
    const float side[6] = {-1, 1, 1, -1, 1, 0};
    static_assert(cSky::kVertexCount == 24 && cSky::kIndexCount == 24, "four vertices and indices per face");
    for (int face = 0; face < 6; ++face) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Vertex(face * 4 + i)[axis[face]], side[face]) << face;
        }
        const unsigned short* indices = &cSky::kIndices[face * 4];
        EXPECT_EQ(indices[0], face * 4);
        EXPECT_EQ(indices[1], face * 4 + 1);
        EXPECT_EQ(indices[2], face * 4 + 3);
        EXPECT_EQ(indices[3], face * 4 + 2);
        // Corners 0 and 2 are opposite: they differ in both free coordinates.
        const cVector3 a = Vertex(face * 4), c = Vertex(face * 4 + 2);
        int differing = 0;
        for (int k = 0; k < 3; ++k) differing += a[k] != c[k];
        EXPECT_EQ(differing, 2) << face;
    }
}

TEST(Sky, FollowsTheCameraRaisedByItsOffsetAndDrawsFiveOrSixFaces) {
    cPipelineRenderer renderer;
    cSky sky(&renderer);
    ASSERT_TRUE(sky.HasBuffers());
    EXPECT_EQ(renderer.vertexBuffers.at(0)->GetSize(), 480u);
    EXPECT_EQ(renderer.indexBuffers.at(0)->GetSize(), 48u);
    const char* names[6] = {"l.jpg", "r.jpg", "t.jpg", "", "f.jpg", "b.jpg"};
    for (int face = 0; face < 6; ++face) sky.SetFaceTexture(face, names[face]);
    sky.SetYOffset(-0.25f);
    renderer.SetCullMode(video::CM_CW);

    sky.Render(cVector3(10.0f, 20.0f, 30.0f));
    std::vector<sRecordedDraw> faces = renderer.Draws();
    ASSERT_EQ(faces.size(), 5u);
    const char* order[5] = {"l.jpg", "r.jpg", "f.jpg", "b.jpg", "t.jpg"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(faces[i].texture0, order[i]);
        EXPECT_EQ(faces[i].type, video::PT_TRIANGLE_STRIP);
        EXPECT_EQ(faces[i].firstIndex, i * 4);
        EXPECT_EQ(faces[i].indexCount, 4);
        EXPECT_FALSE(faces[i].depthWrite);
        EXPECT_EQ(faces[i].cull, video::CM_NONE);
        EXPECT_TRUE(faces[i].world.TransformPoint(cVector3(1.0f, 1.0f, -1.0f)).Equals(cVector3(11.0f, 20.75f, 29.0f)));
    }
    // Afterwards: depth writes on, clockwise culling, the world transform as it was.
    EXPECT_TRUE(renderer.GetDepthWrite());
    EXPECT_EQ(renderer.GetCullMode(), video::CM_CW);
    cMatrix world;
    renderer.GetTransform(video::MM_WORLD, world);
    EXPECT_TRUE(world.IsIdentity());
    EXPECT_EQ(renderer.pushes, renderer.pops);

    sky.SetFaceTexture(SKY_FACE_BOTTOM, "d.jpg");
    renderer.draws.clear();
    sky.Render(cVector3());
    faces = renderer.Draws();
    ASSERT_EQ(faces.size(), 6u);
    EXPECT_EQ(faces[5].texture0, "d.jpg");
    EXPECT_EQ(faces[5].firstIndex, 20);
}

TEST(Sky, FaceTexturesClampAndAreReleasedWhenReplacedOrEmptied) {
    cNullRenderer renderer;
    {
        cSky sky(&renderer);
        sky.SetFaceTexture(SKY_FACE_TOP, "top.jpg");
        ASSERT_NE(sky.GetFaceTexture(SKY_FACE_TOP), nullptr);
        EXPECT_EQ(renderer.FindTexture("top.jpg")->addressMode, video::TA_CLAMP_TO_EDGE);
        EXPECT_EQ(sky.GetFaceTextureName(SKY_FACE_TOP), "top.jpg");
        sky.SetFaceTexture(SKY_FACE_TOP, "other.jpg");
        EXPECT_EQ(renderer.FindTexture("top.jpg"), nullptr);
        sky.SetFaceTexture(SKY_FACE_TOP, "");
        EXPECT_EQ(sky.GetFaceTexture(SKY_FACE_TOP), nullptr);
        EXPECT_EQ(sky.GetFaceTextureName(SKY_FACE_TOP), "");
        // Faces outside 0..5 are ignored.
        sky.SetFaceTexture(6, "x.jpg");
        sky.SetFaceTexture(-1, "x.jpg");
        EXPECT_EQ(sky.GetFaceTexture(6), nullptr);
        EXPECT_EQ(sky.GetFaceTextureName(-1), "");
        sky.SetFaceTexture(SKY_FACE_LEFT, "left.jpg");
        renderer.missingTextures.insert("gone.jpg");
        sky.SetFaceTexture(SKY_FACE_RIGHT, "gone.jpg");
        EXPECT_EQ(sky.GetFaceTexture(SKY_FACE_RIGHT), nullptr);
    }
    EXPECT_EQ(renderer.liveTextures, 0);
    EXPECT_EQ(renderer.liveVertexBuffers, 0);
    EXPECT_EQ(renderer.liveIndexBuffers, 0);
}

TEST(Sky, WithoutBuffersDrawsNothing) {
    cNullRenderer renderer;
    renderer.failBuffers = true;
    cSky sky(&renderer);
    EXPECT_FALSE(sky.HasBuffers());
    sky.Render(cVector3());
    EXPECT_TRUE(renderer.calls.empty());
    cSky headless(nullptr);
    headless.SetFaceTexture(SKY_FACE_TOP, "top.jpg");
    headless.Render(cVector3());
    EXPECT_EQ(headless.GetFaceTexture(SKY_FACE_TOP), nullptr);
}

// ---- Lens flare ------------------------------------------------------------------------------------

// A camera at the origin looking down -z with a 90 degree view, on a 640 x 480 window.
struct sFlareFixture : ::testing::Test {
    cPipelineRenderer renderer;
    cCamera camera;
    std::unique_ptr<cLensFlare> flare;

    sFlareFixture() {
        camera.SetAspectRatio(640.0 / 480.0);
        camera.SetNearDistance(0.05);
        camera.SetFarDistance(500.0);
        renderer.SetCamera(&camera, true);
        flare.reset(new cLensFlare(&renderer));
        for (int i = 0; i < 7; ++i) flare->SetFlareTexture(i, "lens" + std::to_string(i));
        flare->SetBoundToCamera(true);
    }

    cVector3 Projected(const cVector3& p) {
        cVector3 s;
        renderer.Project(s, p);
        return s;
    }
    static cVector2 Centre(const sRecordedDraw& rect) {
        return cVector2((rect.rect.x1 + rect.rect.x2) * 0.5f, (rect.rect.y1 + rect.rect.y2) * 0.5f);
    }
};

TEST_F(sFlareFixture, SunPointIsTheStoredPositionOrADirectionFromTheCamera) {
    flare->SetWorldMatrix(cMatrix::Translation(0.0f, 3.0f, -4.0f));
    camera.position = cVector3(1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(flare->GetSunPosition(&camera).Equals(cVector3(1.0f, 62.0f, -77.0f), 1e-4f));
    EXPECT_TRUE(flare->GetSunPosition(nullptr).Equals(cVector3(0.0f, 3.0f, -4.0f)));
    flare->SetBoundToCamera(false);
    EXPECT_TRUE(flare->GetSunPosition(&camera).Equals(cVector3(0.0f, 3.0f, -4.0f)));
}

TEST_F(sFlareFixture, SunOnScreenLaysTheFlaresFromTheSunTowardsTheCentre) {
    const cVector3 direction(0.3f, 0.2f, -1.0f);
    flare->SetWorldMatrix(cMatrix::Translation(direction));
    renderer.queryResults = {400, 100};
    flare->Render(&camera);
    EXPECT_FLOAT_EQ(flare->GetBrightness(), 0.25f);

    const std::vector<sRecordedDraw> rects = renderer.Draws("rect");
    ASSERT_EQ(rects.size(), 7u);
    const cVector3 sun = Projected(direction.Normalized() * 100.0f);
    ASSERT_GT(sun.x, 320.0f);
    ASSERT_GT(sun.y, 240.0f);
    // Flare 0 on the sun, each next one a seventh of the way nearer the centre, flare 7 would sit on it.
    const cVector2 step((320.0f - sun.x) / 7.0f, (240.0f - sun.y) / 7.0f);
    for (int i = 0; i < 7; ++i) {
        const cVector2 centre = Centre(rects[i]);
        EXPECT_NEAR(centre.x, sun.x + i * step.x, 0.05f) << i;
        EXPECT_NEAR(centre.y, sun.y + i * step.y, 0.05f) << i;
        EXPECT_EQ(rects[i].texture0, "lens" + std::to_string(i));
        // Twice the image (1 x 1 here), whatever size the scene stored.
        EXPECT_FLOAT_EQ(rects[i].rect.GetWidth(), 2.0f);
        EXPECT_FLOAT_EQ(rects[i].rect.GetHeight(), 2.0f);
        EXPECT_EQ(rects[i].color, cColor(63, 63, 63, 255));
        EXPECT_EQ(rects[i].blendSrc, video::BF_SRC_ALPHA);
        EXPECT_EQ(rects[i].blendDst, video::BF_ONE);
        EXPECT_FALSE(rects[i].depthWrite);
        EXPECT_TRUE(rects[i].world.IsIdentity());
    }
    // Back as before: blending off, depth writes on, the camera's matrices.
    EXPECT_EQ(renderer.GetBlendSrc(), video::BF_NONE);
    EXPECT_TRUE(renderer.GetDepthWrite());
    EXPECT_EQ(renderer.pushes, renderer.pops);
    EXPECT_TRUE(Projected(direction.Normalized() * 100.0f).Equals(sun, 1e-3f));
}

TEST_F(sFlareFixture, MeasuresTheBoxAroundTheSunFirstUnhiddenThenAgainstTheDepth) {
    flare->SetWorldMatrix(cMatrix::Translation(0.0f, 0.0f, -1.0f));
    renderer.queryResults = {300, 300};
    flare->Render(&camera);
    const std::vector<sRecordedDraw> boxes = renderer.Draws("box");
    ASSERT_EQ(boxes.size(), 2u);
    for (const sRecordedDraw& box : boxes) {
        EXPECT_TRUE(box.corners[0].Equals(cVector3(-1.0f, -1.0f, -101.0f)));
        EXPECT_TRUE(box.corners[1].Equals(cVector3(1.0f, 1.0f, -99.0f)));
        EXPECT_FALSE(box.colorWrite);
    }
    EXPECT_EQ(boxes[0].depthFunc, video::CMP_ALWAYS);
    EXPECT_FALSE(boxes[0].depthWrite);
    EXPECT_EQ(boxes[1].depthFunc, video::CMP_LEQUAL);
    EXPECT_EQ(renderer.queriesAnswered, 2u);
    EXPECT_EQ(renderer.queriesOpen, 0);
    const std::vector<std::string> order(renderer.calls.begin(), renderer.calls.begin() + 6);
    EXPECT_EQ(order, (std::vector<std::string>{"query begin", "box", "query end", "query begin", "box", "query end"}));
    // Fully visible: full brightness.
    EXPECT_EQ(renderer.Draws("rect").at(0).color, cColor(255, 255, 255, 255));
}

TEST_F(sFlareFixture, HiddenOffScreenOrBehindTheCameraAddsNothing) {
    // Behind the camera and off to the side the box covers no pixel; hidden, none passes the depth test.
    for (const cVector3& direction : {cVector3(0.0f, 0.2f, 1.0f), cVector3(5.0f, 0.0f, -1.0f)}) {
        flare->SetWorldMatrix(cMatrix::Translation(direction));
        renderer.draws.clear();
        renderer.queryResults = {0, 0};
        renderer.queriesAnswered = 0;
        flare->Render(&camera);
        EXPECT_FLOAT_EQ(flare->GetBrightness(), 0.0f);
        EXPECT_TRUE(renderer.Draws("rect").empty());
        EXPECT_EQ(renderer.Draws("box").size(), 2u);
    }
    renderer.draws.clear();
    renderer.queryResults = {500, 0};
    renderer.queriesAnswered = 0;
    flare->Render(&camera);
    EXPECT_TRUE(renderer.Draws("rect").empty());
    EXPECT_TRUE(renderer.GetDepthWrite());
    EXPECT_EQ(renderer.GetBlendSrc(), video::BF_NONE);
}

TEST_F(sFlareFixture, UnboundSunIsAPlaceInTheWorld) {
    flare->SetBoundToCamera(false);
    const cVector3 place(-20.0f, 10.0f, -50.0f);
    flare->SetWorldMatrix(cMatrix::Translation(place));
    renderer.queryResults = {100, 100};
    flare->Render(&camera);
    EXPECT_TRUE(renderer.Draws("box").at(0).corners[0].Equals(place - cVector3(1.0f, 1.0f, 1.0f)));
    const cVector3 sun = Projected(place);
    const sRecordedDraw first = renderer.Draws("rect").at(0);
    EXPECT_NEAR(Centre(first).x, sun.x, 0.01f);
    EXPECT_NEAR(Centre(first).y, sun.y, 0.01f);
}

TEST_F(sFlareFixture, TexturesAreKeptPerSlotAndReleased) {
    flare->SetFlareTexture(3, "");
    EXPECT_EQ(flare->GetFlareTexture(3), nullptr);
    EXPECT_EQ(flare->GetFlareTextureName(4), "lens4");
    flare->SetFlareSize(4, 0.5f, 0.25f);
    EXPECT_EQ(flare->GetFlareSize(4), cVector2(0.5f, 0.25f));
    // Out of range: ignored.
    flare->SetFlareTexture(10, "x");
    flare->SetFlareSize(-1, 1.0f, 1.0f);
    EXPECT_EQ(flare->GetFlareTexture(10), nullptr);
    EXPECT_EQ(flare->GetFlareTextureName(-1), "");
    EXPECT_EQ(flare->GetFlareSize(10), cVector2());
    flare->SetWorldMatrix(cMatrix::Translation(0.0f, 0.0f, -1.0f));
    renderer.queryResults = {10, 10};
    flare->Render(&camera);
    EXPECT_EQ(renderer.Draws("rect").size(), 6u);
    EXPECT_EQ(renderer.liveQueries, 1);
    flare.reset();
    EXPECT_EQ(renderer.liveQueries, 0);
    EXPECT_EQ(renderer.liveTextures, 0);
}

TEST(LensFlare, WithoutQueryOrRendererNothingIsDrawn) {
    cLensFlare headless(nullptr);
    headless.SetFlareTexture(0, "lens0");
    headless.Render(nullptr);
    EXPECT_EQ(headless.GetFlareTexture(0), nullptr);
    EXPECT_FLOAT_EQ(headless.GetBrightness(), 0.0f);
    // The plain recording renderer makes no queries.
    cNullRenderer renderer;
    cLensFlare flare(&renderer);
    flare.SetFlareTexture(0, "lens0");
    renderer.calls.clear();
    flare.Render(nullptr);
    EXPECT_TRUE(renderer.calls.empty());
}

} // namespace
