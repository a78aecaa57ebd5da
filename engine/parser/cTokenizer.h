#pragma once
// The character level of every text reader: holds the source text, skips
// white space (space, tab, line feed, carriage return) and comments ("//" to
// the end of the line, "/*" to "*/"), counts lines, and cuts the next token by
// a configurable set of separators.
//
// Tokens: a double quote starts a string (up to the next double quote;
// escapes \' \0 \\ \a \b \f \n \t \v are resolved, a backslash before any
// other character drops both); a digit starts a number (the longest run of
// "0123456789."); a single quote starts a character literal ('c'); anything
// else is cut at the next separator. With only one-character separators the
// cut looks for the first character of the separator set; once a separator is
// longer than one character, the earliest separator string wins, the longest
// one at the same place.
//
// Lexical errors (unterminated string or comment, bad character literal,
// file loading) throw cException with their plain message. Any text,
// including NUL bytes and arbitrarily long tokens, is handled within bounds.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/parser/sToken.h"

namespace velmora {

class cTokenizer {
public:
    // Line counter 1, position 0, no text; the separators are the white-space characters.
    cTokenizer();

    // Sets the separators: " ", "\n", "\r", "\t" and every piece of the argument split at white space. A piece
    // longer than one character selects multi-character mode. The raw argument is the separator character set.
    void SetSeparators(const char* separators);
    // Reads a whole file with the C library, appends a line feed and makes it the source text and its path the
    // source name; position 0. Throws "failed to open '%s'", "'%s' is empty" or
    // "failed to allocate memory for source string, file too big".
    void LoadFile(const char* path);
    // Makes text the source text (NUL bytes included) and name the source name; position 0.
    void SetText(const std::string& text, const char* name);
    // Skips white space and comments, then cuts one token into token; false when the input is exhausted.
    bool ReadToken(sToken& token);
    // Position 0, line 0, empty source text and name.
    void Reset();

    // Offset of the next unread character; -1 once the input is exhausted.
    std::int32_t GetPosition() const { return m_Position; }
    // The line counter.
    std::int32_t GetLine() const { return m_Line; }
    // Moves the reading position (and the line counter with it), for readers that go back.
    void SetPosition(std::int32_t position, std::int32_t line);
    // Where the last token read started (a string: at its opening quote), and its line; for going back to it.
    std::int32_t GetTokenStart() const { return m_TokenStart; }
    std::int32_t GetTokenLine() const { return m_TokenLine; }

    const std::string& GetSourceText() const { return m_Text; }
    const std::string& GetSourceName() const { return m_Name; }
    const std::vector<std::string>& GetSeparators() const { return m_Separators; }
    bool IsMultiCharacterMode() const { return m_MultiCharacter; }

private:
    bool SkipSpaceAndComments();
    void CutString(sToken& token);
    void CutNumber(sToken& token);
    void CutCharacter(sToken& token);
    std::size_t FindSingleCut(std::size_t from) const;
    std::size_t FindMultiCut(std::size_t from, std::size_t& length) const;
    void Classify(sToken& token) const;

    std::int32_t m_Position = 0;
    std::int32_t m_Line = 1;
    std::int32_t m_TokenStart = 0;
    std::int32_t m_TokenLine = 1;
    std::vector<std::string> m_Separators;
    std::string m_SeparatorCharacters;
    bool m_IsSeparatorCharacter[256] = {};
    // Multi-character mode: indices of the separators by their first byte.
    std::vector<std::uint32_t> m_SeparatorsByFirst[256];
    bool m_MultiCharacter = false;
    std::string m_Text;
    std::string m_Name;
};

} // namespace velmora
