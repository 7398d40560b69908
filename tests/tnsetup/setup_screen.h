// A fresh machine with the setup state of a started tnsetup: the instance, the directories, the drawing
// objects, and a full-screen setup window with the hidden information and advertising windows, made as
// the setup window's creation makes them.
#pragma once

#include "platform/sim/agent.h"
#include "platform/sim/gdi_internal.h"
#include "platform/win32.h"
#include "setup/core/progress.h"
#include "setup/core/state.h"
#include "setup/resources/ids.h"
#include "tests/unit/sim_fixture.h"

#include <initializer_list>

class SetupScreen : public SimMachine {
  protected:
    void SetUp() override {
        SimMachine::SetUp();
        ResetSetupState();
        ResetProgressState();
        ResetAdvertisements();
        hInst = GetModuleHandleA(nullptr);
        CopyState(szWindowsDir, "C:\\WINDOWS\\");
        CopyState(szSystemDir, "C:\\WINDOWS\\SYSTEM\\");
        CopyState(szDialogFont, "MS Sans Serif");
        hbrDialogBack = CreateSolidBrush(RGB(192, 192, 192));
        hbrBlue = CreateSolidBrush(PALETTERGB(0, 0, 255));
        hpenBlue = CreatePen(PS_SOLID, 1, PALETTERGB(0, 0, 255));
        const char* pictures[] = {BMP_ADVERT1, BMP_ADVERT2, BMP_ADVERT3, BMP_ADVERT4, BMP_ADVERT5};
        for (int i = 0; i < kAdvertCount; ++i)
            hbmAdvert[i] = LoadBitmapA(hInst, pictures[i]);
        ASSERT_TRUE(RegisterSetupClass());
        ASSERT_TRUE(RegisterChildClasses());
        CreateSetupWindows();
    }
    void TearDown() override {
        sim::set_agent(nullptr);
        if (hwndSetup) DestroyWindow(hwndSetup);
        DeleteObject(hbrDialogBack);
        DeleteObject(hbrBlue);
        DeleteObject(hpenBlue);
        SimMachine::TearDown();
    }

    // The screen as the user sees it now, pending paints done.
    sim::Surface Screen() { return sim::compose_screen(); }
    // Screen coordinates of a point of a window's client area.
    static POINT OnScreen(HWND hwnd, int x, int y) {
        POINT p{x, y};
        ClientToScreen(hwnd, &p);
        return p;
    }
    static std::uint32_t Pixel(const sim::Surface& screen, HWND hwnd, int x, int y) {
        POINT p = OnScreen(hwnd, x, y);
        return screen.at(p.x, p.y) & 0xFFFFFF;
    }
    // Delivers the paints still waiting, as the message loop would between two copy steps.
    static void DeliverPendingPaints() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

  private:
    template <std::size_t N>
    static void CopyState(char (&dst)[N], const char* text) {
        lstrcpynA(dst, text, static_cast<int>(N));
    }
    static LRESULT CALLBACK BackdropProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    static bool RegisterSetupClass() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = BackdropProc;
        wc.hInstance = hInst;
        wc.hbrBackground = CreateSolidBrush(RGB(0, 0, 255));
        wc.lpszClassName = "SetupClass";
        return RegisterClassA(&wc) != 0;
    }
    static HWND CreateChild(const char* className, DWORD style, int x, int y, int id) {
        HWND child =
            CreateWindowA(className, "TARNO Setup", WS_CHILD | WS_VISIBLE | style, x, y, 400, 150, hwndSetup,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), hInst, nullptr);
        ShowWindow(child, SW_HIDE);
        return child;
    }
    void CreateSetupWindows() {
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        hwndSetup =
            CreateWindowA("SetupClass", "", WS_POPUP, 0, 0, width, height, nullptr, nullptr, hInst, nullptr);
        ASSERT_NE(hwndSetup, nullptr);
        hwndAdvert = CreateChild("SetupAdvert", WS_DLGFRAME | WS_THICKFRAME, 20, 20, 1);
        hwndInfor =
            CreateChild("SetupInfor", WS_CAPTION | WS_THICKFRAME, (width - 400) / 2, (height - 150) / 2, 2);
        ASSERT_NE(hwndAdvert, nullptr);
        ASSERT_NE(hwndInfor, nullptr);
        ShowWindow(hwndSetup, SW_SHOWMAXIMIZED);
        UpdateWindow(hwndSetup);
    }
};
