// ".fnt" fonts: the reader, then measuring and printing with what it read.
#include "engine/core/cException.h"
#include "fuzz/FuzzSupport.h"
#include "scene/support/cNullRenderer.h"
#include "video/cCommonFont.h"

namespace {

// A font that draws nothing; its atlas is a stand-in texture of the null renderer.
class cFuzzFont : public velmora::video::cCommonFont {
public:
    explicit cFuzzFont(velmora::scene::test::cNullRenderer& renderer) : cCommonFont(nullptr, &renderer), m_Null(renderer) {}
    void DrawGlyph(int, float, float) override {}

protected:
    velmora::video::ITexture2D* CreateAtlas(const std::uint8_t*, int, int) override {
        return m_Null.CreateTexture("atlas");
    }

private:
    velmora::scene::test::cNullRenderer& m_Null;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    static scene::test::cNullRenderer renderer;
    fuzz::cInputFile file(data, size);
    cFuzzFont font(renderer);
    try {
        font.Create(file.Get());
        cRect box;
        font.GetTextSize(box, "Brevonne\t3D\n\x7f\x80\xff");
        font.Print(1.5f, 2.5f, "Brevonne\t3D\nline two \x01\x1f\x80");
    } catch (const cException&) {
    }
    return 0;
}
