#include "engine/parser/cParser.h"

#include <cfloat>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "engine/core/cException.h"

namespace velmora {

namespace {

constexpr int kMessageSize = 4096;

// The decimal value of a number token's leading digits, clamped to what 32 bits hold (sign included).
std::int64_t IntegerValue(const std::string& text) {
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
        if (value > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1) {
            value = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
        }
    }
    return value;
}

std::int32_t ClampToInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

cParser::cParser() { Reset(); }

void cParser::Reset() {
    m_End = false;
    m_Previous = sToken();
    m_Previous.text = kNotSet;
    m_Previous.type = 0;
    m_Previous.flags = 0;
    m_Previous.line = 0;
    m_Token = m_Previous;
    m_BraceDepth = 0;
    m_ParenthesisDepth = 0;
    m_Saved.clear();
    m_Tokenizer.Reset();
}

void cParser::SetText(const char* text) { SetText(std::string(text ? text : "")); }

void cParser::SetText(const std::string& text) {
    Reset();
    m_Tokenizer.SetText(text, "memory");
    m_End = false;
    Next();
}

void cParser::LoadFile(const char* path) {
    Reset();
    m_Tokenizer.LoadFile(path);
    m_End = false;
    Next();
}

void cParser::SetSeparators(const char* separators) {
    m_Tokenizer.SetSeparators((std::string(" \n \t \r ") + (separators ? separators : "")).c_str());
}

void cParser::Next() {
    m_Previous.text = m_Token.text;
    m_Previous.type = m_Token.type;
    m_Previous.flags = m_Token.flags;
    m_Previous.line = m_Token.line;
    m_Previous.position = m_Token.position;
    m_Token.flags = 0;
    if (m_End || !m_Tokenizer.ReadToken(m_Token)) {
        m_End = true;
        return;
    }
    if (m_Token.type == TOKEN_STRING || m_Token.type == TOKEN_CHAR || m_Token.text.size() != 1) {
        return;
    }
    switch (m_Token.text[0]) {
    case '{': ++m_BraceDepth; break;
    case '}': --m_BraceDepth; break;
    case '(': ++m_ParenthesisDepth; break;
    case ')': --m_ParenthesisDepth; break;
    default: break;
    }
}

bool cParser::Matches(const char* text) const {
    return text && !m_End && m_Token.type != TOKEN_STRING && m_Token.type != TOKEN_CHAR && m_Token.text == text;
}

bool cParser::Is(const char* text) const { return Matches(text); }

bool cParser::Accept(const char* text) {
    if (!Matches(text)) {
        return false;
    }
    Next();
    return true;
}

void cParser::Expect(const char* text) {
    const char* expected = text ? text : "";
    if (m_End) {
        Error("unexpected end of file; '%s' expected", expected);
    }
    if (!Matches(expected)) {
        std::string message = std::string("expected '") + expected + "' found '" + m_Token.text + "'";
        if (m_Previous.text != kNotSet) {
            message += " after '" + m_Previous.text + "'";
        }
        Error("%s", message.c_str());
    }
    Next();
}

void cParser::ReadString(std::string& out) {
    if (m_End) {
        Error("unexpected end of file; string expected");
    }
    if (m_Token.type != TOKEN_STRING) {
        Error("string expected, found '%s'", m_Token.text.c_str());
    }
    out = m_Token.text;
    Next();
}

const std::string& cParser::ReadNumberText(std::int32_t& sign) {
    sign = 1;
    if (Matches("-")) {
        Next();
        sign = -1;
    }
    if (m_End) {
        Error("unexpected end of file; integer expected");
    }
    if (m_Token.type != TOKEN_NUMBER) {
        Error("integer expected, found '%s'", m_Token.text.c_str());
    }
    return m_Token.text;
}

void cParser::ReadInt(std::int32_t& out) {
    std::int32_t sign = 1;
    const std::string& text = ReadNumberText(sign);
    out = ClampToInt32(sign * IntegerValue(text));
    Next();
}

void cParser::ReadFloat(float& out) {
    std::int32_t sign = 1;
    const std::string& text = ReadNumberText(sign);
    double value = std::strtod(text.c_str(), nullptr);
    if (value > FLT_MAX) {
        value = FLT_MAX;
    }
    out = static_cast<float>(value) * static_cast<float>(sign);
    Next();
}

void cParser::ReadBool(bool& out) {
    if (m_End) {
        Error("unexpected end of file; boolean expected");
    }
    if (m_Token.type == TOKEN_NUMBER) {
        out = IntegerValue(m_Token.text) != 0;
    } else if ((m_Token.type == TOKEN_IDENTIFIER || m_Token.type == TOKEN_BOOLEAN) &&
               (m_Token.text == "true" || m_Token.text == "false")) {
        out = m_Token.text == "true";
    } else {
        Error("boolean expected, found '%s'", m_Token.text.c_str());
    }
    Next();
}

void cParser::ReadVector(float* out, std::int32_t count) {
    if (!Matches("(")) {
        Error("'(' expected before vector, found '%s'", m_Token.text.c_str());
    }
    if (count < 0 || !out) {
        count = 0;
    }
    std::int32_t read = 0;
    for (;;) {
        Next(); // the "(" or the ","
        if (read < count) {
            float value = 0.0f;
            ReadFloat(value);
            out[read++] = value;
        }
        if (!Matches(",")) {
            if (read < count) {
                Warning("vector is missing %d components", count - read);
            }
            Expect(")");
            return;
        }
        if (read >= count) {
            Warning("vector overflow; %dd vector expected", count);
            SkipParentheses();
            return;
        }
    }
}

void cParser::ReadFloatList(std::vector<float>& out) {
    out.clear();
    Expect("(");
    if (Accept(")")) {
        return;
    }
    for (;;) {
        float value = 0.0f;
        ReadFloat(value);
        out.push_back(value);
        if (!Accept(",")) {
            break;
        }
    }
    Expect(")");
}

void cParser::SkipParentheses() {
    while (!m_End && m_ParenthesisDepth != 0) {
        Next();
    }
    Next();
}

void cParser::SavePosition() {
    sSavedPosition saved;
    saved.braceDepth = m_BraceDepth;
    saved.parenthesisDepth = m_ParenthesisDepth;
    saved.tokenStart = m_Tokenizer.GetTokenStart();
    saved.tokenLine = m_Tokenizer.GetTokenLine();
    saved.end = m_End;
    saved.token = m_Token;
    saved.previous = m_Previous;
    m_Saved.push_back(std::move(saved));
}

void cParser::RestorePosition() {
    if (m_Saved.empty()) {
        return;
    }
    sSavedPosition saved = std::move(m_Saved.back());
    m_Saved.pop_back();
    if (saved.end) {
        m_Tokenizer.SetPosition(-1, m_Tokenizer.GetLine());
        m_End = true;
        m_Token = saved.token;
    } else {
        m_Tokenizer.SetPosition(saved.tokenStart, saved.tokenLine);
        m_End = false;
        Next();
    }
    m_Previous = saved.previous;
    m_BraceDepth = saved.braceDepth;
    m_ParenthesisDepth = saved.parenthesisDepth;
}

std::int32_t cParser::GetLine() const { return m_End ? m_Tokenizer.GetLine() : m_Token.line; }

void cParser::Error(const char* format, ...) const {
    char message[kMessageSize] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    RaiseError("%s( %d ) error : %s", GetSourceName().c_str(), GetLine(), message);
}

void cParser::Warning(const char* format, ...) const {
    char message[kMessageSize] = {};
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    std::printf("%s( %d ) warning : %s\n", GetSourceName().c_str(), GetLine(), message);
    std::fflush(stdout);
}

} // namespace velmora
