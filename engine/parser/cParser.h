#pragma once
// The token level every text reader is built on (scene, mesh, config, GUI
// dialog and script readers derive from cParser). A reader:
//   1. calls SetSeparators once with its own separator set, e.g. "{ } ( ) , -"
//      (separators divided by spaces; white space always separates);
//   2. calls SetText (text in memory, source name "memory") or LoadFile (a disk
//      file read with the C library) for each input; afterwards the current
//      token is the first token of the input;
//   3. reads with Is / Accept / Expect and the Read* operations, testing
//      IsEnd() before comparing tokens; Next moves on by one token.
//
// Errors: every reader-level error throws cException with the text
// "%s( %d ) error : %s" (source name, line of the current token, message);
// lexical errors of the tokenizer throw their plain message. Warning prints
// "%s( %d ) warning : %s\n" to standard output and reading goes on.
// Line numbers count from 0 after SetText or LoadFile.
//
// String and character literals never match Is, Accept or Expect and do not
// change the brace and parenthesis depths, so a caption "{" in quotes stays text.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/parser/cTokenizer.h"
#include "engine/parser/sToken.h"
#include "engine/core/PrintfFormat.h"

namespace velmora {

class cParser {
public:
    cParser();
    virtual ~cParser() = default;

    // End-of-input cleared, previous token "< not set >", current token equal to it, tokenizer reset.
    void Reset();
    // Reset, then text becomes the input (source name "memory") and the first token is read.
    void SetText(const char* text);
    // As above; text may hold NUL bytes.
    void SetText(const std::string& text);
    // Reset, then the file at path becomes the input (source name = path) and the first token is read.
    // Throws the tokenizer's loading errors.
    void LoadFile(const char* path);
    // Sets the separators: white space plus the pieces of separators split at spaces.
    void SetSeparators(const char* separators);

    // Moves to the next token (the current one becomes the previous one); at the end of the input IsEnd()
    // becomes true and the current token keeps its text. Tracks the brace and parenthesis depths.
    void Next();
    // Requires the current token to be text and moves on; errors "unexpected end of file; '%s' expected" and
    // "expected '%s' found '%s'" (with " after '<previous>'" when there is a previous token).
    void Expect(const char* text);
    // Moves on and returns true when the current token is text; otherwise false.
    bool Accept(const char* text);
    // True when the current token is text (does not move).
    bool Is(const char* text) const;

    // A string literal; error "string expected, found '%s'".
    void ReadString(std::string& out);
    // An optional "-" token, then a number (decimal conversion, clamped to 32 bits);
    // error "integer expected, found '%s'".
    void ReadInt(std::int32_t& out);
    // An optional "-" token, then a number (float conversion); error "integer expected, found '%s'".
    void ReadFloat(float& out);
    // A number (true when its integer value is not 0) or true / false; error "boolean expected, found '%s'".
    void ReadBool(bool& out);
    // "(" then exactly count numbers separated by "," then ")". Fewer numbers warn
    // "vector is missing %d components" and leave the rest of out unchanged; more numbers warn
    // "vector overflow; %dd vector expected" and are skipped up to the closing parenthesis.
    // Error "'(' expected before vector, found '%s'" when no "(" starts it.
    void ReadVector(float* out, std::int32_t count);
    // "(" then any number of floats separated by "," then ")"; out receives them.
    void ReadFloatList(std::vector<float>& out);
    // Moves on until the parenthesis depth is back at 0, then once more (stops at the end of the input).
    void SkipParentheses();
    // Remembers the current token, its position and the depths; RestorePosition goes back there and reads that
    // token again. Saved positions nest.
    void SavePosition();
    void RestorePosition();

    // Throws cException "%s( %d ) error : %s" with the formatted message.
    [[noreturn]] void Error(const char* format, ...) const
#if defined(__GNUC__)
        VELMORA_PRINTF_FORMAT(2, 3)
#endif
        ;
    // Prints "%s( %d ) warning : %s\n" to standard output.
    void Warning(const char* format, ...) const
#if defined(__GNUC__)
        VELMORA_PRINTF_FORMAT(2, 3)
#endif
        ;

    // True once reading found no more tokens.
    bool IsEnd() const { return m_End; }
    const sToken& GetToken() const { return m_Token; }
    const sToken& GetPreviousToken() const { return m_Previous; }
    std::int32_t GetBraceDepth() const { return m_BraceDepth; }
    std::int32_t GetParenthesisDepth() const { return m_ParenthesisDepth; }
    const std::string& GetSourceName() const { return m_Tokenizer.GetSourceName(); }
    // The line error messages name: that of the current token, or the tokenizer's line at the end of input.
    std::int32_t GetLine() const;
    cTokenizer& GetTokenizer() { return m_Tokenizer; }

    // The text of a previous token that has not been set.
    static constexpr const char* kNotSet = "< not set >";

protected:
    // The current token's text when it may be compared as a keyword or separator.
    bool Matches(const char* text) const;
    // Reads the sign and the number token of ReadInt / ReadFloat.
    const std::string& ReadNumberText(std::int32_t& sign);

    struct sSavedPosition {
        std::int32_t braceDepth = 0;
        std::int32_t parenthesisDepth = 0;
        std::int32_t tokenStart = 0;
        std::int32_t tokenLine = 0;
        bool end = false;
        sToken token;
        sToken previous;
    };

    bool m_End = false;
    sToken m_Token;
    sToken m_Previous;
    std::int32_t m_BraceDepth = 0;
    std::int32_t m_ParenthesisDepth = 0;
    std::vector<sSavedPosition> m_Saved;
    cTokenizer m_Tokenizer;
};

} // namespace velmora
