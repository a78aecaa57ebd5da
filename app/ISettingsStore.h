#pragma once
// Per-user key/value storage shaped like a registry: keys are paths with
// '\' separators ("Software\Quillmere\Brevonne_3D"), each holding named
// binary values. On Windows the registry itself stands behind it; elsewhere
// a folder per key and a file per value.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brevonne {

class ISettingsStore {
public:
    // Values larger than this are treated as unreadable.
    static constexpr std::size_t kMaxValueSize = 64 * 1024;

    virtual ~ISettingsStore() = default;
    // True when the key exists and can be read and written.
    virtual bool OpenKey(const std::string& key) = 0;
    // Creates the key when it is missing (with its parents); true when it exists afterwards.
    virtual bool CreateKey(const std::string& key) = 0;
    // Reads a whole value; false when the key or value is missing or unreadable.
    virtual bool ReadValue(const std::string& key, const std::string& name, std::vector<std::uint8_t>& data) = 0;
    // Creates the key if needed and replaces the value as a whole: a failed
    // write leaves the previous value intact. False on failure.
    virtual bool WriteValue(const std::string& key, const std::string& name, const void* data,
                            std::size_t size) = 0;
};

// The platform's store for the current user (a process-wide object, never null).
ISettingsStore& GetPlatformSettingsStore();

} // namespace brevonne
