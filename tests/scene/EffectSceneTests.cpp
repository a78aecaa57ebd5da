// Rain, billboards and butterflies in the scene file: read through the real
// resource manager, written back the same, and their values kept.
#include <gtest/gtest.h>

#include "engine/core/cException.h"
#include "scene/IBillboard.h"
#include "scene/IBillboardSet.h"
#include "scene/IButterflies.h"
#include "scene/IRain.h"
#include "scene/cResourceManager.h"
#include "scene/cSerializer.h"
#include "scene/support/SceneTestSupport.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

const char* const kEffects =
    "entities {\n"
    "\train {\n"
    "\t\tposition\t(0.0000, 0.0000, 0.0000)\n"
    "\t\ttexture\t\"data/textures/drop.tga\"\n"
    "\t\tbillboardSize\t(0.35, 1.50)\n"
    "\t\ttotalBillboards\t150.00\n"
    "\t\tradius\t24.00\n"
    "\t}\n"
    "\tbillboard {\n"
    "\t\tposition\t(-3.0000, 1.5000, -8.0000)\n"
    "\t\ttexture\t\"data/textures/tree.tga\"\n"
    "\t\tsize\t(1.25, 1.50)\n"
    "\t}\n"
    "\tbutterflies {\n"
    "\t\tposition\t(2.0000, 1.0000, -6.0000)\n"
    "\t\ttexture\t\"data/textures/wings.tga\"\n"
    "\t\tvelocity\t(0.2500, 0.0000, -0.1250)\n"
    "\t\tspeedVariation\t0.7500\n"
    "\t\tchangeThreshold\t90\n"
    "\t\tflapSpeed\t12.0000\n"
    "\t\tareaSize\t3.5000\n"
    "\t}\n"
    "}\n\n";

struct sEffectScene : ::testing::Test {
    cScratchFolder folder;
    cResourceManager resources;
    cSerializer serializer{&resources};
    std::vector<IEntity*> entities;

    // Headless: the real entity classes without device resources.
    sEffectScene() { resources.SetHeadless(true); }
    ~sEffectScene() override {
        for (IEntity* e : entities) e->Release();
    }
    void Read(const std::string& text) {
        folder.Write("e.scene", text);
        cLogCapture log;
        ASSERT_TRUE(serializer.ReadEntities("e.scene", true, entities));
    }
};

} // namespace

TEST_F(sEffectScene, RainBillboardsAndButterfliesComeBackByteForByte) {
    Read(kEffects);
    ASSERT_EQ(entities.size(), 3u);
    auto* rain = dynamic_cast<IRain*>(entities[0]);
    auto* billboard = dynamic_cast<IBillboard*>(entities[1]);
    auto* butterflies = dynamic_cast<IButterflies*>(entities[2]);
    ASSERT_TRUE(rain && billboard && butterflies);
    EXPECT_TRUE(rain->GetDropCount() == 150 && rain->GetBillboardSet()->GetCount() == 150);
    EXPECT_TRUE(rain->GetRadius() == 24.0f && rain->GetDropWidth() == 0.35f && rain->GetDropHeight() == 1.5f);
    EXPECT_EQ(billboard->GetWorldMatrix().GetTranslation(), cVector3(-3.0f, 1.5f, -8.0f));
    EXPECT_EQ(billboard->GetBillboardWidth(), 1.25f);
    EXPECT_EQ(butterflies->GetDriftVelocity(), cVector3(0.25f, 0.0f, -0.125f));
    EXPECT_TRUE(butterflies->GetChangeThreshold() == 90 && butterflies->GetAreaHalfSize() == 3.5f);
    EXPECT_EQ(cSerializer::FormatEntities(entities), kEffects);
}

TEST_F(sEffectScene, MissingValuesKeepTheCreationValuesAndUnknownKeysAreErrors) {
    Read("entities { rain { } butterflies { } }");
    ASSERT_EQ(entities.size(), 2u);
    // The reader's rain: one drop, radius 32, half height 2, half width 10.
    auto* rain = dynamic_cast<IRain*>(entities[0]);
    EXPECT_TRUE(rain->GetDropCount() == 1 && rain->GetDropWidth() == 10.0f && rain->GetDropHeight() == 2.0f);
    auto* butterflies = dynamic_cast<IButterflies*>(entities[1]);
    EXPECT_TRUE(butterflies->GetChangeThreshold() == 94 && butterflies->GetFlapSpeed() == 10.0f &&
                butterflies->GetAreaHalfSize() == 10.0f);

    folder.Write("bad.scene", "entities { butterflies { wings 2 } }");
    std::vector<IEntity*> none;
    cLogCapture log;
    try {
        serializer.ReadEntities("bad.scene", true, none);
        FAIL() << "no error";
    } catch (const cException& e) {
        EXPECT_NE(std::string(e.GetText()).find("unknown butterflies property 'wings'"), std::string::npos);
    }
    EXPECT_TRUE(none.empty());
}
