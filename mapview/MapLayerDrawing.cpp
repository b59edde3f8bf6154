// The layer drawing of the map window: the visible cells of every shown layer, lines, areas,
// edge-run areas and traffic links flat or through the bird's-eye projection with clipping,
// the bird's-eye sky, and the labels and symbols (drawn at once in the flat view, collected by
// depth and drawn after the sky in the bird's-eye view).
#include "mapview/MapWnd.h"

#include "mapview/TintedBox.h"
#include "platform/base/Text.h"
#include "traffic/receiver/Traffic.h"

#include <algorithm>

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;

// The colour of a traffic link's current speed class; false when it has none to show.
bool GetTrafficLinkColor(std::uint16_t index, COLORREF& colour) {
    unsigned long c = 0;
    if (!CTraffic::instance()->getLinkColorByIdx(index, c)) return false;
    colour = static_cast<COLORREF>(c);
    return true;
}

bool IsLabelKind(int kind) {
    return kind == layerkind::kLabel || kind == layerkind::kLabel2 || kind == layerkind::kPointSymbol ||
           kind == layerkind::kSymbolText;
}

bool Overlaps(const LayerRecord& r, const ViewBox& v) {
    return r.minX <= v.maxX && r.maxX >= v.minX && r.minY <= v.maxY && r.maxY >= v.minY;
}

bool Inside(const LayerPoint& p, const ViewBox& v) {
    return p.x >= v.minX && p.x <= v.maxX && p.y >= v.minY && p.y <= v.maxY;
}

// Record text (code page 949) as wide text.
std::u16string WideText(const std::string& text) {
    if (text.empty()) return {};
    const UINT cp = IsValidLocale(1042, LCID_INSTALLED) ? 949 : CP_ACP;
    std::u16string out(text.size() + 1, u'\0');
    const int n = MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                      static_cast<int>(out.size()));
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

constexpr const char16_t* kShieldLayers[5] = {u"POINT\\GOVERNROADNUM.MDC", u"POINT\\GOVERNROADNUM456.MDC",
                                              u"POINT\\HIGHWAYROADNUM.MDC", u"POINT\\HIGHWAYROADNUM456.MDC",
                                              u"POINT\\TOPROADNUM.MDC"};

} // namespace

bool CMapWnd::IsShieldLayer(const CMapLayerFile& layer) const {
    for (const char16_t* name : kShieldLayers)
        if (layer.GetName() == CString(name)) return true;
    return false;
}

CMapWnd::CellRange CMapWnd::VisibleCells(const MapLayerHeader& h, const ViewBox& area) const {
    CellRange r;
    if (h.cellWidth == 0 || h.cellHeight == 0 || h.columns == 0 || h.rows == 0) return r;
    auto range = [](std::int64_t lo, std::int64_t hi, std::int64_t origin, std::int64_t size, int count, int& first,
                    int& last) {
        if (hi < origin) {
            first = 0;
            last = -1;
            return;
        }
        first = lo < origin ? 0 : static_cast<int>(std::min<std::int64_t>((lo - origin) / size, count));
        last = static_cast<int>(std::min<std::int64_t>((hi - origin) / size, count - 1));
    };
    // The grid origin is stored unsigned; it is read back as the signed map coordinate it encodes.
    range(area.minX, area.maxX, static_cast<std::int32_t>(h.originX), h.cellWidth, h.columns, r.firstColumn,
          r.lastColumn);
    range(area.minY, area.maxY, static_cast<std::int32_t>(h.originY), h.cellHeight, h.rows, r.firstRow, r.lastRow);
    return r;
}

bool CMapWnd::LoadCellWithRetry(CMapLayerFile& layer, std::int32_t cell) {
    if (layer.LoadCell(cell)) return true;
    FlushLayerCaches();
    return layer.LoadCell(cell) != 0;
}

void CMapWnd::DrawLayerCells(CDC* dc, CMapLayerFile& layer, bool secondPass) {
    const MapLayerHeader& h = layer.GetHeader();
    if (!h.IsTiled()) {
        if (LoadCellWithRetry(layer, 0)) DrawBlock(dc, layer, 0, 0, secondPass);
        return;
    }
    const CellRange cells = VisibleCells(h, V().visible);
    const std::int64_t ox = static_cast<std::int32_t>(h.originX), oy = static_cast<std::int32_t>(h.originY);
    for (int c = cells.firstColumn; c <= cells.lastColumn; ++c) {
        for (int r = cells.firstRow; r <= cells.lastRow; ++r) {
            if (c >= h.columns || r >= h.rows) continue;
            const std::int64_t x0 = ox + std::int64_t(c) * h.cellWidth, y0 = oy + std::int64_t(r) * h.cellHeight;
            const ViewBox cellBox{static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0),
                                  static_cast<std::int32_t>(x0 + h.cellWidth), static_cast<std::int32_t>(y0 + h.cellHeight)};
            if (!IsBoxVisible(cellBox)) continue;
            if (!LoadCellWithRetry(layer, c * h.rows + r)) continue;
            DrawBlock(dc, layer, cellBox.minX, cellBox.minY, secondPass);
        }
    }
}

void CMapWnd::DrawBlock(CDC* dc, CMapLayerFile& layer, std::int32_t originX, std::int32_t originY, bool secondPass) {
    if (!layer.GetBlock() || layer.GetBlockSize() == 0) return;
    const bool tiled = layer.GetHeader().IsTiled();
    CLayerRecordReader reader(layer.GetKind(), tiled, layer.GetBlock(), layer.GetBlockSize(), originX, originY);
    LayerRecord r;
    const bool bird = V().mode == 1;
    while (reader.Next(r)) {
        if (secondPass)
            DrawFlatLabel(dc, layer, r, tiled);
        else if (bird)
            DrawBirdRecord(dc, layer, r, tiled);
        else
            DrawFlatRecord(dc, layer, r, tiled);
    }
}

void CMapWnd::DrawMapLayers(CDC* dc) {
    ComputeVisibleArea();
    View& view = CurrentView();
    const MapViewState& v = V();
    const bool bird = v.mode == 1;
    for (int i = 0; i <= m_highest && i < kMaxLayers; ++i) {
        CMapLayerFile* layer = m_layers[i].get();
        if (!layer || !m_shown[m_current][i]) continue;
        const int kind = layer->GetKind();
        if (!bird && IsLabelKind(kind)) continue;
        CPen pen;
        CBrush brush;
        CPen* oldPen = nullptr;
        CBrush* oldBrush = nullptr;
        if (kind == layerkind::kLine || kind == layerkind::kLine2) {
            pen.CreatePen(PS_SOLID, layer->GetPenWidth(), layer->GetColor());
            oldPen = dc->SelectObject(&pen);
        } else if (kind == layerkind::kArea || kind == layerkind::kEdgeRunArea) {
            brush.CreateSolidBrush(layer->GetColor());
            pen.CreatePen(PS_SOLID, 0, layer->GetBorder() ? layer->GetBorderColor() : layer->GetColor());
            oldBrush = dc->SelectObject(&brush);
            oldPen = dc->SelectObject(&pen);
        }
        DrawLayerCells(dc, *layer, false);
        if (oldPen) dc->SelectObject(oldPen);
        if (oldBrush) dc->SelectObject(oldBrush);
    }
    if (m_paintHook) m_paintHook(dc, m_current, 0);
    if (bird) DrawSky(dc);
    if (v.mode == 0) {
        for (int i = 0; i <= m_highest && i < kMaxLayers; ++i) {
            CMapLayerFile* layer = m_layers[i].get();
            if (!layer || !m_shown[m_current][i]) continue;
            const int kind = layer->GetKind();
            if (!IsLabelKind(kind)) continue;
            if (m_drag && (kind == layerkind::kPointSymbol || kind == layerkind::kSymbolText)) continue;
            if (kind == layerkind::kSymbolText && !m_showSymbolText) continue;
            if (!layer->GetHeader().IsTiled() && kind != layerkind::kLabel && kind != layerkind::kLabel2) continue;
            COLORREF old = dc->GetTextColor();
            if (IsShieldLayer(*layer))
                dc->SetTextColor(kWhite);
            else if (m_textColor != 0)
                dc->SetTextColor(m_textColor);
            DrawLayerCells(dc, *layer, true);
            dc->SetTextColor(old);
        }
    }
    if (bird)
        for (const MapLabelItem& item : view.labels.Items()) DrawCollectedLabel(dc, item);
    view.labels.Clear();
}

// ---------------------------------------------------------------------------------------------
// Flat records

void CMapWnd::DrawFlatRecord(CDC* dc, CMapLayerFile& layer, const LayerRecord& r, bool tiled) {
    const MapViewState& v = V();
    switch (r.kind) {
    case layerkind::kLine:
    case layerkind::kLine2:
    case layerkind::kArea:
    case layerkind::kEdgeRunArea: {
        if (r.kind == layerkind::kEdgeRunArea && !tiled) return;
        if (!Overlaps(r, v.visible) || !IsBoxVisible(ViewBox{r.minX, r.minY, r.maxX, r.maxY})) return;
        const int n = static_cast<int>(r.points.size());
        if (n == 0) return;
        m_screen.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) T().WorldToScreen(r.points[i].x, r.points[i].y, m_screen[i]);
        if (r.kind == layerkind::kArea) {
            dc->Polygon(m_screen.data(), n);
        } else if (r.kind == layerkind::kEdgeRunArea) {
            dc->Polygon(m_screen.data(), n);
            DrawEdgeRuns(dc, r, m_screen.data(), n, layer.GetColor());
        } else {
            if (tiled && layer.GetBorder()) {
                CPen casing(PS_SOLID, layer.GetPenWidth() + 4, layer.GetBorderColor());
                CPen* old = dc->SelectObject(&casing);
                dc->Polyline(m_screen.data(), n);
                dc->SelectObject(old);
            }
            dc->Polyline(m_screen.data(), n);
        }
        return;
    }
    case layerkind::kTrafficLink:
        if (!Overlaps(r, v.visible) || !IsBoxVisible(ViewBox{r.minX, r.minY, r.maxX, r.maxY})) return;
        DrawTrafficLink(dc, r, false);
        return;
    default:
        return;
    }
}

void CMapWnd::DrawEdgeRuns(CDC* dc, const LayerRecord& r, const POINT* pts, int count, COLORREF colour) {
    CPen pen(PS_SOLID, 0, colour);
    CPen* old = dc->SelectObject(&pen);
    const int n = static_cast<int>(r.points.size());
    for (const EdgeRun& run : r.runs) {
        // A run is drawn only when its ends lie among the points there are.
        if (run.last == n) {
            if (run.first > n - 1 || n - 1 >= count) continue;
            dc->Polyline(pts + run.first, n - run.first);
            const POINT closing[2] = {pts[n - 1], pts[0]};
            dc->Polyline(closing, 2);
        } else {
            if (run.last >= count) continue;
            dc->Polyline(pts + run.first, run.last - run.first + 1);
        }
    }
    dc->SelectObject(old);
}

void CMapWnd::DrawTrafficLink(CDC* dc, const LayerRecord& r, bool bird) {
    COLORREF colour = 0;
    if (!GetTrafficLinkColor(r.linkIndex, colour)) return;
    const View& view = CurrentView();
    const std::int64_t t = view.trafficOffset;
    const std::size_t n = r.points.size();
    std::vector<LayerPoint> pts;
    pts.reserve(n + 1);
    for (std::size_t i = 0; i < n; ++i) {
        const auto& d = i < r.directions.size() ? r.directions[i] : std::pair<std::int8_t, std::int8_t>{0, 0};
        pts.push_back(LayerPoint{static_cast<std::int32_t>(r.points[i].x + d.first * t / 125),
                                 static_cast<std::int32_t>(r.points[i].y + d.second * t / 125)});
    }
    if (!r.noTail && view.trafficArrows == 1 && n > 0 && r.directions.size() > n) {
        const auto& d = r.directions[n];
        const std::int64_t div = bird ? 80 : 40;
        pts.push_back(LayerPoint{static_cast<std::int32_t>(pts.back().x + d.first * t / div),
                                 static_cast<std::int32_t>(pts.back().y + d.second * t / div)});
    }
    if (pts.empty()) return;
    CPen pen(PS_SOLID, 3, colour);
    CPen* old = dc->SelectObject(&pen);
    if (bird) {
        DrawClippedStrips(dc, pts.data(), static_cast<int>(pts.size()), nullptr);
    } else {
        m_screen.resize(pts.size());
        for (std::size_t i = 0; i < pts.size(); ++i) T().WorldToScreen(pts[i].x, pts[i].y, m_screen[i]);
        dc->Polyline(m_screen.data(), static_cast<int>(pts.size()));
    }
    dc->SelectObject(old);
}

// ---------------------------------------------------------------------------------------------
// Bird's-eye records

int CMapWnd::ProjectAny(std::int32_t x, std::int32_t y, POINT& p, POINT& q, std::uint8_t clip) {
    if (Inside(LayerPoint{x, y}, V().visible)) return T().ProjectVertex(x, y, p, q, clip);
    return T().ProjectVertexPrecise(x, y, p, q, clip);
}

void CMapWnd::DrawClippedStrips(CDC* dc, const LayerPoint* pts, int n, CPen* casing) {
    if (n <= 0) return;
    m_screen.resize(static_cast<std::size_t>(n) * 2 + 2);
    auto strip = [&](int count) {
        if (count < 1) return;
        if (casing) {
            CPen* old = dc->SelectObject(casing);
            dc->Polyline(m_screen.data(), count);
            dc->SelectObject(old);
        }
        dc->Polyline(m_screen.data(), count);
    };
    int count = 0;
    for (int i = 0; i < n; ++i) {
        POINT p, q;
        const int result = ProjectAny(pts[i].x, pts[i].y, p, q, i == 0 ? 0 : 1);
        if (result == 1) {
            m_screen[count++] = p;
        } else if (result == 2) {
            m_screen[count++] = p;
            strip(count);
            count = 0;
        } else if (result == 3) {
            m_screen[count++] = p;
            m_screen[count++] = q;
        }
    }
    strip(count);
}

int CMapWnd::CollectClippedPolygon(const LayerPoint* pts, int n) {
    m_screen.resize(static_cast<std::size_t>(n) * 2 + 2);
    int count = 0;
    for (int i = 0; i < n; ++i) {
        POINT p, q;
        const int result = ProjectAny(pts[i].x, pts[i].y, p, q, i == 0 ? 0 : 1);
        if (result == 1 || result == 2) {
            m_screen[count++] = p;
        } else if (result == 3) {
            m_screen[count++] = p;
            m_screen[count++] = q;
        }
    }
    return count;
}

void CMapWnd::DrawBirdRecord(CDC* dc, CMapLayerFile& layer, const LayerRecord& r, bool tiled) {
    const MapViewState& v = V();
    switch (r.kind) {
    case layerkind::kLine:
    case layerkind::kLine2: {
        if (!Overlaps(r, v.visible) || !IsBoxVisible(ViewBox{r.minX, r.minY, r.maxX, r.maxY})) return;
        if (tiled && layer.GetBorder()) {
            CPen casing(PS_SOLID, layer.GetPenWidth() + 4, layer.GetBorderColor());
            DrawClippedStrips(dc, r.points.data(), static_cast<int>(r.points.size()), &casing);
        } else {
            DrawClippedStrips(dc, r.points.data(), static_cast<int>(r.points.size()), nullptr);
        }
        return;
    }
    case layerkind::kArea:
    case layerkind::kEdgeRunArea: {
        if (r.kind == layerkind::kEdgeRunArea && !tiled) return;
        if (!Overlaps(r, v.visible) || !IsBoxVisible(ViewBox{r.minX, r.minY, r.maxX, r.maxY})) return;
        const int count = CollectClippedPolygon(r.points.data(), static_cast<int>(r.points.size()));
        if (count > 0) dc->Polygon(m_screen.data(), count);
        if (r.kind == layerkind::kEdgeRunArea) DrawEdgeRuns(dc, r, m_screen.data(), count, layer.GetColor());
        return;
    }
    case layerkind::kTrafficLink:
        if (!Overlaps(r, v.visible) || !IsBoxVisible(ViewBox{r.minX, r.minY, r.maxX, r.maxY})) return;
        DrawTrafficLink(dc, r, true);
        return;
    case layerkind::kLabel:
    case layerkind::kLabel2:
        CollectBirdLabel(layer, r, tiled);
        return;
    case layerkind::kPointSymbol:
        if (tiled && !m_drag) CollectBirdLabel(layer, r, tiled);
        return;
    default:
        return;
    }
}

void CMapWnd::CollectBirdLabel(CMapLayerFile&, const LayerRecord& r, bool tiled) {
    View& view = CurrentView();
    const MapViewState& v = V();
    const bool accepted = ((r.mask & view.levelMask[0]) && Inside(r.at, v.nearTwoThirds)) ||
                          ((r.mask & view.levelMask[1]) && Inside(r.at, v.nearFourFifths)) ||
                          ((r.mask & view.levelMask[2]) && Inside(r.at, v.visible));
    if (!accepted) return;
    ProjectedPoint p;
    if (!T().ProjectPoint(r.at.x, r.at.y, p)) return;
    MapLabelItem item;
    item.kind = r.kind;
    item.tiled = tiled;
    item.x = p.x;
    item.y = p.y;
    item.depth = p.depth;
    item.symbol = r.symbol;
    item.symbolSource = r.symbolSource;
    item.textDx = r.textDx;
    item.textDy = r.textDy;
    item.text = r.text;
    view.labels.Insert(item);
}

void CMapWnd::DrawCollectedLabel(CDC* dc, const MapLabelItem& item) {
    if (item.kind == layerkind::kPointSymbol) {
        if (m_symbols) m_symbols->DrawDisSymbol(dc->GetSafeHdc(), item.symbol, item.x, item.y);
        return;
    }
    if (item.kind != layerkind::kLabel && item.kind != layerkind::kLabel2) return;
    if (m_symbols) {
        if (item.symbolSource)
            m_symbols->DrawCachedSymbol(dc->GetSafeHdc(), item.symbol, item.x, item.y);
        else
            m_symbols->DrawDisSymbol(dc->GetSafeHdc(), item.symbol, item.x, item.y);
    }
    const std::u16string text = WideText(item.text);
    if (text.empty()) return;
    const int left = item.x + item.textDx, top = item.y + item.textDy;
    const UINT format = DT_NOPREFIX | DT_NOCLIP;
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(kWhite);
    const int shifts[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto& s : shifts) {
        RECT r{left + s[0], top + s[1], left + s[0] + 100, top + s[1] + 100};
        dc->DrawText(text.data(), static_cast<int>(text.size()), &r, format);
    }
    dc->SetTextColor(0);
    RECT r{left, top, left + 100, top + 100};
    dc->DrawText(text.data(), static_cast<int>(text.size()), &r, format);
}

// ---------------------------------------------------------------------------------------------
// Flat labels and symbols

void CMapWnd::DrawFlatLabel(CDC* dc, CMapLayerFile&, const LayerRecord& r, bool tiled) {
    const View& view = CurrentView();
    const MapViewState& v = V();
    if (!(r.mask & view.levelMask[1]) || !Inside(r.at, v.visible)) return;
    POINT s;
    T().WorldToScreen(r.at.x, r.at.y, s);
    if (r.kind == layerkind::kPointSymbol) {
        if (m_symbols) m_symbols->DrawDisSymbol(dc->GetSafeHdc(), r.symbol, s.x, s.y);
        return;
    }
    if (r.kind == layerkind::kSymbolText) {
        if (m_symbols) m_symbols->DrawPoiBarIcon(dc->GetSafeHdc(), 3, s.x, s.y);
        return;
    }
    if (m_symbols) {
        if (r.symbolSource)
            m_symbols->DrawCachedSymbol(dc->GetSafeHdc(), r.symbol, s.x, s.y);
        else if (tiled || r.symbol != 1)
            m_symbols->DrawDisSymbol(dc->GetSafeHdc(), r.symbol, s.x, s.y);
    }
    const std::u16string text = WideText(r.text);
    if (text.empty()) return;
    RECT rect{s.x + r.textDx, s.y + r.textDy, s.x + r.textDx + 100, s.y + r.textDy + 100};
    if (r.boxStyle != 0) {
        RECT measured = rect;
        dc->DrawText(text.data(), static_cast<int>(text.size()), &measured, DT_CALCRECT | DT_NOPREFIX | DT_NOCLIP);
        DrawTintedBox(dc, measured, r.boxStyle);
    }
    dc->SetBkMode(TRANSPARENT);
    dc->DrawText(text.data(), static_cast<int>(text.size()), &rect, DT_NOPREFIX | DT_NOCLIP);
}

// ---------------------------------------------------------------------------------------------
// The bird's-eye sky

void CMapWnd::DrawSky(CDC* dc) {
    MapViewState& v = V();
    const RECT sky{0, 0, v.width, v.horizonRow};
    if (IsNightTime()) {
        if (v.newStars) {
            PlaceStars();
            v.newStars = false;
        }
        dc->FillSolidRect(&sky, kNightSky);
        for (const POINT& star : CurrentView().stars) {
            if (star.x < 0 || star.y < 0 || star.x >= v.width || star.y >= v.horizonRow) continue;
            dc->SetPixel(star.x, star.y, kWhite);
            if (NextRandom() % 2 == 0) {
                dc->SetPixel(star.x - 1, star.y, kWhite);
                dc->SetPixel(star.x + 1, star.y, kWhite);
                dc->SetPixel(star.x, star.y - 1, kWhite);
                dc->SetPixel(star.x, star.y + 1, kWhite);
            }
        }
    } else {
        dc->FillSolidRect(&sky, kDaySky);
    }
    CPen line(PS_SOLID, 0, m_backColor);
    CPen* old = dc->SelectObject(&line);
    dc->MoveTo(0, v.horizonRow);
    dc->LineTo(v.width, v.horizonRow);
    dc->SelectObject(old);
}
