#pragma once
// One node of the code tree cScriptCompiler builds from a checked syntax
// tree and cCodeGenerator turns into instructions. Expression nodes carry
// their value's type and, for variables and constants, where the value lives.
//
// Shapes:
//  CNT_SCRIPT           CNT_FUNCTION nodes
//  CNT_FUNCTION         function; the statements of the body
//  CNT_STATEMENT_BLOCK  statements
//  CNT_IF               condition, [then|-], [else|-]
//  CNT_WHILE            condition, [body|-]
//  CNT_DO               [body|-], condition
//  CNT_FOR              [init|-], condition, [step|-], [body|-]
//  CNT_RETURN           [value|-]
//  CNT_BREAK, CNT_CONTINUE
//  CNT_OPERATOR         op; left, right
//  CNT_FUNCTION_CALL    function, slot; the arguments
//  CNT_METHOD_CALL      function, slot; the object (a CNT_VARIABLE), then the arguments
//  CNT_VARIABLE, CNT_CONST_*  operand (and the constant's bytes)

#include <cstdint>
#include <string>
#include <vector>

#include "script/sInstruction.h"

namespace velmora::script {

class cTypeDef;
class cFuncDef;
struct sOperator;

enum eCodeNodeType : std::int32_t {
    CNT_UNKNOWN = 0,
    CNT_SCRIPT = 1,
    CNT_FUNCTION = 2,
    CNT_FUNCTION_CALL = 3,
    CNT_METHOD_CALL = 4,
    CNT_STATEMENT_BLOCK = 5,
    CNT_IF = 6,
    CNT_WHILE = 7,
    CNT_DO = 8,
    CNT_FOR = 9,
    CNT_BREAK = 10,
    CNT_CONTINUE = 11,
    CNT_RETURN = 12,
    CNT_OPERATOR = 13,
    CNT_PRE_OPERATOR = 14,
    CNT_POST_OPERATOR = 15,
    CNT_VARIABLE = 16,
    CNT_CONST_INT = 17,
    CNT_CONST_FLOAT = 18,
    CNT_CONST_STRING = 19,
    CNT_CONST_CHAR = 20,
    CNT_CONST_BOOL = 21
};

class cCodeNode {
public:
    eCodeNodeType type = CNT_UNKNOWN;
    std::int32_t line = 0;
    std::string text;
    std::vector<cCodeNode*> children;

    const cTypeDef* valueType = nullptr; // the type of the value an expression yields
    bool isConst = false;                // the value may not be modified
    bool returnsReference = false;       // a call whose result slot holds a pointer to the value
    bool hasCall = false;                // the subtree calls a function
    bool namesConstant = false;          // a constant that stands for a const variable
    sOperand operand;                    // CNT_VARIABLE, CNT_CONST_*: where the value lives
    cFuncDef* function = nullptr;        // CNT_FUNCTION and calls
    sOperand slot;                       // calls: the function's slot
    const sOperator* op = nullptr;       // CNT_OPERATOR
    std::uint8_t constant[28] = {};      // CNT_CONST_*: the value

    cCodeNode* Child(std::size_t index) const { return index < children.size() ? children[index] : nullptr; }
    bool IsConstant() const { return type >= CNT_CONST_INT && type <= CNT_CONST_BOOL; }
    bool IsCall() const { return type == CNT_FUNCTION_CALL || type == CNT_METHOD_CALL; }
};

} // namespace velmora::script
