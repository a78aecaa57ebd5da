// cScreensaver: every call into the scene layer, in one place.
#include "app/cScreensaver.h"
#include "app/cLoadingScreen.h"
#include "app/cSettings.h"
#include "engine/core/Log.h"
#include "scene/IEnvironment.h"
#include "scene/IResourceManager.h"
#include "scene/IScenePath.h"
#include "scene/camera/cCamera.h"
#include "scene/cSceneManager.h"

namespace brevonne {

using namespace velmora;

namespace {

const char* const kSceneFolder = "data/scene/";
// What a scene without paths is cleared with when the run may go on without them.
constexpr cColor kEmptySceneSky(112, 158, 212, 255);

} // namespace

scene::cCamera* cScreensaver::CreateFlightCamera(int viewWidth, int viewHeight) {
    const double aspect = viewHeight > 0 ? static_cast<double>(viewWidth) / viewHeight : 1.0;
    scene::ICamera* camera = m_ResourceManager ? m_ResourceManager->CreateCamera(90.0, aspect, 0.1, 100.0) : nullptr;
    // The flight moves the camera's position directly.
    scene::cCamera* flightCamera = dynamic_cast<scene::cCamera*>(camera);
    if (camera && !flightCamera) {
        LogWarning("cScreensaver::Create : the scene's camera cannot be flown\n");
        camera->Release();
    }
    return flightCamera;
}

void cScreensaver::LoadScene(cLoadingScreen* loadingScreen) {
    if (m_SceneManager) {
        m_SceneManager->LoadScene(kSceneFolder, GetSettings().GetRecord().soundEnabled, loadingScreen);
    }
}

const std::vector<scene::IScenePath*>& cScreensaver::GetScenePaths() const {
    static const std::vector<scene::IScenePath*> kNone;
    return m_SceneManager ? m_SceneManager->GetPaths() : kNone;
}

cColor cScreensaver::GetSceneFogColor() const {
    if (!m_SceneManager || GetScenePaths().empty()) {
        return kEmptySceneSky;
    }
    const scene::IEnvironment* environment = m_SceneManager->GetEnvironment();
    return environment ? environment->GetFogColor() : kEmptySceneSky;
}

void cScreensaver::RenderScene() {
    if (m_SceneManager && m_Camera) {
        m_SceneManager->Render(m_Camera);
    }
}

} // namespace brevonne
