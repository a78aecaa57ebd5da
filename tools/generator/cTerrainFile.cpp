#include "tools/generator/cTerrainFile.h"

#include <cstring>
#include <stdexcept>

#include "tools/generator/ImageFiles.h"

namespace brevonne {

namespace {

void PutString(tBytes& out, const std::string& s)
{
    PutI32(out, static_cast<std::int32_t>(s.size()));
    PutBytes(out, s.data(), s.size());
}

class cReader {
public:
    explicit cReader(const tBytes& b) : m_Bytes(b) {}
    bool Bytes(void* dst, std::size_t n)
    {
        if (n > m_Bytes.size() - m_Pos)
            return false;
        if (n)
            std::memcpy(dst, &m_Bytes[m_Pos], n);
        m_Pos += n;
        return true;
    }
    bool I32(std::int32_t& v)
    {
        std::uint8_t b[4];
        if (!Bytes(b, 4))
            return false;
        v = static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) | (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
        return true;
    }
    bool F32(float& v)
    {
        std::int32_t i;
        if (!I32(i))
            return false;
        std::memcpy(&v, &i, 4);
        return true;
    }
    bool String(std::string& s)
    {
        std::int32_t n;
        if (!I32(n) || n < 0 || static_cast<std::size_t>(n) > Left())
            return false;
        s.assign(reinterpret_cast<const char*>(&m_Bytes[m_Pos]), static_cast<std::size_t>(n));
        m_Pos += static_cast<std::size_t>(n);
        return true;
    }
    std::size_t Left() const { return m_Bytes.size() - m_Pos; }

private:
    const tBytes& m_Bytes;
    std::size_t m_Pos = 0;
};

} // namespace

tBytes WriteTerrain(const sTerrainData& d)
{
    std::size_t S = static_cast<std::size_t>(d.size), M = static_cast<std::size_t>(d.colorSize), K = static_cast<std::size_t>(d.lightSize);
    if (d.size <= 0 || d.heights.size() != S * S)
        throw std::invalid_argument("WriteTerrain : height field does not match its size");
    if (d.colorSize < 0 || d.colorMap.size() != M * M * 3 || d.layerMap.size() != M * M * 4)
        throw std::invalid_argument("WriteTerrain : colour or layer map does not match the colour-map size");
    if (d.lightSize < 0 || d.lightMap.size() != K * K * 3)
        throw std::invalid_argument("WriteTerrain : light map does not match its size");
    for (const sTerrainInstance& inst : d.instances)
        if (inst.kind < 0 || static_cast<std::size_t>(inst.kind) >= d.kindNames.size())
            throw std::invalid_argument("WriteTerrain : instance kind out of range");

    tBytes out;
    out.reserve(16 + S * S * 4 + M * M * 7 + K * K * 3 + d.instances.size() * 72 + 4096);
    PutI32(out, d.size);
    for (float h : d.heights)
        PutF32(out, h);
    PutI32(out, d.colorSize);
    PutBytes(out, d.colorMap.data(), d.colorMap.size());
    for (const sTerrainLayer& l : d.layers) {
        PutString(out, l.texture);
        PutF32(out, l.scaleU);
        PutF32(out, l.scaleV);
    }
    PutBytes(out, d.layerMap.data(), d.layerMap.size());
    PutI32(out, d.lightSize);
    PutBytes(out, d.lightMap.data(), d.lightMap.size());
    PutI32(out, static_cast<std::int32_t>(d.kindNames.size()));
    for (const std::string& name : d.kindNames)
        PutString(out, name);
    for (const sTerrainInstance& inst : d.instances) {
        PutI32(out, inst.kind);
        for (float v : inst.matrix)
            PutF32(out, v);
        PutBytes(out, inst.color.data(), 4);
    }
    return out;
}

bool ReadTerrain(const tBytes& bytes, sTerrainData& d, std::string& error)
{
    cReader r(bytes);
    d = sTerrainData();
    if (!r.I32(d.size) || d.size <= 0 || d.size > 4096) {
        error = "bad height-field size";
        return false;
    }
    std::size_t S = static_cast<std::size_t>(d.size);
    if (S * S * 4 > r.Left()) {
        error = "heights cut off";
        return false;
    }
    d.heights.resize(S * S);
    for (float& h : d.heights)
        r.F32(h);
    if (!r.I32(d.colorSize) || d.colorSize < 0 || d.colorSize > 8192) {
        error = "bad colour-map size";
        return false;
    }
    std::size_t M = static_cast<std::size_t>(d.colorSize);
    d.colorMap.resize(M * M * 3);
    if (!r.Bytes(d.colorMap.data(), d.colorMap.size())) {
        error = "colour map cut off";
        return false;
    }
    for (sTerrainLayer& l : d.layers)
        if (!r.String(l.texture) || !r.F32(l.scaleU) || !r.F32(l.scaleV)) {
            error = "layer record cut off";
            return false;
        }
    d.layerMap.resize(M * M * 4);
    if (!r.Bytes(d.layerMap.data(), d.layerMap.size())) {
        error = "layer map cut off";
        return false;
    }
    if (!r.I32(d.lightSize) || d.lightSize < 0 || d.lightSize > 8192) {
        error = "bad light-map size";
        return false;
    }
    std::size_t K = static_cast<std::size_t>(d.lightSize);
    d.lightMap.resize(K * K * 3);
    if (!r.Bytes(d.lightMap.data(), d.lightMap.size())) {
        error = "light map cut off";
        return false;
    }
    std::int32_t T;
    if (!r.I32(T) || T < 0 || static_cast<std::size_t>(T) > r.Left() / 4) {
        error = "bad kind count";
        return false;
    }
    d.kindNames.resize(static_cast<std::size_t>(T));
    for (std::string& name : d.kindNames)
        if (!r.String(name)) {
            error = "kind name cut off";
            return false;
        }
    if (r.Left() % 72 != 0) {
        error = "instance records do not fill the rest of the file";
        return false;
    }
    while (r.Left() > 0) {
        sTerrainInstance inst;
        r.I32(inst.kind);
        for (float& v : inst.matrix)
            r.F32(v);
        r.Bytes(inst.color.data(), 4);
        if (inst.kind < 0 || inst.kind >= T) {
            error = "instance kind out of range";
            return false;
        }
        d.instances.push_back(inst);
    }
    return true;
}

} // namespace brevonne
