#pragma once
// One token of a text file as the tokenizer cuts it.

#include <cstdint>
#include <string>

namespace velmora {

// Token types.
constexpr std::int32_t TOKEN_UNDEFINED = 0;  // "UndefinedToken"; never produced by reading
constexpr std::int32_t TOKEN_NUMBER = 1;     // digits and '.', no sign
constexpr std::int32_t TOKEN_CHAR = 2;       // the one character between single quotes
constexpr std::int32_t TOKEN_STRING = 3;     // the characters between double quotes, escapes resolved
constexpr std::int32_t TOKEN_SEPARATOR = 4;  // exactly one of the separator strings
constexpr std::int32_t TOKEN_IDENTIFIER = 5; // any other run of characters
constexpr std::int32_t TOKEN_BOOLEAN = 6;    // "true" or "false"

// Token flags.
constexpr std::uint32_t TOKEN_FLAG_FLOAT = 0x2; // a number whose text contains '.'

struct sToken {
    std::string text = "UndefinedToken";
    std::int32_t type = TOKEN_UNDEFINED;
    std::uint32_t flags = 0;
    std::int32_t line = 0;     // the line on which the token starts
    std::int32_t position = 0; // offset of its first character (strings: the first one after the quote)
};

} // namespace velmora
