#include "script/cStringParser.h"

#include <cctype>

#include "engine/core/cException.h"
#include "script/cNamespace.h"
#include "script/cScriptParser.h"
#include "script/cTypeDef.h"

namespace velmora::script {

namespace {

bool IsNameCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The words of a type or argument text: names, "::", "&" and ",".
bool Tokenize(const std::string& text, std::vector<std::string>& out) {
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (IsNameCharacter(c)) {
            std::size_t end = i;
            while (end < text.size() && IsNameCharacter(text[end])) {
                ++end;
            }
            out.push_back(text.substr(i, end - i));
            i = end;
        } else if (c == ':' && i + 1 < text.size() && text[i + 1] == ':') {
            out.push_back("::");
            i += 2;
        } else if (c == '&' || c == ',') {
            out.push_back(std::string(1, c));
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

// Reads [const] NAME{::NAME} [&] [NAME] from words[at...]; the optional trailing name goes to name.
bool ReadTypeWords(const std::vector<std::string>& words, std::size_t& at, std::string& typeName, bool& isConst,
                   bool& isReference, std::string& name) {
    isConst = false;
    isReference = false;
    if (at < words.size() && words[at] == "const") {
        isConst = true;
        ++at;
    }
    if (at >= words.size() || !IsNameCharacter(words[at][0])) {
        return false;
    }
    typeName = words[at++];
    while (at + 1 < words.size() && words[at] == "::" && IsNameCharacter(words[at + 1][0])) {
        typeName += "::" + words[at + 1];
        at += 2;
    }
    if (at < words.size() && words[at] == "&") {
        isReference = true;
        ++at;
    }
    if (at < words.size() && IsNameCharacter(words[at][0])) {
        name = words[at++];
    }
    return true;
}

} // namespace

std::vector<std::string> cStringParser::SplitName(const std::string& name) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = name.find("::", start);
        const std::string part = name.substr(start, at == std::string::npos ? std::string::npos : at - start);
        if (part.empty()) {
            return {};
        }
        parts.push_back(part);
        if (at == std::string::npos) {
            return parts;
        }
        start = at + 2;
    }
}

cNamespace* cStringParser::ParseNamespace(cNamespace* root, const std::string& name, std::string& last) {
    const std::vector<std::string> parts = SplitName(name);
    if (parts.empty()) {
        RaiseError("cStringParser::ParseNamespace : '%s' isn't a member of '%s'", name.c_str(),
                   root ? root->GetName().c_str() : "global");
    }
    cNamespace* at = root;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        cNamespace* next = at->FindNamespace(parts[i]);
        if (!next) {
            RaiseError("cStringParser::ParseNamespace : '%s' isn't a member of '%s'", parts[i].c_str(),
                       at->GetName().c_str());
        }
        at = next;
    }
    last = parts.back();
    return at;
}

cNamespace* cStringParser::CreateNamespace(cNamespace* root, const std::string& name, std::string& last) {
    const std::vector<std::string> parts = SplitName(name);
    if (parts.empty()) {
        RaiseError("cStringParser::CreateNamespace : failed to create namespace '%s::%s'",
                   root ? root->GetName().c_str() : "global", name.c_str());
    }
    cNamespace* at = root;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        cNamespace* next = at->AddNamespace(parts[i]);
        if (!next || !cScriptParser::IsValidName(parts[i])) {
            RaiseError("cStringParser::CreateNamespace : failed to create namespace '%s::%s'", at->GetName().c_str(),
                       parts[i].c_str());
        }
        at = next;
    }
    last = parts.back();
    return at;
}

bool cStringParser::ParseType(const cNamespace* scope, const std::string& text, sTypeText& out) {
    std::vector<std::string> words;
    if (!scope || !Tokenize(text, words)) {
        return false;
    }
    std::size_t at = 0;
    std::string typeName;
    std::string name;
    if (!ReadTypeWords(words, at, typeName, out.isConst, out.isReference, name) || !name.empty() ||
        at != words.size()) {
        return false;
    }
    out.type = scope->LookupType(typeName);
    return out.type != nullptr;
}

void cStringParser::ParseArguments(const cNamespace* scope, const std::string& text, std::vector<sArgument>& out) {
    out.clear();
    std::vector<std::string> words;
    if (!Tokenize(text, words)) {
        RaiseError("cStringParser::ParseArguments : '%s' isn't a valid type", text.c_str());
    }
    if (words.empty() || (words.size() == 1 && words[0] == "void")) {
        return;
    }
    std::size_t at = 0;
    for (;;) {
        const std::size_t start = at;
        std::string typeName;
        std::string name;
        sArgument argument;
        if (!ReadTypeWords(words, at, typeName, argument.isConst, argument.byReference, name)) {
            std::string shown;
            for (std::size_t i = start; i < words.size() && words[i] != ","; ++i) {
                shown += (shown.empty() ? "" : " ") + words[i];
            }
            RaiseError("cStringParser::ParseArguments : '%s' isn't a valid type", shown.c_str());
        }
        argument.type = scope ? scope->LookupType(typeName) : nullptr;
        if (!argument.type) {
            RaiseError("cStringParser::ParseArguments : '%s' isn't a valid type", typeName.c_str());
        }
        argument.name = name.empty() ? "arg" + std::to_string(out.size()) : name;
        out.push_back(argument);
        if (at >= words.size()) {
            return;
        }
        if (words[at] != ",") {
            RaiseError("cStringParser::ParseArguments : '%s' isn't a valid type", words[at].c_str());
        }
        ++at;
    }
}

} // namespace velmora::script
