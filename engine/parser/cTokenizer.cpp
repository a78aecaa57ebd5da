#include "engine/parser/cTokenizer.h"

#include <cstdio>
#include <limits>
#include <new>

#include "engine/core/cException.h"
#include "engine/filesystem/DiskFiles.h"

namespace velmora {

namespace {

// Positions are signed 32-bit, so a source text stays below this size.
constexpr std::size_t kMaxTextSize = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - 16;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::int32_t CountLineFeeds(const std::string& text, std::size_t from, std::size_t to) {
    std::int32_t count = 0;
    for (std::size_t i = from; i < to; ++i) {
        count += text[i] == '\n';
    }
    return count;
}

} // namespace

cTokenizer::cTokenizer() { SetSeparators(""); }

void cTokenizer::Reset() {
    m_Position = 0;
    m_Line = 0;
    m_TokenStart = 0;
    m_TokenLine = 0;
    m_Text.clear();
    m_Name.clear();
}

void cTokenizer::SetSeparators(const char* separators) {
    m_SeparatorCharacters = separators ? separators : "";
    m_Separators = {" ", "\n", "\r", "\t"};
    m_MultiCharacter = false;
    std::string piece;
    for (std::size_t i = 0; i <= m_SeparatorCharacters.size(); ++i) {
        const char c = i < m_SeparatorCharacters.size() ? m_SeparatorCharacters[i] : ' ';
        if (!IsSpace(c)) {
            piece += c;
            continue;
        }
        if (!piece.empty()) {
            m_MultiCharacter = m_MultiCharacter || piece.size() > 1;
            m_Separators.push_back(piece);
            piece.clear();
        }
    }
    for (bool& flag : m_IsSeparatorCharacter) {
        flag = false;
    }
    for (const char c : std::string(" \n\r\t") + m_SeparatorCharacters) {
        m_IsSeparatorCharacter[static_cast<unsigned char>(c)] = true;
    }
    for (auto& bucket : m_SeparatorsByFirst) {
        bucket.clear();
    }
    for (std::size_t i = 0; i < m_Separators.size(); ++i) {
        m_SeparatorsByFirst[static_cast<unsigned char>(m_Separators[i][0])].push_back(static_cast<std::uint32_t>(i));
    }
}

void cTokenizer::LoadFile(const char* path) {
    const char* name = path ? path : "";
    std::FILE* file = path ? OpenDiskFile(path, "rb") : nullptr;
    if (file && IsDiskFolder(path)) {
        std::fclose(file);
        file = nullptr;
    }
    if (!file) {
        RaiseError("failed to open '%s'", name);
    }
    std::string text;
    try {
        char chunk[65536];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
            if (text.size() + got > kMaxTextSize) {
                throw std::bad_alloc();
            }
            text.append(chunk, got);
        }
        text += '\n';
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        RaiseError("failed to allocate memory for source string, file too big");
    }
    std::fclose(file);
    if (text.size() < 2) {
        RaiseError("'%s' is empty", name);
    }
    m_Text.swap(text);
    m_Name = name;
    m_Position = 0;
}

void cTokenizer::SetText(const std::string& text, const char* name) {
    if (text.size() > kMaxTextSize) {
        RaiseError("failed to allocate memory for source string, file too big");
    }
    m_Text = text;
    m_Name = name ? name : "";
    m_Position = 0;
}

void cTokenizer::SetPosition(std::int32_t position, std::int32_t line) {
    m_Position = (position < 0 || static_cast<std::size_t>(position) > m_Text.size()) ? -1 : position;
    m_Line = line;
}

bool cTokenizer::SkipSpaceAndComments() {
    const std::size_t size = m_Text.size();
    std::size_t pos = static_cast<std::size_t>(m_Position);
    const std::size_t start = pos;
    while (pos < size) {
        const char c = m_Text[pos];
        const bool comment = c == '/' && pos + 1 < size && (m_Text[pos + 1] == '/' || m_Text[pos + 1] == '*');
        if (!comment && !IsSpace(c)) {
            break;
        }
        while (pos < size && IsSpace(m_Text[pos])) {
            ++pos;
        }
        while (pos + 1 < size && m_Text[pos] == '/') {
            if (m_Text[pos + 1] == '/') {
                const std::size_t end = m_Text.find('\n', pos + 2);
                pos = end == std::string::npos ? size : end + 1;
            } else if (m_Text[pos + 1] == '*') {
                const std::size_t end = m_Text.find("*/", pos + 2);
                if (end == std::string::npos) {
                    m_Line += CountLineFeeds(m_Text, start, size);
                    m_Position = -1;
                    RaiseError("unexpected end of file, end of multiline comment was not found.");
                }
                pos = end + 2;
            } else {
                break;
            }
        }
    }
    m_Line += CountLineFeeds(m_Text, start, pos < size ? pos : size);
    if (pos >= size) {
        m_Position = -1;
        return false;
    }
    m_Position = static_cast<std::int32_t>(pos);
    return true;
}

void cTokenizer::CutString(sToken& token) {
    const std::size_t start = static_cast<std::size_t>(m_Position) + 1;
    const std::size_t end = m_Text.find('"', start);
    if (end == std::string::npos) {
        m_Position = -1;
        RaiseError("unexpected end of file, missing \".");
    }
    std::string text;
    text.reserve(end - start);
    for (std::size_t i = start; i < end; ++i) {
        const char c = m_Text[i];
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i >= end) {
            break;
        }
        switch (m_Text[i]) {
        case '\'': text += '\''; break;
        case '0': text += '\0'; break;
        case '\\': text += '\\'; break;
        case 'a': text += '\a'; break;
        case 'b': text += '\b'; break;
        case 'f': text += '\f'; break;
        case 'n': text += '\n'; break;
        case 't': text += '\t'; break;
        case 'v': text += '\v'; break;
        default: break; // dropped together with the backslash
        }
    }
    token.text.swap(text);
    token.type = TOKEN_STRING;
    token.position = static_cast<std::int32_t>(start);
    // Line feeds inside the literal still advance the line counter, so later messages name the right line.
    m_Line += CountLineFeeds(m_Text, start, end);
    m_Position = static_cast<std::int32_t>(end + 1);
}

void cTokenizer::CutNumber(sToken& token) {
    const std::size_t start = static_cast<std::size_t>(m_Position);
    const std::size_t end = m_Text.find_first_not_of("0123456789.", start);
    const std::size_t stop = end == std::string::npos ? m_Text.size() : end;
    token.text.assign(m_Text, start, stop - start);
    token.type = TOKEN_NUMBER;
    if (token.text.find('.') != std::string::npos) {
        token.flags |= TOKEN_FLAG_FLOAT;
    }
    m_Position = static_cast<std::int32_t>(stop);
}

void cTokenizer::CutCharacter(sToken& token) {
    const std::size_t pos = static_cast<std::size_t>(m_Position);
    if (pos + 2 >= m_Text.size() || m_Text[pos + 2] != '\'') {
        const char after = pos + 1 < m_Text.size() ? m_Text[pos + 1] : '\'';
        const std::int32_t line = m_Line;
        m_Position = -1;
        RaiseError("line %d: ' expected after %c", line, after);
    }
    token.text.assign(1, m_Text[pos + 1]);
    token.type = TOKEN_CHAR;
    m_Line += m_Text[pos + 1] == '\n';
    m_Position = static_cast<std::int32_t>(pos + 3);
}

std::size_t cTokenizer::FindSingleCut(std::size_t from) const {
    for (std::size_t i = from; i < m_Text.size(); ++i) {
        if (m_IsSeparatorCharacter[static_cast<unsigned char>(m_Text[i])]) {
            return i;
        }
    }
    return std::string::npos;
}

std::size_t cTokenizer::FindMultiCut(std::size_t from, std::size_t& length) const {
    // The earliest place where any separator starts; there the longest one, the later one on equal length.
    for (std::size_t i = from; i < m_Text.size(); ++i) {
        const auto& bucket = m_SeparatorsByFirst[static_cast<unsigned char>(m_Text[i])];
        std::size_t best = 0;
        for (const std::uint32_t index : bucket) {
            const std::string& separator = m_Separators[index];
            if (separator.size() >= best && m_Text.compare(i, separator.size(), separator) == 0) {
                best = separator.size();
            }
        }
        if (best > 0) {
            length = best;
            return i;
        }
    }
    return std::string::npos;
}

void cTokenizer::Classify(sToken& token) const {
    for (const std::string& separator : m_Separators) {
        if (separator == token.text) {
            token.type = TOKEN_SEPARATOR;
            return;
        }
    }
    token.type = (token.text == "true" || token.text == "false") ? TOKEN_BOOLEAN : TOKEN_IDENTIFIER;
}

bool cTokenizer::ReadToken(sToken& token) {
    if (m_Position < 0 || !SkipSpaceAndComments()) {
        return false;
    }
    m_TokenStart = m_Position;
    m_TokenLine = m_Line;
    token.line = m_Line;
    token.position = m_Position;
    token.flags = 0;
    const std::size_t pos = static_cast<std::size_t>(m_Position);
    const char c = m_Text[pos];
    if (c == '"') {
        CutString(token);
        return true;
    }
    if (IsDigit(c)) {
        CutNumber(token);
        return true;
    }
    if (c == '\'') {
        CutCharacter(token);
        return true;
    }
    std::size_t length = 1;
    const std::size_t cut = m_MultiCharacter ? FindMultiCut(pos, length) : FindSingleCut(pos);
    std::size_t end = 0;
    if (cut == std::string::npos) {
        end = m_Text.size();
    } else if (cut == pos) {
        end = pos + length;
    } else {
        end = cut;
    }
    token.text.assign(m_Text, pos, end - pos);
    m_Position = static_cast<std::int32_t>(end);
    Classify(token);
    return true;
}

} // namespace velmora
