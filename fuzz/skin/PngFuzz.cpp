// Feeds arbitrary bytes to the image class as PNG data, then draws and re-encodes what it kept.
#include "platform/gdi/Gdi.h"
#include "skinui/NaviBitmap.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NaviBitmap image;
    if (!image.LoadFromMemory(data, size)) return 0;
    (void)image.GetPixelIndex(image.GetWidth() - 1, image.GetHeight() - 1);
    (void)image.GetPixelColor(0, 0);
    std::vector<BYTE> png;
    image.Encode(png);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(dc, 64, 64);
    HGDIOBJ old = SelectObject(dc, target);
    image.SetTransparent(true);
    image.Draw(dc, -3, 5);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return 0;
}
