#pragma once
// The GUI manager (see IGUIManager.h for the contract).
//
// Windows and controls destroyed while input, update or drawing is being
// handled (by an event handler, say) are only taken out of the tree then;
// they are deleted when the manager's operation returns, so the code still
// running on them stays safe.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/IGUIManager.h"
#include "gui/cSkin.h"

namespace velmora {
class IFile;
}
namespace velmora::script {
class IScriptEnv;
}

namespace velmora::gui {

class cControl;
class cWindow;
class cGUIScript;

class cGUIManager : public IGUIManager {
public:
    // Script memory of "guiScript".
    static constexpr std::int32_t kScriptMemory = 256;

    // Takes the script environment (released with the manager); without one there is no script.
    explicit cGUIManager(script::IScriptEnv* env);
    ~cGUIManager() override;
    cGUIManager(const cGUIManager&) = delete;
    cGUIManager& operator=(const cGUIManager&) = delete;

    void Release() override;
    void Update() override;
    void Render() override;
    void OnKeyDown(int code) override;
    void OnChar(int character) override;
    void OnLeftButtonDown(float x, float y) override;
    void OnLeftButtonUp(float x, float y) override;
    void OnRightButtonDown(float x, float y) override;
    void OnRightButtonUp(float x, float y) override;
    void OnMouseMove(float x, float y) override;
    IWindow* CreateDialog(const char* name, std::uint32_t flags) override;
    bool DestroyDialog(IWindow* window) override;
    IWindow* FindWindow(const char* name) override;
    IControl* FindControl(const char* key) override;
    void SetFocusedWindow(IWindow* window) override;
    IWindow* GetFocusedWindow() const override;
    std::int32_t GetWindowCount() const override { return static_cast<std::int32_t>(m_Windows.size()); }
    IWindow* GetWindow(std::int32_t index) const override;
    bool LoadGUI(const char* path) override;
    bool SaveGUI(const char* path) override;
    script::IScript* GetScript() override;
    void SetRenderer(video::IRenderer* renderer) override { m_Renderer = renderer; }
    void SetViewSize(float width, float height) override;

    // ---- Toolkit ------------------------------------------------------------------------------
    cGUIScript* GetGUIScript() const { return m_Script.get(); }
    // The last mouse position the manager heard of; false before any.
    bool GetMousePosition(float& x, float& y) const {
        x = m_MouseX;
        y = m_MouseY;
        return m_MouseKnown;
    }
    cSkin& GetSkin() { return m_Skin; }
    // The windows in list order.
    std::vector<cWindow*> GetWindows() const;
    cWindow* FindWindowImpl(const std::string& name) const;
    // A window was clicked: it becomes the focused window.
    void ActivateWindow(cWindow* window);
    // Where a dragged dockable window lands: edges within its docking threshold of the view's edges or of
    // another visible window's edges snap to them.
    cRect Dock(const cWindow* window, const cRect& rect) const;
    // Deletes a control or window taken out of the tree, later when input is being handled.
    void Dispose(std::unique_ptr<cControl> control);
    // Reads dialogs from an open binary file (records of one byte 1, a name and a window).
    void ReadBinary(IFile* file);
    // Registers the controls of a window read from a file in the script.
    void RegisterLoaded(cWindow* window);
    // Writes every window as binary records.
    void WriteBinary(IFile* file) const;

private:
    // Marks the span of one outside call; deletes disposed controls at the end of the outermost one.
    class cDispatch {
    public:
        explicit cDispatch(cGUIManager& manager);
        ~cDispatch();

    private:
        cGUIManager& m_Manager;
    };

    video::IRenderer* FindRenderer() const;
    void FlushDisposed();
    std::vector<cWindow*> KeyOrder() const;

    script::IScriptEnv* m_Env = nullptr;
    std::unique_ptr<cGUIScript> m_Script;
    std::vector<std::unique_ptr<cWindow>> m_Windows;
    cWindow* m_Focused = nullptr;
    cWindow* m_CaptureWindow = nullptr;
    std::vector<std::unique_ptr<cControl>> m_Disposed;
    std::int32_t m_DispatchDepth = 0;
    cSkin m_Skin;
    video::IRenderer* m_Renderer = nullptr;
    float m_ViewWidth = 0.0f, m_ViewHeight = 0.0f;
    bool m_ViewSizeSet = false;
    float m_MouseX = -1.0f, m_MouseY = -1.0f;
    bool m_MouseKnown = false;
};

} // namespace velmora::gui
