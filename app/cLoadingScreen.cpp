#include "app/cLoadingScreen.h"

#include <algorithm>
#include <cmath>

#include "engine/IEngine.h"
#include "video/IRenderer.h"
#include "video/ITexture.h"

namespace brevonne {

using namespace velmora;
using namespace velmora::video;

cLoadingScreen::sCells cLoadingScreen::GetCells(float fraction, int viewWidth) {
    sCells cells;
    const double n = static_cast<double>(fraction) * kLastCell;
    if (n >= 0.0) {
        // Cells that still start inside the view, never fewer than the bar's own.
        const int inView = (viewWidth - GetCellX(0, viewWidth) + kCellSize - 1) / kCellSize;
        const int most = std::max(kLastCell + 1, inView);
        cells.lit = n >= most ? most : static_cast<int>(std::floor(n)) + 1;
    }
    if (n < kLastCell) {
        cells.firstEmpty = n >= 0.0 ? static_cast<int>(std::floor(n)) + 1 : 0;
    }
    return cells;
}

cLoadingScreen::cLoadingScreen(IEngine* engine, IRenderer* renderer, ITexture2D* progress, ITexture2D* splash,
                               ITexture2D* empty)
    : m_Engine(engine), m_Renderer(renderer), m_Progress(progress), m_Splash(splash), m_Empty(empty) {}

void cLoadingScreen::OnProgress(float fraction) {
    if (m_StopCheck && m_StopCheck()) {
        throw sLoadingStopped();
    }
    if (!m_Engine) return;
    Draw(fraction, m_Engine->GetViewWidth(), m_Engine->GetViewHeight());
}

void cLoadingScreen::Draw(float fraction, int viewWidth, int viewHeight) {
    if (!m_Renderer || !m_Splash || !m_Progress) return;
    IRenderer& r = *m_Renderer;
    const cColor white(255, 255, 255, 255);
    r.BeginFrame();
    r.SetProjection(PROJ_ORTHOGRAPHIC, 0, 0, 0.01, 1000.0, -1.0, -1.0);
    r.SetBlendFunc(BF_SRC_ALPHA, BF_INV_SRC_ALPHA);

    const int w = static_cast<int>(m_Splash->GetImageWidth());
    const int h = static_cast<int>(m_Splash->GetImageHeight());
    const float x1 = static_cast<float>(viewWidth / 2 - w / 2);
    const float y1 = static_cast<float>(viewHeight / 2 - h / 2);
    r.RenderRect(m_Splash, cRect(x1, y1, x1 + w, y1 + h), cRect(0.0f, 1.0f, 1.0f, 0.0f), white);

    const sCells cells = GetCells(fraction, viewWidth);
    auto cell = [&](int k) {
        const float x = static_cast<float>(GetCellX(k, viewWidth));
        r.RenderRect(nullptr, cRect(x, 10.0f, x + kCellSize, 18.0f), cRect(0.0f, 0.0f, 1.0f, 1.0f), white);
    };
    r.SetTexture(m_Progress, 0);
    for (int k = 0; k < cells.lit; ++k) cell(k);
    r.SetTexture(m_Empty, 0);
    for (int k = kLastCell; k >= cells.firstEmpty; --k) cell(k);

    r.SetTexture(nullptr, 0);
    r.SetBlendFunc(BF_NONE, BF_NONE);
    r.SetProjection(PROJ_PERSPECTIVE, 0, 0, 0.01, 1000.0, -1.0, -1.0);
    if (m_BeforePresent) m_BeforePresent();
    r.EndFrame();
}

} // namespace brevonne
