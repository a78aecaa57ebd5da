#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "ScriptTestUtil.h"
#include "engine/core/cFunctor.h"
#include "script/NativeBinding.h"
#include "script/cFuncDef.h"
#include "script/cStringParser.h"
#include "script/cTypeDef.h"
#include "script/cVariable.h"

namespace velmora::script::test {
namespace {

struct cCounter {
    std::int32_t value = 0;
    float scale = 1.0f;
    bool enabled = false;

    std::int32_t Add(std::int32_t amount) { return value += amount; }
    float Scaled(float x) const { return x * scale; }
    bool IsAbove(std::int32_t limit) const { return value > limit; }
    void Store(std::int32_t& out) const { out = value; }
    std::int32_t Length(const sScriptString& text) const { return static_cast<std::int32_t>(text.Length()); }
    std::int32_t& Value() { return value; }
};

// A host class that extends Counter: its layout starts with a Counter.
struct cSpecial {
    cCounter base;
    std::int32_t extra = 0;
};

void ResetCounter(cCounter* counter) { counter->value = 0; }

class ScriptBinding : public cScriptTest {
protected:
    void SetUp() override {
        cScriptTest::SetUp();
        m_Counter = m_Env.RegisterClass("Counter", sizeof(cCounter), nullptr, nullptr);
        m_Env.RegisterClassField(m_Counter, "int", "value", offsetof(cCounter, value));
        m_Env.RegisterClassField(m_Counter, "float", "scale", offsetof(cCounter, scale));
        m_Env.RegisterClassField(m_Counter, "bool", "enabled", offsetof(cCounter, enabled));
        m_Env.RegisterClassMethod(m_Counter, "int", "Add", "int amount", NativeMethod(&cCounter::Add));
        m_Env.RegisterClassMethod(m_Counter, "float", "Scaled", "float", NativeMethod(&cCounter::Scaled));
        m_Env.RegisterClassMethod(m_Counter, "bool", "IsAbove", "int limit", NativeMethod(&cCounter::IsAbove));
        m_Env.RegisterClassMethod(m_Counter, "void", "Store", "int& out", NativeMethod(&cCounter::Store));
        m_Env.RegisterClassMethod(m_Counter, "int", "Length", "const string& text", NativeMethod(&cCounter::Length));
        m_Env.RegisterClassMethod(m_Counter, "int&", "Value", "", NativeMethod(&cCounter::Value));
        m_Env.RegisterClassMethod(m_Counter, "void", "Reset", "void", NativeMethod(&ResetCounter));
        const cFunctor<std::int32_t, tTypeList<cCounter*, std::int32_t, std::int32_t>> mix =
            [](cCounter* counter, std::int32_t a, std::int32_t b) { return counter->value * a + b; };
        m_Env.RegisterClassMethod(m_Counter, "int", "Mix", "int, int", NativeMethod(mix));
    }

    cTypeDef* m_Counter = nullptr;
};

TEST_F(ScriptBinding, ScriptsReadAndWriteHostObjectsAndCallTheirMethods) {
    cCounter host;
    m_Env.RegisterVariable("Counter", "counter", &host);
    ASSERT_TRUE(Compile("int r1; float r2; int r3; int r4; int r5; int r6; int loops; string word = \"hello\";\n"
                        "void run() {\n"
                        " counter.value = 5;\n"
                        " r1 = counter.Add(3);\n"
                        " counter.scale = 0.5;\n"
                        " r2 = counter.Scaled(10);\n"
                        " counter.Store(r3);\n"
                        " r4 = counter.Length(word);\n"
                        " r5 = counter.Value() + 1;\n"
                        " r6 = counter.Mix(2, 1);\n"
                        " int i;\n"
                        " for (i = 0; counter.IsAbove(i); i += 1) loops += 1;\n"
                        "}"));
    testing::internal::CaptureStdout();
    m_Script->CallFunction("run");
    const std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_EQ(host.value, 8);
    EXPECT_FLOAT_EQ(host.scale, 0.5f);
    EXPECT_EQ(Int("r1"), 8);
    EXPECT_FLOAT_EQ(Float("r2"), 5.0f);
    EXPECT_EQ(Int("r3"), 8);
    EXPECT_EQ(Int("r4"), 5);
    EXPECT_EQ(Int("r5"), 9);
    EXPECT_EQ(Int("r6"), 17);
    EXPECT_EQ(Int("loops"), 8);
    EXPECT_NE(trace.find("unref: "), std::string::npos);
}

TEST_F(ScriptBinding, MethodCallsAreCheckedLikeFunctionCalls) {
    const struct {
        const char* statement;
        const char* message;
    } cases[] = {{"c.Add(1, 2);", "memory( 1 ) error : method 'Add' takes 1 arguments, not 2"},
                 {"c.Add(1.5);", "memory( 1 ) error : method 'Add' takes 'int' as 1 argument"},
                 {"c.Store(5);", "memory( 1 ) error : method 'Store' takes 'int&' as 1 argument"},
                 {"c.Missing();", "memory( 1 ) error : 'Missing' isn't a member of 'Counter'"},
                 {"c.value();", "memory( 1 ) error : 'Counter::value' not a function"}};
    for (const auto& c : cases) {
        EXPECT_FALSE(Compile(std::string("Counter c;\nvoid run() { ") + c.statement + " }")) << c.statement;
        EXPECT_TRUE(Has(c.message)) << c.statement << "\n got: " << (Messages().empty() ? "" : Messages()[0]);
        m_Script->Release();
        m_Script = static_cast<cScript*>(m_Env.CreateScript("test", 4096));
    }
}

TEST_F(ScriptBinding, ScriptOwnedObjectsOfHostClasses) {
    cTypeDef* special = m_Env.RegisterClass("Special", sizeof(cSpecial), nullptr, "Counter");
    m_Env.RegisterClassField(special, "int", "extra", offsetof(cSpecial, extra));
    ASSERT_TRUE(Compile("Counter c; Special s;\nvoid run() { c.Add(4); c.Reset(); c.Add(2); s.Add(5); s.extra = 7; }"));
    m_Script->CallFunction("run");
    const cCounter* c = static_cast<const cCounter*>(m_Script->GetVariable("c"));
    const cSpecial* s = static_cast<const cSpecial*>(m_Script->GetVariable("s"));
    EXPECT_EQ(c->value, 2);
    EXPECT_EQ(s->base.value, 5);
    EXPECT_EQ(s->extra, 7);
    EXPECT_TRUE(special->IsInheritedFrom(m_Counter));
    EXPECT_FALSE(m_Counter->IsInheritedFrom(special));
}

TEST_F(ScriptBinding, ConstructorIsAMethodNamedAfterTheClass) {
    struct sWidget {
        std::int32_t built;
        std::int32_t spare;
    };
    const auto constructor = NativeMethod(+[](sWidget* widget) { widget->built = 42; });
    cTypeDef* widget = m_Env.RegisterClass("Widget", sizeof(sWidget), &constructor, nullptr);
    m_Env.RegisterClassField(widget, "int", "built", offsetof(sWidget, built));
    const cVariable* method = widget->FindMethod("Widget");
    ASSERT_NE(method, nullptr);
    EXPECT_EQ(method->GetFunction()->GetReturnType()->GetName(), "void");
    ASSERT_TRUE(Compile("Widget w; int seen;\nvoid make() { w.Widget(); seen = w.built; }"));
    m_Script->CallFunction("make");
    EXPECT_EQ(Int("seen"), 42);
}

TEST_F(ScriptBinding, ObjectClassReportsTypeNameAndSize) {
    const cTypeDef* object = m_Env.GetObjectClass();
    EXPECT_EQ(object->GetSize(), 8);
    ASSERT_NE(object->FindField("size"), nullptr);
    EXPECT_EQ(object->FindField("size")->offset, 4);
    EXPECT_TRUE(object->FindField("size")->isConst);
    ASSERT_TRUE(Compile("class Thing : object { int a; } Thing t; int s;\n"
                        "void run() { s = t.size; t.GetTypeName(); s += t.GetTypeSize(); }\n"
                        "void inner() { Thing local; local.GetTypeName(); }"));
    testing::internal::CaptureStdout();
    m_Script->CallFunction("run");
    m_Script->CallFunction("inner");
    const std::string trace = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Int("s"), 24);
    EXPECT_NE(trace.find("cObject::GetTypeName : Thing\n"), std::string::npos);
    EXPECT_NE(trace.find("cObject::GetTypeSize : 12\n"), std::string::npos);
    EXPECT_EQ(trace.find("cObject::GetTypeName : unknown"), std::string::npos);
    EXPECT_FALSE(Compile("class Thing2 : object { int a; } Thing2 t2;\nvoid bad() { t2.size = 3; }"));
    EXPECT_TRUE(Has("memory( 1 ) error : '=' : l-value specifies const object"));
}

TEST_F(ScriptBinding, NamespacesAndVariablesOnTheEnvironmentReachEveryScript) {
    std::int32_t count = 0;
    float level = 0.25f;
    sScriptString title;
    title.Set("menu");
    ASSERT_TRUE(m_Env.RegisterNamespace("gui::controls"));
    ASSERT_TRUE(m_Env.RegisterNamespace("gui::controls")); // already there
    ASSERT_TRUE(m_Env.RegisterVariable("int", "gui::controls::count", &count));
    ASSERT_TRUE(m_Env.RegisterVariable("float", "level", &level));
    ASSERT_TRUE(m_Env.RegisterVariable("const string", "gui::title", &title));
    ASSERT_TRUE(Compile("void bump() { gui::controls::count += 1; level += 1; }"));
    cScript* other = static_cast<cScript*>(m_Env.CreateScript("other", 64));
    ASSERT_TRUE(other->CompileString("void bump() { gui::controls::count += 10; }"));
    m_Script->CallFunction("bump");
    other->CallFunction("bump");
    EXPECT_EQ(count, 11);
    EXPECT_FLOAT_EQ(level, 1.25f);
    EXPECT_EQ(m_Script->GetVariable("gui::controls::count"), &count);
    EXPECT_FALSE(Compile("void rename() { gui::title = gui::title; }"));
    EXPECT_TRUE(Has("'=' : no matching operator found"));
}

TEST_F(ScriptBinding, VariablesOnAScriptStayInThatScript) {
    std::int32_t mine = 3;
    ASSERT_TRUE(m_Script->RegisterVariable("int&", "mine", &mine));
    ASSERT_TRUE(Compile("void twice() { mine += mine; }"));
    m_Script->CallFunction("twice");
    EXPECT_EQ(mine, 6);
    cScript* other = static_cast<cScript*>(m_Env.CreateScript("other", 64));
    EXPECT_FALSE(other->CompileString("void f() { mine += 1; }"));
    EXPECT_TRUE(other->GetMessages().Contains("undeclared identifier 'mine'"));
}

TEST_F(ScriptBinding, RegistrationErrorsNameTheOperation) {
    cTypeDef* mode = m_Env.RegisterEnum("Mode");
    EXPECT_EQ(mode->GetSize(), 4);
    EXPECT_EQ(mode->GetKind(), eTypeKind::Enum);
    std::int32_t storage = 0;
    const auto add = NativeMethod(&cCounter::Add);
    const struct {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[&] { m_Env.RegisterClass("Counter", 4, nullptr, nullptr); },
         "cRegistrator::RegisterClass : redefinition of 'Counter'"},
        {[&] { m_Env.RegisterClass("A", 16, nullptr, "const Counter"); },
         "cRegistrator::RegisterClass : invalid parent type 'const Counter'"},
        {[&] { m_Env.RegisterClass("A", 16, nullptr, "Counter&"); },
         "cRegistrator::RegisterClass : invalid parent type 'Counter&'"},
        {[&] { m_Env.RegisterClass("A", 16, nullptr, "Nope"); }, "cRegistrator::RegisterClass : 'Nope' isn't a valid type"},
        {[&] { m_Env.RegisterClass("A", 16, nullptr, "int"); },
         "cRegistrator::RegisterClass : 'int' isn't a valid type for inheritance"},
        {[&] { m_Env.RegisterClassField(nullptr, "int", "x", 0); },
         "cRegistrator::RegisterClassField : invalid class handle, field 'x'"},
        {[&] { m_Env.RegisterClassField(mode, "int", "x", 0); }, "cRegistrator::RegisterClassField : 'Mode' isn't an object"},
        {[&] { m_Env.RegisterClassField(m_Counter, "int", "value", 0); },
         "cRegistrator::RegisterClassField : redefinition of class member 'Counter::value'"},
        {[&] { m_Env.RegisterClassField(m_Counter, "nope", "x", 0); },
         "cRegistrator::RegisterClassField : 'nope' isn't a valid type"},
        {[&] { m_Env.RegisterClassField(m_Counter, "int", "x", 10); },
         "cRegistrator::RegisterClassField : field 'Counter::x' lies outside the class"},
        {[&] { m_Env.RegisterClassMethod(nullptr, "int", "m", "", add); },
         "cRegistrator::RegisterClassMethod : invalid class handle, method 'm'"},
        {[&] { m_Env.RegisterClassMethod(mode, "int", "m", "", add); },
         "cRegistrator::RegisterClassMethod : 'Mode' isn't an object"},
        {[&] { m_Env.RegisterClassMethod(m_Counter, "int", "Add", "int", add); },
         "cRegistrator::RegisterClassMethod : redefinition of class member 'Counter::Add'"},
        {[&] { m_Env.RegisterClassMethod(m_Counter, "int", "value", "int", add); },
         "cRegistrator::RegisterClassMethod : redefinition of class member 'Counter::value'"},
        {[&] { m_Env.RegisterClassMethod(m_Counter, "nope", "m", "int", add); },
         "cRegistrator::RegisterClassMethod : 'nope' isn't a valid type"},
        {[&] { m_Env.RegisterClassMethod(m_Counter, "int", "m", "int a, nope b", add); },
         "cStringParser::ParseArguments : 'nope' isn't a valid type"},
        {[&] { m_Env.RegisterClassMethod(m_Counter, "float", "m", "int", add); },
         "cRegistrator::RegisterClassMethod : the native binding of 'Counter::m' doesn't match its declaration"},
        {[&] { m_Env.RegisterClassMethod(m_Counter, "int", "m", "float", add); },
         "cRegistrator::RegisterClassMethod : the native binding of 'Counter::m' doesn't match its declaration"},
        {[&] { m_Env.RegisterClassMethod(m_Counter, "int", "m", "string s", add); },
         "cRegistrator::RegisterClassMethod : argument 's' of 'Counter::m' must be passed by reference"},
        {[&] { m_Env.RegisterEnum("Mode"); }, "cRegistrator::RegisterEnum : redefinition of 'Mode'"},
        {[&] { m_Env.RegisterVariable("int", "x", nullptr); },
         "cRegistrator::RegisterVariable( x ) : NULL pointer to variable"},
        {[&] { m_Env.RegisterVariable("nope", "x", &storage); },
         "cRegistrator::RegisterVariable( x ) : 'nope' isn't a valid type"},
        {[&] { m_Env.RegisterVariable("int", "Counter::x", &storage); },
         "cStringParser::CreateNamespace : failed to create namespace 'global::Counter'"},
        {[&] {
             std::string last;
             cStringParser::ParseNamespace(&m_Env.GetRoot(), "missing::x", last);
         },
         "cStringParser::ParseNamespace : 'missing' isn't a member of 'global'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Raised(c.call), c.message);
    }
}

TEST_F(ScriptBinding, UnfinishedRegistrationsRegisterNothing) {
    cTypeDef* mode = m_Env.RegisterEnum("Mode");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(m_Env.RegisterFunction("int", "free", "int", NativeFunction(+[](std::int32_t x) { return x; })));
    EXPECT_FALSE(m_Env.RegisterEnumValue(mode, "First", 1));
    EXPECT_FALSE(m_Script->RegisterFunction("int", "free", "int", NativeFunction(+[](std::int32_t x) { return x; })));
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(m_Env.GetRoot().HasSymbol("free"));
    EXPECT_FALSE(m_Env.GetRoot().HasSymbol("First"));
}

TEST_F(ScriptBinding, TrampolinesReadArgumentsAtTheirOffsets) {
    const auto binding = NativeFunction(+[](bool flag, std::int32_t count, float scale, std::int32_t& out) -> float {
        out = flag ? count : -count;
        return scale * static_cast<float>(count);
    });
    EXPECT_EQ(binding.GetResultKind(), eNativeKind::Float);
    EXPECT_EQ(binding.GetArgumentKinds(), (std::vector<eNativeKind>{eNativeKind::Bool, eNativeKind::Int,
                                                                    eNativeKind::Float, eNativeKind::Reference}));
    EXPECT_FALSE(binding.TakesObject());
    std::uint8_t block[12 + sizeof(void*)] = {};
    block[0] = 1;
    const std::int32_t count = 6;
    const float scale = 0.5f;
    std::int32_t out = 0;
    std::int32_t* pointer = &out;
    std::memcpy(block + 4, &count, 4);
    std::memcpy(block + 8, &scale, 4);
    std::memcpy(block + 12, &pointer, sizeof(pointer));
    std::uint8_t result[8] = {};
    binding.Invoke(nullptr, block, result);
    float value = 0.0f;
    std::memcpy(&value, result, 4);
    EXPECT_FLOAT_EQ(value, 3.0f);
    EXPECT_EQ(out, 6);

    std::unique_ptr<cNativeFunction> copy(binding.Clone());
    block[0] = 0;
    copy->Invoke(nullptr, block, result);
    EXPECT_EQ(out, -6);

    cCounter counter;
    counter.value = 9;
    const auto method = NativeMethod(&cCounter::Value);
    EXPECT_TRUE(method.TakesObject());
    EXPECT_EQ(method.GetResultKind(), eNativeKind::Reference);
    method.Invoke(&counter, nullptr, result);
    std::int32_t* returned = nullptr;
    std::memcpy(&returned, result, sizeof(returned));
    EXPECT_EQ(returned, &counter.value);
}

TEST_F(ScriptBinding, ReleasingAScriptForgetsItsFunctions) {
    ASSERT_TRUE(Compile("void f() { }"));
    const std::int32_t index = m_Script->GetFunction("f")->GetIndex();
    EXPECT_NE(m_Env.GetFunction(index), nullptr);
    m_Script->Release();
    m_Script = nullptr;
    EXPECT_EQ(m_Env.GetFunction(index), nullptr);
    EXPECT_TRUE(m_Env.GetScripts().empty());
    m_Script = static_cast<cScript*>(m_Env.CreateScript("again", 64));
    m_Env.ReleaseAllScripts();
    m_Script = nullptr;
    EXPECT_TRUE(m_Env.GetScripts().empty());
}

TEST(ScriptEnvironment, FactoryAndScriptCreationLogTheirOutcome) {
    IScriptEnv* env = CreateScriptEnv();
    ASSERT_NE(env, nullptr);
    testing::internal::CaptureStdout();
    IScript* script = env->CreateScript("ok", 128);
    IScript* failed = env->CreateScript("broken", -1);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_NE(script, nullptr);
    EXPECT_EQ(failed, nullptr);
    EXPECT_NE(log.find("Creating script 'ok'... succeeded\n"), std::string::npos);
    EXPECT_NE(log.find("Creating script 'broken'... failed to allocate memory\n"), std::string::npos);
    env->Release();
}

} // namespace
} // namespace velmora::script::test
