#pragma once
// A small deterministic random number generator (PCG32). The island must come
// out byte-identical from the same seed on every machine, so the generator
// never uses the standard library's distributions, whose results differ
// between library implementations.

#include <cstdint>

namespace brevonne {

class cRandom {
public:
    explicit cRandom(std::uint64_t seed = 1, std::uint64_t stream = 0x9e3779b97f4a7c15ULL)
    {
        m_Inc = (stream << 1u) | 1u;
        m_State = 0;
        Next();
        m_State += seed;
        Next();
    }

    // The next 32 random bits.
    std::uint32_t Next()
    {
        std::uint64_t old = m_State;
        m_State = old * 6364136223846793005ULL + m_Inc;
        std::uint32_t xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
        std::uint32_t rot = static_cast<std::uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    }

    // Uniform in [0, 1).
    float Uniform() { return static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f); }
    // Uniform in [lo, hi).
    float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
    // Uniform integer in [0, n); 0 when n is 0.
    std::uint32_t Below(std::uint32_t n) { return n ? static_cast<std::uint32_t>((static_cast<std::uint64_t>(Next()) * n) >> 32) : 0; }
    // Roughly normal (sum of four uniforms), mean 0, deviation about 1.
    float Gauss() { return (Uniform() + Uniform() + Uniform() + Uniform() - 2.0f) * 1.7320508f; }

private:
    std::uint64_t m_State;
    std::uint64_t m_Inc;
};

} // namespace brevonne
