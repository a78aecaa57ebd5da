// Random, mutated and truncated sources through the whole compiler: every one
// must end in diagnostics or a program, never in a crash, a hang or a fatal
// internal error. The generators are seeded, so every run sees the same inputs.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ScriptTestUtil.h"

namespace velmora::script::test {
namespace {

const char* const kProgram =
    "namespace geo { class Point : object { int x; int y; } }\n"
    "geo::Point origin; int total; float scale = 1.5; const int limit = 10; string name = \"fuzz\";\n"
    "int twice(int v) { return v + v; }\n"
    "void move(geo::Point& p, int dx) { p.x += dx; p.y += twice(dx); }\n"
    "/* a block comment */ void run() {\n"
    "  int i; // a line comment\n"
    "  for (i = 0; i < limit; i += 1) { total += twice(i) * (i + 1); move(origin, 1); }\n"
    "  scale += 0.25; origin.GetTypeName();\n"
    "}\n";

const char* const kVocabulary[] = {
    "namespace", "class", "enum", "int", "float", "bool", "string", "void", "const", "if", "else", "while", "do",
    "for", "return", "break", "continue", "typeof", "object", "x", "y", "run", "total", "geo", "::", ":", ";", ",",
    "{", "}", "(", ")", "[", "]", ".", "->", "&", "&&", "|", "||", "^", "!", "=", "+=", "-=", "*=", "/=", "==",
    "!=", "<", "<=", ">", ">=", "+", "-", "*", "/", "++", "--", "0", "7", "2147483648", "1.5", "3.", "1.2.3",
    "99999999999999999999999999999999999999999.0", "\"text\"", "\"open", "'c'", "'cd'", "true", "false", "//",
    "/*", "*/", "@", "#", "$", "\\", "\n", "\t", "\x01", "\xff"};

class ScriptFuzz : public cScriptTest {
protected:
    // Compiles on a fresh script; diagnostics are captured so they don't flood the output.
    void CompileQuietly(const std::string& source) {
        cScript* script = static_cast<cScript*>(m_Env.CreateScript("fuzz", 2048));
        ASSERT_NE(script, nullptr);
        testing::internal::CaptureStdout();
        std::string raised;
        try {
            script->CompileString(source.c_str());
        } catch (const cException& e) {
            raised = e.GetText();
        }
        testing::internal::GetCapturedStdout();
        EXPECT_EQ(raised, "") << "source:\n" << source;
        script->Release();
    }
};

TEST_F(ScriptFuzz, TheProgramItselfCompilesAndRuns) {
    ASSERT_TRUE(Compile(kProgram));
    testing::internal::CaptureStdout();
    m_Script->CallFunction("run");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(Int("total"), 660);
    const std::int32_t* origin = static_cast<const std::int32_t*>(m_Script->GetVariable("origin"));
    EXPECT_EQ(origin[2], 10); // behind the 8-byte object header
    EXPECT_EQ(origin[3], 20);
}

TEST_F(ScriptFuzz, TruncatedSources) {
    const std::string program = kProgram;
    for (std::size_t length = 0; length < program.size(); length += 3) {
        CompileQuietly(program.substr(0, length));
    }
}

TEST_F(ScriptFuzz, MutatedSources) {
    std::mt19937 random(20240611);
    const std::string program = kProgram;
    for (int round = 0; round < 400; ++round) {
        std::string source = program;
        const int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits && !source.empty(); ++e) {
            const std::size_t at = random() % source.size();
            switch (random() % 3) {
            case 0: source[at] = static_cast<char>(random() % 256); break;
            case 1: source.erase(at, 1 + random() % 8); break;
            default: source.insert(at, kVocabulary[random() % (sizeof(kVocabulary) / sizeof(kVocabulary[0]))]); break;
            }
        }
        CompileQuietly(source);
    }
}

TEST_F(ScriptFuzz, TokenSoup) {
    std::mt19937 random(7);
    const std::size_t words = sizeof(kVocabulary) / sizeof(kVocabulary[0]);
    for (int round = 0; round < 300; ++round) {
        std::string source;
        const int length = static_cast<int>(random() % 200);
        for (int i = 0; i < length; ++i) {
            source += kVocabulary[random() % words];
            source += (random() % 4) ? " " : "";
        }
        CompileQuietly(source);
    }
}

TEST_F(ScriptFuzz, RandomBytesAndOneLargeInput) {
    std::mt19937 random(99);
    for (int round = 0; round < 100; ++round) {
        std::string source(random() % 500, '\0');
        for (char& c : source) {
            c = static_cast<char>(random() % 256);
        }
        CompileQuietly(source);
    }
    std::string large;
    while (large.size() < (1u << 20)) {
        large += kVocabulary[random() % (sizeof(kVocabulary) / sizeof(kVocabulary[0]))];
        large += ' ';
    }
    CompileQuietly(large);
}

} // namespace
} // namespace velmora::script::test
