#pragma once
// The ".scene" text file: environment, camera paths and entities printed in
// the scene writer's fixed layout (tabs, blank lines and number formats), so
// that the scene reader takes every value back and a later save by the engine
// reproduces the file.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/generator/cHeightField.h"

namespace brevonne {

// A colour as the scene keeps it: bytes; the file shows byte / 255.
struct sByteColor {
    std::uint8_t r = 255, g = 255, b = 255;
};
// The byte the reader stores for a value v in 0..1 (truncated product with 255).
std::uint8_t ColorByte(float v);

struct sSceneEnvironment {
    bool fog = false;
    float fogDensity = 0.0f;
    sByteColor fogColor;
    std::string ambientSound;
};

// One cubic piece of a path: start, end, start control, end control.
struct sSegment {
    sVec3 start, end, startControl, endControl;
    sVec3 Evaluate(float s) const;
};

struct sScenePath {
    std::string name;
    float cameraSpeed = 0.015f;
    std::vector<sSegment> camera;
    std::vector<sSegment> target;
    // The point at parameter t in [0, 1] of a curve: every segment takes an equal share of t.
    static sVec3 Evaluate(const std::vector<sSegment>& curve, float t);
};

struct sWaterEntity {
    sVec3 position;
    sByteColor color;
    float density = 0, level = 0, speed = 0;
    std::string foam;    // surf: the foam picture (none: no surf)
    std::string surfMap; // surf: strength and reach over the terrain
};

struct sFlare {
    std::string texture;
    float width = 0, height = 0;
};

struct sLensFlareEntity {
    sVec3 position;
    bool boundToCamera = false;
    std::array<sFlare, 10> flares;
};

struct sSoundEntity {
    sVec3 position;
    std::string source;
    bool looped = false;
    float volume = 1, pitch = 1, rolloff = 1, maxDistance = 10000;
};

struct sSkyEntity {
    sVec3 position;
    float yOffset = 0;
    std::array<std::string, 6> faces; // 0 left, 1 right, 2 top, 3 bottom, 4 front, 5 back
    std::string clouds;                // the drifting cloud layer's picture (none: no layer)
    float cloudDriftU = 0, cloudDriftV = 0; // texels per second
};

// Ten butterflies fluttering in a cube of +-areaSize around the position.
struct sButterfliesEntity {
    sVec3 position;
    std::string texture;
    sVec3 velocity;
    float speedVariation = 1.0f;
    int changeThreshold = 94;
    float flapSpeed = 10.0f;
    float areaSize = 10.0f;
};

// A flock of sea birds gliding on circles around the position.
struct sBirdsEntity {
    sVec3 position;
    std::string texture;
    int count = 3;
    float radius = 20.0f, speed = 4.0f, wingSpan = 1.6f, flapSpeed = 2.5f;
};

// The entities in list order; each vector keeps its own order and they are written water, butterflies,
// birds, lens flares, sounds, sky (the lens flare after the small creatures, so that it is drawn over them).
struct sSceneEntities {
    std::vector<sWaterEntity> water;
    std::vector<sButterfliesEntity> butterflies;
    std::vector<sBirdsEntity> birds;
    std::vector<sLensFlareEntity> lensFlares;
    std::vector<sSoundEntity> sounds;
    std::vector<sSkyEntity> skies;
};

struct sSceneDescription {
    sSceneEnvironment environment;
    std::vector<sScenePath> paths;
    sSceneEntities entities;
};

// The whole ".scene" text: environment, paths (if any), entities (if any); there are no placed meshes.
std::string WriteSceneText(const sSceneDescription& scene);

} // namespace brevonne
