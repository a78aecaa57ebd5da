#pragma once
// Small helpers shared by the scene's text readers.

#include "engine/core/cException.h"
#include "engine/parser/cParser.h"

namespace velmora::scene {

// Runs the reading function. The tokenizer's own errors (an unterminated string or comment) carry no
// line; they are raised again in the parser's form "<source>( <line> ) error : <message>" with the line
// where the broken token starts. Errors already in that form pass unchanged.
template <class tFunction>
void ReadWithLineNumbers(cParser& parser, tFunction&& function) {
    try {
        function();
    } catch (const cException& e) {
        const std::string prefix = parser.GetSourceName() + "(";
        if (std::string(e.GetText()).compare(0, prefix.size(), prefix) == 0) {
            throw;
        }
        RaiseError("%s( %d ) error : %s", parser.GetSourceName().c_str(), parser.GetTokenizer().GetTokenLine(),
                   e.GetText());
    }
}

} // namespace velmora::scene
