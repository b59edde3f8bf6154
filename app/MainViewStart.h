// The main view's first loading at start-up: the drawing configuration, the route data and the
// area tables, the map layers, the map at the stored place and level (following the vehicle when
// it stands there), the guidance data, the route the user was on, the driving trail and the
// colour scheme of the hour.
#pragma once

class CMainDoc;
class CMainView;

// The drawing files in their order ("para.bin", the scheme "Color.bin", "line.bin",
// "level.bin") for a display of that many colours; false at the first that fails, after string
// 214 (stop icon) is shown.
bool LoadDrawingFiles(CMainDoc& doc, int displayColours);

// Runs the first loading on a view whose skinned user interface exists; false ends the start-up
// (the reason has been shown).
bool InitViewFirstTime(CMainView& view, CMainDoc& doc);
