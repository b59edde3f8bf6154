// The map window: the child window in which the map is shown. It owns the layer table, two
// views (view 0 alone, or both side by side or stacked when split), the off-screen bitmaps the
// map is rendered into, and the hooks through which its owner draws overlays and receives pen
// input. A paint renders only the views marked for re-rendering; otherwise it re-composes the
// cached rendering, so the owner's dynamic overlay is redrawn on every paint while the map is
// redrawn only after a redraw request or a view change.
//
// All of it runs on the window's thread.
#pragma once

#include "mapview/LayerRecords.h"
#include "mapview/MapFeatureInfo.h"
#include "mapview/MapLabelList.h"
#include "mapview/MapLayerFile.h"
#include "mapview/MapSymbols.h"
#include "mapview/MapViewTransform.h"
#include "platform/base/OleAuto.h"
#include "platform/window/Afx.h"
#include "route/RouteMapView.h"

#include <cstdint>
#include <memory>

class CMapWnd : public CWnd, public IRouteMapView {
public:
    static constexpr int kMaxLayers = 100;
    static constexpr std::uint16_t kNextFreeIndex = 0xFFFF;
    static constexpr UINT_PTR kScrollTimer = 1000;
    static constexpr int kStars = 20;
    static constexpr COLORREF kNightSky = 0x534444;
    static constexpr COLORREF kDaySky = 0xFF9696;

    // Owner hooks: plain functions without context, set by the owner (null = not called).
    using MouseHook = void (*)(UINT message, UINT flags, int x, int y);
    using PaintHook = void (*)(CDC* dc, int view, int pass);
    using PrePaintHook = void (*)();
    using OwnerDrawHook = void (*)(CDC* dc, int width, int height);
    MouseHook m_mouseHook = nullptr;
    PaintHook m_paintHook = nullptr;
    PrePaintHook m_prePaintHook = nullptr;
    OwnerDrawHook m_ownerDrawHook = nullptr;

    CMapWnd();
    ~CMapWnd() override;

    // ---- data and layers ----
    // Copied only when the variant holds a string.
    void SetDataFolder(const VARIANT& folder);
    // Opens a layer at index 0..99, or at the next free index for 0xFFFF. The name is folded to
    // upper case in place. Ignored during a drag, for a non-string name, for an index above 99
    // or when no index is free; a layer already at the index is replaced.
    void OpenMapLayer(VARIANT& name, std::uint16_t index);
    // The layer whose file name equals the (upper-cased in place) name; null or -1 when none.
    CMapLayerFile* FindLayer(VARIANT& name);
    int FindLayerIndex(VARIANT& name);
    CMapLayerFile* GetLayer(int index) const;
    int GetHighestLayerIndex() const { return m_highest; }
    // Shows (1) or hides (anything else) a layer in the addressed view; a layer hidden in both
    // views gives back its cell cache.
    void ShowLayer(int index, int show);
    bool IsLayerShown(int view, int index) const;
    void FlushLayerCaches();
    // Opens every layer's file again under folder; 0 at the first failure.
    int ReopenLayers(const char16_t* folder);

    // ---- view operations (inert during a drag; the active view while split) ----
    void SetCenter(std::int32_t x, std::int32_t y, double rotation);
    void CenterView(std::int32_t x, std::int32_t y, double rotation);
    void SetScale(double value);
    void SetBirdViewDistance(std::int32_t distance);
    void SetViewMode(std::int32_t mode);
    void SetLevelMasks(int level1, int level2, int level3);
    void SetCenterOffset(double rx, double ry);
    void SetTrafficOffset(std::int32_t offset);
    void SetTrafficArrows(std::uint8_t on);
    // 0 repaints without re-rendering; 1 re-renders the active view, 2 both.
    void RequestRedraw(int which);
    void QuickRepaint();

    // ---- scrolling ----
    void BeginDragScroll(std::int32_t dx, std::int32_t dy, std::uint32_t period);
    void EndDragScroll();
    void ScrollBy(std::int32_t dx, std::int32_t dy);
    bool IsDragging() const { return m_drag != 0; }

    // ---- split view ----
    void SetSplitView(int orientation, double ratio);
    void SetActiveView(int index);
    void LayoutSplitViews();
    bool IsSplit() const { return m_split != 0; }

    // ---- conversions and overlay drawing ----
    int ScreenToMap(std::int32_t& x, std::int32_t& y);
    void PointToScreen(std::int32_t& x, std::int32_t& y) override;
    void PointToScreenInView(int view, std::int32_t& x, std::int32_t& y);
    void DrawPolyline(CDC* dc, const POINT* points, int n) override;
    // The SAFEARRAY form (2n 32-bit integers x0, y0, ...): the lock's failure code, else S_OK.
    HRESULT DrawPolylineArray(CDC* dc, SAFEARRAY* array);
    int IsRectVisible(std::int32_t xMin, std::int32_t xMax, std::int32_t yMin, std::int32_t yMax) override;
    int IsBoxVisible(const ViewBox& box);
    void DrawSymbol(CDC* dc, int n, int x, int y) override;
    void DrawCentreMark(CDC* dc);

    // ---- projection of the current view ----
    void UpdateViewTransform(int kind) { T().UpdateViewTransform(kind); }
    void WorldToScreen(std::int32_t x, std::int32_t y, POINT& out) const { T().WorldToScreen(x, y, out); }
    int ProjectPoint(std::int32_t x, std::int32_t y, ProjectedPoint& out) const { return T().ProjectPoint(x, y, out); }
    void ComputeVisibleArea() { T().ComputeVisibleArea(); }

    // ---- day and night ----
    int IsNightTime() const;
    void SetTimeCorrection(std::int32_t seconds);
    std::int32_t GetTimeCorrection() const { return m_correction; }
    void SetNightHours(std::uint8_t userHoursOn, std::int32_t nightFrom, std::int32_t nightTo);
    void PlaceStars();
    // The generator behind the stars and their twinkle, seeded by the owner for repeatable frames.
    void SetStarSeed(std::uint32_t seed) { m_random = seed; }
    const POINT* GetStars(int view) const { return m_views[view & 1].stars; }

    // ---- lookups and accessors ----
    int GetNearestLabel(char* text21);
    int FindNearestFeature(MapFeatureInfo* list2, const char* layerName);
    void SetShowSymbolText(std::uint8_t on) { m_showSymbolText = on; }
    void SetBackColor(COLORREF color) { m_backColor = color; }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    COLORREF GetBackColor() const { return m_backColor; }
    void SetSymbolManager(IMapSymbols* symbols) { m_symbols = symbols; }
    IMapSymbols* GetSymbolManager() const { return m_symbols; }
    int GetViewHeight() const { return T().View().height; }
    void GetCenter(std::int32_t& x, std::int32_t& y) const;
    // A bitmap compatible with dc, else a 24-bit bottom-up DIB section; null when neither.
    static HBITMAP CreateViewBitmap(HDC dc, int width, int height);

    // ---- state for owners and tests ----
    int GetCurrentView() const { return m_current; }
    int GetActiveView() const { return m_active; }
    const MapViewState& ViewState(int view) const { return m_views[view & 1].transform.View(); }
    const CMapViewTransform& ViewTransform(int view) const { return m_views[view & 1].transform; }
    std::uint16_t GetLevelMask(int view, int which) const { return m_views[view & 1].levelMask[which % 3]; }
    int GetWindowWidth() const { return m_windowWidth; }
    int GetWindowHeight() const { return m_windowHeight; }
    bool IsSingleBitmap() const { return m_singleBitmap != 0; }
    int GetSnapshotWidth() const { return m_snapshotSize[0]; }
    int GetSnapshotHeight() const { return m_snapshotSize[1]; }
    const ViewBox& GetMapBox() const { return m_mapBox; }

    // ---- drawing ----
    // Renders the current view's layers into dc.
    void DrawMapLayers(CDC* dc);
    void DrawCollectedLabel(CDC* dc, const MapLabelItem& item);

    // ---- message handlers ----
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnPaint() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnTimer(UINT_PTR id) override;

private:
    struct View {
        CMapViewTransform transform;
        std::uint16_t levelMask[3] = {256, 0, 64};
        std::int32_t trafficOffset = 40;
        std::uint8_t trafficArrows = 1;
        POINT stars[kStars] = {};
        CMapLabelList labels;
    };

    CMapViewTransform& T() { return m_views[m_current].transform; }
    const CMapViewTransform& T() const { return m_views[m_current].transform; }
    MapViewState& V() { return m_views[m_current].transform.View(); }
    const MapViewState& V() const { return m_views[m_current].transform.View(); }
    View& CurrentView() { return m_views[m_current]; }
    // Runs f on the view that the setters address (the active view while split), unless a drag
    // runs; the current view is restored afterwards.
    template <class F> void OnAddressedView(F f);
    int NextRandom();

    // Painting.
    void RenderView(CDC* dc, int width, int height, int pass);
    void DeleteViewBitmaps();
    void PaintSingle(CDC* windowDc);
    void PaintSplit(CDC* windowDc, bool render);
    void PaintDragScroll(CDC* windowDc);
    void FillBackground(CDC* dc, int width, int height);
    // Moves view 0's centre by the accumulated drag pixels.
    void MoveByDraggedPixels();

    // Layer drawing.
    struct CellRange {
        int firstColumn = 0, lastColumn = -1, firstRow = 0, lastRow = -1;
    };
    CellRange VisibleCells(const MapLayerHeader& h, const ViewBox& area) const;
    bool LoadCellWithRetry(CMapLayerFile& layer, std::int32_t cell);
    void DrawLayerCells(CDC* dc, CMapLayerFile& layer, bool secondPass);
    void DrawBlock(CDC* dc, CMapLayerFile& layer, std::int32_t originX, std::int32_t originY, bool secondPass);
    void DrawFlatRecord(CDC* dc, CMapLayerFile& layer, const LayerRecord& r, bool tiled);
    void DrawBirdRecord(CDC* dc, CMapLayerFile& layer, const LayerRecord& r, bool tiled);
    void DrawFlatLabel(CDC* dc, CMapLayerFile& layer, const LayerRecord& r, bool tiled);
    void CollectBirdLabel(CMapLayerFile& layer, const LayerRecord& r, bool tiled);
    void DrawSky(CDC* dc);
    void DrawTrafficLink(CDC* dc, const LayerRecord& r, bool bird);
    // Bird's-eye clipping of n points into m_screen; draws strips (polyline) or returns the count
    // of collected points (polygon).
    void DrawClippedStrips(CDC* dc, const LayerPoint* pts, int n, CPen* casing);
    int CollectClippedPolygon(const LayerPoint* pts, int n);
    int ProjectAny(std::int32_t x, std::int32_t y, POINT& p, POINT& q, std::uint8_t clip);
    void DrawEdgeRuns(CDC* dc, const LayerRecord& r, const POINT* pts, int count, COLORREF colour);
    bool IsShieldLayer(const CMapLayerFile& layer) const;
    int OutCode(std::int32_t x, std::int32_t y) const;

    // Lookups.
    template <class F> void VisitCells(CMapLayerFile& layer, std::int32_t x0, std::int32_t y0, std::int32_t x1,
                                       std::int32_t y1, F f);

    std::unique_ptr<CMapLayerFile> m_layers[kMaxLayers];
    int m_highest = -1;
    VARIANT m_dataFolder;
    ViewBox m_mapBox;
    bool m_hasMapBox = false;
    COLORREF m_backColor = 0xFFFFFF;
    COLORREF m_textColor = 0;
    std::uint8_t m_shown[2][kMaxLayers] = {};
    int m_current = 0;
    int m_active = 0;
    std::uint8_t m_split = 0;
    int m_splitOrientation = 0;
    double m_splitRatio = 0.0;
    std::uint8_t m_drag = 0;
    std::uint8_t m_quickRepaint = 0;
    std::int32_t m_dragStep[2] = {};
    HBITMAP m_snapshot = nullptr;
    bool m_snapshotAsDib = false;
    std::int32_t m_dragStart[2] = {};
    std::int32_t m_dragPos[2] = {};
    std::int32_t m_snapshotSize[2] = {};
    int m_windowWidth = 0, m_windowHeight = 0;
    HBITMAP m_bitmaps[3] = {};
    std::uint8_t m_singleBitmap = 0;
    IMapSymbols* m_symbols = nullptr;
    std::uint8_t m_showSymbolText = 0;
    View m_views[2];

    std::uint8_t m_userHours = 0;
    std::int32_t m_nightFrom = 0, m_nightTo = 0;
    std::uint8_t m_correctionValid = 0;
    std::int32_t m_correction = 0;
    std::uint32_t m_random = 1;

    // Scratch point buffer of the layer drawing.
    std::vector<POINT> m_screen;
};
