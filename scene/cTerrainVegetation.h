#pragma once
// The terrain's vegetation (see ITerrainVegetation). cTerrainVegetation.cpp
// holds kinds, instances, insertion, picking and batch collection;
// cTerrainImpostors.cpp renders the impostor pictures and fills and draws the
// impostor billboards.
//
// Impostor billboards: per kind one billboard set (IBillboardSet.h) with one
// billboard per instance; the impostors shader turns each quad towards the
// camera about the vertical axis. The pictures are lit by the pipelines'
// default sun (direction (1, 1, 1)), as the vegetation pass lights the meshes.

#include <set>
#include <utility>
#include <vector>

#include "scene/ITerrainVegetation.h"

namespace velmora::scene {

class IBillboardSet;
class IResourceManager;

class cTerrainVegetation : public ITerrainVegetation {
public:
    // resources: where meshes and the impostor camera come from (null: no instance can be added);
    // renderer: what impostors are rendered and drawn with (null: no impostors).
    cTerrainVegetation(IResourceManager* resources, video::IRenderer* renderer, const cBox& box);
    ~cTerrainVegetation() override;
    cTerrainVegetation(const cTerrainVegetation&) = delete;
    cTerrainVegetation& operator=(const cTerrainVegetation&) = delete;

    sVegetationInstance* PickInstance(const cVector3& origin, const cVector3& direction) override;
    sVegetationInstance* AddInstance(sVegetationKind* kind, const cColor& color, const cMatrix& matrix) override;
    bool RemoveInstance(sVegetationInstance* instance) override;
    const std::vector<sVegetationInstance*>& GetInstances() const override { return m_Instances; }
    ITerrainVegetation* GetChild(int index) const override;
    void Build() override;
    void RenderBounds() override;
    sVegetationKind* AddKind(const char* meshFileName) override;
    const std::vector<sVegetationKind*>& GetKinds() const override { return m_Kinds; }
    const cBox& GetBoundingBox() const override { return m_Box; }
    int GetInstanceCount() const override;
    void CollectBatches(ICamera* camera, float distance, cDrawBatchList& batches) override;
    int RenderImpostors() override;
    int GetImpostorCount() const override;

    void SetBoundingBox(const cBox& box) { m_Box = box; }
    // The picture of a kind's impostor (null before Build or without a renderer).
    video::IRenderTarget* GetImpostorTarget(const sVegetationKind* kind) const;
    // Renders the mesh seen from -z, cropped to its box, into a new size x size target; null on failure.
    video::IRenderTarget* RenderImpostorPicture(IStaticMesh* mesh, int size);

private:
    struct sImpostor {
        sVegetationKind* kind = nullptr;
        video::IRenderTarget* target = nullptr;
        IBillboardSet* billboards = nullptr;
    };

    // Offers the instance to the children, then keeps it when its world box lies in or overlaps this box.
    bool Insert(sVegetationInstance* instance);
    void Collect(ICamera* camera, float distance, cDrawBatchList& batches);
    sImpostor* FindImpostor(const sVegetationKind* kind);
    bool FillBillboards(sImpostor& impostor, const std::vector<const sVegetationInstance*>& instances);
    static void FreeImpostor(sImpostor& impostor);

    IResourceManager* m_Resources = nullptr;
    video::IRenderer* m_Renderer = nullptr;
    cBox m_Box;
    cTerrainVegetation* m_Children[8] = {};
    std::vector<sVegetationInstance*> m_Instances;
    std::vector<sVegetationKind*> m_Kinds;
    std::vector<sImpostor> m_Impostors; // in the order Build met the kinds
    std::set<const sVegetationKind*> m_MissingKinds; // kinds whose mesh failed to load (warned once)
    ICamera* m_ImpostorCamera = nullptr;
};

// Where a box lies against a node box: every corner inside or on the boundary, or at least one corner strictly
// inside (both: it belongs to the node), or neither.
enum BoxPlacement : int {
    BOX_OUTSIDE = 0,
    BOX_INSIDE = 1,
    BOX_OVERLAPPING = 2,
};
BoxPlacement PlaceBox(const cBox& node, const cBox& box);

} // namespace velmora::scene
