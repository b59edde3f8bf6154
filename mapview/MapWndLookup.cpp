// What lies at the map centre: the nearest place-name label (proposed as the name of a point the
// user registers) and the two nearest objects of a symbol-and-text layer (the information bar).
#include "mapview/MapWnd.h"

#include "platform/base/Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Copies at most max bytes of CP949 text without splitting a two-byte character, terminated.
void CopyCp949(char* out, const std::string& text, std::size_t max) {
    std::size_t n = 0;
    while (n < text.size()) {
        const std::size_t step = static_cast<unsigned char>(text[n]) >= 0x81 ? 2 : 1;
        if (n + step > max || n + step > text.size()) break;
        n += step;
    }
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

} // namespace

template <class F>
void CMapWnd::VisitCells(CMapLayerFile& layer, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                         F f) {
    const MapLayerHeader& h = layer.GetHeader();
    // Cells are counted signed from the grid origin and clamped to the grid.
    const CellRange cells = VisibleCells(h, ViewBox{x0, y0, x1, y1});
    const std::int64_t ox = static_cast<std::int32_t>(h.originX), oy = static_cast<std::int32_t>(h.originY);
    for (int c = cells.firstColumn; c <= cells.lastColumn; ++c) {
        for (int r = cells.firstRow; r <= cells.lastRow; ++r) {
            if (c >= h.columns || r >= h.rows) continue;
            if (!LoadCellWithRetry(layer, c * h.rows + r)) continue;
            if (!layer.GetBlock()) continue;
            CLayerRecordReader reader(layer.GetKind(), true, layer.GetBlock(), layer.GetBlockSize(),
                                      static_cast<std::int32_t>(ox + std::int64_t(c) * h.cellWidth),
                                      static_cast<std::int32_t>(oy + std::int64_t(r) * h.cellHeight));
            LayerRecord rec;
            while (reader.Next(rec)) f(rec);
        }
    }
}

int CMapWnd::GetNearestLabel(char* text21) {
    if (m_drag) return 0;
    std::int32_t cx = 0, cy = 0;
    GetCenter(cx, cy);
    const std::int32_t x0 = cx - 500, y0 = cy - 500, x1 = cx + 500, y1 = cy + 500;
    double best = 100000.0;
    for (int i = 0; i <= m_highest && i < kMaxLayers; ++i) {
        CMapLayerFile* layer = m_layers[i].get();
        if (!layer || layer->GetKind() != layerkind::kLabel || !layer->GetHeader().IsTiled()) continue;
        VisitCells(*layer, x0, y0, x1, y1, [&](const LayerRecord& r) {
            if (r.symbol == 0) return;
            if (r.at.x < x0 || r.at.x > x1 || r.at.y < y0 || r.at.y > y1) return;
            // Labels that start with a digit 1 to 8 are not names.
            if (!r.text.empty() && r.text[0] >= '1' && r.text[0] <= '8') return;
            const double dx = double(r.at.x) - cx, dy = double(r.at.y) - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d < best) {
                best = d;
                if (text21) CopyCp949(text21, r.text, 20);
            }
        });
    }
    return 1;
}

int CMapWnd::FindNearestFeature(MapFeatureInfo* list, const char* layerName) {
    if (m_drag || !list) return 0;
    const std::u16string wanted = layerName ? Utf8ToUtf16(layerName) : std::u16string();
    CMapLayerFile* layer = nullptr;
    for (int i = 0; i <= m_highest && i < kMaxLayers && !layer; ++i) {
        CMapLayerFile* l = m_layers[i].get();
        if (!l || l->GetKind() != layerkind::kSymbolText || !l->GetHeader().IsTiled()) continue;
        if (m_shown[m_current][i]) {
            layer = l;
            break;
        }
        const CString& name = l->GetName();
        const std::size_t n = static_cast<std::size_t>(name.GetLength());
        if (wanted.size() >= n && wanted.compare(0, n, std::u16string_view(name.GetString(), n)) == 0) layer = l;
    }
    if (!layer) return 0;
    std::int32_t cx = 0, cy = 0;
    GetCenter(cx, cy);
    const std::int32_t x0 = cx - 455, y0 = cy - 555, x1 = cx + 455, y1 = cy + 555;
    int counted = 0;
    VisitCells(*layer, x0, y0, x1, y1, [&](const LayerRecord& r) {
        if (r.symbol == 0 || r.text.empty()) return;
        if (r.at.x < x0 || r.at.x > x1 || r.at.y < y0 || r.at.y > y1) return;
        ++counted;
        MapFeatureInfo info;
        const double dx = double(r.at.x) - cx, dy = double(r.at.y) - cy;
        info.distance = static_cast<std::int32_t>(std::sqrt(dx * dx + dy * dy));
        info.flags[0] = r.symbol;
        info.flags[1] = r.symbolSource;
        info.flags[2] = r.boxStyle;
        info.x = r.at.x;
        info.y = r.at.y;
        CopyCp949(info.name, r.text, 20);
        info.number = static_cast<std::int32_t>(r.number);
        CopyCp949(info.text2, r.text2, 20);
        // The nearer record stays in front; of two at the same distance the later goes first.
        int found = -1;
        if (list[1].distance != -1 && list[1].distance < info.distance)
            found = 1;
        else if (list[0].distance != -1 && list[0].distance < info.distance)
            found = 0;
        if (found == 1) return;
        POINT s;
        T().WorldToScreen(info.x, info.y, s);
        info.screenX = s.x;
        info.screenY = s.y;
        if (found == 0) {
            list[1] = info;
        } else {
            if (list[0].distance != -1) list[1] = list[0];
            list[0] = info;
        }
    });
    return counted;
}
