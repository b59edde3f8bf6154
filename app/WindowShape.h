// The rounded corners of the small floating windows (the simulation player, the volume window):
// four one-pixel steps cut away at each corner of a band of the window.
#pragma once

#include "platform/gdi/AfxGdi.h"

// Cuts the four corners of the rows top to bottom (exclusive) of a window width pixels wide out
// of region.
void CutRoundCorners(CRgn& region, int width, int top, int bottom);
// Hands the window its own copy of region (the caller keeps region) and redraws it.
void ApplyWindowRegion(CWnd& window, const CRgn& region);
