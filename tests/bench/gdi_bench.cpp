// Costs of the simulator's drawing that every screenshot and paint pays: the full-screen gradient, the
// measuring of a wrapped message, a bitmap copy, and writing a screenshot.
#include "platform/sim/gdi/internal.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

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
    sim::Surface screen(640, 480);
    HDC dc = sim::create_surface_dc(&screen, {0, 0}, {0, 0, 640, 480});
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, font);
    std::string text = "To have the ability to Uninstall TARNO you must select at least three installing "
                       "components: Program Files, Layouts and Fonts.\rOtherwise Uninstall will be disabled. "
                       "Continue?";
    for (auto _ : state) {
        RECT r{0, 0, 320, 10};
        benchmark::DoNotOptimize(DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK));
    }
    SelectObject(dc, old);
    DeleteObject(font);
    sim::release_surface_dc(dc);
}
BENCHMARK(BM_MeasureWrappedMessage);

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
