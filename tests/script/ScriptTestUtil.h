#pragma once
// Helpers shared by the script tests.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/cException.h"
#include "script/cCodeTree.h"
#include "script/cMessageList.h"
#include "script/cScript.h"
#include "script/cScriptEnv.h"
#include "script/cScriptParser.h"
#include "script/cSyntaxNode.h"
#include "script/NativeBinding.h"

namespace velmora::script::test {

// A source parsed on its own (built-in types only).
struct sParsed {
    cCodeTree<cSyntaxNode> tree;
    cMessageList messages;
    cSyntaxNode* root = nullptr;

    bool Has(const std::string& text) const { return messages.Contains(text); }
};

inline std::unique_ptr<sParsed> Parse(const std::string& source) {
    auto parsed = std::make_unique<sParsed>();
    cScriptParser parser(parsed->tree, parsed->messages);
    parsed->root = parser.ParseString(source);
    return parsed;
}

// The message texts, in order.
inline std::vector<std::string> Texts(const cMessageList& messages) {
    std::vector<std::string> out;
    for (const sMessage& message : messages.GetMessages()) {
        out.push_back(message.text);
    }
    return out;
}

// An environment with one script "test".
class cScriptTest : public ::testing::Test {
protected:
    void SetUp() override { m_Script = static_cast<cScript*>(m_Env.CreateScript("test", 4096)); }

    bool Compile(const std::string& source) { return m_Script->CompileString(source.c_str()); }
    bool Has(const std::string& text) const { return m_Script->GetMessages().Contains(text); }
    std::vector<std::string> Messages() const { return Texts(m_Script->GetMessages()); }
    std::int32_t Int(const char* name) {
        std::int32_t value = 0;
        std::memcpy(&value, m_Script->GetVariable(name), 4);
        return value;
    }
    float Float(const char* name) {
        float value = 0.0f;
        std::memcpy(&value, m_Script->GetVariable(name), 4);
        return value;
    }

    // The text of the exception a call raises ("" when it raises none).
    template <class F>
    static std::string Raised(F&& call) {
        try {
            call();
        } catch (const cException& e) {
            return e.GetText();
        }
        return "";
    }

    cScriptEnv m_Env;
    cScript* m_Script = nullptr;
};

} // namespace velmora::script::test
