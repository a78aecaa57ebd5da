#pragma once
// The island's height field: S x S samples, one world unit apart, sample (x, z)
// at index z * S + x, heights in world units (the sea surface lies at the
// water level). Build() shapes the island from the seed; the query operations
// serve the texture painters, the vegetation placer and the path checks.

#include <cstdint>
#include <vector>

namespace brevonne {

struct sVec3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    sVec3() = default;
    sVec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    sVec3 operator+(const sVec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    sVec3 operator-(const sVec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    sVec3 operator*(float s) const { return {x * s, y * s, z * s}; }
};
float Dot(const sVec3& a, const sVec3& b);
sVec3 Cross(const sVec3& a, const sVec3& b);
float Length(const sVec3& a);
sVec3 Normalize(const sVec3& a);

// Where the main features of the island lie; filled by Build and read by the painters and the path designer.
struct sIslandLayout {
    float waterLevel = 25.0f;
    float centerX = 0, centerZ = 0;     // main island
    float radius = 0;                   // its mean coast radius
    float peakX = 0, peakZ = 0, peakHeight = 0;
    float isletX = 0, isletZ = 0, isletRadius = 0;
    float reefOffset = 0;               // distance of the reef crest from the east coast
};

class cHeightField {
public:
    explicit cHeightField(int size = 256) : m_Size(size), m_Heights(static_cast<std::size_t>(size) * size, 0.0f) {}

    // Shapes the island from the seed.
    void Build(std::uint32_t seed, float waterLevel);

    int GetSize() const { return m_Size; }
    const std::vector<float>& GetHeights() const { return m_Heights; }
    const sIslandLayout& GetLayout() const { return m_Layout; }
    float& At(int x, int z) { return m_Heights[static_cast<std::size_t>(z) * m_Size + x]; }
    float At(int x, int z) const;  // clamped to the field
    // Bilinear height at world (x, z), clamped to the field.
    float Height(float x, float z) const;
    // Unit surface normal at world (x, z) from central differences.
    sVec3 Normal(float x, float z) const;
    // Highest sample of the field.
    float MaxHeight() const;
    // Signed distance-like value from the main island's coast (positive inland), as used while shaping.
    float CoastValue(float x, float z) const;
    // 1 on the cliff side of the island, 0 on the beach side.
    float CliffWeight(float x, float z) const;

private:
    void Erode(std::uint32_t seed, float waterLevel);
    int m_Size;
    std::vector<float> m_Heights;
    sIslandLayout m_Layout;
    std::uint32_t m_Seed = 0;
};

} // namespace brevonne
