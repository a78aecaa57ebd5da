// Config files through the opener, then typed lookups of the names the seeds use.
#include "fuzz/FuzzSupport.h"
#include "engine/parser/cConfig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::string path = fuzz::Folder().Write("in.cfg", data, size);
    IConfig* config = cConfig::Open(path.c_str());
    if (!config) return 0;
    float vector[4] = {0, 0, 0, 0};
    const float defaults[4] = {1, 2, 3, 4};
    for (const char* name : {"a", "video.width", "video.title", "video.fog", "sound.volume", "video.window.inner.deep", "", ".", "..a."}) {
        config->GetInt(name, 1);
        config->GetFloat(name, 1.0f);
        config->GetString(name, "none");
        config->GetVector2(name, vector, defaults);
        config->GetVector3(name, vector, defaults);
        config->GetVector4(name, vector, defaults);
    }
    config->Release();
    return 0;
}
