#include "script/sInstruction.h"

namespace velmora::script {

namespace {

const char* const kOpcodeNames[] = {
#define VELMORA_SCRIPT_OPCODE_NAME(name, text) text,
    VELMORA_SCRIPT_OPCODES(VELMORA_SCRIPT_OPCODE_NAME)
#undef VELMORA_SCRIPT_OPCODE_NAME
};

} // namespace

const char* GetOpcodeName(std::int32_t opcode) {
    return (opcode >= 0 && opcode < OP_COUNT) ? kOpcodeNames[opcode] : "unknown";
}

bool IsOpcodeExecutable(std::int32_t opcode) {
    switch (opcode) {
    case OP_MSUB:
    case OP_MMUL:
    case OP_MDIV:
    case OP_NEG:
    case OP_MSUBF:
    case OP_MMULF:
    case OP_MDIVF:
    case OP_NEGF:
    case OP_NOT:
    case OP_NOTF:
    case OP_RETF:
        return false;
    default:
        return opcode >= 0 && opcode < OP_COUNT;
    }
}

} // namespace velmora::script
