#include <gtest/gtest.h>

#include <string>

#include "ScriptTestUtil.h"
#include "script/cFuncDef.h"
#include "script/cScriptCompiler.h"
#include "script/cTypeDef.h"
#include "script/cVariable.h"

namespace velmora::script::test {
namespace {

using ScriptCompiler = cScriptTest;

// Every compile error names its line and stops code generation.
TEST_F(ScriptCompiler, DiagnosticsOfDeclarationsAndExpressions) {
    struct sCase {
        const char* source;
        const char* message;
    } const cases[] = {
        {"void f() {\n y = 1; }", "memory( 1 ) error : undeclared identifier 'y'"},
        {"int a;\nfloat a;", "memory( 1 ) error : redefinition of 'a'"},
        {"void f() { }\nint f;", "memory( 1 ) error : redefinition of 'f'"},
        {"void f() { int a;\n float a; }", "memory( 1 ) error : redefinition of local variable 'local_1::a'"},
        {"void f(int a) {\n int a; }", "memory( 1 ) error : redefinition of local variable 'local_1::a'"},
        {"int i; float f;\nvoid g() { i = i + f; }", "memory( 1 ) error : '+' : no matching operator found"},
        {"int i;\nvoid g() { i++; }", "memory( 1 ) error : '++' : no matching operator found"},
        {"int i;\nvoid g() { i = -i; }", "memory( 1 ) error : '-' : no matching operator found"},
        {"bool b; bool c;\nvoid g() { b = c; }", "memory( 1 ) error : '=' : no matching operator found"},
        {"int i;\nvoid g() { i = int(2); }", "memory( 1 ) error : 'int' : no matching operator found"},
        {"int i;\nvoid g() { i = i && i; }", "memory( 1 ) error : '&&' : no matching operator found"},
        {"void f(int a) { }\nvoid g() { f(1, 2); }", "memory( 1 ) error : function 'f' takes 1 arguments, not 2"},
        {"void f(int a) { }\nvoid g() { f(1.5); }", "memory( 1 ) error : function 'f' takes 'int' as 1 argument"},
        {"void f(int& a) { }\nvoid g() { f(3); }", "memory( 1 ) error : function 'f' takes 'int&' as 1 argument"},
        {"const int k = 2; void f(int& a) { }\nvoid g() { f(k); }",
         "memory( 1 ) error : function 'f' takes 'int&' as 1 argument"},
        {"int x;\nvoid g() { x(); }", "memory( 1 ) error : 'x' isn't a function"},
        {"namespace n { int y; }\nvoid g() { n::x = 1; }", "memory( 1 ) error : 'x' isn't a member of 'n'"},
        {"namespace n { int y; }\nvoid g() { m::y = 1; }", "memory( 1 ) error : undeclared identifier 'm'"},
        {"int a;\nvoid g() { a.b = 1; }", "memory( 1 ) error : unexpected '.'"},
        {"class C { int v; } C c;\nvoid g() { c.w = 1; }", "memory( 1 ) error : 'w' isn't a member of 'C'"},
        {"class C { int v; } C c;\nvoid g() { c.v(); }", "memory( 1 ) error : 'C::v' not a function"},
        {"void g() {\n break; }", "memory( 1 ) error : illegal 'break' outside the loop"},
        {"void g() {\n continue; }", "memory( 1 ) error : illegal 'continue' outside the loop"},
        {"\nint& r;", "memory( 1 ) error : reference 'r' must be initialized"},
        {"int& r = 5;", "memory( 0 ) error : initialization, variable expected"},
        {"float f; int& r = f;", "memory( 0 ) error : initialization, can't convert from 'float' to 'int&'"},
        {"int i = 1.5;", "memory( 0 ) error : initialization, can't convert from 'float' to 'int'"},
        {"int a; int b = a;", "memory( 0 ) error : initialization, constant expected"},
        {"int f();", "memory( 0 ) error : function prototypes aren't supported yet"},
        {"class A : int { int x; }", "memory( 0 ) error : invalid superclass 'int'"},
        {"class A { int x;\n float x; }", "memory( 1 ) error : 'A::x' has already been defined"},
        {"class A { int x; }\nclass A { int y; }", "memory( 1 ) error : redefinition of 'A'"},
        {"int big = 2147483648;", "memory( 0 ) error : integer constant '2147483648' is too big"},
        {"float huge = 99999999999999999999999999999999999999999999999.0;",
         "memory( 0 ) error : floating constant '99999999999999999999999999999999999999999999999.0' is out of range"},
        {"float f = 1.2.3;", "memory( 0 ) error : '1.2.3' isn't a valid number"},
        {"int f() {\n return; }", "memory( 1 ) error : 'f' : function must return a value"},
        {"void f() {\n return 1; }", "memory( 1 ) error : 'f' : 'void' function returning a value"},
        {"int f() {\n return 1.5; }", "memory( 1 ) error : return, can't convert from 'float' to 'int'"},
        {"string f() { }", "memory( 0 ) error : 'f' : return type 'string' isn't supported"},
        {"void f(string s) { }", "memory( 0 ) error : 'f' : argument 's' of type 'string' must be passed by reference"},
        {"const int k = 1;\nvoid g() { k = 2; }", "memory( 1 ) error : '=' : l-value specifies const object"},
        {"int i;\nvoid g() { 1 = i; }", "memory( 1 ) error : '=' : left operand must be l-value"},
        {"int i;\nvoid g() { for (i = 0; ; i += 1) i += 1; }",
         "memory( 1 ) error : 'for' statement has no conditional expression"},
        {"int i;\nvoid g() { for (i = 0; i; i += 1) i += 1; }",
         "memory( 1 ) error : conditional expression of type 'int' isn't 'bool'"},
        {"class A { int f() { } }", "memory( 0 ) error : 'A::f' : methods defined in scripts aren't supported yet"},
        {"void g() {\n int x = y; }", "memory( 1 ) error : undeclared identifier 'y'"},
    };
    for (const sCase& c : cases) {
        EXPECT_FALSE(Compile(c.source)) << c.source;
        EXPECT_TRUE(Has(c.message)) << c.source << "\n got: "
                                    << (Messages().empty() ? std::string("nothing") : Messages()[0]);
        // A fresh script for the next case.
        m_Script->Release();
        m_Script = static_cast<cScript*>(m_Env.CreateScript("test", 4096));
    }
}

TEST_F(ScriptCompiler, WarningsDoNotStopCompilation) {
    ASSERT_TRUE(Compile("int a;\nvoid f() {\n a + 1;\n a;\n}"));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"memory( 2 ) warning : expression has no effect, ignoring",
                                                    "memory( 3 ) warning : expression has no effect, ignoring"}));
    ASSERT_TRUE(Compile("string s = \"" + std::string(40, 'q') + "\";"));
    EXPECT_TRUE(Has("memory( 0 ) warning : string literal truncated to 27 characters"));
    EXPECT_EQ(std::string(static_cast<const sScriptString*>(m_Script->GetVariable("s"))->text), std::string(27, 'q'));
}

TEST_F(ScriptCompiler, AssignmentAsConditionWarns) {
    EXPECT_FALSE(Compile("int a;\nvoid f() {\n if (a = 1) a = 2; }"));
    EXPECT_TRUE(Has("memory( 2 ) warning : assignment within conditional expression"));
}

TEST_F(ScriptCompiler, DiagnosticsAreSortedByLine) {
    EXPECT_FALSE(Compile("void g() {\n\n y = 1; }\nvoid h() {\n z = 1; }\nint a;\nfloat a;"));
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "memory( 2 ) error : undeclared identifier 'y'");
    EXPECT_EQ(messages[1], "memory( 4 ) error : undeclared identifier 'z'");
    EXPECT_EQ(messages[2], "memory( 6 ) error : redefinition of 'a'");
}

TEST_F(ScriptCompiler, GlobalsArePlacedInScriptMemoryWithTheirInitialValues) {
    ASSERT_TRUE(Compile("int a = 7; float f = 2; bool b = true; const int k = -12; string s = \"hi\";\n"
                        "namespace n { int x = 'A'; }"));
    EXPECT_EQ(Int("a"), 7);
    EXPECT_FLOAT_EQ(Float("f"), 2.0f);
    EXPECT_EQ(*static_cast<const std::uint8_t*>(m_Script->GetVariable("b")), 1);
    EXPECT_EQ(Int("k"), -12);
    EXPECT_STREQ(static_cast<const sScriptString*>(m_Script->GetVariable("s"))->text, "hi");
    EXPECT_EQ(Int("n::x"), 65);
    // Offsets grow by each type's size, aligned: a(4) f(4) b(1) k(4) s(28) x(4).
    const std::uint8_t* base = m_Script->GetMemory().GetData();
    EXPECT_EQ(static_cast<const std::uint8_t*>(m_Script->GetVariable("a")) - base, 0);
    EXPECT_EQ(static_cast<const std::uint8_t*>(m_Script->GetVariable("b")) - base, 8);
    EXPECT_EQ(static_cast<const std::uint8_t*>(m_Script->GetVariable("k")) - base, 12);
    EXPECT_EQ(static_cast<const std::uint8_t*>(m_Script->GetVariable("s")) - base, 16);
    EXPECT_EQ(static_cast<const std::uint8_t*>(m_Script->GetVariable("n::x")) - base, 44);
    // A constant keeps its value in its record and stands for it in expressions.
    const cVariable* k = m_Script->FindVariable("k");
    ASSERT_TRUE(k && k->HasValue());
    ASSERT_TRUE(Compile("int twice = k;"));
    EXPECT_EQ(Int("twice"), -12);
}

TEST_F(ScriptCompiler, ScriptMemoryRunsOut) {
    m_Script->Release();
    m_Script = static_cast<cScript*>(m_Env.CreateScript("small", 10));
    EXPECT_FALSE(Compile("int a; int b;\nint c;"));
    EXPECT_TRUE(Has("memory( 1 ) error : 'c' : out of script memory, 4 more bytes needed"));
}

TEST_F(ScriptCompiler, ClassesLayOutFieldsAfterTheirParent) {
    testing::internal::CaptureStdout();
    ASSERT_TRUE(Compile("class A { int x; bool b; }\nclass B : A { float y; }\nB value;"));
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(log.find("Adding class field 'A::x'..."), std::string::npos);
    EXPECT_NE(log.find("Adding class field 'B::y'..."), std::string::npos);
    const cTypeDef* b = m_Script->GetRoot().FindType("B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetSize(), 12);
    ASSERT_NE(b->FindField("y"), nullptr);
    EXPECT_EQ(b->FindField("y")->offset, 8);
    EXPECT_EQ(b->FindField("x")->offset, 0);
    EXPECT_TRUE(b->IsInheritedFrom(m_Script->GetRoot().FindType("A")));
}

TEST_F(ScriptCompiler, FunctionsMayCallFunctionsDefinedFurtherDown) {
    ASSERT_TRUE(Compile("int r;\nvoid first() { r = second(4); }\nint second(int x) { return x * 3; }"));
    m_Script->CallFunction("first");
    EXPECT_EQ(Int("r"), 12);
    const cFuncDef* second = m_Script->GetFunction("second");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetArguments().size(), 1u);
    ASSERT_NE(second->GetLocalScope(), nullptr);
    EXPECT_EQ(second->GetLocalScope()->GetName().rfind("local_", 0), 0u);
    EXPECT_EQ(m_Script->GetFunction("r"), nullptr);
    EXPECT_EQ(m_Script->GetFunction("missing"), nullptr);
}

TEST_F(ScriptCompiler, ScriptsCompileInTurnsIntoOneNamespace) {
    ASSERT_TRUE(Compile("int total;\nclass P { int v; }"));
    ASSERT_TRUE(Compile("P p;\nvoid add(int x) { total += x; p.v += x; }"));
    m_Script->CallFunction("add", 5);
    m_Script->CallFunction("add", 6);
    EXPECT_EQ(Int("total"), 11);
    EXPECT_EQ(Int("p") , 11);
}

TEST_F(ScriptCompiler, ScopeStackUnderflowIsFatal) {
    cCodeTree<cCodeNode> tree;
    cMessageList messages;
    cScriptCompiler compiler(*m_Script, messages, tree);
    compiler.PushNamespace(&m_Script->GetRoot());
    compiler.PopNamespace();
    EXPECT_EQ(Raised([&] { compiler.PopNamespace(); }), "cScriptCompiler::PopNamespace : stack underflow");
    EXPECT_EQ(Raised([&] { compiler.PopClass(); }), "cScriptCompiler::PopClass : stack underflow");
}

TEST_F(ScriptCompiler, FailedCompilationLeavesNoCallableCode) {
    EXPECT_FALSE(Compile("int g;\nvoid ok() { g += 1; }\nvoid bad() { g += missing; }"));
    EXPECT_EQ(m_Script->GetInstructionCount(), 0);
    EXPECT_EQ(Raised([&] { m_Script->CallFunction("ok"); }), "cInterpreter::CallFunction : function 'ok' has no code");
}

} // namespace
} // namespace velmora::script::test
