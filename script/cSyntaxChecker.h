#pragma once
// The per-item checks of the script front end, run on each top-level item as
// soon as the parser has read it. Ordinary findings are recorded as errors in
// the message list; a missing node where the tree requires one is an internal
// failure and fatal ("cSyntaxChecker::<check> : NULL-pointer to node").

#include <string>

#include "script/cMessageList.h"
#include "script/cSyntaxNode.h"

namespace velmora::script {

class cSyntaxChecker {
public:
    explicit cSyntaxChecker(cMessageList& messages) : m_Messages(messages) {}

    // A top-level item: namespace, class or declaration; any other kind is an error.
    void CheckNode(const cSyntaxNode* node);
    // Every child as a top-level item.
    void CheckNamespace(const cSyntaxNode* node);
    // Bases and member declarations; methods must have a body.
    void CheckClass(const cSyntaxNode* node);
    // Type, names, const initialisation, function arguments and body.
    void CheckDeclaration(const cSyntaxNode* node);
    // Each statement by kind.
    void CheckStatementBlock(const cSyntaxNode* node);
    void CheckWhile(const cSyntaxNode* node);
    void CheckDo(const cSyntaxNode* node);
    void CheckIf(const cSyntaxNode* node);
    // A name: identifier characters and no reserved word.
    void CheckName(const cSyntaxNode* node);
    // A type the parser knew.
    void CheckType(const cSyntaxNode* node);
    // Argument types, and names when the function is defined.
    void CheckFunctionArguments(const cSyntaxNode* node, bool definition);
    // The operator and call nodes of an expression are complete.
    void CheckExpression(const cSyntaxNode* node);

private:
    void CheckStatement(const cSyntaxNode* node);
    void CheckFor(const cSyntaxNode* node);
    void CheckOptionalExpression(const cSyntaxNode* node);
    [[noreturn]] void MissingNode(const char* check);

    cMessageList& m_Messages;
};

} // namespace velmora::script
