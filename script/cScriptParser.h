#pragma once
// The script front end: reads script source with the engine tokenizer and
// builds a syntax tree (see cSyntaxNode.h for the node shapes), handing every
// top-level item to cSyntaxChecker as soon as it is read.
//
// Grammar (recursive descent, one token of look-ahead):
//   item        := namespace | class | enum | declaration | ";"
//   namespace   := "namespace" NAME "{" { item } "}"
//   class       := "class" NAME [ ":" TYPE { "," TYPE } ] "{" { declaration } "}"
//   enum        := "enum" NAME "{" [ NAME [ "=" expression ] { "," NAME [ "=" expression ] } ] "}"
//   declaration := [ "const" ] TYPE [ "&" ] NAME
//                  ( "(" arguments ")" ( "{" { statement } "}" | ";" )
//                  | [ "=" expression ] { "," [ "&" ] NAME [ "=" expression ] } ";" )
//   statement   := block | ";" | if | while | do | for | return | break | continue | declaration | expression ";"
// Expressions combine by GetOperatorPriority; assignments group to the right, every other binary operator to
// the left. A "-" directly in front of a number is part of the number. Any of the three parts of a "for" may
// be left empty.
//
// Diagnostics go to the message list. After an ordinary error the offending token is skipped and parsing
// goes on with the next statement, member or item (a closing brace is left to close its block). Lexical
// errors of the tokenizer end the input. Nesting deeper than kMaxDepth, expressions taller than
// kMaxExpressionHeight and more than kMaxErrors errors are diagnosed too, so no input can exhaust the stack
// or flood the list.

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/parser/cParser.h"
#include "script/cCodeTree.h"
#include "script/cMessageList.h"
#include "script/cSyntaxChecker.h"
#include "script/cSyntaxNode.h"

namespace velmora::script {

class cScriptParser : public cParser {
public:
    // Answers whether a qualified name (a::b::T, relative to the script's root) names a type.
    using tTypeLookup = std::function<bool(const std::string& qualifiedName)>;

    static constexpr std::int32_t kMaxDepth = 512;
    static constexpr std::int32_t kMaxExpressionHeight = 128;
    static constexpr std::int32_t kMaxErrors = 100;
    // The separator list of script source.
    static const char* const kSeparators;

    // Nodes come from tree; diagnostics go to messages. Without a lookup only the built-in types and the
    // classes and enumerations of the source itself are types.
    cScriptParser(cCodeTree<cSyntaxNode>& tree, cMessageList& messages, tTypeLookup lookup = {});

    // Parses a file (source name = path) or a string (source name "memory"); returns the SNT_SCRIPT root,
    // never null. Raises cException on internal failures only.
    cSyntaxNode* ParseFile(const char* path);
    cSyntaxNode* ParseString(const std::string& text);

    // The priority of an operator, higher binds tighter; fatal for any other token.
    std::int32_t GetOperatorPriority(const std::string& op) const;
    // One of the reserved words.
    static bool IsReservedWord(const std::string& word);
    // A name usable for a variable, function, class or namespace: letters, digits and '_', not starting
    // with a digit, and no reserved word.
    static bool IsValidName(const std::string& word);
    // True when name, seen from the scopes open at the moment, is a type.
    bool IsTypeName(const std::string& name) const;

    // Allocates a node and opens it; fatal on allocation failure.
    cSyntaxNode* PushNode(eSyntaxNodeType type, const std::string& text, std::int32_t line);
    // Closes the innermost open node; fatal when none is open.
    cSyntaxNode* PopNode();

private:
    friend class cDepthGuard;
    struct sLookahead {
        bool isType = false;
        bool parenthesis = false; // a "(" follows the name
    };

    cSyntaxNode* Parse(const char* path, const std::string* text);
    cSyntaxNode* NewNode(eSyntaxNodeType type, const std::string& text, std::int32_t line);
    cSyntaxNode* MakeOperator(eSyntaxNodeType type, const std::string& op, std::int32_t line,
                              std::initializer_list<cSyntaxNode*> children);

    // Reading with lexical errors turned into diagnostics.
    void Advance();
    bool AcceptToken(const char* text);
    void ExpectToken(const char* text);
    [[noreturn]] void SyntaxError(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    [[noreturn]] void EndOfInput(const char* expected);
    [[noreturn]] void Unexpected();
    void RecordError(std::int32_t line, const char* message);
    void Recover();

    sLookahead LookAtQualifiedName();
    bool IsDeclarationStart(bool statement);
    std::string ScopedName(const std::string& name) const;

    cSyntaxNode* ParseItem();
    cSyntaxNode* ParseNamespace();
    cSyntaxNode* ParseClass();
    cSyntaxNode* ParseEnum();
    cSyntaxNode* ParseDeclaration(bool local);
    cSyntaxNode* ParseArguments();
    cSyntaxNode* ParseType();
    cSyntaxNode* ParseName();
    cSyntaxNode* ParseDeclaredName();

    cSyntaxNode* ParseBlock();
    cSyntaxNode* ParseStatement();
    cSyntaxNode* ParseCondition();
    cSyntaxNode* ParseIf();
    cSyntaxNode* ParseWhile();
    cSyntaxNode* ParseDo();
    cSyntaxNode* ParseFor();

    cSyntaxNode* ParseExpression();
    cSyntaxNode* ParseBinary(std::int32_t minimumPriority);
    cSyntaxNode* ParseUnary();
    cSyntaxNode* ParsePrimary();
    cSyntaxNode* ParseNameOrCall();
    cSyntaxNode* ParsePostfix(cSyntaxNode* node);

    cCodeTree<cSyntaxNode>& m_Tree;
    cMessageList& m_Messages;
    cSyntaxChecker m_Checker;
    tTypeLookup m_Lookup;
    std::vector<cSyntaxNode*> m_Stack;
    std::vector<std::string> m_Scope;         // the namespaces and the class being read
    std::set<std::string> m_DeclaredTypes;    // qualified names of the source's classes and enumerations
    std::int32_t m_Depth = 0;
};

} // namespace velmora::script
