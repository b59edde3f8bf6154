// The main window's document (what the main view reads is its CMapDocState part): the drawing configuration of the data folder (the base-map layer
// list with its per-level parameters, the colour scheme, the line and level tables), the map
// position, level and mode and the vehicle position that survive a restart (object-store
// databases "Velko900 Pilot1" and "Velko900 Pilot4"), and a position handed over by another
// program through "\windows\Velko.wp".
#pragma once

#include "app/MapDocState.h"
#include "platform/base/CString.h"
#include "platform/window/Afx.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CMainDoc : public CDocument, public CMapDocState {
    DECLARE_DYNCREATE(CMainDoc)
public:
    static constexpr std::int32_t kDefaultMapX = kDefaultX;
    static constexpr std::int32_t kDefaultMapY = kDefaultY;
    static constexpr std::int32_t kHandoverLevel = 10;
    static constexpr int kLayerNameBytes = 256;
    static constexpr int kLayerParamBytes = 64;
    using LevelEntry = MapLevelEntry;

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
    bool LoadSchemeFile(const CString& name) override;
    bool LoadLineFile();
    bool LoadLevelFile();
    // "Gray" for a display of 16 colours or fewer (0 to 16), "Color" otherwise.
    const char16_t* ModeFolder() const;

    void SetColorMode(std::int32_t colours) { colorMode = colours; }
    std::int32_t GetColorMode() const { return colorMode; }
    bool GetSavedPositionsFlag() const { return savedPositionsExist; }
    void SetSavedPositionsFlag(bool flag) { savedPositionsExist = flag; }
    bool GetSafePointsFlag() const { return safePointsExist; }
    void SetSafePointsFlag(bool flag) { safePointsExist = flag; }

    const CString& GetDataFolder() const { return dataFolder; }
    void SetDataFolder(const CString& folder) { dataFolder = folder; }
    const std::vector<MapLayerRecord>& GetLayers() const { return layers; }
    const COLORREF* GetColorTable() const { return colorTable; }
    COLORREF GetBackgroundColor() const { return backColor; }
    COLORREF GetTextColor() const { return textColor; }
    const std::uint8_t* GetLineTable() const { return m_lineTable; }
    const LevelEntry* GetLevelTable() const { return levels; }
    int GetLevelRecordCount() const { return static_cast<int>(levelRecords.size() / 12); }

    POINT GetMapPosition() const { return POINT{mapX, mapY}; }
    void SetMapPosition(POINT p) { mapX = p.x, mapY = p.y; }
    POINT GetVehiclePosition() const { return POINT{vehicleX, vehicleY}; }
    void SetVehiclePosition(POINT p) { vehicleX = p.x, vehicleY = p.y; }
    std::int32_t GetMapLevel() const { return mapLevel; }
    void SetMapLevel(std::int32_t level) { mapLevel = level; }
    std::int32_t GetMapMode() const { return mapMode; }
    void SetMapMode(std::int32_t mode) { mapMode = mode; }
    // 0 when the vehicle position is the default map position (nothing was stored).
    std::uint8_t GetVehicleStoredFlag() const { return m_vehicleStored; }

    // Takes the position another program handed over in "\windows\Velko.wp" (six digits of x,
    // one separator, six digits of y; x scaled by 1.2 to the map's) and deletes the file, used or
    // not. False when there is no file or it is not exactly that.
    static bool TakeHandoverPoint(std::int32_t& x, std::int32_t& y);

    // Writes the positions to the two databases (one replace of each first record); false when
    // a database is missing or cannot be written.
    bool StorePositions() const;

private:
    void ReadStoredPositions();
    void ReadHandoverFile();
    CString ModePath(const char16_t* file) const;

    CString m_spare;
    std::uint8_t m_schemeExtra[8] = {};
    std::uint8_t m_schemeTail[64] = {};
    std::uint8_t m_lineTable[32] = {};
    std::uint8_t m_vehicleStored = 1;
};
