#pragma once
// <windows.h> for the engine's Win32 code. The header maps CopyFile,
// DeleteFile and CreateWindow to their A/W variants with macros, which would
// rename the engine's operations of the same names; the engine calls the W
// variants by their own names instead.

#include <windows.h>

#undef CopyFile
#undef DeleteFile
#undef CreateWindow
