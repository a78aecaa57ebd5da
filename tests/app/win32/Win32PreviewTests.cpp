// The preview that Windows' Screen Saver Settings page asks for with
// "/p HWND": the screensaver program draws the flight into a window this
// test makes, at that window's size, and ends when the window is destroyed.
// The test waits on the program's process handle (with a deadline) while it
// pumps its own window's messages, never on a fixed sleep.

#include <gtest/gtest.h>

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace brevonne {
namespace {

// The build folder as the test runner names it (a Windows path), or empty.
std::wstring BuildFolder() {
    const char* folder = std::getenv("VELMORA_BINARY_DIR");
    return folder ? std::wstring(folder, folder + std::strlen(folder)) : std::wstring();
}

// The pictures the screensaver captures: one IDAT stream of unfiltered 8-bit RGBA rows.
bool DecodeCapture(const std::wstring& path, int& width, int& height, std::vector<std::uint8_t>& rgba) {
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto be32 = [&](std::size_t at) {
        return (std::uint32_t(file[at]) << 24) | (std::uint32_t(file[at + 1]) << 16) |
               (std::uint32_t(file[at + 2]) << 8) | std::uint32_t(file[at + 3]);
    };
    if (file.size() < 33) {
        return false;
    }
    width = static_cast<int>(be32(16));
    height = static_cast<int>(be32(20));
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 8; at + 12 <= file.size();) {
        const std::uint32_t length = be32(at);
        if (at + 12 + length > file.size()) {
            return false;
        }
        if (std::string(file.begin() + at + 4, file.begin() + at + 8) == "IDAT") {
            packed.insert(packed.end(), file.begin() + at + 8, file.begin() + at + 8 + length);
        }
        at += 12 + length;
    }
    const std::size_t stride = static_cast<std::size_t>(width) * 4 + 1;
    std::vector<std::uint8_t> raw(stride * static_cast<std::size_t>(height));
    uLongf size = static_cast<uLongf>(raw.size());
    if (width <= 0 || height <= 0 ||
        uncompress(raw.data(), &size, packed.data(), static_cast<uLong>(packed.size())) != Z_OK || size != raw.size()) {
        return false;
    }
    rgba.clear();
    for (int row = 0; row < height; ++row) {
        if (raw[row * stride] != 0) {
            return false;
        }
        rgba.insert(rgba.end(), raw.begin() + row * stride + 1, raw.begin() + (row + 1) * stride);
    }
    return true;
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window like the settings page's preview monitor, and the screensaver program run on it.
class Win32Preview : public ::testing::Test {
protected:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 240;

    void SetUp() override {
        m_Program = BuildFolder() + L"\\brevonne3d.scr";
        if (BuildFolder().empty() || GetFileAttributesW(m_Program.c_str()) == INVALID_FILE_ATTRIBUTES) {
            GTEST_SKIP() << "no brevonne3d.scr in the build folder";
        }
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ParentProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = L"BrevonnePreviewTest";
        RegisterClassW(&windowClass);
        RECT size = {0, 0, kWidth, kHeight};
        AdjustWindowRect(&size, WS_OVERLAPPEDWINDOW, FALSE);
        m_Parent = CreateWindowExW(0, L"BrevonnePreviewTest", L"Preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                   size.right - size.left, size.bottom - size.top, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_Parent, nullptr);
    }
    void TearDown() override {
        if (m_Process.hProcess) {
            if (WaitForSingleObject(m_Process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(m_Process.hProcess, 99);
            }
            CloseHandle(m_Process.hProcess);
            CloseHandle(m_Process.hThread);
        }
        if (m_Parent && IsWindow(m_Parent)) {
            DestroyWindow(m_Parent);
        }
        UnregisterClassW(L"BrevonnePreviewTest", GetModuleHandleW(nullptr));
    }

    std::wstring ParentNumber() const {
        return std::to_wstring(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(m_Parent) & 0xFFFFFFFFu));
    }

    bool Launch(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + m_Program + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        return CreateProcessW(m_Program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &m_Process) != FALSE;
    }

    // Pumps this thread's messages until the program ends, the condition holds or the deadline
    // passes. The program's exit code, or -1 while it still runs.
    long Pump(DWORD milliseconds, const std::function<bool()>& until = {}) {
        const ULONGLONG deadline = GetTickCount64() + milliseconds;
        for (;;) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            DWORD code = 0;
            if (GetExitCodeProcess(m_Process.hProcess, &code) && code != STILL_ACTIVE) {
                return static_cast<long>(code);
            }
            const ULONGLONG now = GetTickCount64();
            if ((until && until()) || now >= deadline) {
                return -1;
            }
            MsgWaitForMultipleObjects(1, &m_Process.hProcess, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 100)),
                                      QS_ALLINPUT);
        }
    }

    // The program's own (device) window, once it has made one.
    bool HasDeviceWindow() const {
        struct sSearch {
            DWORD process;
            bool found;
        } search = {m_Process.dwProcessId, false};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<sSearch*>(data);
                DWORD owner = 0;
                wchar_t name[32] = {};
                GetWindowThreadProcessId(window, &owner);
                GetClassNameW(window, name, 32);
                if (owner == s->process && std::wstring(name) == L"SSWndClass") {
                    s->found = true;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    std::wstring m_Program;
    HWND m_Parent = nullptr;
    PROCESS_INFORMATION m_Process = {};
};

TEST_F(Win32Preview, TheFlightIsDrawnIntoTheGivenWindowAtItsSize) {
    const std::wstring capture = BuildFolder() + L"\\test-logs\\preview-frame.png";
    DeleteFileW(capture.c_str());
    ASSERT_TRUE(Launch(L"/p " + ParentNumber() + L" -bench 40 -capture 40 \"" + capture + L"\""));
    EXPECT_EQ(Pump(300000), 0);

    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    ASSERT_TRUE(DecodeCapture(capture, width, height, rgba)) << "no frame captured from the preview";
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        colours.insert((std::uint32_t(rgba[i]) << 16) | (std::uint32_t(rgba[i + 1]) << 8) | rgba[i + 2]);
    }
    EXPECT_GE(colours.size(), 256u) << "the preview shows no island";
    // Our window survives the preview.
    EXPECT_TRUE(IsWindow(m_Parent));
}

TEST_F(Win32Preview, EndsWhenTheWindowIsDestroyed) {
    ASSERT_TRUE(Launch(L"/p " + ParentNumber()));
    ASSERT_EQ(Pump(120000, [this] { return HasDeviceWindow(); }), -1) << "the preview ended by itself";
    ASSERT_TRUE(HasDeviceWindow());
    DestroyWindow(m_Parent);
    m_Parent = nullptr;
    EXPECT_EQ(Pump(300000), 0);
}

TEST_F(Win32Preview, WithoutAWindowTheRequestEndsAtOnce) {
    for (const wchar_t* arguments : {L"/p", L"/p 0", L"/p 12x", L"/p 99999999999"}) {
        SCOPED_TRACE(std::string(arguments, arguments + wcslen(arguments)));
        ASSERT_TRUE(Launch(arguments));
        EXPECT_EQ(Pump(60000), 0);
        EXPECT_FALSE(HasDeviceWindow());
        CloseHandle(m_Process.hProcess);
        CloseHandle(m_Process.hThread);
        m_Process = {};
    }
}

} // namespace
} // namespace brevonne
