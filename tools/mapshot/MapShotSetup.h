// How the shell configures the map window, until the shell's own document and view do it: the
// drawing configuration of the data folder ("para.bin", the colour schemes, "level.bin"), the
// layers opened in the shell's order (the base map, the nearby-facility layers and the traffic
// layers), a colour scheme applied to the layers, and a map level applied to the window.
#pragma once

#include "mapview/MapWnd.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CMapShotSetup {
public:
    struct LayerEntry {
        std::u16string name;
        std::array<std::uint8_t, 64> params{}; // 16 levels x {visible, colour, outline, width}
    };
    struct LevelEntry {
        std::uint8_t flag = 0;
        float ratio = 0.0f, previous = 0.0f;
    };

    // Reads "para.bin" and "color.bin" of the colour folder and "level.bin" of the data folder
    // (a CE path such as "\Storage Card\MapData"). False with the reason when a file is missing
    // or malformed.
    bool Load(const std::u16string& dataFolder, std::string* error);
    // Opens every layer of "para.bin", then the nearby-facility and traffic layers, each at the
    // next free index and shown; lines and polygons get their borders. Returns the layers opened.
    int OpenLayers(CMapWnd& map);
    // Loads the scheme file "Color\<name>" (falling back to "color.bin"), gives the map its
    // background and text colours and colours the base-map layers, then re-applies the level.
    bool ApplyColorScheme(CMapWnd& map, const std::u16string& fileName);
    // The view for the level: flat (view mode 0, 1) with the level's scale or bird's-eye (view
    // mode 2) with its distance, the level masks, the base-map layers shown and coloured by
    // level, and the traffic layers.
    void SetMapLevel(CMapWnd& map, int level);

    void SetViewMode(int mode) { m_viewMode = mode; }
    void SetTrafficDisplay(bool on) { m_trafficOn = on; }
    int Level() const { return m_level; }
    const std::vector<LayerEntry>& Layers() const { return m_layers; }
    // The flat scale value of a level (1 = the whole map's width).
    double LevelScale(int level) const;

    static const char16_t* const kFacilityLayers[17];
    static const char16_t* const kTrafficLayers[4];

private:
    COLORREF Colour(int number) const { return number < 16 ? m_colours[number] : 0xFFFFFFFFu; }
    bool LoadScheme(const std::u16string& fileName);
    bool LoadColourFile();

    std::u16string m_dataFolder;
    std::vector<LayerEntry> m_layers;
    COLORREF m_colours[16] = {};
    COLORREF m_background = 0xFFFFFF;
    COLORREF m_text = 0;
    LevelEntry m_levels[16];
    int m_level = 11;
    int m_viewMode = 0;
    bool m_trafficOn = true;
};
