// Small helpers of the shell: folder and file tests, a location code to a map position, a
// compass bearing, heading quantisation, an icon drawer, the sizes of automation arrays and the
// registration of a COM server.
#pragma once

#include "platform/base/OleAuto.h"
#include "platform/base/WinTypes.h"
#include "platform/gdi/Gdi.h"

#include <cstdint>

// True when the path exists and is a folder.
bool FolderExists(const char16_t* path);
// True when the path (or pattern) finds an entry; its name goes to name (MAX_PATH units).
bool GetFoundFileName(const char16_t* path, char16_t* name);
// The map position of a location code: corner B of the code's cell, x times 1.2 (single
// precision, truncated), plus dx and dy. False, point untouched, when the code is refused or has
// no cell size.
bool CodeToPosition(std::int16_t code, std::int16_t dx, std::int16_t dy, POINT& point);
// Compass bearing from one point to another in whole degrees: 0 north, 90 east; -1 when equal.
int BearingDegrees(const POINT& from, const POINT& to);
// The heading's quadrant angle: 0, 90, 180 or 270.
int QuantiseHeading(int heading);
// Like QuantiseHeading, but the quadrant in state keeps its angle 20 degrees further on both
// sides; state becomes the chosen quadrant (an invalid state gives 0 and state 0).
int QuantiseHeadingSticky(int heading, int& state);
// Sets the transparent background mode and, unless iconId is -1, draws the icon at its own size
// with its top-left corner 8 pixels left of and above the point.
void DrawIconAt(HDC dc, POINT centre, int iconId);
// Elements of a one-dimensional array, -1 when a bound cannot be read.
int SafeArrayCount(const SAFEARRAY* array);
// Half the element count (taken modulo 2^30), -1 when a bound cannot be read.
int SafeArrayPairCount(const SAFEARRAY* array);
// Loads the library, calls its "DllRegisterServer" when it has one and frees the library; true
// when the call succeeded (a result of 0 or more).
bool RegisterComServer(const char16_t* libraryPath);
