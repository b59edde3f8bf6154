// The GDI demonstration scene: every drawing primitive on a 240 x 320 picture, with a line of
// Korean text. velko-gdidemo writes it as PNG; the tests compare its built-in-font form with a
// golden image.
#pragma once

#include "platform/gdi/Gdi.h"

constexpr int kDemoWidth = 240;
constexpr int kDemoHeight = 320;

// Draws the scene into dc, which holds a bitmap of at least 240 x 320 pixels.
void DrawDemoScene(HDC dc);
// A new 32-bit bitmap holding the scene (the caller deletes it); null when it cannot be made.
HBITMAP RenderDemoScene();
