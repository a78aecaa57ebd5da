#include "script/IScriptEnv.h"

namespace velmora::script {

// The script language is not built yet.
IScriptEnv* CreateScriptEnv() { return nullptr; }

} // namespace velmora::script
