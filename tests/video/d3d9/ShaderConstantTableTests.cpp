// The constant-table reader on bytecode built here: what a compiler writes is read back, and no
// damaged or cut copy makes it read outside the bytes or report a table it does not have.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "video/d3d9/ShaderConstantTable.h"

namespace velmora::video::d3d9 {
namespace {

struct sSpec {
    std::string name;
    std::uint16_t set, index, count, cls, rows, columns, elements;
};

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) { std::memcpy(&out[at], &v, 4); }
void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) { std::memcpy(&out[at], &v, 2); }

// Bytecode of `version` with an unrelated comment first, then a CTAB block, then an end token.
std::vector<std::uint8_t> Bytecode(std::uint32_t version, const std::vector<sSpec>& constants) {
    // The table: header (28 bytes), infos (20 each), types (16 each), names.
    std::vector<std::uint8_t> table(28 + constants.size() * 36);
    Put32(table, 0, 28);
    Put32(table, 12, static_cast<std::uint32_t>(constants.size()));
    Put32(table, 16, 28);
    for (std::size_t i = 0; i < constants.size(); ++i) {
        const sSpec& c = constants[i];
        const std::size_t info = 28 + i * 20;
        const std::size_t type = 28 + constants.size() * 20 + i * 16;
        const std::size_t name = table.size();
        table.insert(table.end(), c.name.begin(), c.name.end());
        table.push_back(0);
        Put32(table, info, static_cast<std::uint32_t>(name));
        Put16(table, info + 4, c.set);
        Put16(table, info + 6, c.index);
        Put16(table, info + 8, c.count);
        Put32(table, info + 12, static_cast<std::uint32_t>(type));
        Put16(table, type, c.cls);
        Put16(table, type + 4, c.rows);
        Put16(table, type + 6, c.columns);
        Put16(table, type + 8, c.elements);
    }
    while (table.size() % 4) table.push_back(0);
    std::vector<std::uint8_t> code(4);
    Put32(code, 0, version);
    // Another comment (debug text) comes first and must be stepped over.
    code.resize(code.size() + 12);
    Put32(code, 4, 0xFFFEu | (2u << 16));
    std::memcpy(&code[8], "DBUGxxxx", 8);
    const std::size_t at = code.size();
    code.resize(at + 8 + table.size());
    Put32(code, at, 0xFFFEu | (static_cast<std::uint32_t>((table.size() + 4) / 4) << 16));
    std::memcpy(&code[at + 4], "CTAB", 4);
    std::memcpy(&code[at + 8], table.data(), table.size());
    code.resize(code.size() + 4);
    Put32(code, code.size() - 4, 0x0000FFFFu);
    return code;
}

const std::vector<sSpec> kConstants = {
    {"d3d_WorldViewProjectionMatrix", RS_FLOAT4, 0, 4, PC_MATRIX_COLUMNS, 4, 4, 1},
    {"u_Fog", RS_FLOAT4, 4, 1, PC_VECTOR, 1, 4, 1},
    {"u_Scales", RS_FLOAT4, 5, 3, PC_SCALAR, 1, 1, 3},
    {"u_DiffuseMap", RS_SAMPLER, 2, 1, PC_OBJECT, 1, 1, 1},
};

TEST(ShaderConstantTableTest, ReadsWhatTheCompilerWrote) {
    const std::vector<std::uint8_t> code = Bytecode(0xFFFE0101u, kConstants);
    EXPECT_EQ(ShaderVersion(code.data(), code.size()), 0xFFFE0101u);
    std::vector<sShaderConstant> table;
    ASSERT_TRUE(ParseConstantTable(code.data(), code.size(), table));
    ASSERT_EQ(table.size(), kConstants.size());
    const sShaderConstant* wvp = FindConstant(table, "d3d_WorldViewProjectionMatrix");
    ASSERT_NE(wvp, nullptr);
    EXPECT_EQ(wvp->registerSet, RS_FLOAT4);
    EXPECT_EQ(wvp->registerIndex, 0);
    EXPECT_EQ(wvp->registerCount, 4);
    EXPECT_EQ(wvp->parameterClass, PC_MATRIX_COLUMNS);
    const sShaderConstant* scales = FindConstant(table, "u_Scales");
    ASSERT_NE(scales, nullptr);
    EXPECT_EQ(scales->registerIndex, 5);
    EXPECT_EQ(scales->elements, 3);
    const sShaderConstant* sampler = FindConstant(table, "u_DiffuseMap");
    ASSERT_NE(sampler, nullptr);
    EXPECT_EQ(sampler->registerSet, RS_SAMPLER);
    EXPECT_EQ(sampler->registerIndex, 2);
    EXPECT_EQ(FindConstant(table, "u_Missing"), nullptr);
    EXPECT_EQ(FindConstant(table, nullptr), nullptr);
    // A pixel shader reads alike.
    const std::vector<std::uint8_t> pixel = Bytecode(0xFFFF0200u, kConstants);
    EXPECT_TRUE(ParseConstantTable(pixel.data(), pixel.size(), table));
}

TEST(ShaderConstantTableTest, RefusesWhatIsNoShaderOrHasNoTable) {
    std::vector<sShaderConstant> table;
    EXPECT_FALSE(ParseConstantTable(nullptr, 0, table));
    const std::uint8_t text[] = "<vertex> float4 main() : POSITION { return 0; }";
    EXPECT_FALSE(ParseConstantTable(text, sizeof(text), table));
    EXPECT_EQ(ShaderVersion(text, 3), 0u);
    // Version and end token only.
    const std::uint32_t bare[2] = {0xFFFF0200u, 0x0000FFFFu};
    EXPECT_FALSE(ParseConstantTable(bare, sizeof(bare), table));
    EXPECT_TRUE(table.empty());
}

TEST(ShaderConstantTableTest, CutCopiesNeverReadBeyondTheirEnd) {
    const std::vector<std::uint8_t> code = Bytecode(0xFFFE0101u, kConstants);
    std::vector<sShaderConstant> table;
    // Every cut inside the table is refused; the copies live in exactly sized buffers, so a read beyond
    // them shows under the sanitizers.
    for (std::size_t size = 0; size + 4 < code.size(); ++size) {
        std::vector<std::uint8_t> cut(code.begin(), code.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ParseConstantTable(cut.data(), cut.size(), table)) << "cut at " << size;
    }
}

TEST(ShaderConstantTableTest, DamagedOffsetsAndCountsAreRefused) {
    const std::vector<std::uint8_t> good = Bytecode(0xFFFE0101u, kConstants);
    // The table starts after version (4), the first comment (12), the CTAB token and tag (8).
    const std::size_t table = 4 + 12 + 8;
    std::vector<sShaderConstant> out;
    struct sDamage {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const sDamage damages[] = {
        {"constant count", table + 12, 0x10000000u},
        {"info offset", table + 16, 0xFFFFFFF0u},
        {"name offset", table + 28, 0x7FFFFFFFu},
        {"type offset", table + 28 + 12, 0xFFFFFFFEu},
        {"comment length", 4 + 12, 0xFFFEu | (0x7FFFu << 16)},
    };
    for (const sDamage& d : damages) {
        std::vector<std::uint8_t> bad = good;
        Put32(bad, d.at, d.value);
        EXPECT_FALSE(ParseConstantTable(bad.data(), bad.size(), out)) << d.what;
    }
    // A name without its terminating zero inside the table.
    std::vector<std::uint8_t> unterminated = good;
    for (std::size_t i = good.size() - 4 - 8; i < good.size() - 4; ++i) unterminated[i] = 'x';
    std::vector<std::uint8_t> cut(unterminated.begin(), unterminated.end() - 4);
    EXPECT_FALSE(ParseConstantTable(cut.data(), cut.size(), out));
}

} // namespace
} // namespace velmora::video::d3d9
