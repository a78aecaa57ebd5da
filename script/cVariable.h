#pragma once
// A named variable of a namespace, a class or a function's local scope.
// Functions are variables of type "function": their 4-byte slot holds the
// function's index in the environment's function table, and the variable
// owns the cFuncDef. The flags decide where the variable lives (see
// GetLocation): script memory, environment memory, the host's storage, the
// frame's locals or the call's arguments.

#include <cstdint>
#include <memory>
#include <string>

#include "script/sInstruction.h"

namespace velmora::script {

class cTypeDef;
class cFuncDef;
class cNamespace;

// Variable flags.
constexpr std::uint32_t VAR_CONST = 0x01;       // may not be modified
constexpr std::uint32_t VAR_REFERENCE = 0x02;   // refers to other storage
constexpr std::uint32_t VAR_LOCAL = 0x04;       // a local of a function
constexpr std::uint32_t VAR_ARGUMENT = 0x08;    // an argument of a function
constexpr std::uint32_t VAR_ENVIRONMENT = 0x10; // registered on the environment
constexpr std::uint32_t VAR_MEMBER = 0x20;      // a class member (method)
constexpr std::uint32_t VAR_HOST = 0x40;        // bound to the host's storage

class cVariable {
public:
    static constexpr std::size_t kValueSize = 28;

    cVariable(const std::string& name, const cTypeDef* type, std::uint32_t flags);
    ~cVariable();
    cVariable(const cVariable&) = delete;
    cVariable& operator=(const cVariable&) = delete;

    const std::string& GetName() const { return m_Name; }
    const cTypeDef* GetType() const { return m_Type; }
    std::uint32_t GetFlags() const { return m_Flags; }
    bool Has(std::uint32_t flag) const { return (m_Flags & flag) != 0; }
    void AddFlags(std::uint32_t flags) { m_Flags |= flags; }

    // Where the value lives.
    const sOperand& GetLocation() const { return m_Location; }
    void SetLocation(const sOperand& location) { m_Location = location; }

    // The function of a variable of type "function" that defines one (null otherwise).
    cFuncDef* GetFunction() const { return m_Function.get(); }
    void SetFunction(std::unique_ptr<cFuncDef> function);

    // The value a constant holds in its own record (valid when HasValue).
    bool HasValue() const { return m_HasValue; }
    const std::uint8_t* GetValue() const { return m_Value; }
    void SetValue(const void* bytes, std::size_t size);

private:
    std::string m_Name;
    const cTypeDef* m_Type;
    std::uint32_t m_Flags;
    sOperand m_Location;
    std::unique_ptr<cFuncDef> m_Function;
    bool m_HasValue = false;
    std::uint8_t m_Value[kValueSize] = {};
};

} // namespace velmora::script
