#pragma once
// A config file read into a tree of named nodes holding typed entries, looked
// up by dotted path ("video.width": node names, then the entry name). Getters
// never fail: a missing entry, or one of another type, gives the default.
// Released with Release.

#include <cstdint>
#include <string>

namespace velmora {

class IConfig {
public:
    // Deletes the tree.
    virtual ~IConfig() = default;
    // Deletes the object.
    virtual void Release() = 0;
    // The source name (the path the config was created with).
    virtual const std::string& GetName() const = 0;
    // The value of an integer entry (written without '.'), else defaultValue.
    virtual std::int32_t GetInt(const char* path, std::int32_t defaultValue) const = 0;
    // The value of a float entry (written with '.'), else defaultValue; an integer entry gives the default.
    virtual float GetFloat(const char* path, float defaultValue) const = 0;
    // The text of a string entry (valid while the config lives), else defaultValue.
    virtual const char* GetString(const char* path, const char* defaultValue) const = 0;
    // The first two components of a vector entry into out, else the two floats of defaultValue.
    virtual void GetVector2(const char* path, float* out, const float* defaultValue) const = 0;
    // The first three components of a vector entry into out, else the three floats of defaultValue.
    virtual void GetVector3(const char* path, float* out, const float* defaultValue) const = 0;
    // The four components of a vector entry into out, else the four floats of defaultValue.
    virtual void GetVector4(const char* path, float* out, const float* defaultValue) const = 0;
};

} // namespace velmora
