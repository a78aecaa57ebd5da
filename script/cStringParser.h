#pragma once
// Reads the texts the host registers with: qualified names ("a::b::x"),
// type texts ("const int&", "gui::cControl") and argument lists
// ("int x, const string& text, float").

#include <string>
#include <vector>

#include "script/cFuncDef.h"

namespace velmora::script {

class cNamespace;
class cTypeDef;

// A type text read.
struct sTypeText {
    const cTypeDef* type = nullptr;
    bool isConst = false;
    bool isReference = false;
};

class cStringParser {
public:
    // The namespace that holds the last component of name, found from root; raises
    // "cStringParser::ParseNamespace : '%s' isn't a member of '%s'" for a missing intermediate namespace.
    static cNamespace* ParseNamespace(cNamespace* root, const std::string& name, std::string& last);
    // As ParseNamespace, creating missing namespaces; raises
    // "cStringParser::CreateNamespace : failed to create namespace '%s::%s'" when a name is taken.
    static cNamespace* CreateNamespace(cNamespace* root, const std::string& name, std::string& last);
    // Reads [const] NAME{::NAME} [&] and looks the type up from scope; false when the text is malformed or
    // names no type.
    static bool ParseType(const cNamespace* scope, const std::string& text, sTypeText& out);
    // Reads a comma-separated argument list (empty or "void" for none); unnamed arguments are named
    // "arg%d" by position; raises "cStringParser::ParseArguments : '%s' isn't a valid type".
    static void ParseArguments(const cNamespace* scope, const std::string& text, std::vector<sArgument>& out);
    // The components of a qualified name; empty components make the name invalid (empty result).
    static std::vector<std::string> SplitName(const std::string& name);
};

} // namespace velmora::script
