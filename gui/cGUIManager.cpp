#include "gui/cGUIManager.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "engine/IEngine.h"
#include "engine/IInput.h"
#include "engine/core/EngineGlobals.h"
#include "engine/core/Log.h"
#include "engine/core/cException.h"
#include "engine/filesystem/IFile.h"
#include "gui/GUIFileIO.h"
#include "gui/cGUIExporter.h"
#include "gui/cGUIParser.h"
#include "gui/cGUIScript.h"
#include "gui/cWindow.h"
#include "script/IScript.h"
#include "script/IScriptEnv.h"
#include "video/IRenderer.h"

namespace velmora::gui {

namespace {

// Releases a file when leaving the scope.
struct sFileGuard {
    IFile* file;
    ~sFileGuard() {
        if (file) file->Release();
    }
};

} // namespace

cGUIManager::cDispatch::cDispatch(cGUIManager& manager) : m_Manager(manager) { ++m_Manager.m_DispatchDepth; }

cGUIManager::cDispatch::~cDispatch() {
    if (--m_Manager.m_DispatchDepth == 0) m_Manager.FlushDisposed();
}

cGUIManager::cGUIManager(script::IScriptEnv* env) : m_Env(env) {
    if (!env) return;
    script::IScript* script = env->CreateScript("guiScript", kScriptMemory);
    if (script) m_Script = std::make_unique<cGUIScript>(env, script);
}

cGUIManager::~cGUIManager() {
    m_Focused = nullptr;
    m_CaptureWindow = nullptr;
    for (std::unique_ptr<cWindow>& window : m_Windows) window->DetachFromManager();
    m_Windows.clear();
    m_Disposed.clear();
    m_Skin.Unload();
    m_Script.reset();
    if (m_Env) m_Env->Release();
    m_Env = nullptr;
}

void cGUIManager::Release() { delete this; }

void cGUIManager::FlushDisposed() {
    // Deleting may dispose more (nothing should, but stay safe): swap until empty.
    while (!m_Disposed.empty()) {
        std::vector<std::unique_ptr<cControl>> doomed;
        doomed.swap(m_Disposed);
        doomed.clear();
    }
}

void cGUIManager::Dispose(std::unique_ptr<cControl> control) {
    if (!control) return;
    m_Disposed.push_back(std::move(control));
    if (m_DispatchDepth == 0) FlushDisposed();
}

std::vector<cWindow*> cGUIManager::GetWindows() const {
    std::vector<cWindow*> out;
    out.reserve(m_Windows.size());
    for (const std::unique_ptr<cWindow>& window : m_Windows) out.push_back(window.get());
    return out;
}

IWindow* cGUIManager::GetWindow(std::int32_t index) const {
    if (index < 0 || index >= GetWindowCount()) return nullptr;
    return m_Windows[static_cast<std::size_t>(index)].get();
}

cWindow* cGUIManager::FindWindowImpl(const std::string& name) const {
    for (const std::unique_ptr<cWindow>& window : m_Windows) {
        if (window->GetName() == name) return window.get();
    }
    return nullptr;
}

IWindow* cGUIManager::FindWindow(const char* name) { return name ? FindWindowImpl(name) : nullptr; }

IWindow* cGUIManager::CreateDialog(const char* name, std::uint32_t flags) {
    LogMessage("Creating dialog '%s'... ", name ? name : "");
    if (!name || !*name || std::strstr(name, "::")) {
        LogWarning("invalid dialog name\n");
        return nullptr;
    }
    if (FindWindowImpl(name)) {
        LogWarning("dialog with the same name found\n");
        return nullptr;
    }
    std::unique_ptr<cWindow> window(new (std::nothrow) cWindow(this));
    if (!window) {
        LogWarning("failed to allocate memory\n");
        return nullptr;
    }
    window->SetName(name);
    window->SetVisible((flags & DF_HIDDEN) == 0);
    window->SetEnabled((flags & DF_DISABLED) == 0);
    window->SetDragable((flags & DF_DRAGABLE) != 0);
    window->SetDockable((flags & DF_DOCKABLE) != 0);
    window->SetEventHandler(WE_ACTIVATE, tEventHandler([this](IControl* sender) {
                                if (auto* w = dynamic_cast<cWindow*>(sender); w && w->GetManagerImpl() == this) {
                                    ActivateWindow(w);
                                }
                            }));
    cWindow* raw = window.get();
    m_Windows.push_back(std::move(window));
    LogMessage("succeeded\n");
    raw->SelfRegister(m_Script.get());
    return raw;
}

bool cGUIManager::DestroyDialog(IWindow* window) {
    for (auto it = m_Windows.begin(); it != m_Windows.end(); ++it) {
        if (static_cast<IWindow*>(it->get()) != window) continue;
        std::unique_ptr<cWindow> owned = std::move(*it);
        m_Windows.erase(it);
        if (m_Focused == owned.get()) m_Focused = nullptr;
        if (m_CaptureWindow == owned.get()) m_CaptureWindow = nullptr;
        owned->Deactivate();
        owned->DetachFromManager();
        Dispose(std::move(owned));
        return true;
    }
    return false;
}

IControl* cGUIManager::FindControl(const char* key) {
    const char* separator = key ? std::strstr(key, "::") : nullptr;
    if (!separator) {
        LogWarning("cGUIManager::FindControl : invalid key '%s'\n", key ? key : "");
        return nullptr;
    }
    const std::string windowName(key, static_cast<std::size_t>(separator - key));
    const std::string controlName(separator + 2);
    cWindow* window = FindWindowImpl(windowName);
    if (!window) {
        LogWarning("cGUIManager::FindControl : window '%s' not found\n", windowName.c_str());
        return nullptr;
    }
    IControl* control = window->FindControl(controlName.c_str());
    if (!control) {
        LogWarning("cGUIManager::FindControl : control '%s::%s' not found\n", windowName.c_str(), controlName.c_str());
    }
    return control;
}

void cGUIManager::SetFocusedWindow(IWindow* window) {
    if (!window) {
        if (m_Focused) m_Focused->Deactivate();
        m_Focused = nullptr;
        return;
    }
    auto it = std::find_if(m_Windows.begin(), m_Windows.end(),
                           [window](const std::unique_ptr<cWindow>& w) { return static_cast<IWindow*>(w.get()) == window; });
    if (it == m_Windows.end()) {
        RaiseError("cGUIManager::SetFocusedWindow : window '%s' not found", window->GetName().c_str());
    }
    cWindow* target = it->get();
    if (m_Focused && m_Focused != target) m_Focused->Deactivate();
    std::rotate(m_Windows.begin(), it, it + 1);
    m_Focused = target;
}

IWindow* cGUIManager::GetFocusedWindow() const { return m_Focused; }

void cGUIManager::ActivateWindow(cWindow* window) {
    if (window && window->GetManagerImpl() == this) SetFocusedWindow(window);
}

void cGUIManager::SetViewSize(float width, float height) {
    m_ViewSizeSet = width > 0.0f && height > 0.0f;
    m_ViewWidth = m_ViewSizeSet ? width : 0.0f;
    m_ViewHeight = m_ViewSizeSet ? height : 0.0f;
}

cRect cGUIManager::Dock(const cWindow* window, const cRect& rect) const {
    const float threshold = window->GetDockingThreshold();
    if (!(threshold > 0.0f)) return rect;
    const float w = rect.x2 - rect.x1, h = rect.y2 - rect.y1;
    float bestX = threshold + 1.0f, bestY = threshold + 1.0f;
    float x = rect.x1, y = rect.y1;
    // Moves an edge onto a target when it is nearer than anything found so far.
    auto tryX = [&](float edge, float target, float offset) {
        const float d = std::fabs(edge - target);
        if (d <= threshold && d < bestX) {
            bestX = d;
            x = target - offset;
        }
    };
    auto tryY = [&](float edge, float target, float offset) {
        const float d = std::fabs(edge - target);
        if (d <= threshold && d < bestY) {
            bestY = d;
            y = target - offset;
        }
    };
    if (m_ViewWidth > 0.0f && m_ViewHeight > 0.0f) {
        tryX(rect.x1, 0.0f, 0.0f);
        tryX(rect.x2, m_ViewWidth, w);
        tryY(rect.y1, 0.0f, 0.0f);
        tryY(rect.y2, m_ViewHeight, h);
    }
    for (const std::unique_ptr<cWindow>& other : m_Windows) {
        if (other.get() == window || !other->IsVisible()) continue;
        const cRect o = other->GetRect().Normalized();
        const bool overlapY = rect.y1 <= o.y2 + threshold && o.y1 <= rect.y2 + threshold;
        const bool overlapX = rect.x1 <= o.x2 + threshold && o.x1 <= rect.x2 + threshold;
        if (overlapY) {
            tryX(rect.x1, o.x2, 0.0f);
            tryX(rect.x2, o.x1, w);
            tryX(rect.x1, o.x1, 0.0f);
            tryX(rect.x2, o.x2, w);
        }
        if (overlapX) {
            tryY(rect.y1, o.y2, 0.0f);
            tryY(rect.y2, o.y1, h);
            tryY(rect.y1, o.y1, 0.0f);
            tryY(rect.y2, o.y2, h);
        }
    }
    return cRect(x, y, x + w, y + h);
}

// ---- Input -------------------------------------------------------------------------------------

std::vector<cWindow*> cGUIManager::KeyOrder() const {
    std::vector<cWindow*> order;
    if (m_Focused) order.push_back(m_Focused);
    for (const std::unique_ptr<cWindow>& window : m_Windows) {
        if (window.get() != m_Focused) order.push_back(window.get());
    }
    return order;
}

void cGUIManager::OnKeyDown(int code) {
    cDispatch dispatch(*this);
    for (cWindow* window : KeyOrder()) {
        if (window->GetManagerImpl() != this) continue;
        if (window->HandleKeyDown(code, window == m_Focused)) break;
    }
}

void cGUIManager::OnChar(int character) {
    cDispatch dispatch(*this);
    for (cWindow* window : KeyOrder()) {
        if (window->GetManagerImpl() != this) continue;
        if (window->HandleChar(character)) break;
    }
}

void cGUIManager::OnLeftButtonDown(float x, float y) {
    cDispatch dispatch(*this);
    OnMouseMove(x, y);
    m_CaptureWindow = nullptr;
    for (cWindow* window : GetWindows()) {
        if (window->GetManagerImpl() != this || !window->IsVisible()) continue;
        if (window->HandleLeftButtonDown(x, y)) {
            if (window->GetManagerImpl() == this && window->HasMouseCapture()) m_CaptureWindow = window;
            break;
        }
    }
}

void cGUIManager::OnLeftButtonUp(float x, float y) {
    cDispatch dispatch(*this);
    OnMouseMove(x, y);
    // The window holding the mouse hears of the release wherever it happens.
    if (cWindow* capture = m_CaptureWindow) {
        m_CaptureWindow = nullptr;
        if (capture->HandleLeftButtonUp(x, y)) return;
    }
    for (cWindow* window : GetWindows()) {
        if (window->GetManagerImpl() != this || !window->IsVisible()) continue;
        if (window->HandleLeftButtonUp(x, y)) break;
    }
}

void cGUIManager::OnRightButtonDown(float x, float y) {
    cDispatch dispatch(*this);
    for (cWindow* window : GetWindows()) {
        if (window->GetManagerImpl() != this) continue;
        if (window->HandleRightButtonDown(x, y)) break;
    }
}

void cGUIManager::OnRightButtonUp(float x, float y) {
    cDispatch dispatch(*this);
    for (cWindow* window : GetWindows()) {
        if (window->GetManagerImpl() != this) continue;
        if (window->HandleRightButtonUp(x, y)) break;
    }
}

void cGUIManager::OnMouseMove(float x, float y) {
    cDispatch dispatch(*this);
    m_MouseX = x;
    m_MouseY = y;
    m_MouseKnown = true;
    if (m_CaptureWindow && m_CaptureWindow->GetManagerImpl() == this) m_CaptureWindow->HandleMouseMove(x, y);
    bool found = false;
    for (cWindow* window : GetWindows()) {
        if (window->GetManagerImpl() != this) continue;
        const bool inside = !found && window->IsVisible() && window->IsUnder(x, y);
        window->UpdateHover(x, y, inside);
        found = found || inside;
    }
}

// ---- Frame -------------------------------------------------------------------------------------

void cGUIManager::Update() {
    cDispatch dispatch(*this);
    IEngine* engine = GetEngine();
    const float seconds = engine ? engine->GetFrameTime() : 0.0f;
    if (IInput* input = GetInput()) {
        const cVector2 mouse = input->GetMousePosition();
        if (!m_MouseKnown || mouse.x != m_MouseX || mouse.y != m_MouseY) OnMouseMove(mouse.x, mouse.y);
    }
    for (cWindow* window : GetWindows()) {
        if (window->GetManagerImpl() == this && window->IsVisible() && window->IsEnabled()) window->Update(seconds);
    }
}

video::IRenderer* cGUIManager::FindRenderer() const {
    if (m_Renderer) return m_Renderer;
    IEngine* engine = GetEngine();
    return engine ? engine->GetRenderer() : nullptr;
}

void cGUIManager::Render() {
    cDispatch dispatch(*this);
    video::IRenderer* renderer = FindRenderer();
    if (!renderer) return;
    m_Skin.Load(renderer);
    int x = 0, y = 0, width = 0, height = 0;
    renderer->GetViewportRect(x, y, width, height);
    if (!m_ViewSizeSet) {
        m_ViewWidth = static_cast<float>(width);
        m_ViewHeight = static_cast<float>(height);
    }
    m_Skin.BeginFrame(width, height);
    // Back to front: the focused window, first in the list, ends on top.
    const std::vector<cWindow*> windows = GetWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->IsVisible()) (*it)->Render(m_Skin);
    }
    m_Skin.EndFrame();
}

// ---- Files -------------------------------------------------------------------------------------

bool cGUIManager::LoadGUI(const char* path) {
    cDispatch dispatch(*this);
    try {
        if (!path || !*path) {
            RaiseError("invalid file name");
        }
        if (std::strstr(path, ".bingui")) {
            IFile* file = OpenDialogFile(path, nullptr);
            if (!file) {
                RaiseError("file '%s' not found", path);
            }
            sFileGuard guard{file};
            ReadBinary(file);
        } else {
            cGUIParser parser(*this);
            parser.ParseFile(path);
        }
        return true;
    } catch (const cException& e) {
        LogWarning("cGUIManager::LoadGUI : %s\n", e.GetText());
        return false;
    }
}

bool cGUIManager::SaveGUI(const char* path) {
    try {
        if (!path || !*path) {
            RaiseError("invalid file name");
        }
        if (std::strstr(path, ".bingui")) {
            IFile* file = OpenDialogFile(path, "wb");
            if (!file) {
                RaiseError("failed to open file '%s'", path);
            }
            sFileGuard guard{file};
            WriteBinary(file);
        } else {
            cGUIExporter::Export(GetWindows(), path);
        }
        return true;
    } catch (const cException& e) {
        LogWarning("cGUIManager::SaveGUI : %s\n", e.GetText());
        return false;
    }
}

void cGUIManager::ReadBinary(IFile* file) {
    for (;;) {
        std::uint8_t marker = 0;
        if (file->Read(&marker, 1, 1) != 1 || marker != 1) break;
        const std::string name = ReadText(file, "cGUIManager::LoadGUI");
        auto* window = dynamic_cast<cWindow*>(CreateDialog(name.c_str(), 0));
        if (!window) {
            RaiseError("cGUIManager::LoadGUI : failed to create dialog '%s'", name.c_str());
        }
        // A window that cannot be read completely is removed with whatever it holds.
        try {
            window->SetLoading(true);
            window->ReadFromFile(file, 0);
            window->SetLoading(false);
        } catch (...) {
            DestroyDialog(window);
            throw;
        }
        RegisterLoaded(window);
    }
}

void cGUIManager::WriteBinary(IFile* file) const {
    for (const std::unique_ptr<cWindow>& window : m_Windows) {
        const std::uint8_t marker = 1;
        if (file->Write(&marker, 1, 1) != 1) {
            RaiseError("failed to write");
        }
        WriteText(file, window->GetName());
        window->WriteToFile(file);
    }
}

void cGUIManager::RegisterLoaded(cWindow* window) {
    // Without a script the window's creation has said so already.
    if (m_Script) window->SelfRegister(m_Script.get());
}

script::IScript* cGUIManager::GetScript() { return m_Script ? m_Script->GetScript() : nullptr; }

} // namespace velmora::gui
