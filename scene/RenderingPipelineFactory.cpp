// The one file that names the rendering pipeline classes.

#include "scene/IRenderingPipeline.h"

namespace velmora::scene {

IRenderingPipeline* CreateRenderingPipeline(RenderingPipelineKind, const sSpecialEntities&, const sRenderSettings&) {
    // Neither cRenderingPipelineSM20 nor cRenderingPipelineFFP is built yet: the scene manager then
    // initialises and draws nothing.
    return nullptr;
}

} // namespace velmora::scene
