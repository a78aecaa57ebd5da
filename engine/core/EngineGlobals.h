#pragma once
// The process-wide pointers: the one engine, its file system and its input.
// Set by engine creation, cleared when the engine goes away.

namespace velmora {

class IEngine;
class IFileSystem;
class IInput;

// The current engine, or null.
IEngine* GetEngine();
// The current engine's file system, or null.
IFileSystem* GetFileSystem();
// The current engine's input, or null.
IInput* GetInput();

// Used by engine creation and destruction only.
void SetEngineGlobals(IEngine* engine, IFileSystem* fileSystem, IInput* input);

} // namespace velmora
