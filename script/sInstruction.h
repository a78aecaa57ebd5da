#pragma once
// The instruction set of the script machine.
//
// An instruction is a record of seven 32-bit words: the opcode, the result
// base, the bases of operands A and B, an auxiliary word and the byte offsets
// of A and B. An operand's address is the current value of its base plus its
// offset, so one instruction serves every invocation of a function; the
// interpreter moves the base locations when frames change.
//
// Base words carry more than the base: bits 0-7 hold the base, bit 8 marks an
// indirect operand (the place holds a pointer and the value lives at that
// pointer plus the signed 20-bit offset in bits 12-31: by-reference arguments
// and their members). Operands on the zero base are host storage; their
// offset word is an index into the script's table of host addresses, since a
// host address does not fit into 32 bits.
//
// The auxiliary word: the result offset of instructions that have a result;
// the operand size (1 or 4 bytes) of push, pushr, unref and reti; the index of
// the condition instruction of loop (whose A and B offsets are its start and
// end indices).

#include <cstdint>

namespace velmora::script {

// Opcodes; the value is the index.
#define VELMORA_SCRIPT_OPCODES(X)                                                                                    \
    X(MOV, "mov") X(MOVF, "movf") X(ADD, "add") X(SUB, "sub") X(MUL, "mul") X(DIV, "div") X(MADD, "madd")          \
    X(MSUB, "msub") X(MMUL, "mmul") X(MDIV, "mdiv") X(NEG, "neg") X(ADDF, "addf") X(SUBF, "subf") X(MULF, "mulf")    \
    X(DIVF, "divf") X(MADDF, "maddf") X(MSUBF, "msubf") X(MMULF, "mmulf") X(MDIVF, "mdivf") X(NEGF, "negf")           \
    X(LT, "lt") X(LE, "le") X(GT, "gt") X(GE, "ge") X(EQ, "eq") X(NQ, "nq") X(NOT, "not") X(LTF, "ltf")              \
    X(LEF, "lef") X(GTF, "gtf") X(GEF, "gef") X(EQF, "eqf") X(NQF, "nqf") X(NOTF, "notf") X(BITAND, "bitand")        \
    X(BITXOR, "bitxor") X(BITOR, "bitor") X(PUSH, "push") X(PUSHR, "pushr") X(UNREF, "unref") X(LOOP, "loop")       \
    X(JMP, "jmp") X(GTO, "gto") X(RET, "ret") X(RETI, "reti") X(RETF, "retf") X(CALL, "call")                       \
    X(MTDCALL, "mtdcall") X(BRK, "brk")

enum eOpcode : std::int32_t {
#define VELMORA_SCRIPT_OPCODE_ENUM(name, text) OP_##name,
    VELMORA_SCRIPT_OPCODES(VELMORA_SCRIPT_OPCODE_ENUM)
#undef VELMORA_SCRIPT_OPCODE_ENUM
        OP_COUNT
};
static_assert(OP_COUNT == 49, "the instruction set has 49 opcodes");

// The name of an opcode ("mov"), or "unknown" outside the set.
const char* GetOpcodeName(std::int32_t opcode);
// False for the opcodes the interpreter refuses (msub, mmul, mdiv, neg and their float forms, not, notf,
// retf) and for values outside the set.
bool IsOpcodeExecutable(std::int32_t opcode);

// Base locations.
enum eBase : std::uint32_t {
    BASE_ZERO = 0,        // host storage (see above)
    BASE_LEFT = 1,        // the left operator temporaries of the current frame
    BASE_RIGHT = 2,       // the right operator temporaries of the current frame
    BASE_RESULT = 3,      // the result of the last call
    BASE_LOCALS = 4,      // the locals of the current frame
    BASE_ARGUMENTS = 5,   // the arguments of the current call
    BASE_SCRIPT = 6,      // the script memory block
    BASE_ENVIRONMENT = 7, // the environment memory block
    BASE_COUNT = 8,
    BASE_NONE = 8 // no location (instructions without a result)
};

struct sInstruction {
    std::int32_t opcode = OP_RET;
    std::int32_t result = BASE_NONE;
    std::int32_t baseA = BASE_NONE;
    std::int32_t baseB = BASE_NONE;
    std::int32_t aux = 0;
    std::int32_t offsetA = 0;
    std::int32_t offsetB = 0;
};
static_assert(sizeof(sInstruction) == 28, "an instruction is seven 32-bit words");

// Packing of the base words.
constexpr std::int32_t kIndirectFlag = 0x100;
constexpr std::int32_t kMaxIndirectOffset = (1 << 19) - 1;
constexpr std::int32_t EncodeBase(std::uint32_t base, bool indirect, std::int32_t offset2) {
    return static_cast<std::int32_t>((base & 0xFFu) | (indirect ? 0x100u : 0u) |
                                     (static_cast<std::uint32_t>(offset2) << 12));
}
constexpr std::uint32_t BaseOf(std::int32_t word) { return static_cast<std::uint32_t>(word) & 0xFFu; }
constexpr bool IsIndirect(std::int32_t word) { return (word & kIndirectFlag) != 0; }
constexpr std::int32_t IndirectOffsetOf(std::int32_t word) { return word >> 12; }

// Where a value lives, as the compiler describes it.
struct sOperand {
    std::uint32_t base = BASE_NONE;
    std::int32_t offset = 0;     // from the base; for BASE_ZERO from host
    bool indirect = false;       // the place holds a pointer; the value is at that pointer plus offset2
    std::int32_t offset2 = 0;
    void* host = nullptr;        // BASE_ZERO: the host storage

    bool IsValid() const { return base != BASE_NONE; }
    // The operand of a member at byte offset within this one.
    sOperand Member(std::int32_t memberOffset) const {
        sOperand out = *this;
        if (indirect) {
            out.offset2 += memberOffset;
        } else {
            out.offset += memberOffset;
        }
        return out;
    }
    bool operator==(const sOperand& o) const {
        return base == o.base && offset == o.offset && indirect == o.indirect && offset2 == o.offset2 && host == o.host;
    }
};

} // namespace velmora::script
