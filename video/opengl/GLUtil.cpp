#include "video/opengl/GLUtil.h"

#include <cstring>

#include "engine/core/Log.h"
#include "engine/core/cException.h"

namespace velmora::video::gl {

GLenum CompareFunc(int func) {
    static const GLenum kMap[9] = {GL_ALWAYS, GL_NEVER,  GL_LESS,     GL_EQUAL, GL_LEQUAL,
                                   GL_GREATER, GL_GEQUAL, GL_NOTEQUAL, GL_ALWAYS};
    return func >= 0 && func <= 8 ? kMap[func] : GL_ALWAYS;
}

GLenum BlendFactor(int factor) {
    static const GLenum kMap[14] = {GL_ZERO,
                                    GL_ZERO,
                                    GL_ONE,
                                    GL_SRC_COLOR,
                                    GL_ONE_MINUS_SRC_COLOR,
                                    GL_DST_COLOR,
                                    GL_ONE_MINUS_DST_COLOR,
                                    GL_SRC_ALPHA,
                                    GL_ONE_MINUS_SRC_ALPHA,
                                    GL_DST_ALPHA,
                                    GL_ONE_MINUS_DST_ALPHA,
                                    GL_SRC_ALPHA_SATURATE,
                                    GL_CONSTANT_COLOR,
                                    GL_ONE_MINUS_CONSTANT_COLOR};
    if (factor < 1 || factor > 13) RaiseError("cOpenGLRenderer::SetBlendFunc : invalid blend factor %d", factor);
    return kMap[factor];
}

GLenum StencilOp(int op) {
    static const GLenum kMap[6] = {GL_KEEP, GL_ZERO, GL_REPLACE, GL_INCR_WRAP, GL_DECR_WRAP, GL_INVERT};
    if (op < 0 || op > 5) RaiseError("cOpenGLRenderer::SetStencilOp : invalid stencil operation %d", op);
    return kMap[op];
}

GLenum PrimitiveMode(int type) {
    static const GLenum kMap[7] = {GL_POINTS,         GL_LINES,          GL_LINE_STRIP, GL_TRIANGLES,
                                   GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN,   GL_QUADS};
    if (type < 0 || type > 6) RaiseError("cOpenGLRenderer::PrimCount : unhandled primitive type");
    return kMap[type];
}

const char* ErrorText(GLenum error) {
    switch (error) {
        case GL_NO_ERROR: return "No error occurred.";
        case GL_INVALID_ENUM: return "An unacceptable value was specified for an enumerated argument";
        case GL_INVALID_VALUE: return "A numeric argument is out of range";
        case GL_INVALID_OPERATION: return "The specified operation is not allowed in the current state";
        case GL_STACK_OVERFLOW: return "This command would cause a stack overflow";
        case GL_STACK_UNDERFLOW: return "This command would cause a stack underflow";
        case GL_OUT_OF_MEMORY: return "There is not enough memory left to execute the command";
        case GL_INVALID_FRAMEBUFFER_OPERATION: return "The framebuffer object is not complete";
        default: return "Unknown error code";
    }
}

GLenum CheckErrors(const char* where) {
    GLenum first = GL_NO_ERROR;
    for (int i = 0; i < 8; ++i) {
        const GLenum error = glGetError();
        if (error == GL_NO_ERROR) break;
        if (first == GL_NO_ERROR) first = error;
        LogWarning("%s : GL error 0x%04X, %s\n", where, static_cast<unsigned>(error), ErrorText(error));
    }
    return first;
}

void ClearErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

bool IsSoftwareRasterizer(const char* rendererName) {
    if (!rendererName) {
        return false;
    }
    static const char* const kNames[] = {"llvmpipe", "softpipe", "swrast", "SwiftShader", "GDI Generic"};
    for (const char* name : kNames) {
        if (std::strstr(rendererName, name)) {
            return true;
        }
    }
    return false;
}

} // namespace velmora::video::gl
