#pragma once
// The host bindings of one namespace root (the environment's or a
// script's): namespaces, variables bound to host storage, classes with
// fields and native methods, and enumerations. Method slots are allocated in
// the given memory block. Errors raise cException.

#include <cstdint>

#include "script/cMemoryBlock.h"

namespace velmora::script {

class cScriptEnv;
class cNamespace;
class cTypeDef;
class cNativeFunction;

class cRegistrator {
public:
    // memoryBase is the base location of memory (BASE_SCRIPT or BASE_ENVIRONMENT); environment marks what is
    // registered as environment-owned.
    cRegistrator(cScriptEnv& env, cNamespace& root, cMemoryBlock& memory, std::uint32_t memoryBase,
                 bool environment);

    bool RegisterNamespace(const char* name);
    bool RegisterVariable(const char* type, const char* name, void* address);
    bool RegisterFunction(const char* returnType, const char* name, const char* arguments,
                          const cNativeFunction& entry);
    cTypeDef* RegisterClass(const char* name, std::int32_t size, const cNativeFunction* constructor,
                            const char* parent);
    bool RegisterClassField(cTypeDef* handle, const char* type, const char* name, std::int32_t offset);
    bool RegisterClassMethod(cTypeDef* handle, const char* returnType, const char* name, const char* arguments,
                             const cNativeFunction& entry);
    cTypeDef* RegisterEnum(const char* name);
    bool RegisterEnumValue(cTypeDef* handle, const char* name, std::int32_t value);

private:
    cScriptEnv& m_Env;
    cNamespace& m_Root;
    cMemoryBlock& m_Memory;
    std::uint32_t m_MemoryBase;
    bool m_Environment;
};

} // namespace velmora::script
