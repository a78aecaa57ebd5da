#pragma once
// The scene's resource manager: the one place where scene objects are made.
// Every creation is logged and turns failures into a null result (with a
// warning saying why); nothing here throws to the caller except
// CreateAtmosphere. Objects returned are new (reference count 1 where the
// class counts references) and belong to the caller; static meshes are
// cached by file name, and the caller receives an added reference.
//
// Log lines: operations marked "logged" write "Creating <what>... " on entry
// and complete the line with "succeeded\n" or with the warning; the others
// log only a failure.

#include "engine/core/cColor.h"
#include "engine/core/cVector3.h"

namespace velmora::scene {

class ICamera;
class IStaticMesh;
class ITerrain;
class ISky;
class ILensFlare;
class ISprite;
class IParticleSystem;
class IBillboardSet;
class IScenePath;
class IRain;
class IWater;
class IButterflies;
class IBirds;
class IBillboard;
class ISound;
class IDirectionalLight;
class IEntity;

class IResourceManager {
public:
    virtual ~IResourceManager() = default;
    // Deletes the resource manager (and releases the meshes its cache holds).
    virtual void Release() = 0;
    // Logged "Creating mesh( name )... ". The cached mesh of that name with a reference added, or a mesh
    // loaded from the ".mesh" file with the load flags (MeshLoadFlags) and entered in the cache; null when
    // it cannot be loaded.
    virtual IStaticMesh* CreateMesh(const char* fileName, int flags) = 0;
    // Logged "Creating camera... ". A free camera with these projection parameters (degrees, width / height,
    // distances).
    virtual ICamera* CreateCamera(double fieldOfView, double aspectRatio, double nearDistance,
                                  double farDistance) = 0;
    // Logged "Creating terrain... ". A terrain of size x size heights (or flat without heights), a colour and
    // layer map of colorMapSize texels per side, the scale and chunk size.
    virtual ITerrain* CreateTerrain(const float* heights, int size, int colorMapSize, float scale,
                                    int chunkSize) = 0;
    // Logged "Creating terrain... ". A terrain from a height, colour and layer file.
    virtual ITerrain* CreateTerrain(const char* fileName, const cVector3& scale, int chunkSize) = 0;
    // A terrain with its vegetation from a world file.
    virtual ITerrain* CreateTerrain(const char* fileName) = 0;
    // Logged "Creating sky box... ".
    virtual ISky* CreateSkyBox() = 0;
    // Logged "Creating lens flares... ".
    virtual ILensFlare* CreateLensFlare() = 0;
    // Logged "Creating sprite( name )... ". A sprite showing frames of the texture; the frame size is also
    // its drawn size.
    virtual ISprite* CreateSprite(const char* textureName, float frameWidth, float frameHeight) = 0;
    // Logged "Creating particle system... ".
    virtual IParticleSystem* CreateParticleSystem() = 0;
    // Not available: always throws "cResourceManager::CreateAtmosphere : not implemented yet".
    virtual IEntity* CreateAtmosphere() = 0;
    // An empty billboard set.
    virtual IBillboardSet* CreateBillboardSet() = 0;
    // An empty camera path (reference count 1).
    virtual IScenePath* CreateScenePath() = 0;
    // Rain of `count` drops within `radius` of the camera, each of the given half height and half width.
    virtual IRain* CreateRain(int count, float radius, float halfHeight, float halfWidth) = 0;
    // Water of the colour, underwater fog density, distortion scroll speed and level.
    virtual IWater* CreateWater(const cColor& color, float density, float speed, float level) = 0;
    // Butterflies drifting with the velocity, their speed varying by up to speedVariation.
    virtual IButterflies* CreateButterflies(const cVector3& driftVelocity, float speedVariation) = 0;
    // A billboard with the identity transform.
    virtual IBillboard* CreateBillboard() = 0;
    // A scene sound entity with the identity transform and no source.
    virtual ISound* CreateSound() = 0;
    // The sun as a light.
    virtual IDirectionalLight* CreateDirectionalLight() = 0;
    // A flock of sea birds circling the origin, with the flock's defaults (IBirds).
    virtual IBirds* CreateBirds() = 0;
};

} // namespace velmora::scene
