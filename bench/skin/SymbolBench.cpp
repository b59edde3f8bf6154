// Drawing a cached 24 x 24 facility symbol into a 240 x 320 DIB section, as the map does hundreds
// of times per redraw (target: at least 100,000 a second).
#include "platform/files/DeviceRoot.h"
#include "platform/gdi/PngDib.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviSymbolManager.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::vector<BYTE> SymbolPng() {
    GdiDibImage image;
    image.width = 24;
    image.height = 24;
    image.bitCount = 8;
    image.palette.assign(256, RGBQUAD{});
    image.palette[1] = RGBQUAD{0, 0, 200, 0};
    image.transparentCount = 1;
    image.bits.assign(DibRowBytes(8, 24) * 24, 1);
    for (int i = 0; i < 24; ++i) image.bits[i * DibRowBytes(8, 24)] = 0; // a transparent edge
    std::vector<BYTE> png;
    GdiEncodePngDib(image, png);
    return png;
}

void Put(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void DrawCachedDisSymbol(benchmark::State& state) {
    char pattern[] = "/tmp/velko-skinbench-XXXXXX";
    const std::string root = ::mkdtemp(pattern) ? pattern : "/tmp";
    DeviceRoot::SetRoot(root);
    const std::vector<BYTE> png = SymbolPng();
    std::string archive;
    Put(archive, 0, 4);
    Put(archive, 0, 2);
    Put(archive, 1, 2);
    Put(archive, 0, 2);
    std::string name = "DisSymbol\\001";
    name.resize(256, '\0');
    archive += name;
    Put(archive, 10 + 264, 4);
    Put(archive, static_cast<std::uint32_t>(png.size()), 4);
    archive.append(png.begin(), png.end());
    std::filesystem::create_directories(root + "/res");
    std::ofstream(root + "/res/ResData.bin", std::ios::binary) << archive;

    NaviRcBuilder builder;
    builder.OpenSkin(u"\\res");
    NaviSymbolManager manager;
    manager.LoadImages(&builder);

    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 240;
    info.bmiHeader.biHeight = 320;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);
    manager.DrawDisSymbol(dc, 1, 120, 160); // loads it
    int i = 0;
    for (auto _ : state) {
        manager.DrawDisSymbol(dc, 1, 20 + (i % 200), 20 + (i % 280));
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    std::filesystem::remove_all(root);
}
BENCHMARK(DrawCachedDisSymbol);

} // namespace

BENCHMARK_MAIN();
