#pragma once
// A type known to scripts: a built-in type, a class (registered by the host
// or declared in script) or an enumeration.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "script/sScriptString.h"

namespace velmora::script {

class cVariable;

// Type ids of the built-in types, and those of classes and enumerations.
enum eTypeId : std::int32_t {
    TYPE_UNKNOWN = 0,
    TYPE_VOID = 1,
    TYPE_BOOL = 2,
    TYPE_INT = 4,
    TYPE_FLOAT = 5,
    TYPE_STRING = 6,
    TYPE_TYPE = 7,
    TYPE_FUNCTION = 8,
    TYPE_CLASS = 9,
    TYPE_ENUM = 10
};

enum class eTypeKind { Builtin, Class, Enum };

// One field of a class.
struct sClassField {
    std::string name;
    const class cTypeDef* type = nullptr;
    bool isConst = false;
    std::int32_t offset = 0;
};

class cTypeDef {
public:
    cTypeDef(const std::string& name, std::int32_t id, std::int32_t size, eTypeKind kind,
             const cTypeDef* parent = nullptr);
    ~cTypeDef();
    cTypeDef(const cTypeDef&) = delete;
    cTypeDef& operator=(const cTypeDef&) = delete;

    const std::string& GetName() const { return m_Name; }
    // The name as a script string (what object's GetTypeName returns).
    const sScriptString& GetNameString() const { return m_NameString; }
    std::int32_t GetId() const { return m_Id; }
    std::int32_t GetSize() const { return m_Size; }
    // The alignment a value of the type gets in script memory and frames: objects get the strictest
    // fundamental alignment, since host code may work on them.
    std::int32_t GetAlignment() const;
    // offset rounded up to alignment.
    static std::int32_t Align(std::int32_t offset, std::int32_t alignment) {
        return (offset + alignment - 1) / alignment * alignment;
    }
    void SetSize(std::int32_t size) { m_Size = size; }
    eTypeKind GetKind() const { return m_Kind; }
    bool IsClass() const { return m_Kind == eTypeKind::Class; }
    const cTypeDef* GetParent() const { return m_Parent; }
    // This type is base or derives from it.
    bool IsInheritedFrom(const cTypeDef* base) const;
    // The type's index in the environment's type table (0: none).
    std::int32_t GetIndex() const { return m_Index; }
    void SetIndex(std::int32_t index) { m_Index = index; }
    // A class whose layout is still being read from script source.
    bool IsComplete() const { return m_Complete; }
    void SetComplete(bool complete) { m_Complete = complete; }

    // Adds a field; raises "cTypeDef::AddField : failed to add class field" when the class already has a
    // member of that name.
    void AddField(const std::string& name, const cTypeDef* type, bool isConst, std::int32_t offset);
    // Adds a method (a variable of type "function" owning its cFuncDef); the same rule for duplicates.
    cVariable* AddMethod(std::unique_ptr<cVariable> method);
    // A field or method of this class or of a parent.
    const sClassField* FindField(const std::string& name) const;
    cVariable* FindMethod(const std::string& name) const;
    // A field or method of this class itself (not of a parent).
    bool HasOwnMember(const std::string& name) const;
    const std::vector<sClassField>& GetFields() const { return m_Fields; }
    const std::vector<std::unique_ptr<cVariable>>& GetMethods() const { return m_Methods; }

private:
    std::string m_Name;
    sScriptString m_NameString;
    std::int32_t m_Id;
    std::int32_t m_Size;
    eTypeKind m_Kind;
    const cTypeDef* m_Parent;
    std::int32_t m_Index = 0;
    bool m_Complete = true;
    std::vector<sClassField> m_Fields;
    std::vector<std::unique_ptr<cVariable>> m_Methods;
};

} // namespace velmora::script
