// The shipped Direct3D 9 shaders against their committed bytecode: every program of every "_d3d9"
// file has its bytecode, of the right shader model, with a constant table that puts each uniform
// and sampler at the register the source names, and every pixel program fits ps_2_0's slots.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "video/d3d9/ShaderBytecode.h"
#include "video/d3d9/ShaderConstantTable.h"

namespace velmora::video::d3d9 {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    const std::string text = ReadText(path);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string Section(const std::string& text, const std::string& marker, const std::string& other) {
    const std::size_t start = text.find(marker);
    if (start == std::string::npos) return std::string();
    const std::size_t from = start + marker.size();
    const std::size_t end = text.find(other, from);
    return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

std::vector<fs::path> ShaderFiles() {
    std::vector<fs::path> files;
    const fs::path folder = fs::path("data") / "shaders" / "common";
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > 9 && name.compare(name.size() - 9, 9, "_d3d9.txt") == 0) files.push_back(entry.path());
    }
    return files;
}

// Checks one program's bytecode against its source: version, table, explicit registers.
void CheckProgram(const fs::path& shader, const std::string& source, const char* program, std::uint32_t version) {
    fs::path binary = shader;
    binary.replace_extension(std::string(".") + program + ".bin");
    ASSERT_TRUE(fs::exists(binary)) << binary << " is missing: run tools/windows/shaders/compile.sh";
    const std::vector<std::uint8_t> code = ReadBytes(binary);
    EXPECT_EQ(ShaderVersion(code.data(), code.size()), version) << binary;
    std::vector<sShaderConstant> table;
    ASSERT_TRUE(ParseConstantTable(code.data(), code.size(), table)) << binary;
    // "name : register(c4)" / "register(s2)" in the source: the table must say the same.
    static const std::regex declaration(R"((\w+)\s*:\s*register\s*\(\s*([cs])(\d+)\s*\))");
    for (std::sregex_iterator it(source.begin(), source.end(), declaration), end; it != end; ++it) {
        const std::string name = (*it)[1];
        const sShaderConstant* c = FindConstant(table, name.c_str());
        if (!c) continue;  // declared but unused: the compiler leaves it out
        EXPECT_EQ(c->registerSet, (*it)[2] == "s" ? RS_SAMPLER : RS_FLOAT4) << binary << " " << name;
        EXPECT_EQ(c->registerIndex, std::stoi((*it)[3])) << binary << " " << name;
    }
    // Nothing the program reads sits at a register the source left to the compiler.
    for (const sShaderConstant& c : table) {
        EXPECT_NE(source.find(c.name), std::string::npos) << binary << " " << c.name;
        const std::regex named(c.name + R"(\s*:\s*register)");
        EXPECT_TRUE(std::regex_search(source, named)) << binary << ": " << c.name << " has no explicit register";
    }
}

TEST(ShaderBytecodeTest, EveryShippedProgramHasItsBytecodeWithExplicitRegisters) {
    const std::vector<fs::path> files = ShaderFiles();
    ASSERT_FALSE(files.empty()) << "no _d3d9 shaders below data/shaders/common (tests run in the source folder)";
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        const std::string text = ReadText(file);
        const std::string vertex = Section(text, "<vertex>", "<fragment>");
        const std::string fragment = Section(text, "<fragment>", "<vertex>");
        ASSERT_FALSE(vertex.empty());
        CheckProgram(file, vertex, "vs", 0xFFFE0101u);
        fs::path pixel = file;
        pixel.replace_extension(".ps.bin");
        if (fragment.empty()) {
            EXPECT_FALSE(fs::exists(pixel)) << "stale pixel bytecode";
        } else {
            CheckProgram(file, fragment, "ps", 0xFFFF0200u);
        }
    }
}

TEST(ShaderBytecodeTest, EveryPixelProgramFitsShaderModel2) {
    int checked = 0;
    for (const fs::path& file : ShaderFiles()) {
        fs::path pixel = file;
        pixel.replace_extension(".ps.bin");
        if (!fs::exists(pixel)) continue;
        const std::vector<std::uint8_t> code = ReadBytes(pixel);
        const sSlotCount slots = CountSlots(code.data(), code.size());
        ASSERT_TRUE(slots.valid) << pixel;
        EXPECT_GT(slots.arithmetic, 0) << pixel;
        EXPECT_LE(slots.arithmetic, 64) << pixel;
        EXPECT_LE(slots.texture, 32) << pixel;
        EXPECT_TRUE(slots.swizzlesAllowed) << pixel << " has swizzles ps_2_0 refuses";
        std::printf("%s: %d arithmetic, %d texture slots\n", pixel.filename().string().c_str(), slots.arithmetic,
                    slots.texture);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

TEST(ShaderBytecodeTest, SlotCountsOfHandMadePrograms) {
    // ps_2_0: dcl t0; dcl_2d s0; texld r0, t0, s0; pow r1.x, r0.x, r0.y; lrp r2, r0, r1, c0; mov oC0, r2; end.
    const std::uint32_t program[] = {
        0xFFFF0200u,
        0x0200001Fu, 0x80000000u, 0xB0030000u,   // dcl t0.xy
        0x0200001Fu, 0x90000000u, 0xA00F0800u,   // dcl_2d s0
        0x03000042u, 0x800F0000u, 0xB0E40000u, 0xA0E40800u,  // texld
        0x03000020u, 0x80010001u, 0x80000000u, 0x80550000u,  // pow: 3 slots
        0x04000012u, 0x800F0002u, 0x80E40000u, 0x80E40001u, 0xA0E40000u,  // lrp: 2 slots
        0x02000001u, 0x800F0800u, 0x80E40002u,   // mov
        0x0000FFFFu,
    };
    const sSlotCount slots = CountSlots(program, sizeof(program));
    ASSERT_TRUE(slots.valid);
    EXPECT_EQ(slots.texture, 1);
    EXPECT_EQ(slots.arithmetic, 6);
    // Without its end token, cut inside an instruction, or of shader model 1: not counted.
    EXPECT_FALSE(CountSlots(program, sizeof(program) - 4).valid);
    EXPECT_FALSE(CountSlots(program, 13 * 4).valid);
    const std::uint32_t model1[] = {0xFFFF0101u, 0x0000FFFFu};
    EXPECT_FALSE(CountSlots(model1, sizeof(model1)).valid);
    // An instruction announcing more operands than the bytes hold.
    const std::uint32_t overlong[] = {0xFFFF0200u, 0x0F000001u, 0x0000FFFFu};
    EXPECT_FALSE(CountSlots(overlong, sizeof(overlong)).valid);
}

} // namespace
} // namespace velmora::video::d3d9
