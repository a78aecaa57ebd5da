#include "video/opengl/cOpenGLShader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "engine/core/cException.h"
#include "video/opengl/cOpenGLRenderer.h"

namespace velmora::video {

namespace {

// How a uniform's values are sent: floats, integers (also booleans and samplers) or matrices.
enum class eKind { Float, Int, Bool, Matrix };

struct sTypeInfo {
    eKind kind = eKind::Int;
    int width = 1;  // values per element
};

sTypeInfo TypeInfo(GLenum type) {
    switch (type) {
        case GL_FLOAT: return {eKind::Float, 1};
        case GL_FLOAT_VEC2: return {eKind::Float, 2};
        case GL_FLOAT_VEC3: return {eKind::Float, 3};
        case GL_FLOAT_VEC4: return {eKind::Float, 4};
        case GL_INT: return {eKind::Int, 1};
        case GL_INT_VEC2: return {eKind::Int, 2};
        case GL_INT_VEC3: return {eKind::Int, 3};
        case GL_INT_VEC4: return {eKind::Int, 4};
        case GL_BOOL: return {eKind::Bool, 1};
        case GL_BOOL_VEC2: return {eKind::Bool, 2};
        case GL_BOOL_VEC3: return {eKind::Bool, 3};
        case GL_BOOL_VEC4: return {eKind::Bool, 4};
        case GL_FLOAT_MAT2: return {eKind::Matrix, 4};
        case GL_FLOAT_MAT3: return {eKind::Matrix, 9};
        case GL_FLOAT_MAT4: return {eKind::Matrix, 16};
        case GL_FLOAT_MAT2x3: return {eKind::Matrix, 6};
        case GL_FLOAT_MAT2x4: return {eKind::Matrix, 8};
        case GL_FLOAT_MAT3x2: return {eKind::Matrix, 6};
        case GL_FLOAT_MAT3x4: return {eKind::Matrix, 12};
        case GL_FLOAT_MAT4x2: return {eKind::Matrix, 8};
        case GL_FLOAT_MAT4x3: return {eKind::Matrix, 12};
        default: return {eKind::Int, 1};  // samplers
    }
}

// Sends `count` whole elements starting at `location` (no transposition for matrices).
void SendFloats(GLint location, GLenum type, const float* values, int count) {
    switch (type) {
        case GL_FLOAT: glUniform1fv(location, count, values); break;
        case GL_FLOAT_VEC2: glUniform2fv(location, count, values); break;
        case GL_FLOAT_VEC3: glUniform3fv(location, count, values); break;
        case GL_FLOAT_VEC4: glUniform4fv(location, count, values); break;
        case GL_FLOAT_MAT2: glUniformMatrix2fv(location, count, GL_FALSE, values); break;
        case GL_FLOAT_MAT3: glUniformMatrix3fv(location, count, GL_FALSE, values); break;
        case GL_FLOAT_MAT4: glUniformMatrix4fv(location, count, GL_FALSE, values); break;
        case GL_FLOAT_MAT2x3: glUniformMatrix2x3fv(location, count, GL_FALSE, values); break;
        case GL_FLOAT_MAT2x4: glUniformMatrix2x4fv(location, count, GL_FALSE, values); break;
        case GL_FLOAT_MAT3x2: glUniformMatrix3x2fv(location, count, GL_FALSE, values); break;
        case GL_FLOAT_MAT3x4: glUniformMatrix3x4fv(location, count, GL_FALSE, values); break;
        case GL_FLOAT_MAT4x2: glUniformMatrix4x2fv(location, count, GL_FALSE, values); break;
        case GL_FLOAT_MAT4x3: glUniformMatrix4x3fv(location, count, GL_FALSE, values); break;
        default: break;
    }
}

void SendInts(GLint location, int width, const GLint* values, int count) {
    switch (width) {
        case 1: glUniform1iv(location, count, values); break;
        case 2: glUniform2iv(location, count, values); break;
        case 3: glUniform3iv(location, count, values); break;
        default: glUniform4iv(location, count, values); break;
    }
}

// Makes a program current for setting uniforms and puts the previous one back (nothing to do
// when the caller knows it is current).
class cScopedProgram {
public:
    explicit cScopedProgram(GLuint program, bool isCurrent = false) {
        if (isCurrent) return;
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        m_Previous = static_cast<GLuint>(current);
        if (m_Previous != program) glUseProgram(program);
        m_Changed = m_Previous != program;
    }
    ~cScopedProgram() {
        if (m_Changed) glUseProgram(m_Previous);
    }
    cScopedProgram(const cScopedProgram&) = delete;
    cScopedProgram& operator=(const cScopedProgram&) = delete;

private:
    GLuint m_Previous = 0;
    bool m_Changed = false;
};

// The GLSL text without comments, split into identifiers, numbers and single characters.
std::vector<std::string> Tokenize(const std::string& source) {
    std::vector<std::string> tokens;
    const std::size_t n = source.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = source[i];
        if (c == '/' && i + 1 < n && source[i + 1] == '/') {
            while (i < n && source[i] != '\n') ++i;
        } else if (c == '/' && i + 1 < n && source[i + 1] == '*') {
            const std::size_t end = source.find("*/", i + 2);
            i = end == std::string::npos ? n : end + 2;
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            const std::size_t start = i;
            while (i < n && (std::isalnum(static_cast<unsigned char>(source[i])) || source[i] == '_')) ++i;
            tokens.push_back(source.substr(start, i - start));
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            const std::size_t start = i;
            while (i < n && std::isalnum(static_cast<unsigned char>(source[i]))) ++i;
            tokens.push_back(source.substr(start, i - start));
        } else {
            if (!std::isspace(static_cast<unsigned char>(c))) tokens.emplace_back(1, c);
            ++i;
        }
    }
    return tokens;
}

// Trailing blanks go; a long log is cut.
std::string Shorten(std::string text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    if (text.size() > cOpenGLShader::kMaxLogLength) text = text.substr(0, cOpenGLShader::kMaxLogLength) + " [...]";
    return text.empty() ? std::string("no message from the compiler") : text;
}

} // namespace

cOpenGLShader::cOpenGLShader(cResourceManager* owner, cOpenGLRenderer* renderer)
    : cCommonShader(owner, renderer), m_GLRenderer(renderer) {}

cOpenGLShader::~cOpenGLShader() { DeleteObjects(); }

void cOpenGLShader::DeleteObjects() {
    if (m_Program) {
        // A deleted program stays in use while current: leave it first.
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        if (static_cast<GLuint>(current) == m_Program) glUseProgram(0);
        glDeleteProgram(m_Program);
        m_Program = 0;
    }
    if (m_VertexShader) glDeleteShader(m_VertexShader);
    if (m_FragmentShader) glDeleteShader(m_FragmentShader);
    m_VertexShader = m_FragmentShader = 0;
    m_Uniforms.clear();
}

std::string cOpenGLShader::WithVersion(const std::string& source) {
    std::size_t lineStart = 0;
    while (lineStart < source.size()) {
        std::size_t lineEnd = source.find('\n', lineStart);
        if (lineEnd == std::string::npos) lineEnd = source.size();
        std::size_t p = lineStart;
        while (p < lineEnd && (source[p] == ' ' || source[p] == '\t')) ++p;
        if (source.compare(p, 8, "#version") == 0) {
            // Moved to the front; its line stays as an empty one.
            return source.substr(lineStart, lineEnd - lineStart) + "\n" + source.substr(0, lineStart) +
                   (lineEnd < source.size() ? source.substr(lineEnd) : std::string());
        }
        lineStart = lineEnd + 1;
    }
    return "#version 120\n" + source;
}

std::vector<std::string> cOpenGLShader::DeclaredSamplers(const std::string& source) {
    std::vector<std::string> names;
    const std::vector<std::string> tokens = Tokenize(source);
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i] != "uniform") continue;
        std::size_t t = i + 1;
        while (t < tokens.size() && (tokens[t] == "lowp" || tokens[t] == "mediump" || tokens[t] == "highp")) ++t;
        if (t >= tokens.size() || tokens[t].compare(0, 7, "sampler") != 0) continue;
        // Declarators up to the semicolon: name, name[N], ...
        for (++t; t < tokens.size() && tokens[t] != ";";) {
            const std::string& name = tokens[t];
            if (name == ",") {
                ++t;
                continue;
            }
            if (!std::isalpha(static_cast<unsigned char>(name[0])) && name[0] != '_') break;
            int count = 0;
            if (t + 3 < tokens.size() && tokens[t + 1] == "[" && tokens[t + 3] == "]") {
                count = std::atoi(tokens[t + 2].c_str());
                count = std::max(1, std::min(count, 32));
                t += 4;
            } else {
                ++t;
            }
            if (count == 0) {
                if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
            } else {
                for (int e = 0; e < count; ++e) {
                    const std::string element = name + "[" + std::to_string(e) + "]";
                    if (std::find(names.begin(), names.end(), element) == names.end()) names.push_back(element);
                }
            }
        }
        i = t;
    }
    return names;
}

GLuint cOpenGLShader::CompileStage(GLenum stage, const std::string& source, const char* label) {
    const std::string text = WithVersion(source);
    GLuint shader = glCreateShader(stage);
    if (!shader) RaiseError("cOpenGLShader::CompileShader( %s ) : the driver made no shader object", label);
    const GLchar* sources[1] = {text.c_str()};
    const GLint lengths[1] = {static_cast<GLint>(text.size())};
    glShaderSource(shader, 1, sources, lengths);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != GL_TRUE) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
        glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, &log[0]);
        log.resize(log.find('\0') == std::string::npos ? log.size() : log.find('\0'));
        glDeleteShader(shader);
        RaiseError("cOpenGLShader::CompileShader( %s ) : %s", label, Shorten(log).c_str());
    }
    return shader;
}

void cOpenGLShader::CompileShader() {
    DeleteObjects();
    try {
        if (!m_VertexSource.empty()) m_VertexShader = CompileStage(GL_VERTEX_SHADER, m_VertexSource, "vertex");
        if (!m_FragmentSource.empty()) {
            m_FragmentShader = CompileStage(GL_FRAGMENT_SHADER, m_FragmentSource, "fragment");
        }
        if (!m_VertexShader && !m_FragmentShader) return;  // fixed function for both stages

        m_Program = glCreateProgram();
        if (!m_Program) RaiseError("cOpenGLShader::CompileShader : failed to link program, no program object");
        if (m_VertexShader) glAttachShader(m_Program, m_VertexShader);
        if (m_FragmentShader) glAttachShader(m_Program, m_FragmentShader);
        glLinkProgram(m_Program);
        GLint status = GL_FALSE;
        glGetProgramiv(m_Program, GL_LINK_STATUS, &status);
        if (status != GL_TRUE) {
            GLint length = 0;
            glGetProgramiv(m_Program, GL_INFO_LOG_LENGTH, &length);
            std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
            glGetProgramInfoLog(m_Program, static_cast<GLsizei>(log.size()), nullptr, &log[0]);
            log.resize(log.find('\0') == std::string::npos ? log.size() : log.find('\0'));
            RaiseError("cOpenGLShader::CompileShader : failed to link program, %s", Shorten(log).c_str());
        }
        ReadUniforms();
        AssignSamplers();
    } catch (...) {
        DeleteObjects();
        throw;
    }
}

void cOpenGLShader::ReadUniforms() {
    GLint count = 0, longest = 0;
    glGetProgramiv(m_Program, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(m_Program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::vector<GLchar> buffer(static_cast<std::size_t>(std::max(longest, 1)) + 1, 0);
    for (GLint i = 0; i < count; ++i) {
        GLsizei length = 0;
        sUniform uniform;
        glGetActiveUniform(m_Program, static_cast<GLuint>(i), static_cast<GLsizei>(buffer.size()), &length,
                           &uniform.size, &uniform.type, buffer.data());
        std::string name(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
        if (name.compare(0, 3, "gl_") == 0) continue;
        const std::size_t bracket = name.find('[');
        if (bracket != std::string::npos) name.resize(bracket);
        uniform.location = glGetUniformLocation(m_Program, name.c_str());
        if (uniform.location >= 0) m_Uniforms[name] = uniform;
    }
}

void cOpenGLShader::AssignSamplers() {
    std::vector<std::string> order = DeclaredSamplers(m_FragmentSource);
    for (const std::string& name : DeclaredSamplers(m_VertexSource)) {
        if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
    }
    cScopedProgram use(m_Program);
    for (std::size_t stage = 0; stage < order.size(); ++stage) {
        const GLint location = glGetUniformLocation(m_Program, order[stage].c_str());
        if (location >= 0) glUniform1i(location, static_cast<GLint>(stage));
    }
}

int cOpenGLShader::GetSamplerStage(const std::string& name) const {
    if (!m_Program) return -1;
    const GLint location = glGetUniformLocation(m_Program, name.c_str());
    if (location < 0) return -1;
    GLint stage = -1;
    glGetUniformiv(m_Program, location, &stage);
    return stage;
}

const cOpenGLShader::sUniform* cOpenGLShader::FindUniform(const char* name) const {
    if (!name || !m_Program) return nullptr;
    auto it = m_Uniforms.find(name);
    return it == m_Uniforms.end() ? nullptr : &it->second;
}

// The values run through the uniform's elements: whole elements in one call, then a partial
// element merged with what it held.
template <typename tValue>
static bool WriteValues(GLuint program, bool isCurrent, const std::string& name, GLint location, GLenum type,
                        GLint size, const tValue* values, int n) {
    if (!values || n <= 0) return true;
    const sTypeInfo info = TypeInfo(type);
    const int width = info.width;
    const int whole = std::min(n / width, static_cast<int>(size));
    const int rest = whole < size ? std::min(n - whole * width, width) : 0;
    cScopedProgram use(program, isCurrent);

    auto send = [&](GLint at, const tValue* from, int elements) {
        const std::size_t total = static_cast<std::size_t>(elements) * static_cast<std::size_t>(width);
        if (info.kind == eKind::Float || info.kind == eKind::Matrix) {
            std::vector<float> floats(total);
            for (std::size_t i = 0; i < total; ++i) floats[i] = static_cast<float>(from[i]);
            SendFloats(at, type, floats.data(), elements);
        } else {
            std::vector<GLint> ints(total);
            for (std::size_t i = 0; i < total; ++i) {
                ints[i] = info.kind == eKind::Bool ? (from[i] != 0 ? 1 : 0) : static_cast<GLint>(from[i]);
            }
            SendInts(at, width, ints.data(), elements);
        }
    };
    if (whole > 0) send(location, values, whole);
    if (rest > 0) {
        const GLint at =
            whole == 0 ? location : glGetUniformLocation(program, (name + "[" + std::to_string(whole) + "]").c_str());
        if (at < 0) return true;
        std::vector<tValue> merged(static_cast<std::size_t>(width));
        if (info.kind == eKind::Float || info.kind == eKind::Matrix) {
            std::vector<float> current(static_cast<std::size_t>(width));
            glGetUniformfv(program, at, current.data());
            for (int i = 0; i < width; ++i) merged[i] = static_cast<tValue>(current[i]);
        } else {
            std::vector<GLint> current(static_cast<std::size_t>(width));
            glGetUniformiv(program, at, current.data());
            for (int i = 0; i < width; ++i) merged[i] = static_cast<tValue>(current[i]);
        }
        for (int i = 0; i < rest; ++i) merged[i] = values[whole * width + i];
        send(at, merged.data(), 1);
    }
    return true;
}

bool cOpenGLShader::Write(const char* name, const float* values, int n) {
    const sUniform* uniform = FindUniform(name);
    if (!uniform) return false;
    return WriteValues(m_Program, m_GLRenderer->GetBoundShader() == this, name, uniform->location, uniform->type,
                       uniform->size, values, n);
}

bool cOpenGLShader::WriteInts(const char* name, const int* values, int n) {
    const sUniform* uniform = FindUniform(name);
    if (!uniform) return false;
    return WriteValues(m_Program, m_GLRenderer->GetBoundShader() == this, name, uniform->location, uniform->type,
                       uniform->size, values, n);
}

bool cOpenGLShader::SetUniform(const char* name, float x, float y) {
    const float v[2] = {x, y};
    Write(name, v, 2);
    return true;
}

bool cOpenGLShader::SetUniform(const char* name, float x, float y, float z) {
    const float v[3] = {x, y, z};
    Write(name, v, 3);
    return true;
}

bool cOpenGLShader::SetUniform(const char* name, float x, float y, float z, float w) {
    const float v[4] = {x, y, z, w};
    Write(name, v, 4);
    return true;
}

bool cOpenGLShader::SetUniform(const char* name, float value) {
    Write(name, &value, 1);
    return true;
}

bool cOpenGLShader::SetUniform(const char* name, int value) {
    WriteInts(name, &value, 1);
    return true;
}

bool cOpenGLShader::SetUniform(const char* name, const float* matrix16) {
    Write(name, matrix16, 16);
    return true;
}

bool cOpenGLShader::SetUniformArray(const char* name, const float* values, int count) {
    Write(name, values, count);
    return true;
}

bool cOpenGLShader::SetUniformArray(const char* name, const cVector2* values, int count) {
    if (values && count > 0) Write(name, reinterpret_cast<const float*>(values), 2 * count);
    return true;
}

bool cOpenGLShader::SetUniformArray(const char* name, const cVector3* values, int count) {
    if (values && count > 0) Write(name, reinterpret_cast<const float*>(values), 3 * count);
    return true;
}

bool cOpenGLShader::SetUniformArray(const char* name, const cVector4* values, int count) {
    if (values && count > 0) Write(name, reinterpret_cast<const float*>(values), 4 * count);
    return true;
}

void cOpenGLShader::Bind() { glUseProgram(m_Program); }

void cOpenGLShader::Unbind() { glUseProgram(0); }

} // namespace velmora::video
