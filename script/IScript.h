#pragma once
// One script: its namespace (under the environment's), its memory block, its
// instructions, and the interpreter that runs them. A script is filled by
// host registrations and compilations (each compilation adds to the
// namespace and the instruction array) and run with CallFunction.
//
// Compilation prints its diagnostics ("memory( 3 ) error : ...") to the
// standard output and returns false when any was an error. Internal failures
// and run-time faults (invalid instruction, missing function, unsupported
// argument type) raise cException; after a run-time fault the host should
// stop using the script.

#include <cstdint>
#include <cstring>

namespace velmora::script {

class cTypeDef;
class cFuncDef;
class cNativeFunction;

// The 4-byte value a script function returned.
struct sScriptValue {
    std::uint32_t bits = 0;

    std::int32_t AsInt() const { return static_cast<std::int32_t>(bits); }
    bool AsBool() const { return (bits & 0xFF) != 0; }
    float AsFloat() const {
        float value = 0.0f;
        std::memcpy(&value, &bits, 4);
        return value;
    }
};

class IScript {
public:
    // Use Release.
    virtual ~IScript() = default;
    // Removes the script from its environment and deletes it.
    virtual void Release() = 0;

    // The first three host bindings, on the script's namespace (see IScriptEnv).
    virtual bool RegisterNamespace(const char* name) = 0;
    virtual bool RegisterVariable(const char* type, const char* name, void* address) = 0;
    virtual bool RegisterFunction(const char* returnType, const char* name, const char* arguments,
                                  const cNativeFunction& entry) = 0;

    // Compiles a function given in parts: return type, qualified name (a::b::f), argument list and body
    // (with its braces); true when it compiled.
    virtual bool AddFunction(const char* returnType, const char* name, const char* arguments, const char* body) = 0;

    // The remaining host bindings, on the script's namespace (see IScriptEnv).
    virtual cTypeDef* RegisterClass(const char* name, std::int32_t size, const cNativeFunction* constructor,
                                    const char* parent) = 0;
    virtual bool RegisterClassField(cTypeDef* handle, const char* type, const char* name, std::int32_t offset) = 0;
    virtual bool RegisterClassMethod(cTypeDef* handle, const char* returnType, const char* name,
                                     const char* arguments, const cNativeFunction& entry) = 0;
    virtual cTypeDef* RegisterEnum(const char* name) = 0;
    virtual bool RegisterEnumValue(cTypeDef* handle, const char* name, std::int32_t value) = 0;

    // The storage of a variable by qualified name (script memory, or the host's for bound variables); null
    // when there is none.
    virtual void* GetVariable(const char* name) = 0;
    // The function of that qualified name; null when the symbol is missing or not a function.
    virtual const cFuncDef* GetFunction(const char* name) = 0;
    // Compiles a source file, then logs every instruction it produced ("%s : %d, %d") and the bytes used.
    virtual bool CompileFile(const char* path) = 0;
    // Compiles source text (source name "memory").
    virtual bool CompileString(const char* source) = 0;
    // Calls a script function by qualified name with C variadic arguments matching its declared "bool",
    // "int" and "float" arguments (other argument types are refused); runs it to its return, dumps the
    // script's variables to the log and returns the function's 4-byte result.
    virtual sScriptValue CallFunction(const char* name, ...) = 0;
};

} // namespace velmora::script
