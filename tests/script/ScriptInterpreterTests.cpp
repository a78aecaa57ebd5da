#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <string>

#include "ScriptTestUtil.h"
#include "script/NativeBinding.h"
#include "script/cFuncDef.h"
#include "script/cTypeDef.h"
#include "script/cVariable.h"

namespace velmora::script::test {
namespace {

using ScriptInterpreter = cScriptTest;

TEST_F(ScriptInterpreter, ForLoopAddsToAGlobal) {
    ASSERT_TRUE(Compile("int sum;\nvoid run()\n{\n int i;\n for (i = 1; i <= 100; i += 1)\n  sum += i;\n}"));
    m_Script->CallFunction("run");
    EXPECT_EQ(Int("sum"), 5050);
    m_Script->CallFunction("run");
    EXPECT_EQ(Int("sum"), 10100);
}

TEST_F(ScriptInterpreter, UnfinishedStatementsStopCodeGenerationWithTheirNodeNumber) {
    struct sCase {
        const char* body;
        const char* message;
    } const cases[] = {
        {"\n if (g < 1) g += 1;", "memory( 2 ) error : cCodeGenerator::GenerateCode : unhandled node type 6"},
        {"\n\n while (g < 1) g += 1;", "memory( 3 ) error : cCodeGenerator::GenerateCode : unhandled node type 7"},
        {"\n do g += 1; while (g < 1);", "memory( 2 ) error : cCodeGenerator::GenerateCode : unhandled node type 8"},
        {"\n for (g = 0; g < 1; g += 1) {\n break; }",
         "memory( 3 ) error : cCodeGenerator::GenerateCode : unhandled node type 10"},
        {"\n for (g = 0; g < 1; g += 1) {\n continue; }",
         "memory( 3 ) error : cCodeGenerator::GenerateCode : unhandled node type 11"},
    };
    for (const sCase& c : cases) {
        const std::string source = std::string("int g;\nvoid f() {") + c.body + "\n}\nvoid h() { g += 5; }";
        EXPECT_FALSE(Compile(source)) << c.body;
        // The tree was built: the compiler itself found nothing wrong.
        EXPECT_EQ(Messages(), std::vector<std::string>{c.message}) << c.body;
        EXPECT_EQ(m_Script->GetInstructionCount(), 0) << c.body;
        EXPECT_EQ(Raised([&] { m_Script->CallFunction("h"); }), "cInterpreter::CallFunction : function 'h' has no code");
        m_Script->Release();
        m_Script = static_cast<cScript*>(m_Env.CreateScript("test", 4096));
    }
}

TEST_F(ScriptInterpreter, ModifyingOperatorsOtherThanAdditionStopAtRunTime) {
    struct sCase {
        const char* statement;
        const char* message;
    } const cases[] = {
        {"a -= 1;", "cScript::Execute : invalid instruction 'msub' (7)"},
        {"a *= 2;", "cScript::Execute : invalid instruction 'mmul' (8)"},
        {"a /= 2;", "cScript::Execute : invalid instruction 'mdiv' (9)"},
        {"f -= 1.0;", "cScript::Execute : invalid instruction 'msubf' (16)"},
        {"f *= 2;", "cScript::Execute : invalid instruction 'mmulf' (17)"},
        {"f /= 2.0;", "cScript::Execute : invalid instruction 'mdivf' (18)"},
    };
    for (const sCase& c : cases) {
        ASSERT_TRUE(Compile(std::string("int a = 5; float f = 1;\nvoid run() { a += 1; ") + c.statement + " a += 100; }"))
            << c.statement;
        EXPECT_EQ(Raised([&] { m_Script->CallFunction("run"); }), c.message);
        EXPECT_EQ(Int("a"), 6) << "the instructions before the refused one ran, none after it";
        m_Script->Release();
        m_Script = static_cast<cScript*>(m_Env.CreateScript("test", 4096));
    }
}

TEST_F(ScriptInterpreter, RefusedAndUnknownOpcodesNameThemselves) {
    const struct {
        std::int32_t opcode;
        const char* message;
    } cases[] = {{OP_NEG, "cScript::Execute : invalid instruction 'neg' (10)"},
                 {OP_NOT, "cScript::Execute : invalid instruction 'not' (26)"},
                 {OP_RETF, "cScript::Execute : invalid instruction 'retf' (45)"},
                 {49, "cScript::Execute : invalid instruction 'unknown' (49)"},
                 {-3, "cScript::Execute : invalid instruction 'unknown' (-3)"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Compile("int g;\nvoid run() { g += 1; }"));
        const cFuncDef* run = m_Script->GetFunction("run");
        m_Script->GetInstruction(run->GetFirstInstruction()).opcode = c.opcode;
        EXPECT_EQ(Raised([&] { m_Script->CallFunction("run"); }), c.message);
        m_Script->Release();
        m_Script = static_cast<cScript*>(m_Env.CreateScript("test", 4096));
    }
}

TEST_F(ScriptInterpreter, HostArgumentsAreTakenByTheirDeclaredType) {
    ASSERT_TRUE(Compile("int i; float f; int flag;\n"
                        "bool same(bool b) { return b; }\n"
                        "void set(int x, float y, bool b) { i = x; f = y; flag = 0; }\n"
                        "float half(float x) { return x * 0.5; }"));
    m_Script->CallFunction("set", -7, 2.5, true);
    EXPECT_EQ(Int("i"), -7);
    EXPECT_FLOAT_EQ(Float("f"), 2.5f);
    EXPECT_TRUE(m_Script->CallFunction("same", 1).AsBool());
    EXPECT_FALSE(m_Script->CallFunction("same", 0).AsBool());
    EXPECT_FLOAT_EQ(m_Script->CallFunction("half", 3.0).AsFloat(), 1.5f);
}

TEST_F(ScriptInterpreter, HostArgumentsOfOtherTypesAreRefused) {
    m_Env.RegisterEnum("Mode");
    ASSERT_TRUE(Compile("void s(string& text) { }\nvoid r(int& x) { }\nvoid m(Mode mode) { }"));
    EXPECT_EQ(Raised([&] { m_Script->CallFunction("s", "text"); }),
              "cInterpreter::ExecuteFunction : unhandled argument type 'string&'");
    int value = 0;
    EXPECT_EQ(Raised([&] { m_Script->CallFunction("r", &value); }),
              "cInterpreter::ExecuteFunction : unhandled argument type 'int&'");
    EXPECT_EQ(Raised([&] { m_Script->CallFunction("m", 1); }),
              "cInterpreter::ExecuteFunction : unhandled argument type 'Mode'");
}

TEST_F(ScriptInterpreter, MissingFunctionsAreRefused) {
    ASSERT_TRUE(Compile("int notAFunction; function empty;"));
    EXPECT_EQ(Raised([&] { m_Script->CallFunction("nope"); }), "cScript::CallFunction : function 'nope' not found");
    EXPECT_EQ(Raised([&] { m_Script->CallFunction("notAFunction"); }),
              "cScript::CallFunction : function 'notAFunction' not found");
    EXPECT_EQ(Raised([&] { m_Script->CallFunction("empty"); }),
              "cInterpreter::CallFunction : NULL pointer to function");
}

TEST_F(ScriptInterpreter, NestedOperatorsKeepEveryIntermediateValue) {
    ASSERT_TRUE(Compile("int a = 1; int b = 2; int c = 3; int d = 4; int r1; int r2; int r3; int r4;\n"
                        "void run() {\n"
                        " r1 = ((a + b) * (c + d) - (b - a) * (d * d)) / (a + a);\n"
                        " r2 = ((a + b) + (c + d)) + (a + d);\n"
                        " r3 = a - (b - (c - (d - 10)));\n"
                        " r4 = (a | 8) ^ (c & 6);\n"
                        "}"));
    m_Script->CallFunction("run");
    EXPECT_EQ(Int("r1"), 2);
    EXPECT_EQ(Int("r2"), 15);
    EXPECT_EQ(Int("r3"), 1 - (2 - (3 - (4 - 10))));
    EXPECT_EQ(Int("r4"), (1 | 8) ^ (3 & 6));
}

TEST_F(ScriptInterpreter, DeeplyNestedExpressionsWithinTheLimit) {
    std::string right = "1";
    std::string left = "1";
    for (int i = 0; i < 100; ++i) {
        right = "(1 + " + right + ")";
        left = "(" + left + " + 1)";
    }
    // A balanced tree holds one right-hand value per level while its left side is computed.
    std::string balanced = "one";
    for (int i = 0; i < 7; ++i) {
        balanced = "(" + balanced + " + " + balanced + ")";
    }
    ASSERT_TRUE(Compile("int r; int l; int b; int one = 1; int twice(int x) { return x + x; }\nvoid run() { r = " + right +
                        "; l = twice(" + left + ") - " + right + "; b = " + balanced + "; }"));
    testing::internal::CaptureStdout();
    m_Script->CallFunction("run");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(Int("r"), 101);
    EXPECT_EQ(Int("l"), 101);
    EXPECT_EQ(Int("b"), 128);
    EXPECT_EQ(m_Script->GetFunction("run")->GetTempsSize(), 7 * 8);
}

TEST_F(ScriptInterpreter, ReferencesNameTheirVariable) {
    ASSERT_TRUE(Compile("int g; int& alias = g; const int& view = g; int seen;\n"
                        "void run() { alias += 2; int& local = alias; local += 3; seen = view; }"));
    m_Script->CallFunction("run");
    EXPECT_EQ(Int("g"), 5);
    EXPECT_EQ(Int("seen"), 5);
    EXPECT_EQ(m_Script->GetVariable("alias"), m_Script->GetVariable("g"));
    EXPECT_FALSE(Compile("void bad() { view += 1; }"));
    EXPECT_TRUE(Has("'+=' : l-value specifies const object"));
}

TEST_F(ScriptInterpreter, TypeofGivesTheTypesIndex) {
    ASSERT_TRUE(Compile("float f; type a = typeof(int); type b = typeof(f); type c = typeof(object);"));
    EXPECT_EQ(Int("a"), m_Env.GetIntType()->GetIndex());
    EXPECT_EQ(Int("b"), m_Env.GetFloatType()->GetIndex());
    EXPECT_EQ(Int("c"), m_Env.GetObjectClass()->GetIndex());
    EXPECT_FALSE(Compile("type d = typeof(nothing);"));
    EXPECT_TRUE(Has("undeclared identifier 'nothing'"));
}

TEST_F(ScriptInterpreter, EnvironmentMemoryGrowsUnderRunningScripts) {
    struct sBox {
        std::int32_t value;
    };
    cTypeDef* box = m_Env.RegisterClass("Box", sizeof(sBox), nullptr, nullptr);
    m_Env.RegisterClassMethod(box, "int", "Get", "", NativeMethod(+[](sBox* b) { return b->value; }));
    ASSERT_TRUE(Compile("Box b; int r;\nvoid run() { r += b.Get(); }"));
    static_cast<sBox*>(m_Script->GetVariable("b"))->value = 3;
    m_Script->CallFunction("run");
    // Far more method slots than the environment block first had: it moves, and calls still find their slots.
    const std::int32_t before = m_Env.GetMemory().GetSize();
    for (int i = 0; i < 300; ++i) {
        m_Env.RegisterClassMethod(box, "int", ("Get" + std::to_string(i)).c_str(), "",
                                  NativeMethod(+[](sBox* b) { return b->value * 10; }));
    }
    EXPECT_GT(m_Env.GetMemory().GetSize(), before);
    ASSERT_TRUE(Compile("void more() { r += b.Get299(); }"));
    m_Script->CallFunction("run");
    m_Script->CallFunction("more");
    EXPECT_EQ(Int("r"), 3 + 3 + 30);
}

TEST_F(ScriptInterpreter, CallsInsideExpressionsAndArguments) {
    ASSERT_TRUE(Compile("int r; int s;\n"
                        "int id(int x) { return x; }\n"
                        "int add(int x, int y) { return x + y; }\n"
                        "void run() { r = id(1) * 100 + id(2) * 10 + id(3); s = add(add(1, 2), add(3, add(4, 5))); }"));
    testing::internal::CaptureStdout();
    m_Script->CallFunction("run");
    const std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Int("r"), 123);
    EXPECT_EQ(Int("s"), 15);
    EXPECT_NE(trace.find("push 3\n"), std::string::npos);
    EXPECT_NE(trace.find("reti = 15\n"), std::string::npos);
}

TEST_F(ScriptInterpreter, FloatArithmeticAndComparisons) {
    ASSERT_TRUE(Compile("float f; int n;\n"
                        "bool less(float a, float b) { return a < b; }\n"
                        "void run(float x) { f = x * 2.5 - 1 / 4.0; n = 0; for (f = f; less(f, 10); f += 1) n += 1; }"));
    m_Script->CallFunction("run", 2.0);
    EXPECT_FLOAT_EQ(Float("f"), 10.75f);
    EXPECT_EQ(Int("n"), 6);
}

TEST_F(ScriptInterpreter, ReferenceArgumentsReachTheCallersVariables) {
    ASSERT_TRUE(Compile("int g; class P { int a; int b; } P p;\n"
                        "void inc(int& x) { x += 1; }\n"
                        "void twice(int& y) { inc(y); inc(y); }\n"
                        "void setb(P& q) { q.b = 9; inc(q.a); }\n"
                        "int read(const int& v) { return v + 1; }\n"
                        "void run() { twice(g); setb(p); g += read(40); }"));
    testing::internal::CaptureStdout();
    m_Script->CallFunction("run");
    const std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Int("g"), 2 + 41);
    const std::int32_t* p = static_cast<const std::int32_t*>(m_Script->GetVariable("p"));
    EXPECT_EQ(p[0], 1);
    EXPECT_EQ(p[1], 9);
    EXPECT_NE(trace.find("pushr "), std::string::npos);
}

TEST_F(ScriptInterpreter, LoopShapes) {
    ASSERT_TRUE(Compile("int n; int i; int j; int k;\n"
                        "bool below(int v, int limit) { return v < limit; }\n"
                        "int first() { for (i = 0; i < 100; i += 1) { return i + 7; } return -1; }\n"
                        "void nested() { for (i = 0; i < 4; i += 1) for (j = 0; j < 5; j += 1) n += 1; }\n"
                        "void never() { for (i = 0; i > 0; i += 1) n += 1000; }\n"
                        "void bare() { i = 0; for (; below(i, 3); ) i += 1; }\n"
                        "void locals() { int a; for (a = 0; a < 3; a += 1) { int b; b += a; k += b; } }"));
    EXPECT_EQ(m_Script->CallFunction("first").AsInt(), 7);
    m_Script->CallFunction("nested");
    EXPECT_EQ(Int("n"), 20);
    m_Script->CallFunction("never");
    EXPECT_EQ(Int("n"), 20);
    m_Script->CallFunction("bare");
    EXPECT_EQ(Int("i"), 3);
    m_Script->CallFunction("locals");
    EXPECT_EQ(Int("k"), 0 + 1 + 3); // one local b for the whole function, zero on entry
}

TEST_F(ScriptInterpreter, IntegerArithmeticIsDefinedAtTheEdges) {
    ASSERT_TRUE(Compile("int a; int b; int r;\nvoid div() { r = a / b; }\nvoid add() { r = a + b; }"));
    *static_cast<std::int32_t*>(m_Script->GetVariable("a")) = INT_MIN;
    *static_cast<std::int32_t*>(m_Script->GetVariable("b")) = -1;
    m_Script->CallFunction("div");
    EXPECT_EQ(Int("r"), INT_MIN);
    *static_cast<std::int32_t*>(m_Script->GetVariable("a")) = INT_MAX;
    *static_cast<std::int32_t*>(m_Script->GetVariable("b")) = 1;
    m_Script->CallFunction("add");
    EXPECT_EQ(Int("r"), INT_MIN);
    *static_cast<std::int32_t*>(m_Script->GetVariable("b")) = 0;
    EXPECT_EQ(Raised([&] { m_Script->CallFunction("div"); }), "cScript::Execute : integer division by zero");
}

TEST_F(ScriptInterpreter, RunawayRecursionIsStoppedAndTheScriptStaysUsable) {
    ASSERT_TRUE(Compile("int g;\nvoid down() { down(); }\nvoid wide(int a, int b) { int x; int y; wide(a, b); }\n"
                        "void ok() { g += 1; }"));
    EXPECT_EQ(Raised([&] { m_Script->CallFunction("down"); }), "cScript::Execute : frame stack overflow");
    m_Script->CallFunction("ok");
    EXPECT_EQ(Int("g"), 1);

    cScript* small = static_cast<cScript*>(m_Env.CreateScript("small", 256, 128, 10000));
    ASSERT_TRUE(small->CompileString("void wide(int a, int b) { int x; int y; wide(a, b); }"));
    testing::internal::CaptureStdout();
    const std::string raised = Raised([&] { small->CallFunction("wide", 1, 2); });
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(raised, "cScript::Execute : value stack overflow");
}

TEST_F(ScriptInterpreter, ScriptsMayNotBeEnteredAgainWhileRunning) {
    cTypeDef* hook = m_Env.RegisterClass("Hook", 4, nullptr, nullptr);
    static cScript* s_Target = nullptr;
    s_Target = m_Script;
    m_Env.RegisterClassMethod(hook, "void", "Reenter", "", NativeMethod(+[](std::int32_t*) {
        s_Target->CallFunction("inner");
    }));
    ASSERT_TRUE(Compile("Hook h;\nvoid inner() { }\nvoid outer() { h.Reenter(); }"));
    EXPECT_EQ(Raised([&] { m_Script->CallFunction("outer"); }),
              "cInterpreter::ExecuteFunction : script 'test' is already running");
    m_Script->CallFunction("inner");
}

TEST_F(ScriptInterpreter, JumpsAndBreaksFollowTheirRecords) {
    // The code generator emits none of these; they are placed by hand into f: four additions and "ret".
    const char* source = "int g; int two = 2; int three = 3; bool yes = true; bool no = false;\n"
                         "void f() { g += 1; g += 10; g += 100; g += 1000; }";
    auto encode = [&](std::int32_t opcode, const char* operandA, const char* operandB, std::int32_t aux) {
        sInstruction instruction;
        instruction.opcode = opcode;
        instruction.aux = aux;
        auto offset = [&](const char* name) {
            return static_cast<std::int32_t>(static_cast<std::uint8_t*>(m_Script->GetVariable(name)) -
                                             m_Script->GetMemory().GetData());
        };
        if (operandA) {
            instruction.baseA = EncodeBase(BASE_SCRIPT, false, 0);
            instruction.offsetA = offset(operandA);
        }
        if (operandB) {
            instruction.baseB = EncodeBase(BASE_SCRIPT, false, 0);
            instruction.offsetB = offset(operandB);
        }
        return instruction;
    };
    // gto: continue at the index operand A holds.
    ASSERT_TRUE(Compile(source));
    std::int32_t first = m_Script->GetFunction("f")->GetFirstInstruction();
    m_Script->GetInstruction(first) = encode(OP_GTO, "two", nullptr, 0);
    m_Script->CallFunction("f");
    EXPECT_EQ(Int("g"), 1100);

    // jmp after an instruction without a result pops its condition byte: true goes to A, false to B.
    for (const char* condition : {"yes", "no"}) {
        m_Script->Release();
        m_Script = static_cast<cScript*>(m_Env.CreateScript("test", 4096));
        ASSERT_TRUE(Compile(source));
        first = m_Script->GetFunction("f")->GetFirstInstruction();
        m_Script->GetInstruction(first) = encode(OP_PUSH, condition, nullptr, 1);
        m_Script->GetInstruction(first + 1) = encode(OP_JMP, "two", "three", 0);
        testing::internal::CaptureStdout();
        m_Script->CallFunction("f");
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(Int("g"), std::string(condition) == "yes" ? 1100 : 1000);
    }

    // brk with no loop open leaves the function.
    m_Script->Release();
    m_Script = static_cast<cScript*>(m_Env.CreateScript("test", 4096));
    ASSERT_TRUE(Compile(source));
    first = m_Script->GetFunction("f")->GetFirstInstruction();
    m_Script->GetInstruction(first + 1) = encode(OP_BRK, nullptr, nullptr, 0);
    m_Script->CallFunction("f");
    EXPECT_EQ(Int("g"), 1);
}

TEST_F(ScriptInterpreter, VariablesAreDumpedAfterEveryCall) {
    int host = 17;
    m_Script->RegisterVariable("const int", "hostValue", &host);
    ASSERT_TRUE(Compile("int i = 5; float f = 2.5; bool b = true; string s = \"hi\"; const int c = 7;\n"
                        "namespace n { int k = 3; }\nvoid run() { i += 1; }"));
    testing::internal::CaptureStdout();
    m_Script->CallFunction("run");
    const std::string log = testing::internal::GetCapturedStdout();
    const std::string expected = "+------------- Variables -------------+\n"
                                 "const int hostValue = 17\n"
                                 "int i = 6\n"
                                 "float f = 2.5000\n"
                                 "bool b = true\n"
                                 "string s = 'hi'\n"
                                 "const int c = 7\n"
                                 "const function run = 0x";
    EXPECT_EQ(log.substr(0, expected.size()), expected);
    EXPECT_NE(log.find("\nint n::k = 3\n+-------------------------------------+\n"), std::string::npos);
}

TEST_F(ScriptInterpreter, AddFunctionWrapsTheQualifiersInNamespaces) {
    ASSERT_TRUE(m_Script->AddFunction("int", "a::b::next", "int x", "{ return x + 1; }"));
    EXPECT_EQ(m_Script->CallFunction("a::b::next", 4).AsInt(), 5);
    EXPECT_NE(m_Script->GetFunction("a::b::next"), nullptr);
    ASSERT_TRUE(m_Script->AddFunction("void", "top", "", "{ }"));
    EXPECT_NE(m_Script->GetFunction("top"), nullptr);
    EXPECT_FALSE(m_Script->AddFunction("int", "a::broken", "", "{ return nothing; }"));
    EXPECT_TRUE(Has("undeclared identifier 'nothing'"));
}

TEST_F(ScriptInterpreter, CompileFileListsItsInstructions) {
    const std::string path = ::testing::TempDir() + "script_interpreter_test.src";
    {
        std::ofstream file(path);
        file << "int g;\nvoid run() { int i; for (i = 0; i < 3; i += 1) g += 2; }\n";
    }
    testing::internal::CaptureStdout();
    const bool compiled = m_Script->CompileFile(path.c_str());
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(compiled);
    EXPECT_NE(log.find("mov : 0, "), std::string::npos);
    EXPECT_NE(log.find("loop : 2, 5\n"), std::string::npos);
    EXPECT_NE(log.find("lt : 0, "), std::string::npos);
    EXPECT_NE(log.find("madd : 0, "), std::string::npos);
    EXPECT_NE(log.find("ret : 0, 0\n"), std::string::npos);
    EXPECT_NE(log.find("'test' : "), std::string::npos);
    m_Script->CallFunction("run");
    EXPECT_EQ(Int("g"), 6);
    std::remove(path.c_str());

    EXPECT_FALSE(m_Script->CompileFile((path + ".missing").c_str()));
    EXPECT_TRUE(Has("error : failed to open '" + path + ".missing'"));
}

} // namespace
} // namespace velmora::script::test
