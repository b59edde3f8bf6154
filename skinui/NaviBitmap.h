// The skin's image: a bitmap header, a palette of up to 256 entries and bottom-up pixel rows in
// one block, blitted through a DIB section made on first drawing. Images come from PNG data (the
// skin archive hands over bytes) or PNG files on the device, and can be written back as PNG.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/LocalMemory.h"
#include "platform/gdi/Gdi.h"

#include <cstddef>
#include <memory>
#include <vector>

constexpr int kImageTypePng = 3;

class NaviBitmap {
public:
    NaviBitmap();
    NaviBitmap(int width, int height, int bitCount);
    explicit NaviBitmap(int imageType);
    NaviBitmap(const NaviBitmap& other);
    NaviBitmap& operator=(const NaviBitmap& other);
    // PNG files on the device (narrow paths are code page 949).
    explicit NaviBitmap(const char* path);
    explicit NaviBitmap(const char16_t* path);

    virtual ~NaviBitmap();
    virtual void Destroy();
    // Draws at (x, y); -1 sizes take the image's own. 0 when nothing could be drawn.
    virtual int Draw(HDC dc, int x, int y, int width = -1, int height = -1);
    virtual bool LoadFromMemory(const BYTE* buffer, std::size_t size);
    // Decodes PNG bytes (type 3); any other type is refused.
    virtual bool Decode(const BYTE* buffer, std::size_t size, int type);
    virtual bool Encode(std::vector<BYTE>& out);

    // The new pixel block (not cleared), or null. Depths map to 1, 4, 8 or 24.
    BYTE* Create(int width, int height, int bitCount);
    void Transfer(NaviBitmap& from);
    // Shares the other's block; the block lives as long as either image holds it.
    void Ghost(const NaviBitmap& other);

    bool Load(const char* path, int type = kImageTypePng);
    bool Load(const char16_t* path);
    bool Save(const char* path);
    bool Save(const char16_t* path);

    int GetWidth() const { return m_header.biWidth; }
    int GetHeight() const { return m_header.biHeight; }
    int GetBpp() const { return m_header.biBitCount; }
    int GetEffWidth() const { return m_effWidth; }
    bool IsValid() const { return m_valid != 0; }
    bool IsEmpty() const { return !m_block; }
    int GetImageType() const { return m_imageType; }
    int GetBkgndIndex() const { return m_bkgndIndex; }
    void SetBkgndIndex(int index) { m_bkgndIndex = index; }
    const CString& GetLastError() const { return m_lastError; }
    void SetTransparent(bool on) { m_transparent = on; }
    bool IsTransparent() const { return m_transparent; }
    const BITMAPINFOHEADER& GetHeader() const { return m_header; }

    int GetPaletteSize() const;
    BYTE* GetBits() const;
    RGBQUAD* GetPalette() const;
    bool SetPaletteColor(int index, BYTE r, BYTE g, BYTE b);
    bool SetPaletteColor(int index, COLORREF color);
    RGBQUAD GetPaletteColor(int index) const;
    bool GetPaletteColor(int index, BYTE* r, BYTE* g, BYTE* b) const;
    void SetPalette(const RGBQUAD* colors, int n);
    void SetPalette(const BYTE* rgbTriplets, int n);
    void SetPalette(int n, const BYTE* red, const BYTE* green = nullptr, const BYTE* blue = nullptr);
    void SetGrayPalette();
    int GetNearestIndex(COLORREF color) const;
    int FindPaletteColor(COLORREF color) const;
    bool SetBkgndColor(COLORREF color);
    int GetPixelIndex(int x, int y) const;
    bool SetPixelIndex(int x, int y, int index);
    RGBQUAD GetPixelColor(int x, int y) const;
    bool SetPixelColor(int x, int y, RGBQUAD color);
    bool SetPixelColor(int x, int y, COLORREF color);
    bool IsInside(int x, int y) const;
    static RGBQUAD RGBtoRGBQUAD(COLORREF color);
    static COLORREF RGBQUADtoRGB(RGBQUAD quad);
    void Clear(BYTE value);
    HLOCAL CopyToHandle(HLOCAL previous) const;
    void BlendPalette(COLORREF color, int percent);
    static RGBQUAD RGBtoHSL(RGBQUAD rgb);
    static RGBQUAD HSLtoRGB(RGBQUAD hsl);
    static void RGBtoBGR(BYTE* row, int length);
    void GrayScale();
    void SwapColors(COLORREF a, COLORREF b);
    bool Rotate(double angle);

    int Tile(HDC dc, const RECT* rc);
    // A section of the image on the screen, handed to the caller; 0 for an empty image.
    int CreateDibSection(HBITMAP* out);
    // The image's own section, made once on this context; false when it cannot be made.
    bool CreateDibSection(HDC dc);
    HBITMAP GetDibSection() const { return m_hbitmap; }

private:
    // Header, palette and pixels in one block, shared with ghosts.
    std::shared_ptr<std::vector<BYTE>> m_block;
    int m_valid = 0;
    bool m_transparent = false;
    BITMAPINFOHEADER m_header{};
    int m_effWidth = 0;
    BYTE* m_bits = nullptr;
    const NaviBitmap* m_ghost = nullptr;
    int m_imageType = -1;
    BYTE m_colourType = 0;
    CString m_lastError;
    int m_bkgndIndex = -1;
    BYTE m_quality = 75;
    HBITMAP m_hbitmap = nullptr;
    void* m_dibBits = nullptr;

    void CopyFrom(const NaviBitmap& other);
    void DeleteSection();
    std::vector<BYTE> BitmapInfoBytes(bool fullTable) const;
    void ForEachColour(COLORREF (*change)(COLORREF, const void*), const void* context);
};
