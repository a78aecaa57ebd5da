#include "scene/cSceneManager.h"

namespace velmora::scene {

cSceneManager::cSceneManager() = default;
cSceneManager::~cSceneManager() { Clear(); }

void cSceneManager::Clear() {}

IResourceManager* cSceneManager::CreateResourceManager() { return nullptr; }

} // namespace velmora::scene
