// Costs of the simulator's drawing that every screenshot and paint pays: the full-screen gradient, the
// measuring and drawing of a wrapped message, a bitmap copy, and writing a screenshot. Text is measured
// and drawn twice: with the built-in font (argument 0, a machine without font files) and with the
// machine's bitmap font files (argument 1), for the ratio of the two.
#include "platform/sim/gdi/internal.h"
#include "platform/sim/sim.h"
#include "platform/win32.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// A machine with its font files, or one made without them, attached while a benchmark runs.
class FontMachine {
  public:
    explicit FontMachine(bool with_font_files) {
        char tmpl[] = "/tmp/gdi-bench-XXXXXX";
        root_ = mkdtemp(tmpl);
        if (!with_font_files) setenv("WIN95SIM_FONTS", (root_ + "/none").c_str(), 1);
        std::string error;
        sim::create_default_machine(root_ + "/m", &error);
        unsetenv("WIN95SIM_FONTS");
        sim::attach(root_ + "/m", "C:\\BENCH.EXE", "C:\\", &error);
    }
    ~FontMachine() {
        sim::detach();
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

  private:
    std::string root_;
};

const char kMessage[] =
    "To have the ability to Uninstall TARNO you must select at least three installing "
    "components: Program Files, Layouts and Fonts.\rOtherwise Uninstall will be disabled. "
    "Continue?";

void BM_GradientBands(benchmark::State& state) {
    sim::Surface screen(640, 480);
    HDC dc = sim::create_surface_dc(&screen, {0, 0}, {0, 0, 640, 480});
    for (auto _ : state) {
        for (int i = 0; i < 48; ++i) {
            HBRUSH b = CreateSolidBrush(RGB(0, 0, 255 - 5 * i));
            RECT r{0, i * 11, 642, i * 11 + 11};
            FillRect(dc, &r, b);
            DeleteObject(b);
        }
    }
    sim::release_surface_dc(dc);
}
BENCHMARK(BM_GradientBands);

void BM_MeasureWrappedMessage(benchmark::State& state) {
    FontMachine machine(state.range(0) != 0);
    sim::Surface screen(640, 480);
    HDC dc = sim::create_surface_dc(&screen, {0, 0}, {0, 0, 640, 480});
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, font);
    for (auto _ : state) {
        RECT r{0, 0, 320, 10};
        benchmark::DoNotOptimize(DrawTextA(dc, kMessage, -1, &r, DT_CALCRECT | DT_WORDBREAK));
    }
    SelectObject(dc, old);
    DeleteObject(font);
    sim::release_surface_dc(dc);
}
BENCHMARK(BM_MeasureWrappedMessage)->Arg(0)->Arg(1);

// The message drawn as the message dialog draws it, and a dialog's worth of 8-point labels.
void BM_DrawText(benchmark::State& state) {
    FontMachine machine(state.range(0) != 0);
    sim::Surface screen(640, 480);
    HDC dc = sim::create_surface_dc(&screen, {0, 0}, {0, 0, 640, 480});
    HFONT bold = CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    HFONT dialog = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    SetBkMode(dc, TRANSPARENT);
    for (auto _ : state) {
        SelectObject(dc, bold);
        RECT r{10, 10, 330, 200};
        DrawTextA(dc, kMessage, -1, &r, DT_WORDBREAK);
        SelectObject(dc, dialog);
        for (int i = 0; i < 8; ++i)
            TextOutA(dc, 10, 220 + 16 * i, "Choose Continue to proceed with setting up TARNO.", 49);
    }
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(bold);
    DeleteObject(dialog);
    sim::release_surface_dc(dc);
}
BENCHMARK(BM_DrawText)->Arg(0)->Arg(1);

void BM_BitBltPicture(benchmark::State& state) {
    sim::Surface screen(640, 480);
    HDC dc = sim::create_surface_dc(&screen, {0, 0}, {0, 0, 640, 480});
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP picture = CreateCompatibleBitmap(dc, 200, 120);
    HGDIOBJ old = SelectObject(mem, picture);
    for (auto _ : state)
        BitBlt(dc, 10, 10, 200, 120, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(picture);
    DeleteDC(mem);
    sim::release_surface_dc(dc);
}
BENCHMARK(BM_BitBltPicture);

void BM_SaveScreenshot(benchmark::State& state) {
    sim::Surface screen(640, 480);
    for (std::size_t i = 0; i < screen.pixels.size(); ++i)
        screen.pixels[i] = static_cast<std::uint32_t>(i / 640 * 0x10101 / 2);
    std::string path = "/tmp/gdi_bench_" + std::to_string(::getpid()) + ".png";
    for (auto _ : state)
        sim::save_png(screen, path, nullptr);
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveScreenshot);

} // namespace
