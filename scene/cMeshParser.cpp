#include "scene/cMeshParser.h"

#include <cmath>
#include <cstdlib>
#include <memory>

#include "engine/core/cException.h"
#include "engine/filesystem/FileSystemGlobals.h"
#include "scene/ParseHelpers.h"

namespace velmora::scene {

namespace {

// A number token as the tokenizer cuts it may still be malformed ("1.2.3", ".").
bool IsWellFormedNumber(const std::string& text, bool allowPoint) {
    int digits = 0, points = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && allowPoint) {
            ++points;
        } else {
            return false;
        }
    }
    return digits > 0 && points <= 1;
}

} // namespace

cMeshParser::cMeshParser() { SetSeparators("{ } -"); }

void cMeshParser::ParseFile(const char* fileName, std::vector<sMeshNodeData>& nodes) {
    const char* name = fileName ? fileName : "";
    IFileSystem* fs = GetProcessFileSystem();
    IFile* file = fs && *name && fs->FileExists(name) ? fs->OpenFile(name) : nullptr;
    if (!file) {
        RaiseError("cMeshParser::ParseFile : file '%s' not found", name);
    }
    std::unique_ptr<std::uint8_t[]> data(file->ReadAll());
    const std::int32_t size = file->GetSize();
    file->Release();
    if (!data) {
        RaiseError("cMeshParser::ParseFile : failed to read file '%s'", name);
    }
    ParseText(std::string(reinterpret_cast<const char*>(data.get()), static_cast<std::size_t>(size)), nodes, name);
}

void cMeshParser::ParseText(const std::string& text, std::vector<sMeshNodeData>& nodes, const char* sourceName) {
    ReadWithLineNumbers(*this, [&] {
        Reset();
        GetTokenizer().SetText(text, sourceName ? sourceName : "memory");
        Next();
        ReadNodes(nodes);
    });
}

void cMeshParser::ReadNodes(std::vector<sMeshNodeData>& nodes) {
    while (!IsEnd()) {
        if (!Is("node")) {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
        Next();
        sMeshNodeData node;
        ReadString(node.name);
        Expect("{");
        ReadNode(node);
        nodes.push_back(std::move(node));
    }
}

void cMeshParser::ReadNode(sMeshNodeData& node) {
    bool haveVertices = false;
    bool haveFaces = false;
    bool facesChecked = true;
    std::vector<float> values;
    for (;;) {
        if (IsEnd()) {
            Error("unexpected end of file; '}' expected to close node '%s'", node.name.c_str());
        }
        if (Is("}")) {
            if (!facesChecked) {
                for (const std::uint16_t index : node.indices) {
                    if (index >= node.vertices.size()) {
                        Error("index %d out of range; node '%s' has %d vertices", index, node.name.c_str(),
                              static_cast<int>(node.vertices.size()));
                    }
                }
            }
            Next();
            break;
        }
        const std::string keyword = GetToken().type == TOKEN_STRING ? std::string() : GetToken().text;
        if (keyword == "material") {
            Next();
            ReadString(node.material);
        } else if (keyword == "vertices") {
            if (haveVertices) {
                Error("node '%s' has a second 'vertices' block", node.name.c_str());
            }
            Next();
            const int count = ReadCount("vertices");
            if (count > kMaxVertices) {
                Error("node '%s' has %d vertices; 16-bit indices reach at most %d", node.name.c_str(), count,
                      kMaxVertices);
            }
            ReadValues("vertices", static_cast<std::size_t>(count) * 3, values);
            node.vertices.assign(static_cast<std::size_t>(count), sMeshVertex());
            for (int i = 0; i < count; ++i) {
                node.vertices[i].position = cVector3(values[3 * i], values[3 * i + 1], values[3 * i + 2]);
            }
            haveVertices = true;
        } else if (keyword == "uv") {
            Next();
            const int count = ReadCount("uv");
            RequireVertices(node, haveVertices, "uv", count);
            ReadValues("uv", static_cast<std::size_t>(count) * 2, values);
            for (int i = 0; i < count; ++i) {
                node.vertices[i].texCoord = cVector2(values[2 * i], values[2 * i + 1]);
            }
        } else if (keyword == "normals") {
            Next();
            const int count = ReadCount("normals");
            RequireVertices(node, haveVertices, "normals", count);
            ReadValues("normals", static_cast<std::size_t>(count) * 3, values);
            for (int i = 0; i < count; ++i) {
                node.vertices[i].normal = cVector3(values[3 * i], values[3 * i + 1], values[3 * i + 2]);
            }
        } else if (keyword == "colors") {
            Next();
            const int count = ReadCount("colors");
            RequireVertices(node, haveVertices, "colors", count);
            ReadValues("colors", static_cast<std::size_t>(count) * 3, values);
            for (int i = 0; i < count; ++i) {
                node.vertices[i].color = cColor(cColorF::ToByte(values[3 * i]), cColorF::ToByte(values[3 * i + 1]),
                                                cColorF::ToByte(values[3 * i + 2]), 255);
            }
        } else if (keyword == "faces") {
            if (haveFaces) {
                Error("node '%s' has a second 'faces' block", node.name.c_str());
            }
            Next();
            const int count = ReadCount("faces");
            // Faces may come before the vertices; their indices are then checked when the node closes.
            ReadIndices(static_cast<std::size_t>(count) * 3,
                        haveVertices ? static_cast<int>(node.vertices.size()) : -1, node.indices);
            haveFaces = true;
            facesChecked = haveVertices;
        } else {
            Error("unexpected token '%s'", GetToken().text.c_str());
        }
    }
}

int cMeshParser::ReadCount(const char* block) {
    if (IsEnd() || GetToken().type != TOKEN_NUMBER || !IsWellFormedNumber(GetToken().text, false)) {
        Error("'%s' block: count expected, found '%s'", block, IsEnd() ? "end of file" : GetToken().text.c_str());
    }
    std::int32_t count = 0;
    ReadInt(count);
    // ReadInt clamps at the 32-bit limit; counts beyond any real file stay harmless because nothing is
    // allocated from them before the values are there.
    return count;
}

void cMeshParser::RequireVertices(const sMeshNodeData& node, bool haveVertices, const char* block, int count) {
    if (!haveVertices) {
        Error("'%s' block before 'vertices' in node '%s'", block, node.name.c_str());
    }
    if (static_cast<std::size_t>(count) != node.vertices.size()) {
        Error("'%s' block of %d entries in node '%s' of %d vertices", block, count, node.name.c_str(),
              static_cast<int>(node.vertices.size()));
    }
}

float cMeshParser::ReadNumber() {
    float sign = 1.0f;
    if (Is("-")) {
        Next();
        sign = -1.0f;
    }
    if (IsEnd()) {
        Error("unexpected end of file; number expected");
    }
    const sToken& token = GetToken();
    if (token.type != TOKEN_NUMBER || !IsWellFormedNumber(token.text, true)) {
        Error("number expected, found '%s'", token.text.c_str());
    }
    const double value = std::strtod(token.text.c_str(), nullptr);
    if (!std::isfinite(value) || value > 3.0e38) {
        Error("number out of range '%s'", token.text.c_str());
    }
    Next();
    return sign * static_cast<float>(value);
}

void cMeshParser::ReadValues(const char* block, std::size_t expected, std::vector<float>& out) {
    out.clear();
    Expect("{");
    while (!Is("}")) {
        if (IsEnd()) {
            Error("unexpected end of file in '%s' block; '}' expected", block);
        }
        if (out.size() == expected) {
            Error("'%s' block holds more than %d values", block, static_cast<int>(expected));
        }
        out.push_back(ReadNumber());
    }
    if (out.size() != expected) {
        Error("'%s' block holds %d values, %d expected", block, static_cast<int>(out.size()),
              static_cast<int>(expected));
    }
    Next();
}

void cMeshParser::ReadIndices(std::size_t expected, int vertexCount, std::vector<std::uint16_t>& out) {
    out.clear();
    Expect("{");
    while (!Is("}")) {
        if (IsEnd()) {
            Error("unexpected end of file in 'faces' block; '}' expected");
        }
        if (out.size() == expected) {
            Error("'faces' block holds more than %d indices", static_cast<int>(expected));
        }
        const sToken& token = GetToken();
        if (token.type != TOKEN_NUMBER || !IsWellFormedNumber(token.text, false)) {
            Error("index expected, found '%s'", token.text.c_str());
        }
        // Checked before moving on, so that a message names the index's own line.
        const unsigned long long index = std::strtoull(token.text.c_str(), nullptr, 10);
        if (vertexCount >= 0 && index >= static_cast<unsigned long long>(vertexCount)) {
            Error("index %s out of range; the node has %d vertices", token.text.c_str(), vertexCount);
        }
        if (index > 0xFFFF) {
            Error("index %s out of range; 16-bit indices reach at most %d", token.text.c_str(), 0xFFFF);
        }
        out.push_back(static_cast<std::uint16_t>(index));
        Next();
    }
    if (out.size() != expected) {
        Error("'faces' block holds %d indices, %d expected", static_cast<int>(out.size()),
              static_cast<int>(expected));
    }
    Next();
}

} // namespace velmora::scene
