#pragma once
// Turns a code tree into instructions appended to the script's array.
//
// Per kind: a script and a statement block generate their children; a
// function records its first instruction, generates its body, records its
// end and emits "ret"; a call pushes its arguments (pushr for by-reference
// arguments, push otherwise) and emits "call" or "mtdcall"; "for" emits its
// init, "loop", the condition, the body and the step, then patches the loop
// record; "return" emits "reti" (or "ret"); an operator generates its right
// operand into a right temporary and its left into a left temporary, then
// emits its instruction, writing into the temporary its parent reads. Every
// other kind stops generation with
// "cCodeGenerator::GenerateCode : unhandled node type %d".
//
// Temporaries are 8-byte slots of the function's frame handed out like a
// stack, so nested operators and calls never overwrite a value still needed.

#include <cstdint>
#include <vector>

#include "script/cCodeNode.h"
#include "script/cMessageList.h"
#include "script/sInstruction.h"

namespace velmora::script {

class cScript;
class cFuncDef;

class cCodeGenerator {
public:
    cCodeGenerator(cScript& script, cMessageList& messages);

    // Generates the tree; on an error nothing of it is kept and functions lose their code. True on success.
    bool GenerateCode(cCodeNode* root, const std::vector<cFuncDef*>& functions);

private:
    void Generate(cCodeNode* node);
    void GenerateFunction(cCodeNode* node);
    void GenerateFor(cCodeNode* node);
    void GenerateReturn(cCodeNode* node);
    void GenerateStatementOperator(cCodeNode* node);
    void GenerateCall(cCodeNode* node);
    sOperand GenerateValue(cCodeNode* node, std::uint32_t side);
    sOperand AllocateTemp(std::uint32_t side);
    [[noreturn]] void Unhandled(const cCodeNode* node);

    // Appends an instruction and returns its index; raises
    // "cCodeGenerator::EmitInstruction : failed to allocate memory".
    std::int32_t EmitInstruction(std::int32_t opcode, std::uint32_t resultBase, std::int32_t aux, const sOperand& a,
                                 const sOperand& b);
    void Encode(const sOperand& operand, std::int32_t& base, std::int32_t& offset);

    cScript& m_Script;
    cMessageList& m_Messages;
    cFuncDef* m_Function = nullptr;
    std::int32_t m_TempTop = 0;
    std::int32_t m_TempMax = 0;
};

} // namespace velmora::script
