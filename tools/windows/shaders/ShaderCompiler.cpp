// velmora-shaderc: compiles the HLSL shader files of the Direct3D 9 renderer
// ("_d3d9" files) to shader-model 2 bytecode beside them: the "<vertex>"
// section as vs_1_1 into "<name>.vs.bin", the "<fragment>" section as ps_2_0
// into "<name>.ps.bin". A Windows program, run at build time under Wine with a
// d3dcompiler_47.dll that compiles correctly (tools/windows/shaders/compile.sh).
//
// Usage: velmora-shaderc FILE...   Exit code 0 when every program compiled.
#include <windows.h>

#include <d3dcompiler.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/windows/shaders/BytecodeOptimizer.h"

namespace {

using tD3DCompile = HRESULT(WINAPI*)(LPCVOID, SIZE_T, LPCSTR, const D3D_SHADER_MACRO*, ID3DInclude*, LPCSTR, LPCSTR,
                                     UINT, UINT, ID3DBlob**, ID3DBlob**);

// The text from the end of `marker` to the other marker (or the end), as the renderer splits it.
std::string Section(const std::string& text, const char* marker, const char* other) {
    const std::size_t start = text.find(marker);
    if (start == std::string::npos) return std::string();
    const std::size_t from = start + std::strlen(marker);
    const std::size_t end = text.find(other, from);
    return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

bool Compile(tD3DCompile compile, const std::string& source, const std::string& name, const char* target,
             const std::string& output) {
    ID3DBlob* code = nullptr;
    ID3DBlob* errors = nullptr;
    const HRESULT hr = compile(source.data(), source.size(), name.c_str(), nullptr, nullptr, "main", target,
                               D3DCOMPILE_OPTIMIZATION_LEVEL3, 0, &code, &errors);
    if (errors) {
        std::fprintf(stderr, "%.*s", static_cast<int>(errors->GetBufferSize()),
                     static_cast<const char*>(errors->GetBufferPointer()));
        errors->Release();
    }
    if (FAILED(hr) || !code) {
        std::fprintf(stderr, "velmora-shaderc: %s (%s) failed, 0x%08lx\n", name.c_str(), target,
                     static_cast<unsigned long>(hr));
        if (code) code->Release();
        return false;
    }
    std::vector<std::uint32_t> tokens(code->GetBufferSize() / 4);
    std::memcpy(tokens.data(), code->GetBufferPointer(), tokens.size() * 4);
    code->Release();
    // The compiler leaves many copies behind: without them the pixel programs fit ps_2_0's slots.
    // VELMORA_SHADERC_RAW=1 keeps the compiler's own output (to compare the two).
    const char* raw = std::getenv("VELMORA_SHADERC_RAW");
    if (target[0] == 'p' && !(raw && raw[0] == '1')) tokens = velmora::tools::shaders::OptimizePixelBytecode(tokens);
    std::ofstream out(output, std::ios::binary);
    out.write(reinterpret_cast<const char*>(tokens.data()), static_cast<std::streamsize>(tokens.size() * 4));
    if (!out) {
        std::fprintf(stderr, "velmora-shaderc: cannot write %s\n", output.c_str());
        return false;
    }
    std::printf("velmora-shaderc: %s\n", output.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    HMODULE module = LoadLibraryW(L"d3dcompiler_47.dll");
    tD3DCompile compile =
        module ? reinterpret_cast<tD3DCompile>(reinterpret_cast<void*>(GetProcAddress(module, "D3DCompile"))) : nullptr;
    if (!compile) {
        std::fprintf(stderr, "velmora-shaderc: no D3DCompile in d3dcompiler_47.dll\n");
        return 2;
    }
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        std::string text = buffer.str();
        if (!in) {
            std::fprintf(stderr, "velmora-shaderc: cannot read %s\n", argv[i]);
            ok = false;
            continue;
        }
        text = text.substr(0, text.find('\0'));
        std::string base = argv[i];
        const std::size_t dot = base.find_last_of('.');
        if (dot != std::string::npos) base.erase(dot);
        const std::string vertex = Section(text, "<vertex>", "<fragment>");
        const std::string fragment = Section(text, "<fragment>", "<vertex>");
        if (!vertex.empty()) ok = Compile(compile, vertex, argv[i], "vs_1_1", base + ".vs.bin") && ok;
        if (!fragment.empty()) ok = Compile(compile, fragment, argv[i], "ps_2_0", base + ".ps.bin") && ok;
    }
    return ok ? 0 : 1;
}
