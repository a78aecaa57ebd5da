#include "engine/parser/cConfig.h"

#include <new>

#include "engine/core/Log.h"
#include "engine/core/cException.h"

namespace velmora {

namespace {

constexpr const char* kConfigSeparators = " : { } ( ) , -\t";

template <typename T>
const T* FindLastByName(const std::vector<std::unique_ptr<T>>& items, const std::string& name) {
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if ((*it)->name == name) {
            return it->get();
        }
    }
    return nullptr;
}

} // namespace

cConfig::cConfig(const char* name) : m_Name(name ? name : ""), m_Root(new sNode) {
    m_Root->name = "root";
    SetSeparators(kConfigSeparators);
}

cConfig::~cConfig() { DeleteTree(std::move(m_Root)); }

void cConfig::DeleteTree(std::unique_ptr<sNode> node) {
    // Without recursion, so that any nesting depth is freed safely.
    std::vector<std::unique_ptr<sNode>> pending;
    if (node) {
        pending.push_back(std::move(node));
    }
    while (!pending.empty()) {
        std::unique_ptr<sNode> current = std::move(pending.back());
        pending.pop_back();
        for (auto& child : current->children) {
            pending.push_back(std::move(child));
        }
        current->children.clear();
    }
}

IConfig* cConfig::Open(const char* path) {
    LogMessage("Opening config '%s'... ", path ? path : "");
    if (!path) {
        LogWarning("invalid file name\n");
        return nullptr;
    }
    cConfig* config = new (std::nothrow) cConfig(path);
    if (!config) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    try {
        config->Load(path);
    } catch (const cException& e) {
        LogWarning("%s\n", e.GetText());
        config->Release();
        return nullptr;
    } catch (const std::bad_alloc&) {
        LogWarning("failed to allocate memory\n");
        config->Release();
        return nullptr;
    }
    LogMessage("succeeded\n");
    return config;
}

void cConfig::Release() { delete this; }

void cConfig::Load(const char* path) {
    if (!path) {
        Error("bad file name");
    }
    for (auto& child : m_Root->children) {
        DeleteTree(std::move(child));
    }
    m_Root->children.clear();
    m_Root->entries.clear();
    m_Open.assign(1, m_Root.get());
    LoadFile(path);
    while (!IsEnd()) {
        if (m_Open.size() > 1 && Is("}")) {
            m_Open.pop_back();
            Next();
            continue;
        }
        ReadItem();
    }
    if (m_Open.size() > 1) {
        Error("unexpected end of file; '}' expected");
    }
    m_Open.clear();
}

void cConfig::ReadItem() {
    if (GetToken().type != TOKEN_IDENTIFIER) {
        Error("identifier expected, found '%s'", GetToken().text.c_str());
    }
    const std::string name = GetToken().text;
    Next();
    sNode* parent = m_Open.back();
    if (Is("{")) {
        if (FindLastByName(parent->children, name)) {
            Error("config node '%s::%s' has already been defined", parent->name.c_str(), name.c_str());
        }
        std::unique_ptr<sNode> child(new (std::nothrow) sNode);
        if (!child) {
            Error("failed to alloate memory for node '%s::%s'", parent->name.c_str(), name.c_str());
        }
        child->name = name;
        parent->children.push_back(std::move(child));
        m_Open.push_back(parent->children.back().get());
        Next();
        return;
    }
    if (m_Open.size() == 1) {
        Error("entries are not allowed outside config nodes");
    }
    if (FindLastByName(parent->entries, name)) {
        Error("config entry '%s::%s' has already been defined", parent->name.c_str(), name.c_str());
    }
    std::unique_ptr<sEntry> entry(new (std::nothrow) sEntry);
    if (!entry) {
        Error("failed to allocate memory for config entry '%s::%s'", parent->name.c_str(), name.c_str());
    }
    entry->name = name;
    parent->entries.push_back(std::move(entry));
    ReadValue(*parent->entries.back());
}

void cConfig::ReadValue(sEntry& entry) {
    if (IsEnd()) {
        Error("unexpected end of file; value of '%s' expected", entry.name.c_str());
    }
    const sToken& token = GetToken();
    if (Is("(")) {
        ReadVector(entry.vector, 4);
        entry.type = ENTRY_VECTOR;
    } else if (token.type == TOKEN_NUMBER) {
        if (token.flags & TOKEN_FLAG_FLOAT) {
            ReadFloat(entry.floatValue);
            entry.type = ENTRY_FLOAT;
        } else {
            ReadInt(entry.intValue);
            entry.type = ENTRY_INT;
        }
    } else if (token.type == TOKEN_STRING) {
        ReadString(entry.text);
        entry.type = ENTRY_STRING;
    } else {
        Error("unexpected '%s'", token.text.c_str());
    }
}

const cConfig::sEntry* cConfig::FindEntry(const char* path) const {
    if (!path) {
        return nullptr;
    }
    std::vector<std::string> parts;
    std::string part;
    for (const char* c = path;; ++c) {
        if (*c == '.' || *c == '\0') {
            if (!part.empty()) {
                parts.push_back(part);
                part.clear();
            }
            if (*c == '\0') {
                break;
            }
        } else {
            part += *c;
        }
    }
    if (parts.empty()) {
        return nullptr;
    }
    const sNode* node = m_Root.get();
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        node = FindLastByName(node->children, parts[i]);
        if (!node) {
            return nullptr;
        }
    }
    return FindLastByName(node->entries, parts.back());
}

std::int32_t cConfig::GetInt(const char* path, std::int32_t defaultValue) const {
    const sEntry* entry = FindEntry(path);
    return entry && entry->type == ENTRY_INT ? entry->intValue : defaultValue;
}

float cConfig::GetFloat(const char* path, float defaultValue) const {
    const sEntry* entry = FindEntry(path);
    return entry && entry->type == ENTRY_FLOAT ? entry->floatValue : defaultValue;
}

const char* cConfig::GetString(const char* path, const char* defaultValue) const {
    const sEntry* entry = FindEntry(path);
    return entry && entry->type == ENTRY_STRING ? entry->text.c_str() : defaultValue;
}

void cConfig::GetVector(const char* path, float* out, const float* defaultValue, int count) const {
    if (!out) {
        return;
    }
    const sEntry* entry = FindEntry(path);
    for (int i = 0; i < count; ++i) {
        if (entry && entry->type == ENTRY_VECTOR) {
            out[i] = entry->vector[i];
        } else {
            out[i] = defaultValue ? defaultValue[i] : 0.0f;
        }
    }
}

void cConfig::GetVector2(const char* path, float* out, const float* defaultValue) const {
    GetVector(path, out, defaultValue, 2);
}

void cConfig::GetVector3(const char* path, float* out, const float* defaultValue) const {
    GetVector(path, out, defaultValue, 3);
}

void cConfig::GetVector4(const char* path, float* out, const float* defaultValue) const {
    GetVector(path, out, defaultValue, 4);
}

} // namespace velmora
