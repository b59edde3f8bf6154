// The tinted box behind a map label: the screen under the rectangle (grown by 2 pixels) moves
// halfway toward the style's colour and gets a darkened one-pixel frame.
#pragma once

#include "platform/gdi/AfxGdi.h"

// The tint colour of a box style (any unknown style tints toward white).
COLORREF TintedBoxColor(int style);
void DrawTintedBox(CDC* dc, const RECT& rect, int style);
void DrawTintedBox(HDC dc, const RECT& rect, int style);
