// A stand-in for the skinned library's symbol manager: it draws generated images and records
// every call. Preloaded symbols are numbered 12 x 12 squares (256 of them are loaded at first;
// a higher number extends the table and draws nothing that time), landmark pictures are 16 x 16
// squares, bar icons 12 x 12 tags, and the fixed symbols 0..15 are 14 x 28 pins whose tip is
// their bottom centre, so the route markers' (x - 7, y - 28) anchor puts the tip on the point.
#pragma once

#include "mapview/MapSymbols.h"

#include <string>
#include <vector>

class CMapSymbolStandIn : public IMapSymbols {
public:
    struct Call {
        std::string routine; // "DisSymbol", "CachedSymbol", "PoiBarIcon", "Symbol"
        int n = 0, x = 0, y = 0;
    };
    static constexpr int kDisSize = 12;
    static constexpr int kLandmarkSize = 16;
    static constexpr int kPinWidth = 14;
    static constexpr int kPinHeight = 28;

    void DrawDisSymbol(HDC dc, int index, int x, int y) override;
    void DrawCachedSymbol(HDC dc, int number, int x, int y) override;
    void DrawPoiBarIcon(HDC dc, int n, int x, int y) override;
    void DrawSymbol(CDC* dc, int n, int x, int y) override;

    const std::vector<Call>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }
    // The head colour of fixed symbol n.
    static COLORREF PinColour(int n);

private:
    std::vector<Call> m_calls;
    int m_loaded = 256;
};
