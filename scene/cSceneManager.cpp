#include "scene/cSceneManager.h"

namespace velmora::scene {

cSceneManager::cSceneManager() = default;
cSceneManager::~cSceneManager() { Clear(); }

void cSceneManager::Clear() {}

IResourceManager* cSceneManager::CreateResourceManager() { return nullptr; }

void cSceneManager::LoadScene(const char*, bool, IProgressCallback*) {}

} // namespace velmora::scene
