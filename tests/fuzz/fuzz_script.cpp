// Script sources through the whole compiler (compile only: the language has loops, and the interpreter
// counts no instructions).
#include <string>

#include "fuzz/FuzzSupport.h"
#include "script/IScript.h"
#include "script/IScriptEnv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    fuzz::Folder();  // quiet log
    static script::IScriptEnv* env = script::CreateScriptEnv();
    const std::string source(reinterpret_cast<const char*>(data), size < fuzz::kMaxInput ? size : fuzz::kMaxInput);
    script::IScript* script = env->CreateScript("fuzz", 4096);
    if (!script) return 0;
    static int counter = 0;
    script->RegisterVariable("int", "counter", &counter);
    script->CompileString(source.c_str());
    script->Release();
    return 0;
}
