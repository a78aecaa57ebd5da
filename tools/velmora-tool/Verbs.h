#pragma once
// The verbs of velmora-tool. Each verb lives in its own file (Verb<Name>.cpp)
// as a thin wrapper over engine code and is registered by one line in kVerbs.
// Adding a verb: write the file, declare its Run function here, add the line.
//
// A verb gets the arguments after its name and returns the process exit
// status: 0 success, 1 failure (reported on standard error), 2 bad usage.
// Engine log output is sent to standard error, so standard output carries
// only what the verb produces.

#include <cstddef>

namespace velmora::tool {

using VerbFunction = int (*)(int argc, char** argv);

struct sVerb {
    const char* name;
    const char* arguments;
    const char* summary;
    VerbFunction run;
};

int RunZipLs(int argc, char** argv);
int RunZipCat(int argc, char** argv);
int RunSound(int argc, char** argv);
int RunImage(int argc, char** argv);
int RunMesh(int argc, char** argv);
int RunScene(int argc, char** argv);
int RunTerrain(int argc, char** argv);

inline constexpr sVerb kVerbs[] = {
    {"zip-ls", "<archive>", "list the entries of a ZIP archive as the file system sees them", RunZipLs},
    {"zip-cat", "<archive> <entry>", "write one archive entry to standard output (letter case ignored)", RunZipCat},
    {"sound", "<in.wav|in.ogg> <out.wav>", "decode a sound as the engine does and write it as 16-bit PCM WAV",
     RunSound},
    {"image", "<in.tga|in.dds|in.jpg> <out.png|out.ppm> [cube face 0-5]",
     "decode an image with the engine's loaders and write level 0 as PNG or PPM, top row first", RunImage},
    {"mesh", "<file.mesh>", "load a static mesh and print its parts, vertex and triangle counts, bounds and textures",
     RunMesh},
    {"scene", "<folder> | resave <in-folder> <out-folder>",
     "print what a scene folder holds, or read it and write it back with the engine's writer", RunScene},
    {"terrain", "<file.terrain>", "read a terrain file and print its sizes, maps, layers and vegetation", RunTerrain},
};

// Prints "usage: velmora-tool <verb> <arguments>" for one verb to standard error; returns 2.
int PrintVerbUsage(const sVerb& verb);
// The registered verb of that name, or null.
const sVerb* FindVerb(const char* name);

} // namespace velmora::tool
