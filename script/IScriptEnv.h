#pragma once
// A script environment: owns its scripts and the host bindings.

namespace velmora::script {

class IScriptEnv {
public:
    virtual ~IScriptEnv() = default;
    // Deletes the environment and its scripts.
    virtual void Release() = 0;
};

// Constructs a script environment; null on failure.
IScriptEnv* CreateScriptEnv();

} // namespace velmora::script
