#pragma once
// The script environment: the engine-wide home of the script language. It
// owns its scripts, the root namespace "global" with the built-in types and
// the class "object", and the host bindings registered on it, which every
// script sees.
//
// Host bindings raise cException on error (redefinitions, unknown types,
// invalid handles); the message names the operation, as in
// "cRegistrator::RegisterClass : redefinition of 'cFoo'". Native functions
// and methods are bound with the typed trampolines of script/NativeBinding.h.

#include <cstdint>

namespace velmora::script {

class cTypeDef;
class cNativeFunction;
class IScript;

class IScriptEnv {
public:
    static constexpr std::int32_t kDefaultStackSize = 64 * 1024;
    static constexpr std::int32_t kDefaultMaxFrames = 256;

    // Use Release.
    virtual ~IScriptEnv() = default;
    // Releases every script, then deletes the environment.
    virtual void Release() = 0;
    // Releases every script and empties the list.
    virtual void ReleaseAllScripts() = 0;

    // Creates the namespace (qualified, "a::b"; missing parents are created too).
    virtual bool RegisterNamespace(const char* name) = 0;
    // Binds a host variable: type text ("int", "const float", "string&"), qualified name, host storage (an
    // sScriptString for "string"). Scripts read and write the host's memory directly.
    virtual bool RegisterVariable(const char* type, const char* name, void* address) = 0;
    // Registers nothing and returns false: plain host functions are not bound yet (bind methods instead).
    virtual bool RegisterFunction(const char* returnType, const char* name, const char* arguments,
                                  const cNativeFunction& entry) = 0;
    // A class of size bytes: qualified name, optional constructor (a method "void <name>()"), optional parent
    // type text (a class). Returns the class handle.
    virtual cTypeDef* RegisterClass(const char* name, std::int32_t size, const cNativeFunction* constructor,
                                    const char* parent) = 0;
    // A field of the class at a byte offset inside it.
    virtual bool RegisterClassField(cTypeDef* handle, const char* type, const char* name, std::int32_t offset) = 0;
    // A native method: return type text, name, argument list text ("int a, const string& b"), binding.
    virtual bool RegisterClassMethod(cTypeDef* handle, const char* returnType, const char* name,
                                     const char* arguments, const cNativeFunction& entry) = 0;
    // An enumeration type of 4 bytes. Returns the type handle.
    virtual cTypeDef* RegisterEnum(const char* name) = 0;
    // Registers nothing and returns false: enumeration values are not bound yet.
    virtual bool RegisterEnumValue(cTypeDef* handle, const char* name, std::int32_t value) = 0;

    // A new empty script with memorySize bytes of script memory, a value stack of stackSize bytes and room
    // for maxFrames frames; logs "Creating script '%s'... " and the outcome; null on failure. The environment
    // owns it; release it with its Release or with ReleaseAllScripts.
    virtual IScript* CreateScript(const char* name, std::int32_t memorySize,
                                  std::int32_t stackSize = kDefaultStackSize,
                                  std::int32_t maxFrames = kDefaultMaxFrames) = 0;
};

// Constructs a script environment; null on failure.
IScriptEnv* CreateScriptEnv();

} // namespace velmora::script
