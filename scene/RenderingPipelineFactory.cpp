// The one file that names the rendering pipeline classes.

#include "scene/IRenderingPipeline.h"
#include "scene/cRenderingPipelineFFP.h"
#include "scene/cRenderingPipelineSM20.h"

namespace velmora::scene {

IRenderingPipeline* CreateRenderingPipeline(RenderingPipelineKind kind, const sSpecialEntities& slots,
                                            const sRenderSettings& settings) {
    switch (kind) {
    case PIPELINE_SHADER_MODEL_20: return new cRenderingPipelineSM20(slots, settings);
    case PIPELINE_FIXED_FUNCTION: return new cRenderingPipelineFFP(slots, settings);
    }
    return nullptr;
}

} // namespace velmora::scene
