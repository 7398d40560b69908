// A fresh machine with the setup state of a started tnsetup: the instance, the directories, and the real
// full-screen setup window with its drawing objects and hidden information and advertising windows. The
// installation it would start is held back, so each test drives what it needs.
#pragma once

#include "platform/sim/driver/agent.h"
#include "platform/sim/gdi/internal.h"
#include "platform/win32.h"
#include "setup/core/progress.h"
#include "setup/core/setup.h"
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
        ASSERT_TRUE(RegisterSetupClasses(hInst));
        ASSERT_TRUE(CreateSetupWindow(hInst));
        HoldBackInstallation();
    }
    void TearDown() override {
        sim::set_agent(nullptr);
        if (hwndSetup) {
            // The test ends the window, not the user: no exit handling.
            SetWindowLongPtrA(hwndSetup, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
            DestroyWindow(hwndSetup);
        }
        DeleteSharedObjects();
        SimMachine::TearDown();
    }

    // The brushes and pen the setup window made, when the test ends the window instead of the user.
    static void DeleteSharedObjects() {
        DeleteObject(hbrDialogBack); // a null handle is refused harmlessly
        DeleteObject(hbrBlue);
        DeleteObject(hpenBlue);
        hbrDialogBack = nullptr;
        hbrBlue = nullptr;
        hpenBlue = nullptr;
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
    // Removes the command the setup window posted itself to start the installation.
    static bool HoldBackInstallation() {
        MSG msg;
        return PeekMessageA(&msg, hwndSetup, WM_COMMAND, WM_COMMAND, PM_REMOVE) != 0;
    }

  private:
    template <std::size_t N>
    static void CopyState(char (&dst)[N], const char* text) {
        lstrcpynA(dst, text, static_cast<int>(N));
    }
};
