#include "tools/generator/cMeshBuilder.h"

#include <algorithm>
#include <cstdio>

namespace brevonne {

std::uint16_t sMeshNode::AddVertex(const sVec3& p, const sVec3& n, float u, float v, const sColor& c)
{
    positions.push_back(p);
    normals.push_back(n);
    colors.push_back(c);
    uvs.push_back(u);
    uvs.push_back(v);
    return static_cast<std::uint16_t>(positions.size() - 1);
}

void sMeshNode::AddTriangle(int a, int b, int c)
{
    indices.push_back(static_cast<std::uint16_t>(a));
    indices.push_back(static_cast<std::uint16_t>(b));
    indices.push_back(static_cast<std::uint16_t>(c));
}

sMeshNode& cMeshBuilder::AddNode(const std::string& name, const std::string& material)
{
    m_Nodes.emplace_back();
    m_Nodes.back().name = name;
    m_Nodes.back().material = material;
    return m_Nodes.back();
}

sBox cMeshBuilder::GetBoundingBox() const
{
    sBox box; // starts at the origin, as the engine's does
    for (const sMeshNode& n : m_Nodes)
        for (const sVec3& p : n.positions) {
            box.min = sVec3(std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z));
            box.max = sVec3(std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z));
        }
    return box;
}

namespace {
void AppendNumber(std::string& out, float v)
{
    char buf[32];
    // "-0.0000" would read as a negated zero; print a plain zero instead.
    if (v > -0.00005f && v < 0.00005f)
        v = 0.0f;
    std::snprintf(buf, sizeof(buf), "%.4f", static_cast<double>(v));
    out += buf;
}
} // namespace

std::string cMeshBuilder::ToText() const
{
    std::string out;
    char buf[128];
    for (const sMeshNode& n : m_Nodes) {
        std::size_t count = n.positions.size();
        out += "node \"" + n.name + "\" {\n";
        if (!n.material.empty())
            out += "\tmaterial \"" + n.material + "\"\n";
        std::snprintf(buf, sizeof(buf), "\tvertices %zu {\n", count);
        out += buf;
        for (const sVec3& p : n.positions) {
            out += "\t\t";
            AppendNumber(out, p.x);
            out += ' ';
            AppendNumber(out, p.y);
            out += ' ';
            AppendNumber(out, p.z);
            out += '\n';
        }
        out += "\t}\n";
        std::snprintf(buf, sizeof(buf), "\tnormals %zu {\n", count);
        out += buf;
        for (const sVec3& p : n.normals) {
            out += "\t\t";
            AppendNumber(out, p.x);
            out += ' ';
            AppendNumber(out, p.y);
            out += ' ';
            AppendNumber(out, p.z);
            out += '\n';
        }
        out += "\t}\n";
        std::snprintf(buf, sizeof(buf), "\tcolors %zu {\n", count);
        out += buf;
        for (const sColor& c : n.colors) {
            out += "\t\t";
            AppendNumber(out, c.r);
            out += ' ';
            AppendNumber(out, c.g);
            out += ' ';
            AppendNumber(out, c.b);
            out += '\n';
        }
        out += "\t}\n";
        std::snprintf(buf, sizeof(buf), "\tuv %zu {\n", count);
        out += buf;
        for (std::size_t i = 0; i < count; ++i) {
            out += "\t\t";
            AppendNumber(out, n.uvs[2 * i]);
            out += ' ';
            AppendNumber(out, n.uvs[2 * i + 1]);
            out += '\n';
        }
        out += "\t}\n";
        std::snprintf(buf, sizeof(buf), "\tfaces %zu {\n", n.indices.size() / 3);
        out += buf;
        for (std::size_t i = 0; i + 2 < n.indices.size(); i += 3) {
            std::snprintf(buf, sizeof(buf), "\t\t%u %u %u\n", n.indices[i], n.indices[i + 1], n.indices[i + 2]);
            out += buf;
        }
        out += "\t}\n}\n";
    }
    return out;
}

} // namespace brevonne
