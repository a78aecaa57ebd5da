#pragma once
// A named scope of types, variables (functions included), operators and
// child namespaces. The environment's root is "global"; each script has its
// own root whose lookups continue in the environment's, and each script
// function a local scope whose lookups continue where the function was
// defined.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora::script {

class cTypeDef;
class cVariable;

// An operator implementation: symbol, opcode, result and operand types. Modifying operators ("=", "+=", ...)
// change their left operand and have result type "void".
struct sOperator {
    std::string symbol;
    std::int32_t opcode = 0;
    const cTypeDef* result = nullptr;
    const cTypeDef* left = nullptr;
    const cTypeDef* right = nullptr;
    bool modifiesLeft = false;
};

class cNamespace {
public:
    // lookupParent defaults to parent: where lookups continue when a name is not found here.
    cNamespace(const std::string& name, cNamespace* parent, const cNamespace* lookupParent = nullptr);
    ~cNamespace();
    cNamespace(const cNamespace&) = delete;
    cNamespace& operator=(const cNamespace&) = delete;

    const std::string& GetName() const { return m_Name; }
    cNamespace* GetParent() const { return m_Parent; }
    const cNamespace* GetLookupParent() const { return m_LookupParent; }

    // A child namespace of this one (null when missing).
    cNamespace* FindNamespace(const std::string& name) const;
    // The child namespace of that name, created when missing; null when another symbol has the name.
    cNamespace* AddNamespace(const std::string& name);
    const std::vector<cNamespace*>& GetNamespaces() const { return m_NamespaceOrder; }

    cTypeDef* FindType(const std::string& name) const;
    // The types in the order they were added.
    const std::vector<cTypeDef*>& GetTypes() const { return m_TypeOrder; }
    // Takes the type; null (and the type is dropped) when the name is taken.
    cTypeDef* AddType(std::unique_ptr<cTypeDef> type);

    cVariable* FindVariable(const std::string& name) const;
    // Takes the variable; null (and the variable is dropped) when the name is taken.
    cVariable* AddVariable(std::unique_ptr<cVariable> variable);
    // The variables in the order they were added.
    const std::vector<cVariable*>& GetVariables() const { return m_VariableOrder; }

    // A type, variable or namespace of this name exists here.
    bool HasSymbol(const std::string& name) const;

    // Looks a type up by a name that may be qualified (a::b::T), here and then along the lookup chain.
    cTypeDef* LookupType(const std::string& name) const;
    // A variable by plain name, here and then along the lookup chain.
    cVariable* LookupVariable(const std::string& name) const;
    // A namespace by plain name, here and then along the lookup chain.
    cNamespace* LookupNamespace(const std::string& name) const;

    void AddOperator(const sOperator& op);
    // The implementations of a symbol registered here.
    std::vector<const sOperator*> FindOperators(const std::string& symbol) const;
    bool HasOperators() const { return !m_Operators.empty(); }

    // One dump line: qualifiers, type and name, then the value read from storage by the variable's type
    // ("= %d", "= %2.4f", "= '%s'", "= %s" for bool, "= 0x%x" for the rest).
    static std::string PrintVariableInfo(const cVariable& variable, const void* storage,
                                         const std::string& qualifier);

private:
    std::string m_Name;
    cNamespace* m_Parent;
    const cNamespace* m_LookupParent;
    std::map<std::string, std::unique_ptr<cNamespace>> m_Namespaces;
    std::vector<cNamespace*> m_NamespaceOrder;
    std::map<std::string, std::unique_ptr<cTypeDef>> m_Types;
    std::vector<cTypeDef*> m_TypeOrder;
    std::map<std::string, std::unique_ptr<cVariable>> m_Variables;
    std::vector<cVariable*> m_VariableOrder;
    std::vector<sOperator> m_Operators;
};

} // namespace velmora::script
