// velko-gdidemo OUT.png [--builtin-font] [--scale N]: draws the GDI demonstration scene and writes it
// as PNG, enlarged N times (whole pixels) for looking at it.
#include "tools/gdidemo/DemoScene.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The scene enlarged by whole pixels; the caller deletes it.
HBITMAP Enlarge(HBITMAP scene, int scale) {
    HDC src = CreateCompatibleDC(nullptr);
    HDC dst = CreateCompatibleDC(nullptr);
    HBITMAP big = CreateCompatibleBitmap(dst, kDemoWidth * scale, kDemoHeight * scale);
    if (big) {
        HGDIOBJ oldSrc = SelectObject(src, scene);
        HGDIOBJ oldDst = SelectObject(dst, big);
        for (int y = 0; y < kDemoHeight; ++y)
            for (int x = 0; x < kDemoWidth; ++x) {
                HBRUSH brush = CreateSolidBrush(GetPixel(src, x, y));
                const RECT r{x * scale, y * scale, (x + 1) * scale, (y + 1) * scale};
                FillRect(dst, &r, brush);
                DeleteObject(brush);
            }
        SelectObject(src, oldSrc);
        SelectObject(dst, oldDst);
    }
    DeleteDC(src);
    DeleteDC(dst);
    return big;
}

} // namespace

int main(int argc, char** argv) {
    std::string out;
    bool builtin = false;
    int scale = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--builtin-font") == 0)
            builtin = true;
        else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc)
            scale = std::atoi(argv[++i]);
        else if (out.empty())
            out = argv[i];
        else
            out.clear(), argc = 0;
    }
    if (out.empty() || scale < 1 || scale > 8) {
        std::fprintf(stderr, "usage: velko-gdidemo OUT.png [--builtin-font] [--scale 1..8]\n");
        return 2;
    }
    GdiUseBuiltinFont(builtin);
    HBITMAP scene = RenderDemoScene();
    if (!scene) {
        std::fprintf(stderr, "velko-gdidemo: cannot make the picture\n");
        return 1;
    }
    if (scale > 1) {
        HBITMAP big = Enlarge(scene, scale);
        DeleteObject(scene);
        scene = big;
        if (!scene) {
            std::fprintf(stderr, "velko-gdidemo: cannot make the enlarged picture\n");
            return 1;
        }
    }
    const bool saved = GdiSavePng(scene, out);
    DeleteObject(scene);
    if (!saved) {
        std::fprintf(stderr, "velko-gdidemo: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
