// The main window's document: the drawing configuration of the data folder (the base-map layer
// list with its per-level parameters, the colour scheme, the line and level tables), the map
// position, level and mode and the vehicle position that survive a restart (object-store
// databases "Velko900 Pilot1" and "Velko900 Pilot4"), and a position handed over by another
// program through "\windows\Velko.wp".
#pragma once

#include "platform/base/CString.h"
#include "platform/window/Afx.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CMainDoc : public CDocument {
    DECLARE_DYNCREATE(CMainDoc)
public:
    static constexpr std::int32_t kDefaultMapX = 203143;
    static constexpr std::int32_t kDefaultMapY = 531663;
    static constexpr std::int32_t kDefaultLevel = 11;
    static constexpr std::int32_t kHandoverLevel = 10;
    static constexpr int kLevels = 16;
    static constexpr int kLayerNameBytes = 256;
    static constexpr int kLayerParamBytes = 64;

    // One line of "para.bin": the layer's file name and 16 per-level entries of 4 bytes (visible,
    // colour number, outline colour number of lines, pen width of lines or outline colour number
    // of polygons).
    struct LayerRecord {
        std::u16string name;
        std::array<std::uint8_t, kLayerParamBytes> params{};
    };
    struct LevelEntry {
        std::uint8_t flag = 0;
        float ratio = 0.0f;
        float previous = 0.0f;
    };

    // Reads the stored positions and the hand-over file.
    CMainDoc();
    ~CMainDoc() override;

    BOOL OnNewDocument() override;
    // Stores the map and vehicle positions, then closes.
    void OnCloseDocument() override;

    // Drawing configuration; false when the file cannot be opened or is unusable.
    bool LoadDrawConfig();
    bool LoadColorFile();
    // The scheme of that name in "Color" whatever the colour mode; "color.bin" when it is missing.
    bool LoadSchemeFile(const char16_t* name);
    bool LoadLineFile();
    bool LoadLevelFile();
    // "Gray" for a display of 16 colours or fewer (0 to 16), "Color" otherwise.
    const char16_t* ModeFolder() const;

    void SetColorMode(std::int32_t colours) { m_colorMode = colours; }
    std::int32_t GetColorMode() const { return m_colorMode; }
    std::int32_t GetSavedPositionsFlag() const { return m_savedPositions; }
    void SetSavedPositionsFlag(std::int32_t flag) { m_savedPositions = flag; }
    std::int32_t GetSafePointsFlag() const { return m_safePoints; }
    void SetSafePointsFlag(std::int32_t flag) { m_safePoints = flag; }

    const CString& GetDataFolder() const { return m_dataFolder; }
    void SetDataFolder(const CString& folder) { m_dataFolder = folder; }
    const std::vector<std::unique_ptr<LayerRecord>>& GetLayers() const { return m_layers; }
    const COLORREF* GetColorTable() const { return m_colors; }
    COLORREF GetBackgroundColor() const { return m_background; }
    COLORREF GetTextColor() const { return m_textColor; }
    const std::uint8_t* GetLineTable() const { return m_lineTable; }
    const LevelEntry* GetLevelTable() const { return m_levels; }
    // The raw 12-byte records of "level.bin" as read (for the level bars), and how many there are.
    const std::uint8_t* GetLevelRecords() const { return m_levelRecords.data(); }
    int GetLevelRecordCount() const { return static_cast<int>(m_levelRecords.size() / 12); }

    POINT GetMapPosition() const { return m_map; }
    void SetMapPosition(POINT p) { m_map = p; }
    POINT GetVehiclePosition() const { return m_vehicle; }
    void SetVehiclePosition(POINT p) { m_vehicle = p; }
    std::int32_t GetMapLevel() const { return m_level; }
    void SetMapLevel(std::int32_t level) { m_level = level; }
    std::int32_t GetMapMode() const { return m_mode; }
    void SetMapMode(std::int32_t mode) { m_mode = mode; }
    // 0 when the vehicle position is the default map position (nothing was stored).
    std::uint8_t GetVehicleStoredFlag() const { return m_vehicleStored; }

    // Writes the positions to the two databases (one replace of each first record); false when
    // a database is missing or cannot be written.
    bool StorePositions() const;

private:
    void ReadStoredPositions();
    void ReadHandoverFile();
    CString ModePath(const char16_t* file) const;

    CString m_dataFolder;
    CString m_spare;
    std::vector<std::unique_ptr<LayerRecord>> m_layers;
    COLORREF m_colors[16] = {};
    COLORREF m_background = 0xFFFFFF;
    std::uint8_t m_schemeExtra[8] = {};
    COLORREF m_textColor = 0;
    std::uint8_t m_schemeTail[64] = {};
    std::uint8_t m_lineTable[32] = {};
    LevelEntry m_levels[kLevels];
    std::vector<std::uint8_t> m_levelRecords;
    std::int32_t m_savedPositions = 0;
    std::int32_t m_safePoints = 0;
    POINT m_map{kDefaultMapX, kDefaultMapY};
    POINT m_vehicle{-1, -1};
    std::int32_t m_level = kDefaultLevel;
    std::int32_t m_mode = 1;
    std::int32_t m_colorMode = 0;
    std::uint8_t m_vehicleStored = 1;
};
