#pragma once
// The scene's resource manager: creates and caches every scene object.

namespace velmora::scene {

class IResourceManager {
public:
    virtual ~IResourceManager() = default;
    // Deletes the resource manager.
    virtual void Release() = 0;
};

} // namespace velmora::scene
