// What the main view reads of the main document and writes back to it: the drawing configuration
// of the data folder (the base-map layers with their per-level parameters, the colour scheme and
// the level table) and the map and vehicle positions that survive a restart. The document fills
// it from "para.bin", the scheme files and "level.bin" and stores the positions when it closes;
// the view only reads the configuration and updates the positions.
#pragma once

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <array>
#include <cstdint>
#include <vector>

// One line of "para.bin": the layer's file name and four bytes for each of the 16 map levels:
// visible, colour number, outline colour number (lines), pen width (lines) or outline colour
// number (polygons).
struct MapLayerRecord {
    CString name;
    std::array<std::uint8_t, 64> params{};
    const std::uint8_t* Entry(int level) const {
        return params.data() + static_cast<std::size_t>(level < 0 ? 0 : level > 15 ? 15 : level) * 4;
    }
};

// One entry of the level table: in use, the scale of the next level and of this one relative to
// level 1.
struct MapLevelEntry {
    std::uint8_t flag = 0;
    float ratio = 0.0f;
    float previous = 0.0f;
};

class CMapDocState {
public:
    static constexpr std::int32_t kDefaultX = 203143;
    static constexpr std::int32_t kDefaultY = 531663;
    static constexpr std::int32_t kDefaultLevel = 11;
    static constexpr int kLevels = 16;

    virtual ~CMapDocState() = default;

    // Loads the colour scheme file of that name from the "Color" folder, falling back to
    // "color.bin" of the colour-mode folder; false when neither can be read.
    virtual bool LoadSchemeFile(const CString& fileName) = 0;

    // The colour of a colour number: the scheme's entry below 16, else -1 (no colour).
    COLORREF Colour(int number) const {
        return number >= 0 && number < 16 ? colorTable[number] : static_cast<COLORREF>(-1);
    }
    // The scale of level n relative to level 1 (the previous ratio of entry n - 1); 0 outside.
    float LevelScale(int level) const {
        return level >= 1 && level <= kLevels ? levels[level - 1].previous : 0.0f;
    }
    // Whether level n (1-16) is in use.
    bool LevelInUse(int level) const { return level >= 1 && level <= kLevels && levels[level - 1].flag != 0; }

    CString dataFolder;
    std::vector<MapLayerRecord> layers;
    COLORREF colorTable[16] = {};
    COLORREF backColor = 0xFFFFFF;
    COLORREF textColor = 0;
    MapLevelEntry levels[kLevels];
    // The level file's 12-byte records as read, borrowed by the level bars.
    std::vector<std::uint8_t> levelRecords;

    std::int32_t mapX = kDefaultX, mapY = kDefaultY;
    std::int32_t mapLevel = kDefaultLevel;
    std::int32_t mapMode = 1;
    std::int32_t vehicleX = -1, vehicleY = -1;
    // The display's number of colours: 16 or fewer take the drawing files from "Gray".
    int colorMode = 0;
    bool savedPositionsExist = false;
    bool safePointsExist = false;
};
