#include "scene/MeshData.h"

#include <cstring>

#include "scene/IStaticMesh.h"

namespace velmora::scene {

namespace {

void AddElement(sMeshVertexFormat& format, int type, int count, int usage, int bytes) {
    video::sVertexElement element;
    element.offset = format.stride;
    element.type = type;
    element.count = count;
    element.usage = usage;
    format.elements.push_back(element);
    format.stride += bytes;
}

void Put(std::uint8_t*& out, const void* data, std::size_t bytes) {
    std::memcpy(out, data, bytes);
    out += bytes;
}

void PutVector(std::uint8_t*& out, const cVector3& v) {
    const float xyz[3] = {v.x, v.y, v.z};
    Put(out, xyz, sizeof(xyz));
}

} // namespace

sMeshVertexFormat GetMeshVertexFormat(int flags) {
    sMeshVertexFormat format;
    AddElement(format, video::T_FLOAT, 3, video::VU_POSITION, 12);
    if (flags & MESH_COLORS) {
        AddElement(format, video::T_UBYTE, 4, video::VU_COLOR, 4);
    }
    if (flags & MESH_NORMALS) {
        AddElement(format, video::T_FLOAT, 3, video::VU_NORMAL, 12);
    }
    if (flags & MESH_TANGENTS) {
        // Tangent and binormal travel in the second and third texture-coordinate slots.
        AddElement(format, video::T_FLOAT, 3, video::VU_TEXCOORD1, 12);
        AddElement(format, video::T_FLOAT, 3, video::VU_TEXCOORD2, 12);
    }
    if (flags & MESH_TEXCOORDS) {
        AddElement(format, video::T_FLOAT, 2, video::VU_TEXCOORD0, 8);
    }
    video::sVertexElement end;
    end.offset = 0;
    end.type = 0;
    end.count = 0;
    end.usage = video::VU_END;
    format.elements.push_back(end);
    return format;
}

std::vector<std::uint8_t> PackMeshVertices(const std::vector<sMeshVertex>& vertices, int flags) {
    const sMeshVertexFormat format = GetMeshVertexFormat(flags);
    std::vector<std::uint8_t> packed(vertices.size() * static_cast<std::size_t>(format.stride));
    std::uint8_t* out = packed.data();
    for (const sMeshVertex& v : vertices) {
        PutVector(out, v.position);
        if (flags & MESH_COLORS) {
            const std::uint8_t rgba[4] = {v.color.r, v.color.g, v.color.b, v.color.a};
            Put(out, rgba, sizeof(rgba));
        }
        if (flags & MESH_NORMALS) {
            PutVector(out, v.normal);
        }
        if (flags & MESH_TANGENTS) {
            PutVector(out, v.tangent);
            PutVector(out, v.binormal);
        }
        if (flags & MESH_TEXCOORDS) {
            const float uv[2] = {v.texCoord.x, v.texCoord.y};
            Put(out, uv, sizeof(uv));
        }
    }
    return packed;
}

void ComputeMeshTangents(std::vector<sMeshVertex>& vertices, const std::vector<std::uint16_t>& indices) {
    const std::size_t count = vertices.size();
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
        const std::size_t i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        if (i0 >= count || i1 >= count || i2 >= count) {
            continue;
        }
        const sMeshVertex& v0 = vertices[i0];
        const sMeshVertex& v1 = vertices[i1];
        const sMeshVertex& v2 = vertices[i2];
        const cVector3 e1 = v2.position - v0.position;
        const cVector3 e2 = v1.position - v0.position;
        const float du1 = v2.texCoord.x - v0.texCoord.x, dv1 = v2.texCoord.y - v0.texCoord.y;
        const float du2 = v1.texCoord.x - v0.texCoord.x, dv2 = v1.texCoord.y - v0.texCoord.y;
        const float d = du1 * dv2 - dv1 * du2;
        cVector3 tangent, binormal;
        if (d != 0.0f) {
            tangent = ((e1 * dv2 - e2 * dv1) / d).Normalized();
            binormal = ((e1 * du2 - e2 * du1) / d).Normalized();
        }
        for (const std::size_t i : {i0, i1, i2}) {
            vertices[i].tangent = tangent;
            vertices[i].binormal = binormal;
        }
    }
}

cBox GetMeshBounds(const std::vector<sMeshVertex>& vertices) {
    cBox box;
    for (const sMeshVertex& v : vertices) {
        box.Extend(v.position);
    }
    return box;
}

} // namespace velmora::scene
