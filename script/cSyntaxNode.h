#pragma once
// One node of a syntax tree as cScriptParser builds it.
//
// Shapes (a slot written [x|-] may be empty):
//  SNT_SCRIPT            the top-level items
//  SNT_NAMESPACE         text = name; the items
//  SNT_CLASS             text = name; SNT_TYPE bases, then SNT_DECLARATION members
//  SNT_ENUM              text = name; SNT_IDENTIFIER values, each with an optional SNT_EXPRESSION child
//  SNT_DECLARATION       text = name; [SNT_TOKEN "const"|-], SNT_TYPE, [SNT_TOKEN "&"|-], SNT_IDENTIFIER, then
//                        either SNT_FUNCTION_ARGUMENTS and [SNT_STATEMENT_BLOCK|-] (a prototype has none),
//                        or [SNT_EXPRESSION initializer|-] followed by one triple
//                        [SNT_TOKEN "&"|-], SNT_IDENTIFIER, [SNT_EXPRESSION|-] per further declarator
//  SNT_FUNCTION_ARGUMENTS  SNT_DECLARATION per argument: [const|-], SNT_TYPE, [&|-], [SNT_IDENTIFIER|-]
//  SNT_STATEMENT_BLOCK   the statements (empty statements are left out)
//  SNT_IF                [SNT_CONDITION|-], SNT_THEN, and SNT_ELSE when there is an else branch;
//                        SNT_THEN and SNT_ELSE hold [statement|-]
//  SNT_WHILE, SNT_DO     [SNT_CONDITION|-], [statement|-]
//  SNT_FOR               [SNT_EXPRESSION|-] init, [SNT_CONDITION|-], [SNT_EXPRESSION|-] step, [statement|-]
//  SNT_CONDITION         one SNT_EXPRESSION
//  SNT_RETURN            [SNT_EXPRESSION|-]
//  SNT_EXPRESSION        one operand or operator node
//  SNT_OPERATOR          text = operator; left, right
//  SNT_PRE_OPERATOR, SNT_POST_OPERATOR  text = operator; the operand
//  SNT_FUNCTION_CALL     text = name; the argument expressions
//  SNT_TYPEOF            SNT_TYPE or an operand
//  SNT_NUMBER            text = digits, "-" in front for a negated literal
//  SNT_STRING            text = the characters
//  SNT_LITERAL           "true", "false", or a character literal written with its quotes ('c')
//  SNT_IDENTIFIER, SNT_TYPE, SNT_TOKEN  text only; SNT_TYPE may be qualified (a::b)

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::script {

enum eSyntaxNodeType : std::int32_t {
    SNT_UNKNOWN = 0,
    SNT_SCRIPT = 1,
    SNT_NAMESPACE = 2,
    SNT_CLASS = 3,
    SNT_ENUM = 4,
    SNT_TOKEN = 5,
    SNT_TYPE = 6,
    SNT_TYPEOF = 7,
    SNT_IF = 8,
    SNT_WHILE = 9,
    SNT_DO = 10,
    SNT_FOR = 11,
    SNT_CONDITION = 12,
    SNT_THEN = 13,
    SNT_ELSE = 14,
    SNT_BREAK = 15,
    SNT_RETURN = 16,
    SNT_CONTINUE = 17,
    SNT_EXPRESSION = 18,
    SNT_NUMBER = 19,
    SNT_STRING = 20,
    SNT_LITERAL = 21,
    SNT_IDENTIFIER = 22,
    SNT_FUNCTION_CALL = 23,
    SNT_OPERATOR = 24,
    SNT_PRE_OPERATOR = 25,
    SNT_POST_OPERATOR = 26,
    SNT_DECLARATION = 27,
    SNT_FUNCTION_ARGUMENTS = 28,
    SNT_STATEMENT_BLOCK = 29,
    SNT_CLASS_DEFINITION = 30
};

// Set on an SNT_TYPE node whose name the parser found to be a type.
constexpr std::uint32_t SNF_KNOWN_TYPE = 0x1;

class cSyntaxNode {
public:
    eSyntaxNodeType type = SNT_UNKNOWN;
    std::int32_t line = 0;   // the line of the node's first token
    std::string text;
    std::vector<cSyntaxNode*> children;
    std::uint32_t flags = 0;
    std::int32_t height = 1; // expression nodes: the height of their subtree

    cSyntaxNode* Child(std::size_t index) const { return index < children.size() ? children[index] : nullptr; }
};

} // namespace velmora::script
