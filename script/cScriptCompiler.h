#pragma once
// Turns a checked syntax tree into a code tree, declaring what the source
// declares in the script's namespace: namespaces, classes (fields laid out at
// increasing offsets), global variables in script memory (initialised from
// constants at compile time), functions (a slot in script memory, a local
// scope "local_%d" per body, locals in the frame). Declarations come first in
// one pass, function bodies in a second, so functions may call functions
// defined further down.
//
// Expressions pick the operator whose operand types match (an integer
// literal meets a float as a float); there are no other conversions.
// Diagnostics go to the message list; an error drops the statement or
// declaration it occurred in and compilation goes on.

#include <cstdint>
#include <string>
#include <vector>

#include "script/cCodeNode.h"
#include "script/cCodeTree.h"
#include "script/cMessageList.h"
#include "script/cStringParser.h"
#include "script/cSyntaxNode.h"

namespace velmora::script {

class cScript;
class cScriptEnv;
class cNamespace;
class cTypeDef;
class cVariable;
class cFuncDef;

class cScriptCompiler {
public:
    cScriptCompiler(cScript& script, cMessageList& messages, cCodeTree<cCodeNode>& tree);

    // The CNT_SCRIPT node holding one CNT_FUNCTION per function the source defines.
    cCodeNode* CompileScript(const cSyntaxNode* root);
    // The functions this compilation declared.
    const std::vector<cFuncDef*>& GetFunctions() const { return m_Functions; }

    // The scope stacks; popping an empty one is fatal.
    void PushNamespace(cNamespace* scope);
    void PopNamespace();
    void PushClass(cTypeDef* type);
    void PopClass();

private:
    struct sPending {
        const cSyntaxNode* declaration = nullptr;
        cFuncDef* function = nullptr;
        cNamespace* scope = nullptr;
    };
    struct sDeclarator {
        const cSyntaxNode* reference = nullptr;
        const cSyntaxNode* name = nullptr;
        const cSyntaxNode* initializer = nullptr;
    };

    [[noreturn]] void Fail(std::int32_t line, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;

    cNamespace* Current() const;
    const cNamespace* LookupScope() const;
    sTypeText ResolveType(const cSyntaxNode* declaration);
    static std::vector<sDeclarator> Declarators(const cSyntaxNode* declaration);
    std::string TypeText(const cTypeDef* type, bool isConst, bool isReference) const;

    // Declarations.
    void DeclareItem(const cSyntaxNode* node);
    void DeclareClass(const cSyntaxNode* node);
    void DeclareMember(cTypeDef* type, const cSyntaxNode* member, std::int32_t& offset);
    void DeclareGlobal(const sTypeText& type, const sDeclarator& declarator, std::int32_t line);
    void DeclareFunction(const cSyntaxNode* node);
    void WriteObjectHeader(const cTypeDef* type, std::uint8_t* storage) const;

    // Bodies.
    cCodeNode* CompileFunction(const sPending& pending);
    cCodeNode* CompileStatement(const cSyntaxNode* node);
    cCodeNode* CompileStatementBody(const cSyntaxNode* node);
    cCodeNode* CompileBlock(const cSyntaxNode* node);
    cCodeNode* CompileLocalDeclaration(const cSyntaxNode* node);
    cCodeNode* CompileExpressionStatement(const cSyntaxNode* node);
    cCodeNode* CompileCondition(const cSyntaxNode* condition, std::int32_t line);
    cCodeNode* CompileFor(const cSyntaxNode* node);
    cCodeNode* CompileReturn(const cSyntaxNode* node);

    // Expressions.
    cCodeNode* CompileValue(const cSyntaxNode* node);
    cCodeNode* CompileNumber(const cSyntaxNode* node);
    cCodeNode* CompileLiteral(const cSyntaxNode* node);
    cCodeNode* CompileTypeof(const cSyntaxNode* node);
    cCodeNode* CompileQualified(const cSyntaxNode* node);
    cCodeNode* CompileGlobal(const cSyntaxNode* node);
    cCodeNode* CompileMember(const cSyntaxNode* node);
    cCodeNode* CompileBinary(const cSyntaxNode* node);
    // A call of variable's function; object is the object of a method call, null for a function call.
    cCodeNode* CompileCall(const cVariable* variable, const cSyntaxNode* call, cCodeNode* object);
    cCodeNode* CompileArgument(const cSyntaxNode* node, const cFuncDef* function, std::size_t index, bool method,
                               const std::string& name);
    cCodeNode* CompileNamedMember(const cNamespace* scope, const cSyntaxNode* member, const std::string& scopeName);
    const cNamespace* ResolveNamespace(const cSyntaxNode* node);
    cCodeNode* VariableNode(const cVariable* variable, std::int32_t line);
    cCodeNode* MakeConstant(eCodeNodeType type, const cTypeDef* valueType, const void* bytes, std::int32_t size,
                            std::int32_t line);
    cCodeNode* NewNode(eCodeNodeType type, std::int32_t line, const std::string& text = std::string());
    // An integer constant meeting a float becomes a float constant.
    cCodeNode* Convert(cCodeNode* value, const cTypeDef* target);
    bool IsConvertible(const cCodeNode* value, const cTypeDef* target, bool reference) const;

    cScript& m_Script;
    cScriptEnv& m_Env;
    cMessageList& m_Messages;
    cCodeTree<cCodeNode>& m_Tree;
    std::vector<cNamespace*> m_Namespaces;
    std::vector<cTypeDef*> m_Classes;
    std::vector<sPending> m_Pending;
    std::vector<cFuncDef*> m_Functions;
    cFuncDef* m_Function = nullptr;
    cNamespace* m_Locals = nullptr;
    std::int32_t m_LoopDepth = 0;
    bool m_Folding = false; // constants are used at compile time only and need no place in memory
};

} // namespace velmora::script
