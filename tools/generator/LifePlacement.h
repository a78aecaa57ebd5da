#pragma once
// Where the island's small creatures live: swarms of butterflies just above
// the ground ahead of the low flights (grove and beach), where the camera
// passes near enough to see them, and flocks of sea birds circling above the
// shore where the flights look along the coast. Every creature keeps its
// distance from every camera path, so none ever flies into the lens.

#include <string>
#include <vector>

#include "tools/generator/cHeightField.h"
#include "tools/generator/cSceneFile.h"

namespace brevonne {

struct sLifeOptions {
    std::vector<std::string> butterflyTextures; // used in turn by the swarms
    std::string birdTexture;
    float cameraClearance = 1.5f;  // least distance of any butterfly from any camera point
    float birdClearance = 7.0f;    // the same for the birds
    float birdGroundClearance = 7.0f;
};

// The butterfly swarms (at most two per low flight).
std::vector<sButterfliesEntity> PlaceButterflies(const cHeightField& field, const std::vector<sScenePath>& paths, const sLifeOptions& options);
// The bird flocks (at most three).
std::vector<sBirdsEntity> PlaceBirds(const cHeightField& field, const std::vector<sScenePath>& paths, const sLifeOptions& options);

// The least distance from any camera point of the paths (n samples each) to the box [min, max].
float PathDistanceToBox(const std::vector<sScenePath>& paths, const sVec3& min, const sVec3& max, int samples);
// The least distance from any camera point of the paths to the space a flock's birds can reach.
float PathDistanceToFlock(const std::vector<sScenePath>& paths, const sBirdsEntity& flock, int samples);
// The half height of the space a flock's birds can reach around its position (wing tips included).
float FlockHalfHeight(const sBirdsEntity& flock);

} // namespace brevonne
