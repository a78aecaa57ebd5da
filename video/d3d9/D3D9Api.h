#pragma once
// <d3d9.h> for the Direct3D 9 backend. It brings <windows.h>, whose macros
// would rename engine names: CreateFont and CreateWindow (engine operations) and CM_NONE
// (the engine's cull mode) go again.

#include <d3d9.h>

#undef CreateFont
#undef CM_NONE
#undef CreateWindow
