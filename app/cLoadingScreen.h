#pragma once
// The loading screen: the splash picture in the middle of the view and a
// progress bar of 51 cells at the bottom, one whole frame per progress report
// while the scene loads. It does not own its textures.

#include <functional>

#include "engine/core/IProgressCallback.h"

namespace velmora {
class IEngine;
namespace video {
class IRenderer;
class ITexture2D;
}
} // namespace velmora

namespace brevonne {

// Raised out of the scene's loading when the run is asked to stop meanwhile: the run then ends
// as it would after a key press, without an error.
struct sLoadingStopped {};

class cLoadingScreen : public velmora::IProgressCallback {
public:
    static constexpr int kLastCell = 50;
    static constexpr int kCellSize = 8;
    // The bar starts this far left of the view's centre.
    static constexpr int kBarOffset = 200;

    // Which cells a progress value draws: lit cells 0 .. lit - 1 in the progress texture, then
    // cells kLastCell down to firstEmpty in the empty-cell texture (none when firstEmpty is
    // beyond kLastCell).
    struct sCells {
        int lit = 0;
        int firstEmpty = kLastCell + 1;
    };
    // n = fraction x 50: cells 0 .. floor(n) are lit when n >= 0, cells above n are empty. A
    // fraction above 1 lights cells past the bar's end, up to the right edge of a view
    // `viewWidth` wide (so no value makes the bar endless); a negative one lights none.
    static sCells GetCells(float fraction, int viewWidth);
    // Left edge of cell k.
    static int GetCellX(int cell, int viewWidth) { return viewWidth / 2 - kBarOffset + kCellSize * cell; }

    // engine: gives the view size; the textures may be null.
    cLoadingScreen(velmora::IEngine* engine, velmora::video::IRenderer* renderer, velmora::video::ITexture2D* progress,
                   velmora::video::ITexture2D* splash, velmora::video::ITexture2D* empty);

    // Draws and presents one frame of the loading screen at the engine's view size; nothing
    // without the splash or the progress-cell texture.
    void OnProgress(float fraction) override;
    // The same for a given view size.
    void Draw(float fraction, int viewWidth, int viewHeight);
    // Called with the finished frame just before it is presented (frame captures).
    void SetBeforePresent(std::function<void()> hook) { m_BeforePresent = std::move(hook); }
    // Consulted at every progress report; when it says so, OnProgress raises sLoadingStopped.
    void SetStopCheck(std::function<bool()> check) { m_StopCheck = std::move(check); }

private:
    velmora::IEngine* m_Engine;
    velmora::video::IRenderer* m_Renderer;
    velmora::video::ITexture2D* m_Progress;
    velmora::video::ITexture2D* m_Splash;
    velmora::video::ITexture2D* m_Empty;
    std::function<void()> m_BeforePresent;
    std::function<bool()> m_StopCheck;
};

} // namespace brevonne
