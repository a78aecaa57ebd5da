// The reader operations every text format is written with: expectations,
// numbers with signs, booleans, vectors and lists, depths, going back, and the
// error and warning texts with their line numbers.

#include <gtest/gtest.h>

#include "engine/core/cException.h"
#include "engine/parser/cParser.h"

namespace velmora {
namespace {

class ParserReading : public ::testing::Test {
protected:
    void Use(const char* separators, const std::string& text) {
        parser.SetSeparators(separators);
        parser.SetText(text);
    }

    template <typename F>
    std::string ErrorOf(F operation) {
        try {
            operation();
        } catch (const cException& e) {
            return e.GetText();
        }
        return "<nothing thrown>";
    }

    cParser parser;
};

TEST_F(ParserReading, SignsAreTokensOfTheirOwnAndCombineWithNumbers) {
    Use("{ } - ( ) ,", "-3 - 3 7 -2.5 2147483648 99999999999 1.5");
    std::int32_t value = 0;
    parser.ReadInt(value);
    EXPECT_EQ(value, -3);
    parser.ReadInt(value);
    EXPECT_EQ(value, -3);
    parser.ReadInt(value);
    EXPECT_EQ(value, 7);
    float real = 0.0f;
    parser.ReadFloat(real);
    EXPECT_FLOAT_EQ(real, -2.5f);
    parser.ReadInt(value);
    EXPECT_EQ(value, 2147483647);
    parser.ReadInt(value);
    EXPECT_EQ(value, 2147483647);
    parser.ReadInt(value);
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(parser.IsEnd());
    EXPECT_EQ(ErrorOf([&] { parser.ReadInt(value); }), "memory( 0 ) error : unexpected end of file; integer expected");

    Use("-", "name");
    EXPECT_EQ(ErrorOf([&] { parser.ReadFloat(real); }), "memory( 0 ) error : integer expected, found 'name'");
}

TEST_F(ParserReading, ExpectNamesWhatWasFoundAndWhatCameBefore) {
    Use("{ }", "{ 1.0 x");
    EXPECT_EQ(ErrorOf([&] { parser.Expect("("); }), "memory( 0 ) error : expected '(' found '{'");
    parser.Expect("{");
    parser.Next();
    EXPECT_EQ(ErrorOf([&] { parser.Expect("}"); }), "memory( 0 ) error : expected '}' found 'x' after '1.0'");
    EXPECT_TRUE(parser.Accept("x"));
    EXPECT_TRUE(parser.IsEnd());
    EXPECT_FALSE(parser.Is("x"));
    EXPECT_FALSE(parser.Accept("x"));
    EXPECT_EQ(ErrorOf([&] { parser.Expect("}"); }), "memory( 0 ) error : unexpected end of file; '}' expected");
}

TEST_F(ParserReading, StringsBooleansAndTheirErrors) {
    Use("", "\"text\" true false 0 12 word");
    std::string text;
    parser.ReadString(text);
    EXPECT_EQ(text, "text");
    bool flag = false;
    parser.ReadBool(flag);
    EXPECT_TRUE(flag);
    parser.ReadBool(flag);
    EXPECT_FALSE(flag);
    parser.ReadBool(flag);
    EXPECT_FALSE(flag);
    parser.ReadBool(flag);
    EXPECT_TRUE(flag);
    EXPECT_EQ(ErrorOf([&] { parser.ReadBool(flag); }), "memory( 0 ) error : boolean expected, found 'word'");
    EXPECT_EQ(ErrorOf([&] { parser.ReadString(text); }), "memory( 0 ) error : string expected, found 'word'");

    // A quoted brace is text: it matches nothing and leaves the depths alone.
    Use("{ }", "\"{\" {");
    EXPECT_FALSE(parser.Is("{"));
    EXPECT_EQ(parser.GetBraceDepth(), 0);
    parser.Next();
    EXPECT_TRUE(parser.Is("{"));
    EXPECT_EQ(parser.GetBraceDepth(), 1);
}

TEST_F(ParserReading, VectorsWarnAboutMissingAndSurplusComponents) {
    Use("( ) , -", "(1, -2, 3) (1, 2) (1, 2, 3, 4) next (5 6)");
    float v[3] = {0, 0, 0};
    parser.ReadVector(v, 3);
    EXPECT_EQ(std::vector<float>(v, v + 3), (std::vector<float>{1, -2, 3}));

    v[2] = 42;
    ::testing::internal::CaptureStdout();
    parser.ReadVector(v, 3);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "memory( 0 ) warning : vector is missing 1 components\n");
    EXPECT_EQ(std::vector<float>(v, v + 3), (std::vector<float>{1, 2, 42}));

    ::testing::internal::CaptureStdout();
    parser.ReadVector(v, 3);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "memory( 0 ) warning : vector overflow; 3d vector expected\n");
    EXPECT_TRUE(parser.Is("next"));
    EXPECT_EQ(parser.GetParenthesisDepth(), 0);
    EXPECT_EQ(ErrorOf([&] { parser.ReadVector(v, 3); }),
              "memory( 0 ) error : '(' expected before vector, found 'next'");
    parser.Next();
    EXPECT_EQ(ErrorOf([&] { parser.ReadVector(v, 3); }), "memory( 0 ) error : expected ')' found '6' after '5'");
}

TEST_F(ParserReading, UnfinishedVectorsAndListsEndAtTheEndOfInput) {
    float v[4] = {};
    Use("( ) ,", "(1, 2");
    ::testing::internal::CaptureStdout();
    const std::string error = ErrorOf([&] { parser.ReadVector(v, 4); });
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(error, "memory( 0 ) error : unexpected end of file; ')' expected");

    Use("( ) ,", "(1, 2, 3, 4, 5, 6");
    ::testing::internal::CaptureStdout();
    parser.ReadVector(v, 2);
    ::testing::internal::GetCapturedStdout();
    EXPECT_TRUE(parser.IsEnd());

    std::vector<float> list;
    Use("( ) , -", "(1, 2.5, -3) () (4,");
    parser.ReadFloatList(list);
    EXPECT_EQ(list, (std::vector<float>{1, 2.5f, -3}));
    parser.ReadFloatList(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(ErrorOf([&] { parser.ReadFloatList(list); }),
              "memory( 0 ) error : unexpected end of file; integer expected");

    Use("( ) ,", "((((");
    parser.SkipParentheses();
    EXPECT_TRUE(parser.IsEnd());
}

TEST_F(ParserReading, SavedPositionsReadTheSameTokenAgain) {
    Use("{ } ( ) ,", "a { b ( c ) } \"s\" d");
    parser.Next();
    parser.SavePosition(); // at "{"
    parser.Next();
    parser.Next();
    parser.SavePosition(); // at "("
    parser.Next();
    parser.Next();
    parser.Next();
    EXPECT_EQ(parser.GetBraceDepth(), 0);
    parser.RestorePosition();
    EXPECT_TRUE(parser.Is("("));
    EXPECT_EQ(parser.GetParenthesisDepth(), 1);
    EXPECT_EQ(parser.GetBraceDepth(), 1);
    EXPECT_EQ(parser.GetPreviousToken().text, "b");
    parser.RestorePosition();
    EXPECT_TRUE(parser.Is("{"));
    EXPECT_EQ(parser.GetBraceDepth(), 1);
    EXPECT_EQ(parser.GetParenthesisDepth(), 0);
    while (!parser.IsEnd() && parser.GetToken().type != TOKEN_STRING) {
        parser.Next();
    }
    parser.SavePosition();
    parser.Next();
    parser.RestorePosition();
    EXPECT_EQ(parser.GetToken().type, TOKEN_STRING);
    EXPECT_EQ(parser.GetToken().text, "s");
}

TEST_F(ParserReading, LinesCountFromZeroAndWarningsGoToStandardOutput) {
    Use("{ }", "first\n\n  second // note\n/* a\nb */ third");
    EXPECT_EQ(ErrorOf([&] { parser.Expect("{"); }), "memory( 0 ) error : expected '{' found 'first'");
    parser.Next();
    EXPECT_EQ(ErrorOf([&] { parser.Expect("{"); }), "memory( 2 ) error : expected '{' found 'second' after 'first'");
    parser.Next();
    EXPECT_EQ(parser.GetToken().line, 4);
    ::testing::internal::CaptureStdout();
    parser.Warning("odd value %d", 5);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "memory( 4 ) warning : odd value 5\n");
}

TEST_F(ParserReading, MessagesStayBoundedWithHugeTokens) {
    Use("", std::string(100000, 'q'));
    const std::string error = ErrorOf([&] { parser.Expect("x"); });
    EXPECT_EQ(error.rfind("memory( 0 ) error : expected 'x' found 'qqq", 0), 0u);
    EXPECT_LE(error.size(), 4095u);
}

} // namespace
} // namespace velmora
