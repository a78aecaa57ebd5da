// Times a script function whose for loop adds to a global 10,000,000 times,
// called from the host with CallFunction, against Lua 5.4 ("lua5.4", run as
// a subprocess) running the equivalent loop. Both loops are timed in process
// CPU time around the loop alone (Lua's os.clock, std::clock here); the best
// of a few rounds counts. Prints both times and the ratio; fails when the
// script takes more than twice Lua's time.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "engine/core/cException.h"
#include "script/IScript.h"
#include "script/IScriptEnv.h"

namespace {

constexpr int kIterations = 10000000;
constexpr int kRounds = 5;
constexpr double kBound = 2.0;

const char* const kScript =
    "int g;\n"
    "void run()\n"
    "{\n"
    "    int i;\n"
    "    for (i = 0; i < 10000000; i += 1)\n"
    "        g += 1;\n"
    "}\n";

const char* const kLuaCommand =
    "lua5.4 -e \"g = 0 "
    "local function run() for i = 0, 9999999 do g = g + 1 end end "
    "local t = os.clock() run() print(os.clock() - t, g)\" 2>&1";

// Seconds of the script loop, or a negative value on failure.
double TimeScript(velmora::script::IScriptEnv* env, int round) {
    using namespace velmora::script;
    IScript* script = env->CreateScript(("bench" + std::to_string(round)).c_str(), 256);
    if (!script || !script->CompileString(kScript)) {
        return -1.0;
    }
    const std::clock_t start = std::clock();
    script->CallFunction("run");
    const std::clock_t stop = std::clock();
    const int total = *static_cast<const int*>(script->GetVariable("g"));
    script->Release();
    if (total != kIterations) {
        std::printf("script loop ended with g = %d, expected %d\n", total, kIterations);
        return -1.0;
    }
    return static_cast<double>(stop - start) / CLOCKS_PER_SEC;
}

// Seconds of the Lua loop, or a negative value on failure.
double TimeLua() {
    std::FILE* pipe = popen(kLuaCommand, "r");
    if (!pipe) {
        return -1.0;
    }
    char line[256] = {};
    const bool read = std::fgets(line, sizeof(line), pipe) != nullptr;
    const int status = pclose(pipe);
    double seconds = -1.0;
    long long total = 0;
    if (!read || status != 0 || std::sscanf(line, "%lf %lld", &seconds, &total) != 2 || total != kIterations) {
        std::printf("lua5.4 failed: %s\n", read ? line : "(no output)");
        return -1.0;
    }
    return seconds;
}

} // namespace

int main() {
    using namespace velmora::script;
    IScriptEnv* env = CreateScriptEnv();
    if (!env) {
        std::printf("no script environment\n");
        return 1;
    }
    double script = 1e30;
    double lua = 1e30;
    try {
        for (int round = 0; round < kRounds; ++round) {
            const double s = TimeScript(env, round);
            const double l = TimeLua();
            if (s < 0.0 || l < 0.0) {
                env->Release();
                return 1;
            }
            script = std::min(script, s);
            lua = std::min(lua, l);
        }
    } catch (const velmora::cException& e) {
        std::printf("script failed: %s\n", e.GetText());
        env->Release();
        return 1;
    }
    env->Release();
    const double ratio = lua > 0.0 ? script / lua : 0.0;
    std::printf("script for loop, %d iterations: %.3f s\n", kIterations, script);
    std::printf("lua 5.4 for loop, %d iterations: %.3f s\n", kIterations, lua);
    std::printf("ratio script / lua: %.2f (bound %.1f)\n", ratio, kBound);
    return ratio <= kBound ? 0 : 1;
}
