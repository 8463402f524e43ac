// Checks the ground every other Win32 test stands on: under the test display
// and prefix, top-level windows get exactly the client area asked for, show,
// and become the foreground window, and window text survives a round trip.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui_driver.h"

namespace {

struct FrameCase {
    const char* name;
    DWORD style;
    DWORD exStyle;
    int clientWidth;
    int clientHeight;
};

const FrameCase FrameCases[] = {
    {"overlapped window", WS_OVERLAPPEDWINDOW, 0, 300, 200},
    {"caption and system menu", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_EX_DLGMODALFRAME, 295, 385},
    {"popup with caption", WS_POPUP | WS_CAPTION, WS_EX_DLGMODALFRAME, 220, 120},
    {"tool window", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW, 150, 90},
};

TEST(Harness, TopLevelWindowsGetTheirClientAreaAndTheForeground) {
    for (const FrameCase& c : FrameCases) {
        RECT outer = {0, 0, c.clientWidth, c.clientHeight};
        ASSERT_TRUE(AdjustWindowRectEx(&outer, c.style, FALSE, c.exStyle)) << c.name;
        HWND window = CreateWindowExA(c.exStyle, "STATIC", c.name, c.style, 50, 50,
                                      outer.right - outer.left, outer.bottom - outer.top,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr) << c.name;
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
        EXPECT_TRUE(ui::waitFor([&] { return GetForegroundWindow() == window; }))
            << c.name << ": expected the new window in the foreground, got " << GetForegroundWindow();
        EXPECT_TRUE(IsWindowVisible(window)) << c.name;

        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, c.clientWidth)
            << c.name << ": expected client width " << c.clientWidth << ", got " << client.right;
        EXPECT_EQ(client.bottom, c.clientHeight)
            << c.name << ": expected client height " << c.clientHeight << ", got " << client.bottom;

        char text[64] = {};
        GetWindowTextA(window, text, sizeof text);
        EXPECT_EQ(std::string(text), c.name)
            << c.name << ": expected the caption back, got \"" << text << "\"";
        DestroyWindow(window);
        EXPECT_FALSE(IsWindow(window)) << c.name;
    }
}

TEST(Harness, WorkAreaLiesInsideTheScreen) {
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_GE(screenWidth, 640) << "expected a usable screen width, got " << screenWidth;
    EXPECT_GE(screenHeight, 480) << "expected a usable screen height, got " << screenHeight;
    EXPECT_GE(work.left, 0);
    EXPECT_GE(work.top, 0);
    EXPECT_LE(work.right, screenWidth) << "expected the work area inside the screen, got right " << work.right;
    EXPECT_LE(work.bottom, screenHeight) << "expected the work area inside the screen, got bottom " << work.bottom;
    EXPECT_GT(work.right - work.left, 0);
    EXPECT_GT(work.bottom - work.top, 0);
}

}  // namespace
