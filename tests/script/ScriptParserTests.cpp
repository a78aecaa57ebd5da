#include <gtest/gtest.h>

#include <string>

#include "ScriptTestUtil.h"
#include "script/cSyntaxChecker.h"

namespace velmora::script::test {
namespace {

// The first expression statement of the first function's body.
const cSyntaxNode* FirstStatement(const sParsed& parsed) {
    for (const cSyntaxNode* item : parsed.root->children) {
        if (item->type == SNT_DECLARATION && item->Child(5)) {
            return item->Child(5)->Child(0);
        }
    }
    return nullptr;
}

// A compact rendering of an expression: (op left right).
std::string Render(const cSyntaxNode* node) {
    if (!node) {
        return "-";
    }
    if (node->type == SNT_EXPRESSION) {
        return Render(node->Child(0));
    }
    if (node->children.empty()) {
        return node->text;
    }
    std::string out = "(" + node->text;
    for (const cSyntaxNode* child : node->children) {
        out += " " + Render(child);
    }
    return out + ")";
}

TEST(ScriptParser, EmptySourceGivesARootWithoutChildrenOrMessages) {
    for (const char* source : {"", "   \n\t ", "// only a comment", "/* block */", ";;;"}) {
        const auto parsed = Parse(source);
        ASSERT_NE(parsed->root, nullptr);
        EXPECT_EQ(parsed->root->type, SNT_SCRIPT);
        EXPECT_TRUE(parsed->root->children.empty()) << source;
        EXPECT_TRUE(parsed->messages.GetMessages().empty()) << source;
    }
}

TEST(ScriptParser, ClassFollowedBySemicolonWarnsRedundantSemicolon) {
    const auto parsed = Parse("class A { };");
    ASSERT_EQ(parsed->root->children.size(), 1u);
    EXPECT_EQ(parsed->root->children[0]->type, SNT_CLASS);
    EXPECT_EQ(parsed->root->children[0]->text, "A");
    EXPECT_EQ(Texts(parsed->messages), std::vector<std::string>{"memory( 0 ) warning : redundant semicolon"});
    EXPECT_FALSE(parsed->messages.HasErrors());
}

TEST(ScriptParser, TopLevelStatementIsUnexpectedAndParsingGoesOn) {
    const auto parsed = Parse("x = 1;\nint y;\n");
    ASSERT_FALSE(parsed->messages.GetMessages().empty());
    EXPECT_EQ(parsed->messages.GetMessages()[0].text, "memory( 0 ) error : unexpected 'x'");
    // The declaration after it is still read.
    ASSERT_FALSE(parsed->root->children.empty());
    EXPECT_EQ(parsed->root->children.back()->type, SNT_DECLARATION);
    EXPECT_EQ(parsed->root->children.back()->text, "y");
}

TEST(ScriptParser, SourceEndingInsideABlockExpectsTheClosingBrace) {
    const auto parsed = Parse("void f()\n{\n    int a;\n");
    ASSERT_EQ(parsed->messages.GetErrorCount(), 1);
    EXPECT_EQ(parsed->messages.GetMessages()[0].text, "memory( 3 ) error : unexpected end of file, '}' expected");
    // Nested blocks report the end once.
    const auto nested = Parse("void f() { { { int a;");
    EXPECT_EQ(nested->messages.GetErrorCount(), 1);
}

TEST(ScriptParser, OperatorsGroupByPriorityAndAssociativity) {
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { a = b + c * d; }"))), "(= a (+ b (* c d)))");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { a - b - c; }"))), "(- (- a b) c)");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { a = b = c; }"))), "(= a (= b c))");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { a < b == c && d || e; }"))), "(|| (&& (== (< a b) c) d) e)");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { (a + b) * c; }"))), "(* (+ a b) c)");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { a & b ^ c | d; }"))), "(| (^ (& a b) c) d)");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { x += -5; }"))), "(+= x -5)");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { -x.y; }"))), "(- (. x y))");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { a::b::c(1, d)++; }"))), "(++ (:: (:: a b) (c 1 d)))");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { ::g(); }"))), "(:: g)");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { int(x); }"))), "(int x)");
    EXPECT_EQ(Render(FirstStatement(*Parse("void f() { typeof(int); }"))), "(typeof int)");
}

TEST(ScriptParser, OperatorPriorityTableAndUnknownOperatorIsFatal) {
    cCodeTree<cSyntaxNode> tree;
    cMessageList messages;
    cScriptParser parser(tree, messages);
    EXPECT_EQ(parser.GetOperatorPriority("="), 0);
    EXPECT_EQ(parser.GetOperatorPriority("/="), 0);
    EXPECT_EQ(parser.GetOperatorPriority("||"), 1);
    EXPECT_EQ(parser.GetOperatorPriority("&&"), 2);
    EXPECT_EQ(parser.GetOperatorPriority("^"), 3);
    EXPECT_EQ(parser.GetOperatorPriority("!="), 4);
    EXPECT_EQ(parser.GetOperatorPriority(">="), 5);
    EXPECT_EQ(parser.GetOperatorPriority("-"), 6);
    EXPECT_EQ(parser.GetOperatorPriority("/"), 7);
    EXPECT_EQ(parser.GetOperatorPriority("!"), 8);
    EXPECT_EQ(parser.GetOperatorPriority("float"), 9);
    EXPECT_EQ(parser.GetOperatorPriority("--"), 10);
    EXPECT_EQ(parser.GetOperatorPriority("->"), 11);
    EXPECT_EQ(parser.GetOperatorPriority("::"), 12);
    try {
        parser.GetOperatorPriority(";");
        FAIL() << "no exception";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cScriptParser::GetOperatorPriority : ';' isn't a valid operator");
    }
}

TEST(ScriptParser, ReservedWordAsNameIsNotAValidName) {
    const auto parsed = Parse("int while;");
    EXPECT_EQ(Texts(parsed->messages), std::vector<std::string>{"memory( 0 ) error : 'while' isn't a valid name"});
    EXPECT_TRUE(cScriptParser::IsReservedWord("typeof"));
    EXPECT_FALSE(cScriptParser::IsReservedWord("enum"));
    EXPECT_TRUE(cScriptParser::IsValidName("_a1"));
    for (const char* bad : {"1a", "a-b", "", "true", "class", "@x"}) {
        EXPECT_FALSE(cScriptParser::IsValidName(bad)) << bad;
    }
}

TEST(ScriptParser, DeclarationNodeHoldsItsSlotsInOrder) {
    const auto parsed = Parse("const int& a = b, c, &d = e;\nvoid f(int x, float& y) { }\nint g();");
    ASSERT_EQ(parsed->root->children.size(), 3u);
    const cSyntaxNode* variables = parsed->root->children[0];
    ASSERT_EQ(variables->children.size(), 11u);
    EXPECT_EQ(variables->Child(0)->text, "const");
    EXPECT_EQ(variables->Child(1)->type, SNT_TYPE);
    EXPECT_TRUE(variables->Child(1)->flags & SNF_KNOWN_TYPE);
    EXPECT_EQ(variables->Child(2)->text, "&");
    EXPECT_EQ(variables->Child(3)->text, "a");
    EXPECT_EQ(Render(variables->Child(4)), "b");
    EXPECT_EQ(variables->Child(5), nullptr);
    EXPECT_EQ(variables->Child(6)->text, "c");
    EXPECT_EQ(variables->Child(7), nullptr);
    EXPECT_EQ(variables->Child(8)->text, "&");
    EXPECT_EQ(variables->Child(9)->text, "d");
    EXPECT_EQ(Render(variables->Child(10)), "e");

    const cSyntaxNode* function = parsed->root->children[1];
    EXPECT_EQ(function->line, 1);
    ASSERT_EQ(function->Child(4)->type, SNT_FUNCTION_ARGUMENTS);
    ASSERT_EQ(function->Child(4)->children.size(), 2u);
    EXPECT_EQ(function->Child(4)->children[1]->Child(2)->text, "&");
    EXPECT_EQ(function->Child(5)->type, SNT_STATEMENT_BLOCK);
    EXPECT_EQ(parsed->root->children[2]->Child(5), nullptr); // a prototype
}

TEST(ScriptParser, StatementsBuildTheirNodes) {
    const auto parsed = Parse(
        "void f() {\n if (a) b = 1; else { }\n while (a) a = 1;\n do a = 2; while (b);\n"
        " for (;;) ;\n return;\n break;\n continue;\n int k = 3;\n}");
    ASSERT_FALSE(parsed->messages.HasErrors());
    const cSyntaxNode* body = parsed->root->children[0]->Child(5);
    ASSERT_EQ(body->children.size(), 8u);
    const eSyntaxNodeType kinds[] = {SNT_IF,    SNT_WHILE,    SNT_DO,       SNT_FOR,
                                     SNT_RETURN, SNT_BREAK,   SNT_CONTINUE, SNT_DECLARATION};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(body->children[i]->type, kinds[i]) << i;
        EXPECT_EQ(body->children[i]->line, static_cast<int>(i) + 1) << i;
    }
    const cSyntaxNode* ifNode = body->children[0];
    ASSERT_EQ(ifNode->children.size(), 3u);
    EXPECT_EQ(ifNode->Child(0)->type, SNT_CONDITION);
    EXPECT_EQ(ifNode->Child(1)->type, SNT_THEN);
    EXPECT_EQ(ifNode->Child(2)->type, SNT_ELSE);
    const cSyntaxNode* forNode = body->children[3];
    ASSERT_EQ(forNode->children.size(), 4u);
    for (const cSyntaxNode* part : forNode->children) {
        EXPECT_EQ(part, nullptr);
    }
}

// Each diagnostic of the front end, with the line it names.
TEST(ScriptParser, SyntaxCheckDiagnosticsNameTheirLine) {
    struct sCase {
        const char* source;
        const char* message;
    } const cases[] = {
        {"\nconst int c;", "memory( 1 ) error : const object 'c' must be initialized"},
        {"int a,\n\n const_ = 1;", ""},
        {"const int a = 1,\n b;", "memory( 1 ) error : const object 'b' must be initialized"},
        {"class A {\n int f();\n}", "memory( 1 ) error : class method 'f' must be defined"},
        {"\n\nvoid f(int) { }", "memory( 2 ) error : argument name expected in function definition"},
        {"void f(int, float) ;", ""},
        {"void f() {\n while () a = 1; }", "memory( 1 ) error : 'while' statement has no conditional expression"},
        {"void f() {\n\n while (a) ; }", "memory( 2 ) error : 'while' has no statements"},
        {"void f() { do a = 1;\n while (); }", "memory( 0 ) error : 'do' statement has no conditional expression"},
        {"void f() {\n do ; while (a); }", "memory( 1 ) error : 'do' has no statements"},
        {"void f() {\n if () a = 1; }", "memory( 1 ) error : 'if' statement has no conditional expression"},
        {"\nenum E { A, B = 2 };", "memory( 1 ) error : cSyntaxChecker::CheckNode : unhandled node type 4"},
        {"namespace n {\n enum E { A }; }", "memory( 1 ) error : cSyntaxChecker::CheckNode : unhandled node type 4"},
        {"char c;", "memory( 0 ) error : 'char' isn't a valid type"},
        {"void f(x y) { }", "memory( 0 ) error : 'x' isn't a valid type"},
        {"void f() {\n int g() { } }", "memory( 1 ) error : unexpected function definition"},
        {"void f() {\n a b; }", "memory( 1 ) error : expected ';' after 'a' found 'b'"},
        {"void f() {\n a = ; }", "memory( 1 ) error : unexpected ';'"},
        {"void f() {\n a = @; }", "memory( 1 ) error : unexpected '@'"},
        {"\n$$$ ;", "memory( 1 ) error : unexpected '$$$'"},
        {"int a = b", "memory( 0 ) error : unexpected end of file, ';' expected"},
        {"int ;", "memory( 0 ) error : expected 'name' after 'int' found ';'"},
        {"namespace while { }", "memory( 0 ) error : 'while' isn't a valid name"},
        {"int a; /* never\n closed", "memory( 1 ) error : unexpected end of file, end of multiline comment was not found."},
        {"string s = \"abc;\n", "memory( 0 ) error : unexpected end of file, missing \"."},
        {"int c = 'ab';", "memory( 0 ) error : line 0: ' expected after a"},
    };
    for (const sCase& c : cases) {
        const auto parsed = Parse(c.source);
        if (*c.message == '\0') {
            EXPECT_FALSE(parsed->messages.HasErrors()) << c.source;
            continue;
        }
        EXPECT_TRUE(parsed->Has(c.message)) << c.source << "\n got: "
                                             << (parsed->messages.GetMessages().empty()
                                                     ? std::string("nothing")
                                                     : parsed->messages.GetMessages()[0].text);
    }
}

TEST(ScriptParser, ErrorsAreRecordedAndParsingResumesAtTheNextStatement) {
    const auto parsed = Parse("void f() {\n a = ;\n b = ;\n c = 1;\n}\nint after;");
    EXPECT_EQ(parsed->messages.GetErrorCount(), 2);
    ASSERT_EQ(parsed->root->children.size(), 2u);
    EXPECT_EQ(parsed->root->children[0]->Child(5)->children.size(), 1u); // c = 1
    EXPECT_EQ(parsed->root->children[1]->text, "after");
}

TEST(ScriptParser, QualifiedAndSourceDeclaredTypesAreTypes) {
    const auto parsed = Parse("namespace n { class A { int x; } A a; }\nn::A b;\nvoid f() { n::A c; n::x = 1; }");
    EXPECT_FALSE(parsed->messages.HasErrors());
    const cSyntaxNode* body = parsed->root->children[2]->Child(5);
    ASSERT_EQ(body->children.size(), 2u);
    EXPECT_EQ(body->children[0]->type, SNT_DECLARATION);
    EXPECT_EQ(body->children[1]->type, SNT_EXPRESSION);
}

TEST(ScriptParser, DeepNestingIsDiagnosedWithoutExhaustingTheStack) {
    const std::string parentheses = "int a = " + std::string(20000, '(') + "1" + std::string(20000, ')') + ";";
    const auto p1 = Parse(parentheses);
    EXPECT_TRUE(p1->Has("nesting is too deep, at most 512 levels are allowed"));

    const std::string blocks = "void f() " + std::string(20000, '{') + std::string(20000, '}');
    const auto p2 = Parse(blocks);
    EXPECT_TRUE(p2->Has("nesting is too deep"));

    std::string chain = "void f() { a = b";
    for (int i = 0; i < 20000; ++i) {
        chain += " + b";
    }
    const auto p3 = Parse(chain + "; }");
    EXPECT_TRUE(p3->Has("expression is too complex, at most 128 levels are allowed"));

    const auto p4 = Parse("void f() { a = " + std::string(20000, '-') + "b; }");
    EXPECT_TRUE(p4->Has("nesting is too deep"));

    // Within the limits deep code is fine.
    const auto p5 = Parse("int a = " + std::string(60, '(') + "1" + std::string(60, ')') + ";");
    EXPECT_FALSE(p5->messages.HasErrors());
}

TEST(ScriptParser, ErrorFloodStopsParsing) {
    std::string source;
    for (int i = 0; i < 5000; ++i) {
        source += "? ";
    }
    const auto parsed = Parse(source);
    EXPECT_EQ(parsed->messages.GetErrorCount(), cScriptParser::kMaxErrors + 1);
    EXPECT_TRUE(parsed->Has("too many errors, parsing stopped"));
}

TEST(ScriptParser, HugeLiteralsAndLongTokensStayText) {
    const std::string digits(5000, '9');
    const auto parsed = Parse("int a = " + digits + ";\nstring s = \"" + std::string(100000, 'x') + "\";");
    EXPECT_FALSE(parsed->messages.HasErrors());
    EXPECT_EQ(parsed->root->children[0]->Child(4)->Child(0)->text, digits);
}

TEST(ScriptParser, NodeStackUnderflowIsFatal) {
    cCodeTree<cSyntaxNode> tree;
    cMessageList messages;
    cScriptParser parser(tree, messages);
    cSyntaxNode* node = parser.PushNode(SNT_STATEMENT_BLOCK, "", 4);
    EXPECT_EQ(parser.PopNode(), node);
    try {
        parser.PopNode();
        FAIL() << "no exception";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cScriptParser::PopNode : stack underflow");
    }
}

TEST(SyntaxChecker, MissingNodesAreFatal) {
    cMessageList messages;
    cSyntaxChecker checker(messages);
    const struct {
        void (cSyntaxChecker::*check)(const cSyntaxNode*);
        const char* text;
    } checks[] = {{&cSyntaxChecker::CheckNode, "cSyntaxChecker::CheckNode : NULL-pointer to node"},
                  {&cSyntaxChecker::CheckNamespace, "cSyntaxChecker::CheckNamespace : NULL-pointer to node"},
                  {&cSyntaxChecker::CheckClass, "cSyntaxChecker::CheckClass : NULL-pointer to node"},
                  {&cSyntaxChecker::CheckDeclaration, "cSyntaxChecker::CheckDeclaration : NULL-pointer to node"},
                  {&cSyntaxChecker::CheckWhile, "cSyntaxChecker::CheckWhile : NULL-pointer to node"},
                  {&cSyntaxChecker::CheckDo, "cSyntaxChecker::CheckDo : NULL-pointer to node"},
                  {&cSyntaxChecker::CheckIf, "cSyntaxChecker::CheckIf : NULL-pointer to node"},
                  {&cSyntaxChecker::CheckName, "cSyntaxChecker::CheckName : NULL-pointer to node"},
                  {&cSyntaxChecker::CheckType, "cSyntaxChecker::CheckType : NULL-pointer to node"},
                  {&cSyntaxChecker::CheckExpression, "cSyntaxChecker::CheckExpression : NULL-pointer to node"},
                  {&cSyntaxChecker::CheckStatementBlock,
                   "cSyntaxChecker::CheckStatementBlock : trying to check empty node"}};
    for (const auto& c : checks) {
        try {
            (checker.*c.check)(nullptr);
            ADD_FAILURE() << "no exception for " << c.text;
        } catch (const cException& e) {
            EXPECT_STREQ(e.GetText(), c.text);
        }
    }
    try {
        checker.CheckFunctionArguments(nullptr, true);
        ADD_FAILURE() << "no exception";
    } catch (const cException& e) {
        EXPECT_STREQ(e.GetText(), "cSyntaxChecker::CheckFunctionArguments : NULL-pointer to node");
    }
}

TEST(SyntaxChecker, MalformedLoopsAndUnknownStatementsAreErrors) {
    cMessageList messages;
    cSyntaxChecker checker(messages);
    cSyntaxNode loop;
    loop.type = SNT_WHILE;
    loop.line = 7;
    loop.children = {nullptr, nullptr, nullptr};
    checker.CheckWhile(&loop);
    loop.type = SNT_DO;
    checker.CheckDo(&loop);
    cSyntaxNode stray;
    stray.type = SNT_ENUM;
    stray.line = 9;
    cSyntaxNode block;
    block.type = SNT_STATEMENT_BLOCK;
    block.children = {&stray};
    checker.CheckStatementBlock(&block);
    EXPECT_EQ(Texts(messages),
              (std::vector<std::string>{
                  "memory( 7 ) error : internal compiler error, 'while' statement has 3 children",
                  "memory( 7 ) error : internal compiler error, 'do' statement has 3 children",
                  "memory( 9 ) error : cSyntaxChecker::CheckStatementBlock : unhandled node type 4, line 9"}));
}

} // namespace
} // namespace velmora::script::test
