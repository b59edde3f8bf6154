#pragma once
// The routines the map window draws its symbols through. The skinned
// library's symbol manager implements them; mapview/ only declares them, so
// the map never depends on the skin. Positions are screen pixels in the
// device context drawn on.
#include "platform/gdi/AfxGdi.h"
#include "platform/gdi/Gdi.h"

class IMapSymbols {
public:
  virtual ~IMapSymbols() = default;
  // A preloaded symbol centred on (x, y); a negative index draws the
  // fallback symbol at (x, y) uncentred; an index beyond those loaded loads
  // up to it and draws nothing this time.
  virtual void DrawDisSymbol(HDC dc, int index, int x, int y) = 0;
  // A landmark picture loaded on first use, its bottom centre 8 px below (x, y).
  virtual void DrawCachedSymbol(HDC dc, int number, int x, int y) = 0;
  // Category-bar icon 0..3 with its top-left corner at (x, y - 17).
  virtual void DrawPoiBarIcon(HDC dc, int n, int x, int y) = 0;
  // Fixed symbol 0..15 (route markers among them) with its top-left at (x, y).
  virtual void DrawSymbol(CDC* dc, int n, int x, int y) = 0;
};
