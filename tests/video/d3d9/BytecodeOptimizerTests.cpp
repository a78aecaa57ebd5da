// The build's clean-up pass over pixel bytecode on hand-made programs: copies go only where
// nothing can tell, and everything else stays as the compiler wrote it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tools/windows/shaders/BytecodeOptimizer.h"

namespace velmora::tools::shaders {
namespace {

using tCode = std::vector<std::uint32_t>;

constexpr std::uint32_t kXYZW = 0xE4;

std::uint32_t Reg(std::uint32_t type, std::uint32_t num) {
    return 0x80000000u | ((type & 7u) << 28) | ((type & 0x18u) << 8) | num;
}
std::uint32_t Dst(std::uint32_t type, std::uint32_t num, std::uint32_t mask = 0xF) { return Reg(type, num) | (mask << 16); }
std::uint32_t Src(std::uint32_t type, std::uint32_t num, std::uint32_t swizzle = kXYZW) {
    return Reg(type, num) | (swizzle << 16);
}
std::uint32_t Op(std::uint32_t opcode, std::uint32_t operands) { return opcode | (operands << 24); }

enum : std::uint32_t { R = 0, C = 2, T = 3, OC = 8, S = 10 };
enum : std::uint32_t { MOV = 1, ADD = 2, MUL = 5, DCL = 31, TEXLD = 66, M4X4 = 20, END = 0xFFFF };

// ps_2_0 with dcl t0.xy and dcl_2d s0, then `body`, then the end token.
tCode Program(const tCode& body) {
    tCode code = {0xFFFF0200u, Op(DCL, 2), 0x80000000u, Dst(T, 0, 0x3), Op(DCL, 2), 0x90000000u, Dst(S, 0)};
    code.insert(code.end(), body.begin(), body.end());
    code.push_back(END);
    return code;
}

// Number of instructions with this opcode.
int Count(const tCode& code, std::uint32_t opcode) {
    int n = 0;
    for (std::size_t at = 1; at < code.size() && code[at] != END;) {
        if ((code[at] & 0xFFFFu) == opcode) ++n;
        at += 1 + ((code[at] >> 24) & 0xFu);
    }
    return n;
}

TEST(BytecodeOptimizerTest, CopiesAreReadThroughAndThenDropped) {
    // texld r0, t0, s0; mov r1, c0; mov r2, r0; add r3, r2, r1; mov r3, r3; mov oC0, r3
    const tCode in = Program({Op(TEXLD, 3), Dst(R, 0), Src(T, 0), Src(S, 0),
                              Op(MOV, 2), Dst(R, 1), Src(C, 0),
                              Op(MOV, 2), Dst(R, 2), Src(R, 0),
                              Op(ADD, 3), Dst(R, 3), Src(R, 2), Src(R, 1),
                              Op(MOV, 2), Dst(R, 3), Src(R, 3),
                              Op(MOV, 2), Dst(OC, 0), Src(R, 3)});
    const tCode out = OptimizePixelBytecode(in);
    EXPECT_EQ(Count(out, MOV), 1);  // only the write of the colour is left
    EXPECT_EQ(Count(out, ADD), 1);
    EXPECT_EQ(Count(out, TEXLD), 1);
    // The add now reads the texture result and the constant directly.
    const tCode expected = Program({Op(TEXLD, 3), Dst(R, 0), Src(T, 0), Src(S, 0),
                                    Op(ADD, 3), Dst(R, 3), Src(R, 0), Src(C, 0),
                                    Op(MOV, 2), Dst(OC, 0), Src(R, 3)});
    EXPECT_EQ(out, expected);
}

TEST(BytecodeOptimizerTest, ACopyWhoseSourceChangesIsKept) {
    // mov r1, r0 (after the texld); mul r0, r0, c0; add r2, r1, r0: r1 still holds the old r0.
    const tCode in = Program({Op(TEXLD, 3), Dst(R, 0), Src(T, 0), Src(S, 0),
                              Op(MOV, 2), Dst(R, 1), Src(R, 0),
                              Op(MUL, 3), Dst(R, 0), Src(R, 0), Src(C, 0),
                              Op(ADD, 3), Dst(R, 2), Src(R, 1), Src(R, 0),
                              Op(MOV, 2), Dst(OC, 0), Src(R, 2)});
    const tCode out = OptimizePixelBytecode(in);
    EXPECT_EQ(Count(out, MOV), 2);
    EXPECT_EQ(out, in);
}

TEST(BytecodeOptimizerTest, ConstantsAreNotDoubledUpInOneInstruction) {
    // mov r1, c1; add r2, r1, c0: reading c1 and c0 in one add is left to the compiler's choice.
    const tCode in = Program({Op(MOV, 2), Dst(R, 1), Src(C, 1),
                              Op(ADD, 3), Dst(R, 2), Src(R, 1), Src(C, 0),
                              Op(MOV, 2), Dst(OC, 0), Src(R, 2)});
    EXPECT_EQ(Count(OptimizePixelBytecode(in), MOV), 2);
}

TEST(BytecodeOptimizerTest, PartialCopiesFeedOnlyWhatTheyCopied) {
    // mov r1.x, c0.x; add r2, r1, c0 reads r1.yzw too, which the copy never wrote: kept.
    const tCode in = Program({Op(TEXLD, 3), Dst(R, 1), Src(T, 0), Src(S, 0),
                              Op(MOV, 2), Dst(R, 1, 0x1), Src(C, 0, 0x00),
                              Op(ADD, 3), Dst(R, 2), Src(R, 1), Src(T, 0),
                              Op(MOV, 2), Dst(OC, 0), Src(R, 2)});
    EXPECT_EQ(OptimizePixelBytecode(in), in);
}

TEST(BytecodeOptimizerTest, SwizzlesOutsideTheMaskBecomeOnesShaderModel2Takes) {
    // mov r1.xy, t0.xyxx: ps_2_0 refuses .xyxx; .xyzw reads the same for the written x and y.
    const tCode in = Program({Op(MOV, 2), Dst(R, 1, 0x3), Src(T, 0, 0x04),
                              Op(TEXLD, 3), Dst(R, 0), Src(R, 1), Src(S, 0),
                              Op(MOV, 2), Dst(OC, 0), Src(R, 0)});
    const tCode out = OptimizePixelBytecode(in);
    // The coordinates are read straight from t0 by the lookup, and the copy goes.
    const tCode expected = Program({Op(TEXLD, 3), Dst(R, 0), Src(T, 0), Src(S, 0),
                                    Op(MOV, 2), Dst(OC, 0), Src(R, 0)});
    EXPECT_EQ(out, expected);
}

TEST(BytecodeOptimizerTest, ProgramsItDoesNotKnowStayAsTheyAre) {
    const tCode matrix = Program({Op(MOV, 2), Dst(R, 1), Src(C, 0),
                                  Op(M4X4, 3), Dst(R, 2), Src(R, 1), Src(C, 4),
                                  Op(MOV, 2), Dst(OC, 0), Src(R, 2)});
    EXPECT_EQ(OptimizePixelBytecode(matrix), matrix);
    tCode unended = Program({Op(MOV, 2), Dst(R, 1), Src(C, 0)});
    unended.pop_back();
    EXPECT_EQ(OptimizePixelBytecode(unended), unended);
    const tCode vertex = {0xFFFE0101u, Op(MOV, 2), Dst(R, 1), Src(C, 0), END};
    EXPECT_EQ(OptimizePixelBytecode(vertex), vertex);
    // An instruction announcing more operands than there are.
    const tCode cut = {0xFFFF0200u, Op(ADD, 9), Dst(R, 0)};
    EXPECT_EQ(OptimizePixelBytecode(cut), cut);
}

} // namespace
} // namespace velmora::tools::shaders
