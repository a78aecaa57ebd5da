// Cutting tokens: separators in both modes, numbers, strings and escapes,
// character literals, comments, line counting and hostile input.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "engine/core/cException.h"
#include "engine/parser/cTokenizer.h"

namespace velmora {
namespace {

struct sCut {
    std::string text;
    std::int32_t type;
    bool operator==(const sCut& o) const { return text == o.text && type == o.type; }
};

std::ostream& operator<<(std::ostream& out, const sCut& cut) { return out << "{" << cut.text << ", " << cut.type << "}"; }

std::vector<sCut> Cut(const char* separators, const std::string& text) {
    cTokenizer tokenizer;
    tokenizer.Reset();
    tokenizer.SetSeparators(separators);
    tokenizer.SetText(text, "memory");
    std::vector<sCut> cuts;
    sToken token;
    while (tokenizer.ReadToken(token)) {
        cuts.push_back({token.text, token.type});
    }
    return cuts;
}

std::string ThrownBy(const char* separators, const std::string& text) {
    try {
        Cut(separators, text);
    } catch (const cException& e) {
        return e.GetText();
    }
    return "<nothing thrown>";
}

TEST(TokenizerSeparators, SingleCharacterModeCutsAtEverySeparatorCharacter) {
    EXPECT_EQ(Cut("{ } - ( ) ,", "(1,-2)"),
              (std::vector<sCut>{{"(", TOKEN_SEPARATOR},
                                 {"1", TOKEN_NUMBER},
                                 {",", TOKEN_SEPARATOR},
                                 {"-", TOKEN_SEPARATOR},
                                 {"2", TOKEN_NUMBER},
                                 {")", TOKEN_SEPARATOR}}));
    EXPECT_EQ(Cut("{ }", "name{value}  true false\ttrue2"),
              (std::vector<sCut>{{"name", TOKEN_IDENTIFIER},
                                 {"{", TOKEN_SEPARATOR},
                                 {"value", TOKEN_IDENTIFIER},
                                 {"}", TOKEN_SEPARATOR},
                                 {"true", TOKEN_BOOLEAN},
                                 {"false", TOKEN_BOOLEAN},
                                 {"true2", TOKEN_IDENTIFIER}}));
    // The "-path" option of the command line: only spaces separate.
    EXPECT_EQ(Cut(" ", "/S -path /home/user/data"),
              (std::vector<sCut>{{"/S", TOKEN_IDENTIFIER}, {"-path", TOKEN_IDENTIFIER}, {"/home/user/data", TOKEN_IDENTIFIER}}));
}

TEST(TokenizerSeparators, MultiCharacterModeTakesTheEarliestThenTheLongestSeparator) {
    cTokenizer tokenizer;
    tokenizer.SetSeparators("- ->");
    EXPECT_TRUE(tokenizer.IsMultiCharacterMode());
    EXPECT_EQ(Cut("- ->", "a->b"),
              (std::vector<sCut>{{"a", TOKEN_IDENTIFIER}, {"->", TOKEN_SEPARATOR}, {"b", TOKEN_IDENTIFIER}}));
    EXPECT_EQ(Cut("= == ===", "x===y==z=w"),
              (std::vector<sCut>{{"x", TOKEN_IDENTIFIER},
                                 {"===", TOKEN_SEPARATOR},
                                 {"y", TOKEN_IDENTIFIER},
                                 {"==", TOKEN_SEPARATOR},
                                 {"z", TOKEN_IDENTIFIER},
                                 {"=", TOKEN_SEPARATOR},
                                 {"w", TOKEN_IDENTIFIER}}));
    // The earliest separator wins over a longer one that starts later.
    EXPECT_EQ(Cut("abc bcdef", "xabcdef"),
              (std::vector<sCut>{{"x", TOKEN_IDENTIFIER}, {"abc", TOKEN_SEPARATOR}, {"def", TOKEN_IDENTIFIER}}));
    EXPECT_EQ(Cut("<< <", "a<<<b"),
              (std::vector<sCut>{{"a", TOKEN_IDENTIFIER}, {"<<", TOKEN_SEPARATOR}, {"<", TOKEN_SEPARATOR}, {"b", TOKEN_IDENTIFIER}}));
}

TEST(TokenizerNumbers, DigitsAndDotsWithoutSign) {
    cTokenizer tokenizer;
    tokenizer.SetSeparators("-");
    tokenizer.SetText("12.5abc -3 7", "memory");
    sToken token;
    ASSERT_TRUE(tokenizer.ReadToken(token));
    EXPECT_EQ(token.text, "12.5");
    EXPECT_EQ(token.type, TOKEN_NUMBER);
    EXPECT_EQ(token.flags, TOKEN_FLAG_FLOAT);
    ASSERT_TRUE(tokenizer.ReadToken(token));
    EXPECT_EQ(token.text, "abc");
    EXPECT_EQ(token.type, TOKEN_IDENTIFIER);
    ASSERT_TRUE(tokenizer.ReadToken(token));
    EXPECT_EQ(token.text, "-");
    ASSERT_TRUE(tokenizer.ReadToken(token));
    EXPECT_EQ(token.text, "3");
    EXPECT_EQ(token.flags, 0u);
    ASSERT_TRUE(tokenizer.ReadToken(token));
    EXPECT_EQ(token.position, 11);
    EXPECT_FALSE(tokenizer.ReadToken(token));
    EXPECT_EQ(tokenizer.GetPosition(), -1);
    EXPECT_FALSE(tokenizer.ReadToken(token));
}

TEST(TokenizerStrings, EscapesAreResolvedAndUnknownOnesDropped) {
    const auto one = [](const std::string& literal) {
        const std::vector<sCut> cuts = Cut("", literal);
        return cuts.size() == 1 && cuts[0].type == TOKEN_STRING ? cuts[0].text : std::string("<not one string>");
    };
    EXPECT_EQ(one(R"("a\qb")"), "ab");
    EXPECT_EQ(one(R"("a\nb")"), "a\nb");
    EXPECT_EQ(one(R"("\'\\\a\b\f\t\v\r.")"), std::string("'\\\a\b\f\t\v."));
    EXPECT_EQ(one(R"("x\0y")"), std::string("x\0y", 3));
    EXPECT_EQ(one(R"("tail\")"), "tail");
    EXPECT_EQ(one(R"("")"), "");
    EXPECT_EQ(one("\"has // no comment /* inside */\""), "has // no comment /* inside */");

    cTokenizer tokenizer;
    tokenizer.SetText("  \"abc\"", "memory");
    sToken token;
    ASSERT_TRUE(tokenizer.ReadToken(token));
    EXPECT_EQ(token.position, 3);
}

TEST(TokenizerStrings, CharacterLiterals) {
    EXPECT_EQ(Cut("", "'x' 'y'"), (std::vector<sCut>{{"x", TOKEN_CHAR}, {"y", TOKEN_CHAR}}));
    EXPECT_EQ(ThrownBy("", "\n'ab'"), "line 1: ' expected after a");
    EXPECT_EQ(ThrownBy("", "'a"), "line 0: ' expected after a");
    EXPECT_EQ(ThrownBy("", "'"), "line 0: ' expected after '");
}

TEST(TokenizerStrings, UnterminatedInputThrowsItsPlainMessage) {
    EXPECT_EQ(ThrownBy("", "ok \"never closed"), "unexpected end of file, missing \".");
    EXPECT_EQ(ThrownBy("", "ok /* never closed *"), "unexpected end of file, end of multiline comment was not found.");
    EXPECT_EQ(ThrownBy("", "/*/"), "unexpected end of file, end of multiline comment was not found.");
}

TEST(TokenizerComments, CommentsAreSkippedAndTheirLinesCounted) {
    EXPECT_EQ(Cut("", "a // rest of line\nb /* one\ntwo */ c /**//**/d // last line without line feed"),
              (std::vector<sCut>{{"a", TOKEN_IDENTIFIER}, {"b", TOKEN_IDENTIFIER}, {"c", TOKEN_IDENTIFIER}, {"d", TOKEN_IDENTIFIER}}));
    EXPECT_EQ(Cut("/", "a/b"), (std::vector<sCut>{{"a", TOKEN_IDENTIFIER}, {"/", TOKEN_SEPARATOR}, {"b", TOKEN_IDENTIFIER}}));

    cTokenizer tokenizer;
    tokenizer.Reset();
    tokenizer.SetText("first\n// comment\n/* two\nlines */ second\r\n\"multi\nline\"\nthird", "memory");
    sToken token;
    std::vector<std::int32_t> lines;
    while (tokenizer.ReadToken(token)) {
        lines.push_back(token.line);
    }
    EXPECT_EQ(lines, (std::vector<std::int32_t>{0, 3, 4, 6}));
}

TEST(TokenizerLoading, FilesGetALineFeedAndFailuresTheirMessages) {
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("velmora-tok-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/text.txt";
    std::ofstream(path) << "x // comment at the very end";
    std::ofstream(folder + "/empty.txt");

    cTokenizer tokenizer;
    tokenizer.LoadFile(path.c_str());
    EXPECT_EQ(tokenizer.GetSourceText(), "x // comment at the very end\n");
    EXPECT_EQ(tokenizer.GetSourceName(), path);
    sToken token;
    EXPECT_TRUE(tokenizer.ReadToken(token));
    EXPECT_FALSE(tokenizer.ReadToken(token));

    const auto thrown = [&](const std::string& file) -> std::string {
        try {
            tokenizer.LoadFile(file.c_str());
        } catch (const cException& e) {
            return e.GetText();
        }
        return "<nothing thrown>";
    };
    EXPECT_EQ(thrown(folder + "/missing.txt"), "failed to open '" + folder + "/missing.txt'");
    EXPECT_EQ(thrown(folder), "failed to open '" + folder + "'");
    EXPECT_EQ(thrown(folder + "/empty.txt"), "'" + folder + "/empty.txt' is empty");
    std::filesystem::remove_all(folder);
}

TEST(TokenizerHostileInput, NulBytesHugeTokensAndLongRunsStayLinear) {
    const std::string withNul("a\0b c", 5);
    EXPECT_EQ(Cut("", withNul), (std::vector<sCut>{{std::string("a\0b", 3), TOKEN_IDENTIFIER}, {"c", TOKEN_IDENTIFIER}}));

    const std::string huge(20 * 1024 * 1024, 'z');
    const std::vector<sCut> cuts = Cut("{ }", huge + "{" + std::string(1000000, '7'));
    ASSERT_EQ(cuts.size(), 3u);
    EXPECT_EQ(cuts[0].text.size(), huge.size());
    EXPECT_EQ(cuts[2].type, TOKEN_NUMBER);

    // Many tokens and a multi-character separator that never occurs: cutting must not rescan the text.
    std::string many;
    for (int i = 0; i < 200000; ++i) {
        many += "ab ";
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Cut(":: ->", many).size(), 200000u);
    EXPECT_EQ(Cut(":", many).size(), 200000u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

} // namespace
} // namespace velmora
