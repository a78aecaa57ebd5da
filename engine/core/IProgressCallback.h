#pragma once
// Progress of a long operation (scene loading reports through it; the
// screensaver's loading screen draws it).

namespace velmora {

class IProgressCallback {
public:
    virtual ~IProgressCallback() = default;
    // fraction: 0 at the start, 1 when done.
    virtual void OnProgress(float fraction) = 0;
};

} // namespace velmora
