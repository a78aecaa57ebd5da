#pragma once
// Mapping of the renderer's enumerations to OpenGL and GL error reporting
// (private to the OpenGL backend).

#include <epoxy/gl.h>

namespace velmora::video::gl {

// CompareFunc 1-8 to GL comparison; 0 (and anything unknown) gives GL_ALWAYS.
GLenum CompareFunc(int func);
// BlendFactor 1-13 to GL blend factor; raises for anything else.
GLenum BlendFactor(int factor);
// StencilOp 0-5 to GL (increment and decrement wrap); raises for anything else.
GLenum StencilOp(int op);
// PrimitiveType 0-6 to GL; raises for anything else.
GLenum PrimitiveMode(int type);
// The text of a GL error code ("Unknown error code" for others).
const char* ErrorText(GLenum error);
// Logs every pending GL error as a warning "<where> : GL error 0x%04X, %s"; returns the first
// error (GL_NO_ERROR when there was none). At most a few are logged per call.
GLenum CheckErrors(const char* where);
// Drops pending errors without logging (before an operation whose own errors are checked).
void ClearErrors();
// True when the GL_RENDERER text names a rasterizer that runs on the CPU (Mesa's llvmpipe,
// softpipe and swrast, SwiftShader, Windows' GDI renderer).
bool IsSoftwareRasterizer(const char* rendererName);

} // namespace velmora::video::gl
