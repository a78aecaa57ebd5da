// The ".scene" reader and writer: every section and entity kind read into
// objects, the writer's fixed layout, round trips that come back byte for
// byte, the generated island's file, and damaged files that load nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "scene/IBirds.h"
#include "scene/IScenePath.h"
#include "scene/ISound.h"
#include "scene/IStaticMesh.h"
#include "scene/cEnvironment.h"
#include "scene/cSerializer.h"
#include "scene/sMeshInstance.h"
#include "scene/support/SceneTestSupport.h"
#include "scene/support/cNullRenderer.h"

using namespace velmora;
using namespace velmora::scene;
using namespace velmora::scene::test;

namespace {

// A scene in the writer's own layout, using every section and entity kind.
const char* kFullScene =
    "environment {\n"
    "\tfog {\n"
    "\t\tdensity\t0.017500\n"
    "\t\tcolor\t(0.76, 0.82, 0.91)\n"
    "\t}\n"
    "\n"
    "\tsounds {\n"
    "\t\tambient\t\"data/sounds/ambient.ogg\"\n"
    "\t}\n"
    "}\n"
    "\n"
    "paths {\n"
    "\tpath \"beach\" {\n"
    "\t\tcameraSpeed\t0.0275\n"
    "\t\tcamera {\n"
    "\t\t\t1.0000, 2.0000, 3.0000, 4.0000, 5.0000, 6.0000, 7.0000, 8.0000, 9.0000, 10.0000, 11.0000, 12.0000\n"
    "\t\t\t7.0000, 8.0000, 9.0000, 6.0000, 5.0000, 4.0000, 3.0000, 2.0000, 1.0000, 0.5000, 0.2500, 0.1250\n"
    "\t\t}\n"
    "\t\ttarget {\n"
    "\t\t\t-2.5000, 0.0000, 0.0000, -2.5000, 0.0000, 0.0000, 100.0000, 50.0000, 25.0000, 99.0000, 49.0000, 24.0000\n"
    "\t\t}\n"
    "\t}\n"
    "\tpath \"still\" {\n"
    "\t\tcameraSpeed\t0.0150\n"
    "\t\tcamera {\n"
    "\t\t}\n"
    "\t\ttarget {\n"
    "\t\t}\n"
    "\t}\n"
    "}\n"
    "\n"
    "entities {\n"
    "\twater {\n"
    "\t\tposition\t(128.0000, 25.0000, 128.0000)\n"
    "\t\tcolor\t(0.1804, 0.4000, 0.3451)\n"
    "\t\tdensity\t0.2000\n"
    "\t\tlevel\t25.0000\n"
    "\t\tspeed\t2.0000\n"
    "\t}\n"
    "\train {\n"
    "\t\tposition\t(0.0000, 0.0000, 0.0000)\n"
    "\t\ttexture\t\"data/textures/fx/drop.tga\"\n"
    "\t\tbillboardSize\t(0.05, 0.50)\n"
    "\t\ttotalBillboards\t150.00\n"
    "\t\tradius\t20.00\n"
    "\t}\n"
    "\tbillboard {\n"
    "\t\tposition\t(1.0000, 2.0000, 3.0000)\n"
    "\t\ttexture\t\"data/textures/fx/glow.tga\"\n"
    "\t\tsize\t(2.00, 3.00)\n"
    "\t}\n"
    "\tlensFlare {\n"
    "\t\tposition\t(-0.6003, 0.5503, 0.5803)\n"
    "\t\tboundToCamera\ttrue\n"
    "\t\tflare 0 {\n"
    "\t\t\ttexture\t\"data/textures/fx/lens_01.tga\"\n"
    "\t\t\tsize\t(0.10, 0.10)\n"
    "\t\t}\n"
    "\t\tflare 3 {\n"
    "\t\t\ttexture\t\"data/textures/fx/lens_04.tga\"\n"
    "\t\t\tsize\t(0.25, 0.25)\n"
    "\t\t}\n"
    "\t}\n"
    "\tsound {\n"
    "\t\tposition\t(185.6874, 25.5000, 113.7265)\n"
    "\t\tsource\t\"data/sounds/surf_beach.ogg\"\n"
    "\t\tlooped\ttrue\n"
    "\t\tvolume\t0.8000\n"
    "\t\tpitch\t0.8500\n"
    "\t\trolloff\t1.00000\n"
    "\t\tmaxDistance\t40.00000\n"
    "\t}\n"
    "\tsky {\n"
    "\t\tposition\t(0.0000, 0.0000, 0.0000)\n"
    "\t\tyOffset\t-10.0000\n"
    "\t\tleft\t\"sky/left.jpg\"\n"
    "\t\tright\t\"sky/right.jpg\"\n"
    "\t\tfront\t\"sky/front.jpg\"\n"
    "\t\tback\t\"sky/back.jpg\"\n"
    "\t\ttop\t\"sky/top.jpg\"\n"
    "\t}\n"
    "}\n"
    "\n"
    "meshes {\n"
    "\tmesh {\n"
    "\t\tmesh\t\"tri.mesh\"\n"
    "\t\ttransform\t (1.0000, 0.0000, 0.0000, 0.0000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000, 0.0000, 1.0000, "
    "0.0000, 10.0000, 0.0000, -5.0000, 1.0000 )\n"
    "\t}\n"
    "}\n"
    "\n";

const char* kTriangleMesh = "node \"t\" { material \"data/textures/leaf.tga\" vertices 3 { 0 0 0 1 0 0 0 1 0 } faces 1 { 0 1 2 } }\n";

// What the readers fill, released like the scene manager releases it.
struct sLoaded {
    cEnvironment environment{nullptr};
    std::vector<IScenePath*> paths;
    std::vector<IEntity*> entities;
    std::vector<sMeshInstance*> meshes;
    ~sLoaded() { Clear(); }
    void Clear() {
        for (auto* p : paths) p->Release();
        for (auto* e : entities) e->Release();
        for (auto* m : meshes) {
            m->mesh->Release();
            delete m;
        }
        paths.clear();
        entities.clear();
        meshes.clear();
    }
    std::string Write() const {
        return cSerializer::FormatEnvironment(const_cast<cEnvironment*>(&environment)) +
               cSerializer::FormatPaths(paths) + cSerializer::FormatEntities(entities) +
               cSerializer::FormatSceneMeshes(meshes);
    }
    template <class T>
    T* Entity(std::size_t index) const {
        return index < entities.size() ? dynamic_cast<T*>(entities[index]) : nullptr;
    }
};

struct sSerializerFixture : ::testing::Test {
    cScratchFolder folder;
    cNullRenderer renderer;
    cFakeSoundEngine sound;
    cEntityFactory factory;
    cSerializer serializer{&factory};

    sSerializerFixture() {
        factory.SetRenderer(&renderer);
        factory.SetSoundEngine(&sound);
        folder.Write("tri.mesh", kTriangleMesh);
    }
    ~sSerializerFixture() override { factory.Clear(); }

    // Reads all four sections of the text (stored as "s.scene").
    void ReadAll(const std::string& text, sLoaded& out, bool withSounds = true) {
        folder.Write("s.scene", text);
        cLogCapture log;
        EXPECT_TRUE(serializer.ReadEnvironment("s.scene", &out.environment));
        EXPECT_TRUE(serializer.ReadScenePaths("s.scene", out.paths));
        EXPECT_TRUE(serializer.ReadEntities("s.scene", withSounds, out.entities));
        EXPECT_TRUE(serializer.ReadSceneMeshes("s.scene", out.meshes));
    }
    // The error the readers raise for the text (the first that throws), "" when none does. The lists must
    // stay empty and every object made while reading must be gone again.
    std::string ErrorOf(const std::string& text) {
        folder.Write("bad.scene", text);
        sLoaded loaded;
        std::string message;
        cLogCapture log;
        try {
            serializer.ReadEnvironment("bad.scene", &loaded.environment);
            serializer.ReadScenePaths("bad.scene", loaded.paths);
            serializer.ReadEntities("bad.scene", true, loaded.entities);
            serializer.ReadSceneMeshes("bad.scene", loaded.meshes);
        } catch (const cException& e) {
            message = e.GetText();
        }
        EXPECT_TRUE(loaded.paths.empty() && loaded.entities.empty() && loaded.meshes.empty()) << text;
        EXPECT_EQ(factory.live, 0) << text;
        EXPECT_TRUE(sound.sources.empty()) << text;
        return message;
    }
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST_F(sSerializerFixture, ReadsEverySectionIntoItsObjects) {
    sLoaded s;
    ReadAll(kFullScene, s);

    EXPECT_TRUE(s.environment.IsFogEnabled());
    EXPECT_FLOAT_EQ(s.environment.GetFogDensity(), 0.0175f);
    EXPECT_EQ(s.environment.GetFogColor(), cColor(193, 209, 232, 255));
    EXPECT_EQ(s.environment.GetAmbientSound(), "data/sounds/ambient.ogg");

    ASSERT_EQ(s.paths.size(), 2u);
    EXPECT_EQ(s.paths[0]->GetName(), "beach");
    EXPECT_FLOAT_EQ(s.paths[0]->GetCameraSpeed(), 0.0275f);
    ASSERT_EQ(s.paths[0]->GetSegments().size(), 2u);
    // File order start, start control, end, end control.
    const sPathSegment& first = s.paths[0]->GetSegments()[0];
    EXPECT_EQ(first.start, cVector3(1, 2, 3));
    EXPECT_EQ(first.startControl, cVector3(4, 5, 6));
    EXPECT_EQ(first.end, cVector3(7, 8, 9));
    EXPECT_EQ(first.endControl, cVector3(10, 11, 12));
    ASSERT_EQ(s.paths[0]->GetTargetPath()->GetSegments().size(), 1u);
    EXPECT_FLOAT_EQ(s.paths[0]->GetTargetPath()->GetSegments()[0].start.x, -2.5f);
    EXPECT_TRUE(s.paths[1]->GetSegments().empty());

    ASSERT_EQ(s.entities.size(), 6u);
    auto* water = s.Entity<cFakeWater>(0);
    ASSERT_NE(water, nullptr);
    EXPECT_EQ(water->color, cColor(46, 102, 88, 255));
    EXPECT_FLOAT_EQ(water->density, 0.2f);
    EXPECT_FLOAT_EQ(water->level, 25.0f);
    EXPECT_FLOAT_EQ(water->speed, 2.0f);
    EXPECT_TRUE(water->GetWorldMatrix().Equals(cMatrix::Translation(128, 25, 128)));

    auto* rain = s.Entity<cFakeRain>(1);
    ASSERT_NE(rain, nullptr);
    EXPECT_EQ(rain->texture, "data/textures/fx/drop.tga");
    EXPECT_EQ(rain->count, 150);
    EXPECT_FLOAT_EQ(rain->radius, 20.0f);
    EXPECT_FLOAT_EQ(rain->width, 0.05f);
    EXPECT_FLOAT_EQ(rain->height, 0.5f);

    auto* billboard = s.Entity<cFakeBillboard>(2);
    ASSERT_NE(billboard, nullptr);
    EXPECT_EQ(billboard->texture, "data/textures/fx/glow.tga");
    EXPECT_FLOAT_EQ(billboard->width, 2.0f);
    EXPECT_FLOAT_EQ(billboard->height, 3.0f);

    auto* flare = s.Entity<cFakeLensFlare>(3);
    ASSERT_NE(flare, nullptr);
    EXPECT_TRUE(flare->bound);
    EXPECT_EQ(flare->textures[3], "data/textures/fx/lens_04.tga");
    EXPECT_FLOAT_EQ(flare->sizes[3].x, 0.25f);
    EXPECT_TRUE(flare->textures[1].empty());

    auto* soundEntity = s.Entity<ISound>(4);
    ASSERT_NE(soundEntity, nullptr);
    auto* source = sound.sources.at("data/sounds/surf_beach.ogg");
    EXPECT_EQ(soundEntity->GetSource(), source);
    EXPECT_FLOAT_EQ(source->volume, 0.8f);
    EXPECT_FLOAT_EQ(source->pitch, 0.85f);
    EXPECT_FLOAT_EQ(source->rolloff, 1.0f);
    EXPECT_FLOAT_EQ(source->maxDistance, 40.0f);
    EXPECT_TRUE(source->looping);
    EXPECT_TRUE(source->position.Equals({185.6874f, 25.5f, 113.7265f}));

    auto* sky = s.Entity<cFakeSky>(5);
    ASSERT_NE(sky, nullptr);
    EXPECT_FLOAT_EQ(sky->yOffset, -10.0f);
    EXPECT_EQ(sky->faces[SKY_FACE_TOP], "sky/top.jpg");
    EXPECT_EQ(sky->faces[SKY_FACE_FRONT], "sky/front.jpg");
    EXPECT_TRUE(sky->faces[SKY_FACE_BOTTOM].empty());

    ASSERT_EQ(s.meshes.size(), 1u);
    EXPECT_EQ(s.meshes[0]->mesh->GetFileName(), "tri.mesh");
    EXPECT_TRUE(s.meshes[0]->transform.Equals(cMatrix::Translation(10, 0, -5)));
    // Placed meshes load with the scene flags: 36-byte vertices.
    auto* vertices = dynamic_cast<cMemoryVertexBuffer*>(s.meshes[0]->mesh->GetNode(0)->GetVertexBuffer());
    ASSERT_NE(vertices, nullptr);
    EXPECT_EQ(vertices->stride, 36);
}

TEST_F(sSerializerFixture, WritingWhatWasReadGivesTheSameBytesAndTheSameObjects) {
    sLoaded first;
    ReadAll(kFullScene, first);
    const std::string written = first.Write();
    EXPECT_EQ(written, kFullScene);

    sLoaded second;
    ReadAll(written, second);
    EXPECT_EQ(second.Write(), written);
    EXPECT_EQ(second.environment.GetFogColor(), first.environment.GetFogColor());
    ASSERT_EQ(second.entities.size(), first.entities.size());
    EXPECT_EQ(second.Entity<cFakeWater>(0)->color, first.Entity<cFakeWater>(0)->color);
    EXPECT_EQ(second.paths[0]->GetSegments()[1].endControl, first.paths[0]->GetSegments()[1].endControl);
}

TEST_F(sSerializerFixture, ColourBytesSurviveTheWritersDecimals) {
    // Every byte written as byte / 255 with four decimals reads back as the same byte.
    for (int byte = 0; byte < 256; ++byte) {
        char text[32];
        std::snprintf(text, sizeof(text), "%2.4f", static_cast<double>(static_cast<float>(byte) / 255.0f));
        EXPECT_EQ(cSerializer::ColorByte(std::strtof(text, nullptr)), byte) << text;
    }
    // Out of range values clamp; 0.76 is 193 as the truncation of 193.8.
    EXPECT_EQ(cSerializer::ColorByte(1.2f), 255);
    EXPECT_EQ(cSerializer::ColorByte(-0.3f), 0);
    EXPECT_EQ(cSerializer::ColorByte(0.76f), 193);
}

TEST_F(sSerializerFixture, TheWriterPrintsValuesInItsFixedFormats) {
    sLoaded s;
    ReadAll("entities { rain { totalBillboards 150.7 } sound { source \"a.wav\" position (1, - 2.5, 3) } }\n"
            "paths { path \"p\" { camera { 0,0,0, 0,0,0, 1,1,1, 1,1,1 } target { } camera { 2,2,2, 2,2,2, 3,3,3, 3,3,3 } } }\n",
            s);
    ASSERT_EQ(s.entities.size(), 2u);
    EXPECT_EQ(s.Entity<cFakeRain>(0)->count, 150);
    const std::string entities = cSerializer::FormatEntities(s.entities);
    EXPECT_NE(entities.find("\t\ttotalBillboards\t150.00\n"), std::string::npos);
    // Sound values not given are 0 and "looped" false.
    EXPECT_NE(entities.find("\t\tposition\t(1.0000, -2.5000, 3.0000)\n\t\tsource\t\"a.wav\"\n\t\tlooped\tfalse\n"
                            "\t\tvolume\t0.0000\n\t\tpitch\t0.0000\n\t\trolloff\t0.00000\n\t\tmaxDistance\t0.00000\n"),
              std::string::npos)
        << entities;
    // No cameraSpeed keeps the path's own; two camera blocks make one curve.
    ASSERT_EQ(s.paths.size(), 1u);
    EXPECT_FLOAT_EQ(s.paths[0]->GetCameraSpeed(), 0.015f);
    EXPECT_EQ(s.paths[0]->GetSegments().size(), 2u);
    // The environment block is always written; without fog or sound it is empty.
    EXPECT_EQ(s.Write().substr(0, 17), "environment {\n}\n\n");
}

TEST_F(sSerializerFixture, WhatTheWriterCannotExpressIsLeftOut) {
    std::vector<IEntity*> entities;
    ISound* silent = factory.CreateSound();  // no source
    cFakeLight light;
    entities.push_back(silent);
    entities.push_back(&light);
    EXPECT_EQ(cSerializer::FormatEntities(entities), "entities {\n}\n\n");
    silent->Release();

    EXPECT_EQ(cSerializer::FormatEntities({}), "");
    EXPECT_EQ(cSerializer::FormatPaths({}), "");
    sMeshInstance empty;
    EXPECT_EQ(cSerializer::FormatSceneMeshes({&empty}), "meshes {\n}\n\n");
}

TEST_F(sSerializerFixture, StringsWithBackslashesComeBackAndDoubleQuotesAreRefused) {
    cEnvironment environment(nullptr);
    environment.SetAmbientSound("data\\sounds\\wind\t1.ogg");
    folder.Write("q.scene", cSerializer::FormatEnvironment(&environment));
    cEnvironment back(nullptr);
    ASSERT_TRUE(serializer.ReadEnvironment("q.scene", &back));
    EXPECT_EQ(back.GetAmbientSound(), "data\\sounds\\wind\t1.ogg");

    environment.SetAmbientSound("say \"hi\".ogg");
    EXPECT_THROW(cSerializer::FormatEnvironment(&environment), cException);
}

TEST_F(sSerializerFixture, SectionsAreFoundWhereverTheyStandAndOnlyOnce) {
    sLoaded s;
    // A string holding a section name is no section; only the first "entities" section is read; a file
    // with only entities leaves the environment alone.
    s.environment.SetFogEnabled(true);
    s.environment.SetFogColor(cColor(1, 2, 3, 255));
    ReadAll("entities { sound { source \"paths\" } }\n"
            "entities { billboard { } billboard { } }\n",
            s);
    EXPECT_EQ(s.entities.size(), 1u);
    EXPECT_TRUE(s.paths.empty());
    EXPECT_TRUE(s.meshes.empty());
    EXPECT_TRUE(s.environment.IsFogEnabled());
    EXPECT_EQ(s.environment.GetFogColor(), cColor(1, 2, 3, 255));
}

TEST_F(sSerializerFixture, WithoutSoundsSoundBlocksArePassedOver) {
    sLoaded s;
    ReadAll("entities { sound { source \"a.ogg\" whatever 12 { nested } } billboard { } }", s, false);
    ASSERT_EQ(s.entities.size(), 1u);
    EXPECT_EQ(s.entities[0]->GetType(), ENTITY_BILLBOARD);
    EXPECT_TRUE(sound.sources.empty());
}

TEST_F(sSerializerFixture, ObjectsThatCannotBeMadeAreReadOverAndLeftOut) {
    sLoaded s;
    sound.missing.push_back("gone.ogg");
    folder.Write("s.scene", "entities { sound { source \"gone.ogg\" volume 1 } }\n"
                            "meshes { mesh { mesh \"gone.mesh\" } mesh { mesh \"tri.mesh\" } }");
    cLogCapture log;
    ASSERT_TRUE(serializer.ReadEntities("s.scene", true, s.entities));
    ASSERT_TRUE(serializer.ReadSceneMeshes("s.scene", s.meshes));
    // The sound exists without a source (and would not be written); the missing mesh leaves no record.
    ASSERT_EQ(s.entities.size(), 1u);
    EXPECT_EQ(dynamic_cast<ISound*>(s.entities[0])->GetSource(), nullptr);
    ASSERT_EQ(s.meshes.size(), 1u);
    EXPECT_EQ(s.meshes[0]->mesh->GetFileName(), "tri.mesh");
    EXPECT_NE(log.Text().find("cMeshParser::ParseFile : file 'gone.mesh' not found"), std::string::npos);

    // A reader whose factory cannot make water reads the block anyway.
    cLogCapture quiet;
    struct cNoWater : cResourceManager {
        IWater* CreateWater(const cColor&, float, float, float) override { return nullptr; }
    } plain;
    cSerializer withoutWater(&plain);
    folder.Write("w.scene", "entities { water { position (1, 2, 3) color (1, 1, 1) level 4 } }");
    std::vector<IEntity*> none;
    EXPECT_TRUE(withoutWater.ReadEntities("w.scene", true, none));
    EXPECT_TRUE(none.empty());
}

TEST_F(sSerializerFixture, DamagedFilesFailWithTheParsersMessageAndLoadNothing) {
    struct sCase {
        const char* text;
        const char* message;
    };
    const sCase cases[] = {
        {"environment {\n}\nweather {\n}\n", "memory( 2 ) error : unknown section 'weather'"},
        {"environment {\n}\n\"paths\" {\n}\n", "memory( 2 ) error : unexpected token 'paths'"},
        {"entities {\n\twater {\n\t\tlevel 2\n}\n", "memory( 4 ) error : unexpected end of file; '}' expected to close 'entities'"},
        {"paths {\n}\n}\n", "memory( 2 ) error : unexpected token '}'"},
        {"entities {\n\twater {\n\t\tposition 1, 2, 3\n\t}\n}\n", "memory( 2 ) error : '(' expected before vector, found '1'"},
        {"entities {\n\twater {\n\t\tposition (1, x, 3)\n\t}\n}\n", "memory( 2 ) error : integer expected, found 'x'"},
        {"entities {\n\tbillboard {\n\t\ttexture \"abc\n\t}\n}\n", "memory( 2 ) error : unexpected end of file, missing \"."},
        {"entities {\n\twater { }\n\twater { depth 3 }\n}\n", "memory( 2 ) error : unknown water property 'depth'"},
        {"entities {\n\tsound { source \"a.ogg\" }\n\tcloud { }\n}\n", "memory( 2 ) error : unexpected token 'cloud'"},
        {"entities {\n\tsky {\n\t\tup \"u.jpg\"\n\t}\n}\n", "memory( 2 ) error : unknown sky property 'up'"},
        {"entities {\n\tlensFlare {\n\t\tflare 10 { }\n\t}\n}\n", "memory( 2 ) error : flare index 10 out of range 0..9"},
        {"entities {\n\tlensFlare {\n\t\tflare 1 { color (1, 1, 1) }\n\t}\n}\n", "memory( 2 ) error : unknown flare property 'color'"},
        {"entities {\n\train { }\n\train { speed 2 }\n}\n", "memory( 2 ) error : unknown rain property 'speed'"},
        {"entities {\n\tbillboard { }\n\tbillboard { color 2 }\n}\n", "memory( 2 ) error : unknown billboard property 'color'"},
        {"entities {\n\tlensFlare { }\n\tlensFlare { size 2 }\n}\n", "memory( 2 ) error : unknown lens flare property 'size'"},
        {"entities {\n\tsound { }\n\tsound { loop true }\n}\n", "memory( 2 ) error : unknown sound property 'loop'"},
        {"environment {\n\tfog {\n\t\tstart 2\n\t}\n}\n", "memory( 2 ) error : unknown fog property 'start'"},
        {"environment {\n\tsky {\n\t\tbottom \"b.jpg\"\n\t}\n}\n", "memory( 2 ) error : unknown sky property 'bottom'"},
        {"environment {\n\tsounds {\n\t\tmusic \"m.ogg\"\n\t}\n}\n", "memory( 2 ) error : unexpected token 'music'"},
        {"environment {\n\n\train\n}\n", "memory( 2 ) error : unexpected token 'rain'"},
        {"paths {\n\tpath \"a\" { }\n\tpath {\n\t}\n}\n", "memory( 2 ) error : string expected, found '{'"},
        {"paths {\n\tpath \"a\" {\n\t\tcamera { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 }\n\t}\n}\n",
         "memory( 2 ) error : expected ',' found '}' after '11'"},
        {"paths {\n\tpath \"a\" {\n\t\tspeed 2\n\t}\n}\n", "memory( 2 ) error : unexpected token 'speed'"},
        {"meshes {\n\tmesh { mesh \"tri.mesh\" }\n\tmesh { scale 2 }\n}\n", "memory( 2 ) error : unknown mesh propery 'scale'"},
        {"meshes {\n\tmesh { mesh \"tri.mesh\" }\n\tmesh { transform (1, 2, 3\n}\n}\n", "memory( 3 ) error : expected ')' found '}' after '3'"},
    };
    for (const sCase& c : cases) {
        EXPECT_EQ(ErrorOf(c.text), c.message) << c.text;
    }
}

TEST_F(sSerializerFixture, NullArgumentsAndMissingFiles) {
    cEnvironment environment(nullptr);
    std::vector<IScenePath*> paths;
    std::vector<IEntity*> entities;
    std::vector<sMeshInstance*> meshes;
    IFile* none = nullptr;
    const auto message = [](auto&& call) {
        try {
            call();
        } catch (const cException& e) {
            return std::string(e.GetText());
        }
        return std::string();
    };
    EXPECT_EQ(message([&] { serializer.ReadEnvironment(none, &environment); }),
              "cSerializer::ReadEnvironment : NULL pointer to file");
    folder.Write("e.scene", "");
    IFile* file = GetProcessFileSystem()->OpenFile("e.scene");
    EXPECT_EQ(message([&] { serializer.ReadEnvironment(file, nullptr); }),
              "cSerializer::ReadEnvironment : NULL pointer to environment");
    file->Release();
    EXPECT_EQ(message([&] { serializer.ReadSceneMeshes(none, meshes); }),
              "cSerializer::ReadSceneMeshes : NULL pointer to file");
    EXPECT_EQ(message([&] { serializer.WriteEntities(none, entities); }),
              "cSerializer::WriteEntities : NULL pointer to file");

    cLogCapture log;
    EXPECT_FALSE(serializer.ReadEnvironment("missing.scene", &environment));
    EXPECT_FALSE(serializer.ReadEntities("missing.scene", true, entities));
    EXPECT_EQ(serializer.ReadTerrain("missing.terrain", nullptr), nullptr);
    // An empty file is a scene without sections.
    EXPECT_TRUE(serializer.ReadScenePaths("e.scene", paths));
    // Writing no paths creates no file.
    EXPECT_TRUE(serializer.WritePaths("p.scene", paths));
    EXPECT_FALSE(folder.Exists("p.scene"));
    EXPECT_TRUE(serializer.WriteEnvironment("env.scene", &environment));
    EXPECT_EQ(folder.ReadText("env.scene"), "environment {\n}\n\n");
}

TEST_F(sSerializerFixture, TheGeneratedIslandSceneReadsAndWritesBackByteForByte) {
    const std::string file = BuildFolder() + "data/scene/.scene";
    const std::string text = ReadFile(file);
    if (text.empty()) GTEST_SKIP() << "no generated scene at " << file;
    sLoaded s;
    ReadAll(text, s);
    EXPECT_TRUE(s.environment.IsFogEnabled());
    EXPECT_GE(s.paths.size(), 4u);
    int counts[16] = {};
    for (IEntity* e : s.entities) ++counts[e->GetType() & 15];
    EXPECT_EQ(counts[ENTITY_WATER], 1);
    EXPECT_EQ(counts[ENTITY_LENS_FLARE], 1);
    EXPECT_EQ(counts[ENTITY_SKY], 1);
    EXPECT_GE(counts[ENTITY_SOUND], 1);
    // The island's life: butterflies over the grove and the beach, sea birds above the shore.
    EXPECT_GE(counts[ENTITY_BUTTERFLIES], 2);
    EXPECT_GE(counts[ENTITY_BIRDS], 1);
    for (IScenePath* path : s.paths) {
        EXPECT_FALSE(path->GetSegments().empty()) << path->GetName();
        EXPECT_EQ(path->GetSegments().size(), path->GetTargetPath()->GetSegments().size()) << path->GetName();
    }
    EXPECT_EQ(s.Write(), text);
}

TEST_F(sSerializerFixture, BirdsReadIntoTheFlockAndWriteBackByteForByte) {
    const std::string text =
        "environment {\n}\n\n"
        "entities {\n"
        "\tbirds {\n"
        "\t\tposition\t(185.6874, 44.0000, -113.7265)\n"
        "\t\ttexture\t\"data/textures/fx/gull.tga\"\n"
        "\t\tcount\t4\n"
        "\t\tradius\t18.0000\n"
        "\t\tspeed\t-4.5000\n"
        "\t\twingSpan\t2.2000\n"
        "\t\tflapSpeed\t2.2000\n"
        "\t}\n"
        "}\n\n";
    sLoaded s;
    ReadAll(text, s);
    ASSERT_EQ(s.entities.size(), 1u);
    auto* birds = dynamic_cast<IBirds*>(s.entities[0]);
    ASSERT_NE(birds, nullptr);
    EXPECT_EQ(birds->GetCount(), 4);
    EXPECT_FLOAT_EQ(birds->GetSpeed(), -4.5f);
    EXPECT_FLOAT_EQ(birds->GetWorldMatrix().m[14], -113.7265f);
    EXPECT_EQ(s.Write(), text);
    // A count beyond any flock is brought into range rather than overflowing.
    sLoaded big;
    ReadAll("entities { birds { count 99999999 } }", big);
    ASSERT_EQ(big.entities.size(), 1u);
    EXPECT_EQ(dynamic_cast<IBirds*>(big.entities[0])->GetCount(), IBirds::kMaxCount);
    EXPECT_NE(ErrorOf("entities { birds { wings 2 } }").find("unknown birds property 'wings'"), std::string::npos);
}
