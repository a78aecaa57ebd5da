#pragma once
// The vegetation standing on a terrain: placed copies (instances) of static
// meshes (kinds: palms, rocks, grass tufts...). Near the camera instances are
// drawn as meshes, batched per mesh part and sorted by texture
// (cDrawBatchList.h); beyond the vegetation distance each is drawn as an
// impostor, a quad turned towards the camera about the vertical axis and
// textured with a picture of its kind rendered once by Build.
//
// The vegetation is embedded in its terrain (ITerrain::GetVegetation) and
// dies with it; kinds and instances belong to the vegetation. It is a node
// with up to eight children; the terrain's vegetation is a single node whose
// box is (-1, -1, -1)-(256, 256, 256), and every walk below also descends into
// present children.
//
// Order of use: AddKind and AddInstance while the terrain is read, Build once
// after the last instance, then only drawing (CollectBatches, RenderImpostors).

#include <string>
#include <vector>

#include "engine/core/cBox.h"
#include "engine/core/cColor.h"
#include "engine/core/cMatrix.h"
#include "engine/core/cVector3.h"

namespace velmora::video {
class IRenderer;
class IRenderTarget;
}

namespace velmora::scene {

class ICamera;
class IMeshNode;
class cDrawBatchList;
class IStaticMesh;

// What vegetation meshes load with: texture coordinate, normal, colour.
constexpr int VEGETATION_MESH_FLAGS = 38;
// Impostor pictures are this many texels per side.
constexpr int IMPOSTOR_SIZE = 128;

// A vegetation kind: the mesh its instances show.
struct sVegetationKind {
    std::string name;                               // free text (empty in the shipped data)
    std::string meshFileName;                       // the ".mesh" file
    int impostorAtInsertion = 0;                    // non-zero: AddInstance renders the impostor picture
    video::IRenderTarget* impostorTarget = nullptr; // that picture (owned by the vegetation)
};

// One placed copy of a kind. Owned by the node that stores it; holds one reference to its mesh.
struct sVegetationInstance {
    IStaticMesh* mesh = nullptr;
    sVegetationKind* kind = nullptr;
    cColor color{255, 255, 255, 255};
    cMatrix matrix; // world matrix; the translation is the fourth row
};

class ITerrainVegetation {
public:
    // Deletes the children, instances (releasing their meshes), kinds and impostors.
    virtual ~ITerrainVegetation() = default;
    // The first instance whose mesh box, in the instance's own space, the ray (origin, direction) hits;
    // null when none does.
    virtual sVegetationInstance* PickInstance(const cVector3& origin, const cVector3& direction) = 0;
    // A new instance of the kind with the colour and world matrix; null when the kind's mesh cannot be loaded
    // or the instance's box lies wholly outside the node box (nothing is added then).
    virtual sVegetationInstance* AddInstance(sVegetationKind* kind, const cColor& color, const cMatrix& matrix) = 0;
    // Reserved; returns 0.
    virtual int Reserved2() { return 0; }
    // Removes and deletes the instance from the node holding it (children searched too); false when no
    // node holds it.
    virtual bool RemoveInstance(sVegetationInstance* instance) = 0;
    // The instances this node holds (not those of its children), in insertion order.
    virtual const std::vector<sVegetationInstance*>& GetInstances() const = 0;
    // Reserved; returns 0.
    virtual int Reserved5() { return 0; }
    // Child 0..7, or null (always null above 7).
    virtual ITerrainVegetation* GetChild(int index) const = 0;
    // Renders every kind's impostor picture (once per kind) and fills the impostor billboards; called once
    // after the last instance.
    virtual void Build() = 0;
    // Draws every node's box as a white wire box.
    virtual void RenderBounds() = 0;

    // ---- Beyond the slots: kinds, collection and impostors --------------------------------------
    // A new kind showing the mesh file, owned by the vegetation; null for an empty name.
    virtual sVegetationKind* AddKind(const char* meshFileName) = 0;
    // Every kind made by AddKind, in creation order.
    virtual const std::vector<sVegetationKind*>& GetKinds() const = 0;
    // The node's box.
    virtual const cBox& GetBoundingBox() const = 0;
    // Number of instances in this node and its children.
    virtual int GetInstanceCount() const = 0;
    // Appends one batch per mesh part of every instance the camera sees within `distance` of it (measured to
    // the instance's mesh box centre; inclusive). Null camera: every instance. Allocates nothing once the
    // list has grown to its working size.
    virtual void CollectBatches(ICamera* camera, float distance, cDrawBatchList& batches) = 0;
    // Draws each kind's impostor billboards with its picture on stage 0 (the caller binds the impostors shader
    // and its uniforms, which hide impostors within the vegetation distance); returns the triangles drawn.
    virtual int RenderImpostors() = 0;
    // Number of impostor billboards Build made (one per instance of a kind with a picture).
    virtual int GetImpostorCount() const = 0;
};

} // namespace velmora::scene
