#pragma once
// Config files: a text file of nested nodes with typed entries.
//
//   video {                 // a node: identifier "{" ... "}"
//       width 800           // integer entry
//       gamma 1.5           // float entry (the number has a '.')
//       title "Island"      // string entry
//       fog (0.5, 0.6, 0.7) // vector entry, up to four components, missing ones 0
//       window { x 10 }     // nested node
//   }
//
// Entries live only inside nodes; names are unique per node; a scalar value
// has no sign (vector components may). Any error fails the whole load with
// the cParser message "%s( %d ) error : %s". The file is read from disk by
// path with the C library, not through the file system.

#include <memory>
#include <vector>

#include "engine/parser/IConfig.h"
#include "engine/parser/cParser.h"

namespace velmora {

class cConfig : public IConfig, public cParser {
public:
    // Entry types.
    static constexpr std::int32_t ENTRY_INT = 1;
    static constexpr std::int32_t ENTRY_FLOAT = 2;
    static constexpr std::int32_t ENTRY_VECTOR = 3;
    static constexpr std::int32_t ENTRY_STRING = 4;

    struct sEntry {
        std::string name;
        std::int32_t type = 0;
        std::int32_t intValue = 0;
        float floatValue = 0.0f;
        std::string text;
        float vector[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    };

    struct sNode {
        std::string name;
        std::vector<std::unique_ptr<sNode>> children;
        std::vector<std::unique_ptr<sEntry>> entries;
    };

    // An empty config (root node "root") named after its source.
    explicit cConfig(const char* name);
    ~cConfig() override;

    // Logs "Opening config '%s'... ", creates and loads the config; "succeeded\n" and the config, or a warning
    // completing the line and null. The engine's OpenConfig is this.
    static IConfig* Open(const char* path);

    // Parses the file into the tree; throws cException on any error.
    void Load(const char* path);

    void Release() override;
    const std::string& GetName() const override { return m_Name; }
    std::int32_t GetInt(const char* path, std::int32_t defaultValue) const override;
    float GetFloat(const char* path, float defaultValue) const override;
    const char* GetString(const char* path, const char* defaultValue) const override;
    void GetVector2(const char* path, float* out, const float* defaultValue) const override;
    void GetVector3(const char* path, float* out, const float* defaultValue) const override;
    void GetVector4(const char* path, float* out, const float* defaultValue) const override;

    // The entry a dotted path names, or null.
    const sEntry* FindEntry(const char* path) const;
    const sNode& GetRoot() const { return *m_Root; }

private:
    void ReadItem();
    void ReadValue(sEntry& entry);
    void GetVector(const char* path, float* out, const float* defaultValue, int count) const;
    static void DeleteTree(std::unique_ptr<sNode> node);

    std::string m_Name;
    std::unique_ptr<sNode> m_Root;
    std::vector<sNode*> m_Open; // nodes being read, innermost last
};

} // namespace velmora
