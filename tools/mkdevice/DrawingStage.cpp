#include "tools/mkdevice/DrawingStage.h"

#include "platform/base/Text.h"
#include "route/base/Coords.h"
#include "tools/mkdevice/ByteSink.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/Networks.h"
#include "tools/mkdevice/PlaceTable.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <stdexcept>

namespace mkdev {

namespace {

constexpr std::uint32_t kVersion = 20261210;
constexpr int kHeaderSize = 50;
constexpr std::int32_t kBaseCell = 4000; // map units per cell of the base layers

// The national grid of the facility and guide-point files.
constexpr int kNationalColumns = 48;
constexpr int kNationalRows = 66;
constexpr std::int32_t kNationalCellW = 12000; // 10000 point-file units
constexpr std::int32_t kNationalCellH = 10000;

struct MapPt {
    std::int32_t x = 0, y = 0;
};

MapPt ToMap(NetPoint p) {
    MapPt m;
    NetToMapCoord(p.x, p.y, m.x, m.y);
    return m;
}

struct Box {
    std::int32_t minX = std::numeric_limits<std::int32_t>::max();
    std::int32_t minY = std::numeric_limits<std::int32_t>::max();
    std::int32_t maxX = std::numeric_limits<std::int32_t>::min();
    std::int32_t maxY = std::numeric_limits<std::int32_t>::min();
    bool Empty() const { return minX > maxX; }
    void Add(MapPt p) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    void Add(const Box& b) {
        if (b.Empty()) return;
        Add(MapPt{b.minX, b.minY});
        Add(MapPt{b.maxX, b.maxY});
    }
};

Box BoxOf(const std::vector<MapPt>& pts) {
    Box b;
    for (const MapPt& p : pts) b.Add(p);
    return b;
}

// A CP949 text of at most maxBytes bytes, cut at a character boundary.
std::string Cp949Fit(const std::u16string& text, std::size_t maxBytes) {
    std::string out;
    for (char16_t c : text) {
        std::string one = Utf16ToCp949(std::u16string(1, c));
        if (one.empty() || out.size() + one.size() > maxBytes) break;
        out += one;
    }
    return out;
}

// One ".MDC" file being assembled: records are collected per cell, then the header, the
// column-major offset table and the blocks are written in cell order.
class LayerBuilder {
public:
    // Tiled layer.
    LayerBuilder(int kind, int columns, int rows, std::int32_t cellW, std::int32_t cellH, std::int32_t ox,
                 std::int32_t oy)
        : m_kind(kind), m_tiled(true), m_columns(columns), m_rows(rows), m_cellW(cellW), m_cellH(cellH),
          m_ox(ox), m_oy(oy), m_cells(static_cast<std::size_t>(columns) * rows) {}
    // Untiled layer.
    explicit LayerBuilder(int kind) : m_kind(kind), m_tiled(false), m_cells(1) {}

    bool Tiled() const { return m_tiled; }
    // The cell holding a map point, -1 outside the grid.
    int CellOf(MapPt p) const {
        if (!m_tiled) return 0;
        if (p.x < m_ox || p.y < m_oy) return -1;
        const std::int64_t c = (std::int64_t(p.x) - m_ox) / m_cellW;
        const std::int64_t r = (std::int64_t(p.y) - m_oy) / m_cellH;
        if (c >= m_columns || r >= m_rows) return -1;
        return static_cast<int>(c * m_rows + r);
    }
    MapPt CellOrigin(int cell) const {
        if (!m_tiled) return {0, 0};
        return {m_ox + (cell / m_rows) * m_cellW, m_oy + (cell % m_rows) * m_cellH};
    }
    void Add(int cell, const ByteSink& record, const Box& extent) {
        auto& bytes = m_cells.at(static_cast<std::size_t>(cell));
        bytes.insert(bytes.end(), record.Data().begin(), record.Data().end());
        m_box.Add(extent);
        ++m_records;
    }
    long Records() const { return m_records; }
    const Box& Extent() const { return m_box; }

    std::vector<std::uint8_t> Build(const Box& fallbackBox) const {
        const Box& box = m_box.Empty() ? fallbackBox : m_box;
        ByteSink out;
        out.U32(kVersion);
        out.U8(static_cast<std::uint32_t>(m_kind));
        out.U8(m_tiled ? 1 : 0);
        out.U32(0); // size, patched below
        out.I32(box.minX);
        out.I32(box.minY);
        out.I32(box.maxX);
        out.I32(box.maxY);
        out.U32(0);
        out.U16(static_cast<std::uint32_t>(m_tiled ? m_columns : 0));
        out.U16(static_cast<std::uint32_t>(m_tiled ? m_rows : 0));
        out.U32(static_cast<std::uint32_t>(m_tiled ? m_cellW : 0));
        out.U32(static_cast<std::uint32_t>(m_tiled ? m_cellH : 0));
        out.U32(static_cast<std::uint32_t>(m_tiled ? m_ox : 0));
        out.U32(static_cast<std::uint32_t>(m_tiled ? m_oy : 0));
        if (m_tiled) {
            const std::size_t table = out.Size();
            out.Zeros(m_cells.size() * 4);
            for (std::size_t c = 0; c < m_cells.size(); ++c) {
                if (m_cells[c].empty()) continue;
                out.PutU32At(table + 4 * c, static_cast<std::uint32_t>(out.Size()));
                out.Bytes(m_cells[c].data(), m_cells[c].size());
            }
        } else {
            out.Bytes(m_cells[0].data(), m_cells[0].size());
        }
        if (out.Size() > 0xffffffffu) throw std::runtime_error("layer larger than 4 GB");
        out.PutU32At(6, static_cast<std::uint32_t>(out.Size()));
        return out.Data();
    }

private:
    int m_kind;
    bool m_tiled;
    int m_columns = 0, m_rows = 0;
    std::int32_t m_cellW = 0, m_cellH = 0, m_ox = 0, m_oy = 0;
    std::vector<std::vector<std::uint8_t>> m_cells;
    Box m_box;
    long m_records = 0;
};

// ---------------------------------------------------------------------------------------------
// Records

void PutBox16(ByteSink& s, const Box& b, MapPt o) {
    s.I16(b.minX - o.x);
    s.I16(b.minY - o.y);
    s.I16(b.maxX - o.x);
    s.I16(b.maxY - o.y);
}

ByteSink PolyRecord(const std::vector<MapPt>& pts, MapPt o, bool tiled) {
    ByteSink s;
    const Box b = BoxOf(pts);
    if (tiled) {
        PutBox16(s, b, o);
        s.U16(static_cast<std::uint32_t>(pts.size()));
        for (const MapPt& p : pts) {
            s.I16(p.x - o.x);
            s.I16(p.y - o.y);
        }
    } else {
        s.I32(b.minX);
        s.I32(b.minY);
        s.I32(b.maxX);
        s.I32(b.maxY);
        s.U16(static_cast<std::uint32_t>(pts.size()));
        for (const MapPt& p : pts) {
            s.I32(p.x);
            s.I32(p.y);
        }
    }
    return s;
}

struct Label {
    MapPt at;
    std::u16string text;
    std::uint8_t symbol = 0;
    std::uint8_t boxStyle = 0;
    std::uint16_t mask = 0;
    std::int8_t dx = 0, dy = 0;
};

ByteSink LabelRecord(const Label& l, MapPt o, bool tiled) {
    ByteSink s;
    s.U8(l.symbol);
    s.U8(0);
    s.U8(l.boxStyle);
    s.U16(l.mask);
    if (tiled) {
        s.I16(l.at.x - o.x);
        s.I16(l.at.y - o.y);
    } else {
        s.I32(l.at.x);
        s.I32(l.at.y);
    }
    s.U8(static_cast<std::uint8_t>(l.dx));
    s.U8(static_cast<std::uint8_t>(l.dy));
    s.Text(Cp949Fit(l.text, 20), 21);
    return s;
}

// Mask of the levels from..to (inclusive).
std::uint16_t Levels(int from, int to) {
    std::uint32_t m = 0;
    for (int l = from; l <= to && l < 16; ++l) m |= 1u << l;
    return static_cast<std::uint16_t>(m);
}

// Splits a polyline into pieces that each fit well inside one cell's reach: long segments are
// subdivided, and a piece ends once its box would grow beyond half a cell. Pieces share their
// end points so the drawn line stays continuous.
std::vector<std::vector<MapPt>> Pieces(const std::vector<MapPt>& line, std::int32_t cell) {
    std::vector<MapPt> dense;
    const double step = cell / 4.0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (i > 0) {
            const MapPt a = line[i - 1], b = line[i];
            const double len = std::hypot(double(b.x) - a.x, double(b.y) - a.y);
            const int parts = static_cast<int>(len / step);
            for (int k = 1; k <= parts; ++k) {
                const double t = double(k) / (parts + 1);
                dense.push_back({static_cast<std::int32_t>(std::lround(a.x + (b.x - a.x) * t)),
                                 static_cast<std::int32_t>(std::lround(a.y + (b.y - a.y) * t))});
            }
        }
        dense.push_back(line[i]);
    }
    std::vector<std::vector<MapPt>> out;
    std::vector<MapPt> cur;
    Box box;
    for (const MapPt& p : dense) {
        Box grown = box;
        grown.Add(p);
        if (!cur.empty() && (grown.maxX - grown.minX > cell / 2 || grown.maxY - grown.minY > cell / 2)) {
            if (cur.size() >= 2) out.push_back(cur);
            const MapPt last = cur.back();
            cur = {last};
            box = Box();
            box.Add(last);
            box.Add(p);
        } else {
            box = grown;
        }
        cur.push_back(p);
    }
    if (cur.size() >= 2) out.push_back(cur);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Road classes of the base map

struct RoadLayer {
    const char* name;
    int kind;
    int firstLevel; // shown from this level index (0 = level 1)
    int colour;     // colour number
    int outline;    // outline colour number, 0 = none
    int width;      // pen width at the first level
};

// In drawing order, smallest roads first so that the big roads are drawn over them.
const RoadLayer kRoadLayers[] = {
    {"MAP\\ROAD_ALLEY.MDC", 2, 11, 5, 0, 1},    {"MAP\\ROAD_STREET.MDC", 2, 8, 6, 12, 1},
    {"MAP\\ROAD_MAIN.MDC", 2, 5, 7, 12, 2},     {"MAP\\ROAD_PROVINCIAL.MDC", 2, 3, 8, 12, 2},
    {"MAP\\ROAD_NATIONAL.MDC", 5, 1, 9, 12, 2}, {"MAP\\ROAD_RAMP.MDC", 2, 5, 10, 12, 1},
    {"MAP\\ROAD_HIGHWAY.MDC", 5, 0, 11, 15, 3},
};

int RoadLayerOf(RoadType t) {
    switch (t) {
    case RoadType::Alley:
        return 0;
    case RoadType::TownStreet:
    case RoadType::Roundabout:
        return 1;
    case RoadType::TownMain:
    case RoadType::Overpass:
    case RoadType::Underpass:
        return 2;
    case RoadType::ProvincialRoad:
        return 3;
    case RoadType::NationalRoad:
        return 4;
    case RoadType::JcRamp:
    case RoadType::IcRamp:
    case RoadType::ServiceArea:
        return 5;
    default:
        return 6;
    }
}

bool IsExpressway(RoadType t) {
    return t == RoadType::Expressway || t == RoadType::ExpresswayTunnel;
}
bool IsTownRoad(RoadType t) {
    return t == RoadType::TownStreet || t == RoadType::TownMain || t == RoadType::Alley ||
           t == RoadType::Overpass || t == RoadType::Underpass;
}

std::vector<MapPt> LinkLine(const NetModel& m, const NetLink& l) {
    std::vector<MapPt> pts;
    pts.push_back(ToMap(m.NodePoint(l.a)));
    for (const NetPoint& p : l.shape) pts.push_back(ToMap(p));
    pts.push_back(ToMap(m.NodePoint(l.b)));
    return pts;
}

// ---------------------------------------------------------------------------------------------
// The stage

class Stage {
public:
    Stage(const DeviceLayout& layout, const NetModel& model, bool sample)
        : m_layout(layout), m_model(model), m_sample(sample) {
        for (const NetNode& n : model.Nodes()) m_extent.Add(ToMap(n.pt));
        if (m_extent.Empty()) m_extent.Add(MapPt{203143, 531663});
        // The base grid covers the network with one cell to spare on every side.
        auto floorTo = [](std::int32_t v, std::int32_t c) {
            return static_cast<std::int32_t>(std::floor(double(v) / c) * c);
        };
        m_ox = std::max(0, floorTo(m_extent.minX, kBaseCell) - kBaseCell);
        m_oy = std::max(0, floorTo(m_extent.minY, kBaseCell) - kBaseCell);
        m_columns = std::clamp((m_extent.maxX - m_ox) / kBaseCell + 2, 1, 65535);
        m_rows = std::clamp((m_extent.maxY - m_oy) / kBaseCell + 2, 1, 65535);
    }

    DrawingSummary Run() {
        std::vector<std::string> areaNames = Areas();
        std::vector<std::string> lineNames = Roads();
        std::vector<std::string> labelNames = Labels();
        std::vector<std::string> shieldNames = Shields();
        Facilities();
        TrafficLinks();
        GuidePoints();
        Configuration(areaNames, lineNames, labelNames, shieldNames);
        m_summary.mapMinX = m_mapBox.minX;
        m_summary.mapMinY = m_mapBox.minY;
        m_summary.mapMaxX = m_mapBox.maxX;
        m_summary.mapMaxY = m_mapBox.maxY;
        return m_summary;
    }

private:
    LayerBuilder BaseLayer(int kind) const {
        return LayerBuilder(kind, m_columns, m_rows, kBaseCell, kBaseCell, m_ox, m_oy);
    }
    static LayerBuilder NationalLayer(int kind) {
        return LayerBuilder(kind, kNationalColumns, kNationalRows, kNationalCellW, kNationalCellH, 0, 0);
    }

    void Write(const std::string& name, const LayerBuilder& b) {
        std::string rel = name;
        std::replace(rel.begin(), rel.end(), '\\', '/');
        const std::string path = m_layout.mapData + "/" + rel;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        const Box box = b.Extent().Empty() ? m_extent : b.Extent();
        WriteFileAtomic(path, b.Build(box));
        m_mapBox.Add(box);
        WrittenLayer w;
        w.name = name;
        w.tiled = b.Tiled();
        w.minX = box.minX;
        w.minY = box.minY;
        w.maxX = box.maxX;
        w.maxY = box.maxY;
        w.records = b.Records();
        m_summary.layers.push_back(w);
    }

    void WriteRaw(const std::string& rel, const std::vector<std::uint8_t>& bytes) {
        const std::string path = m_layout.mapData + "/" + rel;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteFileAtomic(path, bytes);
    }

    // Adds a polygon or line record to the cell of its first point.
    static void AddPoly(LayerBuilder& b, const std::vector<MapPt>& pts) {
        const int cell = b.CellOf(pts.front());
        if (cell < 0) return;
        b.Add(cell, PolyRecord(pts, b.CellOrigin(cell), b.Tiled()), BoxOf(pts));
    }

    static void AddLabel(LayerBuilder& b, const Label& l) {
        const int cell = b.CellOf(l.at);
        if (cell < 0) return;
        Box box;
        box.Add(l.at);
        b.Add(cell, LabelRecord(l, b.CellOrigin(cell), b.Tiled()), box);
    }

    MapPt Km(double east, double north) const {
        // The sample region's south-west corner (sheet column 20, row 52).
        return ToMap(KmToNet(45720000, 13470000, east, north));
    }

    static std::vector<MapPt> Ring(MapPt c, std::int32_t rx, std::int32_t ry, int n) {
        std::vector<MapPt> pts;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * 3.141592653589793 * i / n;
            pts.push_back({c.x + static_cast<std::int32_t>(std::lround(rx * std::cos(a))),
                           c.y + static_cast<std::int32_t>(std::lround(ry * std::sin(a)))});
        }
        return pts;
    }

    // Town-street raster: 1000-unit squares that hold a town road's midpoint.
    std::set<std::pair<std::int32_t, std::int32_t>> BuiltUpSquares() const {
        std::set<std::pair<std::int32_t, std::int32_t>> squares;
        for (const NetLink& l : m_model.Links()) {
            if (!IsTownRoad(l.type)) continue;
            const std::vector<MapPt> pts = LinkLine(m_model, l);
            const MapPt a = pts.front(), b = pts.back();
            const MapPt mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
            squares.insert({static_cast<std::int32_t>(std::floor(mid.x / 1000.0)),
                            static_cast<std::int32_t>(std::floor(mid.y / 1000.0))});
        }
        return squares;
    }

    std::vector<std::string> Areas() {
        // Water: untiled areas (a lake, and a river band for the sample region).
        LayerBuilder water(3);
        if (m_sample) {
            AddPoly(water, Ring(Km(16.5, 17.0), 1400, 900, 16));
            std::vector<MapPt> river;
            for (double x = 0.0; x <= 30.0; x += 2.5) river.push_back(Km(x, 15.0 + 0.6 * std::sin(x / 3)));
            for (double x = 30.0; x >= 0.0; x -= 2.5) river.push_back(Km(x, 15.2 + 0.6 * std::sin(x / 3)));
            AddPoly(water, river);
        } else {
            const MapPt c{m_extent.minX + (m_extent.maxX - m_extent.minX) / 6,
                          m_extent.maxY - (m_extent.maxY - m_extent.minY) / 6};
            AddPoly(water, Ring(c, 300, 200, 12));
        }
        Write("MAP\\WATER.MDC", water);

        // Parks: tiled areas.
        LayerBuilder park = BaseLayer(3);
        if (m_sample) {
            AddPoly(park, Ring(Km(12.1, 11.5), 180, 180, 8)); // the town hall's square
            AddPoly(park, Ring(Km(9.0, 12.0), 700, 500, 10));
            AddPoly(park, Ring(Km(4.5, 21.5), 300, 300, 8));
            AddPoly(park, Ring(Km(25.5, 24.0), 400, 300, 8));
        } else {
            const MapPt c{(m_extent.minX + m_extent.maxX) / 2, (m_extent.minY + m_extent.maxY) / 2};
            AddPoly(park, Ring(c, 150, 150, 8));
        }
        Write("MAP\\PARK.MDC", park);

        // Built-up blocks: edge-run areas, one per square of the town-street raster, inset so
        // that the streets stay visible; the runs outline the south and east sides.
        LayerBuilder blocks = BaseLayer(7);
        for (auto [sx, sy] : BuiltUpSquares()) {
            const std::int32_t x0 = sx * 1000 + 120, y0 = sy * 1000 + 120, x1 = sx * 1000 + 880,
                               y1 = sy * 1000 + 880;
            const std::vector<MapPt> pts = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
            const int cell = blocks.CellOf(pts.front());
            if (cell < 0) continue;
            ByteSink rec = PolyRecord(pts, blocks.CellOrigin(cell), true);
            rec.I16(2);
            rec.I16(0); // south and east sides: points 0 to 2
            rec.I16(2);
            rec.I16(3); // west side: point 3 back to point 0 (last == n wraps)
            rec.I16(4);
            blocks.Add(cell, rec, BoxOf(pts));
        }
        Write("MAP\\BLOCK.MDC", blocks);
        return {"MAP\\WATER.MDC", "MAP\\PARK.MDC", "MAP\\BLOCK.MDC"};
    }

    std::vector<std::string> Roads() {
        std::vector<LayerBuilder> layers;
        for (const RoadLayer& r : kRoadLayers) layers.push_back(BaseLayer(r.kind));
        for (const NetLink& l : m_model.Links()) {
            LayerBuilder& b = layers[static_cast<std::size_t>(RoadLayerOf(l.type))];
            for (const auto& piece : Pieces(LinkLine(m_model, l), kBaseCell)) AddPoly(b, piece);
        }
        std::vector<std::string> names;
        for (std::size_t i = 0; i < layers.size(); ++i) {
            Write(kRoadLayers[i].name, layers[i]);
            names.push_back(kRoadLayers[i].name);
        }
        return names;
    }

    std::vector<std::string> Labels() {
        // Point symbols: interchanges and junctions where a ramp begins, service areas, tunnels.
        LayerBuilder symbols = BaseLayer(4);
        std::set<int> rampNodes;
        // Symbols with text: service areas and tunnels.
        LayerBuilder symbolText = BaseLayer(13);
        std::set<std::u16string> namedOnce;
        for (std::size_t i = 0; i < m_model.Links().size(); ++i) {
            const NetLink& l = m_model.Links()[i];
            const std::vector<MapPt> pts = LinkLine(m_model, l);
            const MapPt mid = pts[pts.size() / 2];
            std::uint8_t symbol = 0;
            if ((l.type == RoadType::IcRamp || l.type == RoadType::JcRamp) && rampNodes.insert(l.a).second) {
                symbol = l.type == RoadType::IcRamp ? 1 : 2;
                AddSymbol(symbols, pts.front(), symbol);
            }
            if (l.type == RoadType::ServiceArea || l.type == RoadType::ExpresswayTunnel) {
                AddSymbol(symbols, mid, l.type == RoadType::ServiceArea ? 3 : 4);
                if (!l.opt.name.empty() && namedOnce.insert(l.opt.name).second) {
                    const int cell = symbolText.CellOf(mid);
                    if (cell < 0) continue;
                    const MapPt o = symbolText.CellOrigin(cell);
                    ByteSink s;
                    s.U8(l.type == RoadType::ServiceArea ? 3 : 4);
                    s.U8(l.opt.facilityCode);
                    s.U8(0);
                    s.U16(Levels(9, 15));
                    s.I16(mid.x - o.x);
                    s.I16(mid.y - o.y);
                    s.Zeros(2);
                    s.Text(Cp949Fit(l.opt.name, 20), 20);
                    s.U8(0);
                    s.U32(SymbolTextNumber(l, i));
                    s.Text(Cp949Fit(l.type == RoadType::ServiceArea ? u"휴게소" : u"터널", 20), 20);
                    Box box;
                    box.Add(mid);
                    symbolText.Add(cell, s, box);
                }
            }
        }
        Write("MAP\\SYMBOL.MDC", symbols);

        // Landmarks: the network's crossing names, each name once.
        LayerBuilder landmarks = BaseLayer(1);
        std::set<std::u16string> seen;
        for (const NetNode& n : m_model.Nodes()) {
            if (n.crossName.empty() || !seen.insert(n.crossName).second) continue;
            Label l;
            l.at = ToMap(n.pt);
            l.text = n.crossName;
            l.symbol = 5;
            l.mask = Levels(10, 15);
            l.dx = 6;
            l.dy = -6;
            AddLabel(landmarks, l);
        }
        if (m_sample) {
            for (const Place& p : SamplePlaces().places) {
                if (!p.landmark) continue;
                Label l;
                l.at = p.labelX < 0 ? Km(p.x, p.y) : Km(p.labelX, p.labelY);
                l.text = p.name;
                l.symbol = 6;
                l.boxStyle = 3;
                l.mask = Levels(8, 15);
                AddLabel(landmarks, l);
            }
        }
        Write("MAP\\LANDMARK.MDC", landmarks);

        // Towns.
        LayerBuilder towns = BaseLayer(6);
        if (m_sample) {
            for (const Area& a : SamplePlaces().areas) {
                if (!a.townLabel) continue;
                Label l;
                l.at = Km(a.labelX, a.labelY);
                l.text = a.name;
                l.symbol = 7;
                l.mask = Levels(2, 12);
                AddLabel(towns, l);
            }
        } else {
            Label l;
            l.at = {(m_extent.minX + m_extent.maxX) / 2, (m_extent.minY + m_extent.maxY) / 2};
            l.text = u"시험마을";
            l.symbol = 7;
            l.mask = Levels(2, 12);
            AddLabel(towns, l);
        }
        Write("MAP\\TOWN.MDC", towns);
        Write("MAP\\SYMBOLTEXT.MDC", symbolText);
        return {"MAP\\SYMBOL.MDC", "MAP\\LANDMARK.MDC", "MAP\\TOWN.MDC", "MAP\\SYMBOLTEXT.MDC"};
    }

    // The number of a symbol-with-text record: the information bar opens the point-of-interest
    // record of that number. The sample's service areas and tunnels are places of its table,
    // whose records are numbered from 1 in table order; elsewhere the facility value or the
    // link's index.
    std::uint32_t SymbolTextNumber(const NetLink& l, std::size_t link) const {
        if (m_sample) {
            const std::vector<Place>& places = SamplePlaces().places;
            for (std::size_t k = 0; k < places.size(); ++k)
                if (places[k].name == l.opt.name) return static_cast<std::uint32_t>(k + 1);
        }
        return l.opt.facilityValue ? l.opt.facilityValue : static_cast<std::uint32_t>(link);
    }

    static void AddSymbol(LayerBuilder& b, MapPt at, std::uint8_t symbol) {
        const int cell = b.CellOf(at);
        if (cell < 0) return;
        const MapPt o = b.CellOrigin(cell);
        ByteSink s;
        s.U8(symbol);
        s.U8(0);
        s.U16(Levels(10, 15));
        s.I16(at.x - o.x);
        s.I16(at.y - o.y);
        Box box;
        box.Add(at);
        b.Add(cell, s, box);
    }

    std::vector<std::string> Shields() {
        const char* names[5] = {"POINT\\GOVERNROADNUM.MDC", "POINT\\GOVERNROADNUM456.MDC",
                                "POINT\\HIGHWAYROADNUM.MDC", "POINT\\HIGHWAYROADNUM456.MDC",
                                "POINT\\TOPROADNUM.MDC"};
        std::vector<LayerBuilder> layers;
        for (int i = 0; i < 5; ++i) layers.push_back(BaseLayer(1));
        // One shield per road number and 6000-unit square; the top layer once per number.
        std::set<std::tuple<int, int, std::int32_t, std::int32_t>> placed;
        std::set<int> top;
        for (const NetLink& l : m_model.Links()) {
            const int number = l.opt.roadNumber;
            if (number == 0) continue;
            const bool highway = IsExpressway(l.type);
            if (!highway && l.type != RoadType::NationalRoad && l.type != RoadType::ProvincialRoad) continue;
            const std::vector<MapPt> pts = LinkLine(m_model, l);
            const MapPt a = pts.front(), b = pts.back();
            const MapPt mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
            const int layer = (highway ? 2 : 0) + (number >= 100 ? 1 : 0);
            if (!placed.insert({layer, number, mid.x / 6000, mid.y / 6000}).second) continue;
            Label s;
            s.at = mid;
            s.text = Utf8ToUtf16(std::to_string(number));
            s.symbol = static_cast<std::uint8_t>(10 + layer);
            s.boxStyle = highway ? 1 : 2;
            s.mask = highway ? Levels(5, 15) : Levels(7, 15);
            s.dx = -4;
            s.dy = -6;
            AddLabel(layers[static_cast<std::size_t>(layer)], s);
            if (highway && top.insert(number).second) {
                s.mask = Levels(1, 4);
                s.symbol = 14;
                AddLabel(layers[4], s);
            }
        }
        std::vector<std::string> out;
        for (int i = 0; i < 5; ++i) {
            Write(names[i], layers[static_cast<std::size_t>(i)]);
            out.push_back(names[i]);
        }
        return out;
    }

    // Stored x offset of a facility or guide point: the smallest value v with
    // trunc(v * 0.8333333333333334) equal to the point-file offset.
    static std::uint16_t StoredX(std::int32_t pfOffset) {
        std::int32_t v = static_cast<std::int32_t>(pfOffset * 1.2) - 2;
        if (v < 0) v = 0;
        while (static_cast<std::int32_t>(v * 0.8333333333333334) < pfOffset) ++v;
        return static_cast<std::uint16_t>(v);
    }

    struct GridSpot {
        int cell;
        std::uint16_t x, y; // stored offsets
        MapPt map;
    };

    // The national-grid cell and offsets of a network point; false outside the grid or in cell 0
    // (the facility reader treats cell 0 as empty).
    static bool Spot(NetPoint p, GridSpot& out) {
        std::int32_t px = 0, py = 0;
        NetToPointFileCoord(p.x, p.y, px, py);
        if (px < 0 || py < 0) return false;
        const int cx = px / 10000, cy = py / 10000;
        if (cx >= kNationalColumns || cy >= kNationalRows) return false;
        out.cell = cx * kNationalRows + cy;
        if (out.cell == 0) return false;
        out.x = StoredX(px % 10000);
        out.y = static_cast<std::uint16_t>(py % 10000);
        out.map = {cx * kNationalCellW + out.x, cy * kNationalCellH + out.y};
        return true;
    }

    void Facilities() {
        struct Category {
            const char* file;
            bool small;                                          // 8-byte records (kind 4)
            std::vector<std::pair<int, std::u16string>> entries; // brand code, name
        };
        const std::vector<Category> categories = {
            {"NEIGH\\HOSP.MDC", false, {{1, u"가람중앙"}, {2, u"나래연세"}, {3, u"바람"}}},
            {"NEIGH\\PHARM.MDC", false, {{1, u"온누리"}, {2, u"시청앞"}, {3, u"다솜"}}},
            {"NEIGH\\LPG.MDC", true, {{10, u""}, {11, u""}}},
            {"NEIGH\\OIL.MDC", true, {{44, u""}, {45, u""}, {46, u""}, {47, u""}, {48, u""}}},
            {"NEIGH\\SERVICE.MDC", true, {{20, u""}, {21, u""}}},
            {"NEIGH\\PARKING.MDC", true, {{31, u""}, {69, u""}, {31, u""}}},
            {"NEIGH\\BANK.MDC", false, {{1, u"국민"}, {2, u"가람신협"}, {3, u"우리"}}},
            {"NEIGH\\HOTEL.MDC", false, {{1, u"가람호텔"}, {2, u"호수모텔"}}},
            {"NEIGH\\FASTFOOD.MDC", false, {{1, u"가람버거"}, {2, u"치킨나라"}}},
            {"NEIGH\\SUBWAY.MDC", false, {{1, u"가람역"}, {2, u"시청역"}}},
            {"NEIGH\\POI_BANK.MDC", false, {{1, u"국민은행 가람점"}, {2, u"가람신협 본점"}}},
            {"NEIGH\\POI_REST.MDC", false, {{1, u"누리휴게소"}, {2, u"가람식당"}}},
            {"NEIGH\\POI_HOTEL.MDC", false, {{1, u"가람호텔"}}},
            {"NEIGH\\POI_SPORT.MDC", false, {{1, u"가람종합운동장"}}},
            {"NEIGH\\POI_HOSP.MDC", false, {{1, u"가람중앙병원"}}},
            {"NEIGH\\POI_CULTURE.MDC", false, {{1, u"가람문화회관"}}},
            {"NEIGH\\POI_CAR.MDC", false, {{1, u"가람자동차정비"}}},
        };
        // Facilities stand beside the town junctions and along the national roads.
        std::vector<NetPoint> anchors;
        for (const NetLink& l : m_model.Links())
            if (IsTownRoad(l.type) || l.type == RoadType::NationalRoad)
                anchors.push_back(m_model.NodePoint(l.a));
        if (anchors.empty())
            for (const NetNode& n : m_model.Nodes()) anchors.push_back(n.pt);
        for (std::size_t c = 0; c < categories.size(); ++c) {
            Category cat = categories[c];
            // The sample's nearby categories come from its place table, at the places' positions.
            std::vector<NetPoint> at;
            if (m_sample && c < 10) {
                cat.entries.clear();
                for (const NearbyEntry& e : SampleNearby(static_cast<int>(c))) {
                    cat.entries.push_back({e.brand, e.name});
                    at.push_back(SampleNet(e.x, e.y));
                }
            }
            LayerBuilder b = NationalLayer(cat.small ? 4 : 1);
            for (std::size_t e = 0; e < cat.entries.size() && (!anchors.empty() || !at.empty()); ++e) {
                NetPoint p;
                if (!at.empty()) {
                    p = at[e];
                } else {
                    p = anchors[(c * 7 + e * 13) % anchors.size()];
                    p.x += static_cast<std::int32_t>(40 + 25 * e); // beside the road, not on it
                    p.y += static_cast<std::int32_t>(30 + 15 * c);
                }
                GridSpot s;
                if (!Spot(p, s)) continue;
                ByteSink r;
                const std::uint8_t brand = static_cast<std::uint8_t>(cat.entries[e].first);
                const std::uint16_t mask = Levels(8, 15);
                if (cat.small) {
                    r.U8(brand);
                    r.U8(0);
                    r.U16(mask);
                    r.U16(s.x);
                    r.U16(s.y);
                } else {
                    r.U8(brand);
                    r.U8(0);
                    r.U8(0);
                    r.U16(mask);
                    r.U16(s.x);
                    r.U16(s.y);
                    r.U8(0);
                    r.U8(0);
                    // Hospitals and pharmacies get a 4-byte word appended by the reader (the
                    // sample's names are stored without it and may be longer).
                    const std::size_t room = c <= 1 && at.empty() ? 16 : 20;
                    r.Text(Cp949Fit(cat.entries[e].second, room), 21);
                }
                Box box;
                box.Add(s.map);
                b.Add(s.cell, r, box);
                ++m_summary.facilities;
            }
            Write(cat.file, b);
        }
    }

    void TrafficLinks() {
        // Each direction of a road is drawn with its own traffic-broadcast link index.
        const char* names[4] = {"DARC\\DARC_HIGHWAY.MDC", "DARC\\DARC_NATIONAL.MDC", "DARC\\DARC_ETC2.MDC",
                                "DARC\\DARC_ETC4.MDC"};
        std::vector<LayerBuilder> layers;
        for (int i = 0; i < 4; ++i) layers.push_back(BaseLayer(8));
        for (std::size_t i = 0; i < m_model.Links().size() && i < 0xffff; ++i) {
            const NetLink& l = m_model.Links()[i];
            int layer = -1;
            if (IsExpressway(l.type))
                layer = 0;
            else if (l.type == RoadType::NationalRoad)
                layer = 1;
            else if (l.type == RoadType::ProvincialRoad)
                layer = 2;
            else if (l.type == RoadType::TownMain)
                layer = 3;
            if (layer < 0) continue;
            for (int dir = 0; dir < 2; ++dir) {
                const std::uint16_t index = dir == 0 ? l.broadcastForward : l.broadcastBackward;
                if (index == 0xFFFF) continue; // no broadcast link in this direction
                std::vector<MapPt> line = LinkLine(m_model, l);
                if (dir == 1) std::reverse(line.begin(), line.end());
                for (const auto& piece : Pieces(line, kBaseCell))
                    AddTrafficRecord(layers[static_cast<std::size_t>(layer)], piece, index);
            }
        }
        for (int i = 0; i < 4; ++i) Write(names[i], layers[static_cast<std::size_t>(i)]);
    }

    // Side-offset directions: the right-hand normal of the travel direction, 125 = one unit;
    // the last pair points back to the road for the end tail.
    static void AddTrafficRecord(LayerBuilder& b, const std::vector<MapPt>& pts, std::uint16_t index) {
        const int cell = b.CellOf(pts.front());
        if (cell < 0) return;
        const MapPt o = b.CellOrigin(cell);
        auto normal = [](MapPt a, MapPt c) {
            const double dx = double(c.x) - a.x, dy = double(c.y) - a.y;
            const double len = std::hypot(dx, dy);
            if (len == 0) return std::pair<int, int>{0, 0};
            return std::pair<int, int>{static_cast<int>(std::lround(dy / len * 125)),
                                       static_cast<int>(std::lround(-dx / len * 125))};
        };
        ByteSink s;
        s.U16(index);
        PutBox16(s, BoxOf(pts), o);
        s.U16(static_cast<std::uint32_t>(pts.size()));
        for (const MapPt& p : pts) {
            s.I16(p.x - o.x);
            s.I16(p.y - o.y);
        }
        for (std::size_t k = 0; k < pts.size(); ++k) {
            const MapPt a = pts[k == 0 ? 0 : k - 1], c = pts[k == 0 ? 1 : k];
            auto [nx, ny] = normal(a, c);
            s.U8(static_cast<std::uint8_t>(static_cast<std::int8_t>(nx)));
            s.U8(static_cast<std::uint8_t>(static_cast<std::int8_t>(ny)));
        }
        auto [nx, ny] = normal(pts[pts.size() - 2], pts.back());
        s.U8(static_cast<std::uint8_t>(static_cast<std::int8_t>(-nx)));
        s.U8(static_cast<std::uint8_t>(static_cast<std::int8_t>(-ny)));
        b.Add(cell, s, BoxOf(pts));
    }

    void GuidePoints() {
        // Speed cameras on the expressways and national roads, hazards (sharp bends, accident
        // spots) on the town main roads; each faces the travel direction of its carriageway.
        LayerBuilder b = NationalLayer(0);
        int serial = 0;
        for (std::size_t i = 0; i < m_model.Links().size(); ++i) {
            const NetLink& l = m_model.Links()[i];
            std::uint8_t type = 0, speed = 0;
            if (l.type == RoadType::Expressway && i % 2 == 0)
                type = 1, speed = 100;
            else if (l.type == RoadType::NationalRoad)
                type = 1, speed = 80;
            else if (l.type == RoadType::TownMain && i % 3 == 0)
                type = 3, speed = 60;
            else if (l.type == RoadType::ExpresswayTunnel)
                type = 2, speed = 80;
            if (type == 0) continue;
            const NetPoint a = m_model.NodePoint(l.a), c = m_model.NodePoint(l.b);
            for (int dir = 0; dir < 2; ++dir) {
                if ((l.opt.oneWay == 1 && dir == 1) || (l.opt.oneWay == 2 && dir == 0) || l.opt.oneWay == 3)
                    continue;
                const NetPoint from = dir == 0 ? a : c, to = dir == 0 ? c : a;
                // Travel heading: 0 = north, clockwise, in metres.
                const double east = (double(to.x) - from.x) * coords::kMetresPerNetX;
                const double north = (double(to.y) - from.y) * coords::kMetresPerNetY;
                int heading =
                    static_cast<int>(std::lround(std::atan2(east, north) * 180.0 / 3.141592653589793));
                heading = (heading + 360) % 360;
                const NetPoint at{from.x + (to.x - from.x) * 2 / 3, from.y + (to.y - from.y) * 2 / 3};
                GridSpot s;
                if (!Spot(at, s)) continue;
                ByteSink r;
                r.U8(dir == 0 ? 0 : 1);
                r.U8(type);
                r.U8(speed);
                r.U16(static_cast<std::uint32_t>((heading + 180) % 360)); // the reader turns it back
                r.U16(s.x);
                r.U16(s.y);
                r.U16(static_cast<std::uint32_t>(++serial));
                r.Zeros(21);
                Box box;
                box.Add(s.map);
                b.Add(s.cell, r, box);
                ++m_summary.guidePoints;
            }
        }
        // Not a drawing layer: it stays out of the map box.
        const Box keep = m_mapBox;
        Write("POINT\\newGuidePoint.MDC", b);
        m_mapBox = keep;
    }

    // ---------------------------------------------------------------------------------------
    // Drawing configuration

    static std::vector<std::uint8_t> ColourTable(bool night, bool grey) {
        // 0 background, 1 text, 2 water, 3 park, 4 built-up, 5 alley, 6 street, 7 main road,
        // 8 provincial, 9 national, 10 ramp, 11 expressway, 12 road casing, 13 block outline,
        // 14 red, 15 expressway casing.
        static const COLORREF day[16] = {
            RGB(246, 243, 236), RGB(0, 0, 0),       RGB(160, 200, 240), RGB(190, 225, 170),
            RGB(232, 224, 210), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 240, 150),
            RGB(255, 220, 150), RGB(250, 180, 90),  RGB(150, 200, 120), RGB(90, 160, 90),
            RGB(150, 150, 150), RGB(200, 190, 170), RGB(220, 40, 40),   RGB(40, 90, 40)};
        static const COLORREF nightTable[16] = {
            RGB(30, 34, 48),   RGB(230, 230, 230), RGB(20, 40, 80),    RGB(30, 60, 40),
            RGB(50, 50, 60),   RGB(90, 90, 100),   RGB(110, 110, 120), RGB(170, 150, 70),
            RGB(170, 130, 70), RGB(190, 120, 50),  RGB(80, 130, 80),   RGB(60, 140, 90),
            RGB(70, 70, 80),   RGB(70, 70, 80),    RGB(220, 60, 60),   RGB(30, 70, 40)};
        ByteSink s;
        for (int i = 0; i < 16; ++i) {
            COLORREF c = night ? nightTable[i] : day[i];
            if (grey) {
                const int r = c & 0xff, g = (c >> 8) & 0xff, b = (c >> 16) & 0xff;
                const int y = (r * 30 + g * 59 + b * 11) / 100;
                c = RGB(y, y, y);
            }
            s.U32(c);
        }
        return s.Data();
    }

    static void ParaRecord(ByteSink& s, const std::string& name, int firstLevel, int colour, int outline,
                           int width, bool polygon) {
        s.Text(name, 256);
        for (int level = 0; level < 16; ++level) {
            const bool visible = level >= firstLevel;
            s.U8(visible ? 1 : 0);
            s.U8(static_cast<std::uint32_t>(colour));
            if (polygon) {
                s.U8(0);
                s.U8(static_cast<std::uint32_t>(outline));
            } else {
                s.U8(static_cast<std::uint32_t>(outline));
                // Roads widen as the map zooms in.
                s.U8(static_cast<std::uint32_t>(std::min(12, width + std::max(0, level - 8) / 2)));
            }
        }
    }

    void Configuration(const std::vector<std::string>& areas, const std::vector<std::string>& lines,
                       const std::vector<std::string>& labels, const std::vector<std::string>& shields) {
        ByteSink para;
        // Areas: water, parks, blocks (blocks outlined).
        ParaRecord(para, areas[0], 0, 2, 0, 0, true);
        ParaRecord(para, areas[1], 5, 3, 0, 0, true);
        ParaRecord(para, areas[2], 8, 4, 13, 0, true);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const RoadLayer& r = kRoadLayers[i];
            ParaRecord(para, lines[i], r.firstLevel, r.colour, r.outline, r.width, false);
        }
        for (const std::string& l : labels) ParaRecord(para, l, 0, 1, 0, 0, false);
        for (const std::string& s : shields) ParaRecord(para, s, 0, 1, 0, 0, false);
        for (const char* folder : {"Color", "Gray"}) {
            WriteRaw(std::string(folder) + "/para.bin", para.Data());
            WriteRaw(std::string(folder) + "/color.bin", ColourTable(false, std::string(folder) == "Gray"));
        }
        for (bool night : {false, true}) {
            ByteSink scheme;
            const std::vector<std::uint8_t> table = ColourTable(night, false);
            scheme.Bytes(table.data(), table.size());
            scheme.U32(night ? RGB(30, 34, 48) : 0xFFFFFF); // background
            scheme.Zeros(8);
            scheme.U32(night ? RGB(230, 230, 230) : 0); // text colour
            scheme.Zeros(64);
            WriteRaw(std::string("Color/Color_") + (night ? kNightSchemeName : kDaySchemeName) + ".bin",
                     scheme.Data());
        }
        // line.bin: the route line's pen width per level, 16 x u16.
        ByteSink line;
        for (int level = 0; level < 16; ++level) line.U16(static_cast<std::uint32_t>(3 + level / 3));
        WriteRaw("line.bin", line.Data());

        // level.bin: level 1 spans the whole map box, each further level about 0.7 of the one
        // before, the last about 200 map units (a street block).
        ByteSink level;
        const double width = std::max<double>(1000.0, double(m_mapBox.maxX) - m_mapBox.minX);
        const double finest = std::min(200.0, width / 2);
        const double ratio = std::pow(finest / width, 1.0 / 15);
        for (int j = 0; j < 16; ++j) {
            level.U8(1);
            level.Zeros(3);
            level.U32(static_cast<std::uint32_t>(std::llround(width * std::pow(ratio, j))));
            level.Zeros(4);
        }
        WriteRaw("level.bin", level.Data());
    }

    const DeviceLayout& m_layout;
    const NetModel& m_model;
    bool m_sample;
    Box m_extent;
    std::int32_t m_ox = 0, m_oy = 0;
    int m_columns = 1, m_rows = 1;
    Box m_mapBox;
    DrawingSummary m_summary;
};

} // namespace

NetModel NetworkFor(const std::string& n, std::uint64_t seed) {
    if (n == "sample") return BuildSampleRegion();
    if (n == "national") return BuildNational(seed);
    if (n.rfind("fixture:", 0) == 0) return BuildFixture(n.substr(8));
    throw std::invalid_argument("unknown network: " + n);
}

DrawingSummary BuildDrawingStage(const DeviceLayout& layout, const NetModel& model, bool sampleDecorations) {
    return Stage(layout, model, sampleDecorations).Run();
}

} // namespace mkdev
