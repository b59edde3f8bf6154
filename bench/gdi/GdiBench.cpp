// Fill rates of the software GDI over a 240 x 320 surface: polygons and wide polylines in pixels
// per second, text in glyphs per second (built-in font and FreeType).
#include "platform/gdi/Gdi.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 320;

struct Surface {
    Surface() {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, kWidth, kHeight);
        old = SelectObject(dc, bitmap);
        Clear();
    }
    ~Surface() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Clear() {
        const RECT all{0, 0, kWidth, kHeight};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    // Pixels that are no longer white: what one drawing covers.
    long Covered() const {
        long n = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) n += GetPixel(dc, x, y) != RGB(255, 255, 255);
        return n;
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// A map-like area: a 64-point irregular polygon spanning most of the surface.
std::vector<POINT> AreaPolygon() {
    std::vector<POINT> points;
    for (int i = 0; i < 64; ++i) {
        const double a = 2 * M_PI * i / 64;
        const double r = 100 + 15 * std::sin(a * 7);
        points.push_back(
            POINT{static_cast<LONG>(120 + r * std::cos(a)), static_cast<LONG>(160 + 1.4 * r * std::sin(a))});
    }
    return points;
}

// A road-like route: a zigzag across the surface.
std::vector<POINT> Route() {
    std::vector<POINT> points;
    for (int i = 0; i <= 20; ++i) points.push_back(POINT{10 + i * 11, 20 + (i % 2) * 40 + i * 12});
    return points;
}

void BM_PolygonFill(benchmark::State& state) {
    Surface surface;
    const auto polygon = AreaPolygon();
    SelectObject(surface.dc, GetStockObject(NULL_PEN));
    HBRUSH brush = CreateSolidBrush(RGB(200, 220, 180));
    SelectObject(surface.dc, brush);
    Polygon(surface.dc, polygon.data(), static_cast<int>(polygon.size()));
    const long covered = surface.Covered();
    for (auto _ : state) Polygon(surface.dc, polygon.data(), static_cast<int>(polygon.size()));
    state.SetItemsProcessed(state.iterations() * covered);
    state.counters["pixels"] = static_cast<double>(covered);
    SelectObject(surface.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
}
BENCHMARK(BM_PolygonFill);

void BM_WidePolyline(benchmark::State& state) {
    Surface surface;
    const auto route = Route();
    HPEN pen = CreatePen(PS_SOLID, static_cast<int>(state.range(0)), RGB(0, 90, 200));
    SelectObject(surface.dc, pen);
    Polyline(surface.dc, route.data(), static_cast<int>(route.size()));
    const long covered = surface.Covered();
    for (auto _ : state) Polyline(surface.dc, route.data(), static_cast<int>(route.size()));
    state.SetItemsProcessed(state.iterations() * covered);
    state.counters["pixels"] = static_cast<double>(covered);
    SelectObject(surface.dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}
BENCHMARK(BM_WidePolyline)->Arg(3)->Arg(9);

void BM_Text(benchmark::State& state) {
    GdiUseBuiltinFont(state.range(0) == 1);
    Surface surface;
    HFONT font = CreateFont(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGEUL_CHARSET, 0, 0, 0, 0, u"NORMAL");
    SelectObject(surface.dc, font);
    SetBkMode(surface.dc, TRANSPARENT);
    const char16_t line[] = u"서울특별시 강남구 테헤란로 123 Seoul";
    const int length = static_cast<int>(std::u16string_view(line).size());
    for (auto _ : state) {
        for (int y = 0; y < kHeight; y += 16) ExtTextOut(surface.dc, 0, y, 0, nullptr, line, length, nullptr);
    }
    state.SetItemsProcessed(state.iterations() * length * (kHeight / 16));
    state.SetLabel(state.range(0) == 1 ? "built-in font" : "FreeType");
    SelectObject(surface.dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    GdiUseBuiltinFont(false);
}
BENCHMARK(BM_Text)->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
