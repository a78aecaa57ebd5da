#pragma once
// The storage of a script "string": 28 bytes holding up to 27 characters and
// a terminating zero. It is plain data, so scripts and the host copy it
// freely and nothing is owned; a host binds a string variable or argument as
// sScriptString.

#include <cstddef>
#include <cstring>

namespace velmora::script {

struct sScriptString {
    static constexpr std::size_t kCapacity = 27;

    char text[kCapacity + 1] = {};

    // Copies at most kCapacity characters of value (null gives the empty string).
    void Set(const char* value) {
        const std::size_t length = value ? strnlen(value, kCapacity) : 0;
        std::memcpy(text, value ? value : "", length);
        std::memset(text + length, 0, sizeof(text) - length);
    }
    // The number of characters before the first zero, never beyond the 28 bytes (print with "%.*s").
    std::size_t Length() const { return strnlen(text, sizeof(text)); }
};
static_assert(sizeof(sScriptString) == 28, "a script string takes 28 bytes");

} // namespace velmora::script
