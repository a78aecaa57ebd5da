#include "app/cSettingsRecord.h"

#include <cstring>

namespace brevonne {

namespace {

void PutU32(std::uint8_t* out, std::uint32_t v) {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
    out[2] = static_cast<std::uint8_t>(v >> 16);
    out[3] = static_cast<std::uint8_t>(v >> 24);
}

std::uint32_t GetU32(const std::uint8_t* in) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

void PutFloat(std::uint8_t* out, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    PutU32(out, bits);
}

float GetFloat(const std::uint8_t* in) {
    const std::uint32_t bits = GetU32(in);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void PutI32(std::uint8_t* out, std::int32_t v) { PutU32(out, static_cast<std::uint32_t>(v)); }

std::int32_t GetI32(const std::uint8_t* in) {
    // Two's complement without relying on the implementation-defined conversion.
    const std::uint32_t u = GetU32(in);
    return u <= 0x7fffffffu ? static_cast<std::int32_t>(u)
                            : -static_cast<std::int32_t>(~u) - 1;
}

} // namespace

cSettingsRecord::tBytes cSettingsRecord::ToBytes() const {
    tBytes out{};
    out[0] = soundEnabled ? 1 : 0;
    out[1] = sameAsDesktop ? 1 : 0;
    out[2] = showFPS ? 1 : 0;
    out[3] = showClock ? 1 : 0;
    PutFloat(&out[4], gamma);
    PutFloat(&out[8], volume);
    PutI32(&out[12], width);
    PutI32(&out[16], height);
    PutI32(&out[20], bits);
    PutI32(&out[24], textureQuality);
    out[28] = useShaders ? 1 : 0;
    std::memcpy(&out[kReservedOffset], reserved.data(), kReservedSize);
    return out;
}

bool cSettingsRecord::FromBytes(const std::uint8_t* data, std::size_t size) {
    if (!data || size != kSize) {
        return false;
    }
    soundEnabled = data[0] != 0;
    sameAsDesktop = data[1] != 0;
    showFPS = data[2] != 0;
    showClock = data[3] != 0;
    gamma = GetFloat(&data[4]);
    volume = GetFloat(&data[8]);
    width = GetI32(&data[12]);
    height = GetI32(&data[16]);
    bits = GetI32(&data[20]);
    textureQuality = GetI32(&data[24]);
    useShaders = data[28] != 0;
    std::memcpy(reserved.data(), &data[kReservedOffset], kReservedSize);
    return true;
}

bool cSettingsRecord::operator==(const cSettingsRecord& other) const {
    // Byte-wise, so that a NaN read from a foreign record still equals itself.
    return ToBytes() == other.ToBytes();
}

} // namespace brevonne
