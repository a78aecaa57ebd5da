#include "script/cCodeGenerator.h"

#include <algorithm>
#include <new>

#include "engine/core/cException.h"
#include "script/cFuncDef.h"
#include "script/cNamespace.h"
#include "script/cScript.h"
#include "script/cTypeDef.h"

namespace velmora::script {

namespace {

// Generation stops; the error is recorded.
struct sGenerateAbort {};

// The bytes push, pushr, unref and reti read of a value of type (at most the 4 of a slot).
std::int32_t SlotBytes(const cTypeDef* type) {
    if (!type) {
        return 4;
    }
    return type->GetSize() < 4 ? type->GetSize() : 4;
}

} // namespace

cCodeGenerator::cCodeGenerator(cScript& script, cMessageList& messages) : m_Script(script), m_Messages(messages) {}

bool cCodeGenerator::GenerateCode(cCodeNode* root, const std::vector<cFuncDef*>& functions) {
    const std::int32_t first = m_Script.GetInstructionCount();
    auto rollback = [&]() {
        m_Script.TruncateInstructions(first);
        for (cFuncDef* function : functions) {
            function->ClearCode();
        }
    };
    try {
        Generate(root);
    } catch (const sGenerateAbort&) {
        rollback();
        return false;
    } catch (...) {
        rollback();
        throw;
    }
    return true;
}

void cCodeGenerator::Unhandled(const cCodeNode* node) {
    m_Messages.Error(node->line, "cCodeGenerator::GenerateCode : unhandled node type %d", node->type);
    throw sGenerateAbort();
}

void cCodeGenerator::Encode(const sOperand& operand, std::int32_t& base, std::int32_t& offset) {
    base = EncodeBase(operand.base, operand.indirect, operand.offset2);
    offset = operand.offset;
    if (operand.base == BASE_ZERO) {
        // A host address does not fit an offset word: the word indexes the script's table of them.
        offset = m_Script.AddHostAddress(static_cast<std::uint8_t*>(operand.host) + operand.offset);
    }
}

std::int32_t cCodeGenerator::EmitInstruction(std::int32_t opcode, std::uint32_t resultBase, std::int32_t aux,
                                             const sOperand& a, const sOperand& b) {
    sInstruction instruction;
    instruction.opcode = opcode;
    instruction.result = static_cast<std::int32_t>(resultBase);
    instruction.aux = aux;
    Encode(a, instruction.baseA, instruction.offsetA);
    Encode(b, instruction.baseB, instruction.offsetB);
    try {
        return m_Script.AddInstruction(instruction);
    } catch (const std::bad_alloc&) {
        m_Messages.Fatal("cCodeGenerator::EmitInstruction : failed to allocate memory");
    }
}

sOperand cCodeGenerator::AllocateTemp(std::uint32_t side) {
    sOperand temp;
    temp.base = side;
    temp.offset = m_TempTop;
    m_TempTop += 8;
    m_TempMax = std::max(m_TempMax, m_TempTop);
    return temp;
}

void cCodeGenerator::Generate(cCodeNode* node) {
    if (!node) {
        return;
    }
    switch (node->type) {
    case CNT_SCRIPT:
    case CNT_STATEMENT_BLOCK:
        for (cCodeNode* child : node->children) {
            Generate(child);
        }
        break;
    case CNT_FUNCTION: GenerateFunction(node); break;
    case CNT_FUNCTION_CALL:
    case CNT_METHOD_CALL: GenerateCall(node); break;
    case CNT_FOR: GenerateFor(node); break;
    case CNT_RETURN: GenerateReturn(node); break;
    case CNT_OPERATOR: GenerateStatementOperator(node); break;
    default: Unhandled(node);
    }
}

void cCodeGenerator::GenerateFunction(cCodeNode* node) {
    m_Function = node->function;
    m_TempTop = 0;
    m_TempMax = 0;
    const std::int32_t first = m_Script.GetInstructionCount();
    for (cCodeNode* child : node->children) {
        Generate(child);
    }
    const std::int32_t end = m_Script.GetInstructionCount();
    EmitInstruction(OP_RET, BASE_NONE, 0, sOperand(), sOperand());
    m_Function->SetCode(first, end);
    m_Function->SetTempsSize(m_TempMax);
    m_Function = nullptr;
}

void cCodeGenerator::GenerateStatementOperator(cCodeNode* node) {
    const std::int32_t saved = m_TempTop;
    if (node->op->modifiesLeft) {
        const sOperand right = GenerateValue(node->Child(1), BASE_RIGHT);
        const cCodeNode* left = node->Child(0);
        if (left->type != CNT_VARIABLE) {
            Unhandled(left);
        }
        EmitInstruction(node->op->opcode, BASE_NONE, 0, left->operand, right);
    } else {
        GenerateValue(node, BASE_LEFT); // computed for the calls inside it
    }
    m_TempTop = saved;
}

sOperand cCodeGenerator::GenerateValue(cCodeNode* node, std::uint32_t side) {
    switch (node->type) {
    case CNT_VARIABLE:
    case CNT_CONST_INT:
    case CNT_CONST_FLOAT:
    case CNT_CONST_STRING:
    case CNT_CONST_CHAR:
    case CNT_CONST_BOOL: return node->operand;
    case CNT_OPERATOR:
    case CNT_PRE_OPERATOR: {
        if (!node->op || node->op->modifiesLeft || node->children.size() != 2) {
            Unhandled(node);
        }
        const std::int32_t saved = m_TempTop;
        const sOperand right = GenerateValue(node->Child(1), BASE_RIGHT);
        const sOperand left = GenerateValue(node->Child(0), BASE_LEFT);
        m_TempTop = saved;
        const sOperand result = AllocateTemp(side);
        EmitInstruction(node->op->opcode, result.base, result.offset, left, right);
        return result;
    }
    case CNT_FUNCTION_CALL:
    case CNT_METHOD_CALL: {
        GenerateCall(node);
        const sOperand result = AllocateTemp(side);
        sOperand slot;
        slot.base = BASE_RESULT;
        if (node->returnsReference) {
            sOperand size;
            size.offset = SlotBytes(node->valueType);
            EmitInstruction(OP_UNREF, result.base, result.offset, slot, size);
        } else {
            const bool real = node->valueType && node->valueType->GetId() == TYPE_FLOAT;
            EmitInstruction(real ? OP_MOVF : OP_MOV, BASE_NONE, 0, result, slot);
        }
        return result;
    }
    default: Unhandled(node);
    }
}

void cCodeGenerator::GenerateCall(cCodeNode* node) {
    const std::int32_t saved = m_TempTop;
    const cFuncDef* function = node->function;
    const bool method = node->type == CNT_METHOD_CALL;
    const std::size_t first = method ? 1 : 0;
    const std::vector<sArgument>& arguments = function->GetArguments();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        cCodeNode* argument = node->Child(first + i);
        if (arguments[i].byReference) {
            EmitInstruction(OP_PUSHR, BASE_NONE, SlotBytes(argument->valueType), argument->operand, sOperand());
        } else {
            const sOperand value = GenerateValue(argument, BASE_RIGHT);
            EmitInstruction(OP_PUSH, BASE_NONE, SlotBytes(argument->valueType), value, sOperand());
        }
        m_TempTop = saved;
    }
    if (method) {
        EmitInstruction(OP_MTDCALL, BASE_RESULT, 0, node->slot, node->Child(0)->operand);
    } else {
        EmitInstruction(OP_CALL, BASE_RESULT, 0, node->slot, sOperand());
    }
}

void cCodeGenerator::GenerateFor(cCodeNode* node) {
    Generate(node->Child(0));
    const std::int32_t loop = EmitInstruction(OP_LOOP, BASE_NONE, 0, sOperand(), sOperand());
    const std::int32_t saved = m_TempTop;
    cCodeNode* condition = node->Child(1);
    if (condition->IsCall()) {
        GenerateCall(condition); // the call's result is the condition
    } else {
        GenerateValue(condition, BASE_LEFT);
    }
    const std::int32_t conditionIndex = m_Script.GetInstructionCount() - 1;
    m_TempTop = saved;
    Generate(node->Child(3));
    Generate(node->Child(2));
    sInstruction& record = m_Script.GetInstruction(loop);
    record.offsetA = loop + 1;
    record.offsetB = m_Script.GetInstructionCount();
    record.aux = conditionIndex;
}

void cCodeGenerator::GenerateReturn(cCodeNode* node) {
    cCodeNode* value = node->Child(0);
    if (!value) {
        EmitInstruction(OP_RET, BASE_NONE, 0, sOperand(), sOperand());
        return;
    }
    const std::int32_t saved = m_TempTop;
    const sOperand result = GenerateValue(value, BASE_LEFT);
    EmitInstruction(OP_RETI, BASE_NONE, SlotBytes(value->valueType), result, sOperand());
    m_TempTop = saved;
}

} // namespace velmora::script
