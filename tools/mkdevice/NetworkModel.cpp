#include "tools/mkdevice/NetworkModel.h"

#include "tools/mkdevice/ByteSink.h"

#include "platform/base/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <tuple>

namespace mkdev {

namespace {

constexpr double kMetresX = 0.27654;
constexpr double kMetresY = 0.30879;
constexpr std::uint16_t kNoMap = 65535;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

struct Cell {
    int col = 0, row = 0;
    friend auto operator<=>(const Cell&, const Cell&) = default;
};

int Sign(std::int64_t v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// Bearing in degrees clockwise from north, the metric scale applied.
double Bearing(NetPoint from, NetPoint to) {
    double dx = (to.x - from.x) * kMetresX;
    double dy = (to.y - from.y) * kMetresY;
    double deg = std::atan2(dx, dy) * 180.0 / 3.14159265358979323846;
    return deg < 0 ? deg + 360.0 : deg;
}

int TurnAngle(double arrive, double depart) {
    double d = depart - arrive;
    while (d > 180.0) d -= 360.0;
    while (d <= -180.0) d += 360.0;
    return static_cast<int>(std::lround(d));
}

std::uint8_t GuideCodeFor(RoadType in, RoadType out, int turn, int linkCount, bool sameLink) {
    if (sameLink) return kGuideUTurn;
    bool inRing = in == RoadType::Roundabout, outRing = out == RoadType::Roundabout;
    if (!inRing && outRing) return kGuideRoundaboutEntry;
    if (inRing) return kGuideNone;
    const RoadAttributes& a = Attributes(in);
    const RoadAttributes& b = Attributes(out);
    int mag = std::abs(turn);
    if (a.expresswayGroup && b.rampGroup)
        return mag < 20 ? kGuideExitStraight : (turn > 0 ? kGuideExitRight : kGuideExitLeft);
    if (a.rampGroup && b.expresswayGroup)
        return mag < 20 ? kGuideEnterStraight : (turn > 0 ? kGuideEnterRight : kGuideEnterLeft);
    if (a.expresswayGroup && b.expresswayGroup) {
        if (linkCount <= 2) return kGuideNone;
        return mag < 20 ? kGuideFollowRoad : (turn > 0 ? kGuideBranchRight : kGuideBranchLeft);
    }
    if (linkCount <= 2) return kGuideNone;
    if (turn > 45) return kGuideTurnRight;
    if (turn < -45) return kGuideTurnLeft;
    return kGuideNone;
}

std::string Cp949(const std::u16string& text) {
    return Utf16ToCp949(text);
}

} // namespace

std::uint32_t PolylineMetres(const std::vector<NetPoint>& points) {
    double sum = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        double dx = std::abs(static_cast<double>(points[i].x) - points[i - 1].x) * kMetresX;
        double dy = std::abs(static_cast<double>(points[i].y) - points[i - 1].y) * kMetresY;
        sum += std::sqrt(dx * dx + dy * dy);
    }
    double up = std::ceil(sum);
    if (up < 1.0) up = 1.0;
    return static_cast<std::uint32_t>(up);
}

void WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot create " + tmp);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + tmp);
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) throw std::runtime_error("cannot rename " + tmp + ": " + ec.message());
}

NetPoint NetModel::OffGrid(NetPoint p) const {
    if ((static_cast<std::int64_t>(p.x) - m_grid.x0) % m_grid.width == 0) ++p.x;
    if ((static_cast<std::int64_t>(p.y) - m_grid.y0) % m_grid.height == 0) ++p.y;
    return p;
}

int NetModel::AddNode(std::int32_t x, std::int32_t y, std::u16string crossName) {
    NetNode n;
    n.pt = OffGrid({x, y});
    n.crossName = std::move(crossName);
    m_nodes.push_back(std::move(n));
    return static_cast<int>(m_nodes.size()) - 1;
}

int NetModel::AddLink(int a, int b, RoadType type, LinkOptions opt, std::vector<NetPoint> shape) {
    if (a < 0 || b < 0 || a >= static_cast<int>(m_nodes.size()) || b >= static_cast<int>(m_nodes.size()) ||
        a == b)
        throw std::runtime_error("link with invalid end nodes");
    NetLink l;
    l.a = a;
    l.b = b;
    l.type = type;
    l.opt = std::move(opt);
    for (NetPoint& p : shape) p = OffGrid(p);
    l.shape = std::move(shape);
    l.order = static_cast<int>(m_links.size());
    m_links.push_back(std::move(l));
    return static_cast<int>(m_links.size()) - 1;
}

void NetModel::BanTurn(int node, int from, int to) {
    m_bans.push_back({node, from, to});
}

// Cuts every link where it crosses a sheet border; the cut points become border nodes.
// pieces[i] lists the links that link i became, in order from its first node to its second.
void NetModel::CutAtBorders(std::vector<std::vector<int>>& pieces) {
    const std::int64_t x0 = m_grid.x0, y0 = m_grid.y0, w = m_grid.width, h = m_grid.height;
    auto cellOf = [&](double mx, double my) {
        return Cell{static_cast<int>(std::floor((mx - x0) / w)), static_cast<int>(std::floor((my - y0) / h))};
    };
    const std::size_t original = m_links.size();
    pieces.assign(original, {});
    for (std::size_t li = 0; li < original; ++li) {
        std::vector<NetPoint> poly;
        poly.push_back(m_nodes[m_links[li].a].pt);
        for (const NetPoint& p : m_links[li].shape) poly.push_back(p);
        poly.push_back(m_nodes[m_links[li].b].pt);

        // Expand with the grid crossings of every segment.
        std::vector<NetPoint> pts{poly.front()};
        for (std::size_t s = 1; s < poly.size(); ++s) {
            NetPoint p = poly[s - 1], q = poly[s];
            std::int64_t dx = static_cast<std::int64_t>(q.x) - p.x, dy = static_cast<std::int64_t>(q.y) - p.y;
            std::vector<std::pair<double, NetPoint>> cross;
            if (dx != 0) {
                std::int64_t lo = std::min(p.x, q.x), hi = std::max(p.x, q.x);
                for (std::int64_t k = FloorDiv(lo - x0, w) + 1; x0 + k * w < hi; ++k) {
                    std::int64_t gx = x0 + k * w;
                    if (gx <= lo) continue;
                    double t = static_cast<double>(gx - p.x) / static_cast<double>(dx);
                    auto y = static_cast<std::int32_t>(std::llround(p.y + t * dy));
                    cross.push_back({t, {static_cast<std::int32_t>(gx), y}});
                }
            }
            if (dy != 0) {
                std::int64_t lo = std::min(p.y, q.y), hi = std::max(p.y, q.y);
                for (std::int64_t k = FloorDiv(lo - y0, h) + 1; y0 + k * h < hi; ++k) {
                    std::int64_t gy = y0 + k * h;
                    if (gy <= lo) continue;
                    double t = static_cast<double>(gy - p.y) / static_cast<double>(dy);
                    auto x = static_cast<std::int32_t>(std::llround(p.x + t * dx));
                    cross.push_back({t, {x, static_cast<std::int32_t>(gy)}});
                }
            }
            std::stable_sort(cross.begin(), cross.end(),
                             [](const auto& l, const auto& r) { return l.first < r.first; });
            for (auto& [t, c] : cross) {
                bool onX = (c.x - x0) % w == 0, onY = (c.y - y0) % h == 0;
                if (onX && onY && dx != 0 && dy != 0) {
                    // Through a sheet corner: pass beside it, one unit off, through the two
                    // sheets that share the corner's sides, so every cut joins edge neighbours.
                    NetPoint first{c.x, static_cast<std::int32_t>(c.y - Sign(dy))};
                    NetPoint second{static_cast<std::int32_t>(c.x + Sign(dx)), c.y};
                    for (NetPoint n : {first, second})
                        if (!(n == pts.back())) pts.push_back(n);
                    continue;
                }
                if (c == pts.back()) continue;
                pts.push_back(c);
            }
            if (!(q == pts.back())) pts.push_back(q);
        }
        // Sheet of every sub-segment, by its midpoint.
        std::vector<Cell> cells;
        for (std::size_t i = 1; i < pts.size(); ++i)
            cells.push_back(cellOf((pts[i - 1].x + static_cast<double>(pts[i].x)) / 2.0,
                                   (pts[i - 1].y + static_cast<double>(pts[i].y)) / 2.0));
        if (cells.empty()) throw std::runtime_error("link of zero length");

        // Split where the sheet changes.
        int startNode = m_links[li].a;
        std::size_t startIdx = 0;
        NetLink proto = m_links[li];
        bool first = true;
        for (std::size_t i = 1; i <= cells.size(); ++i) {
            bool end = i == cells.size();
            if (!end && cells[i] == cells[i - 1]) continue;
            int endNode;
            if (end) {
                endNode = proto.b;
            } else {
                Cell a = cells[i - 1], b = cells[i];
                if (std::abs(a.col - b.col) + std::abs(a.row - b.row) != 1)
                    throw std::runtime_error("link crosses a sheet corner");
                NetNode border;
                border.pt = pts[i];
                border.border = true;
                m_nodes.push_back(border);
                endNode = static_cast<int>(m_nodes.size()) - 1;
            }
            NetLink piece = proto;
            piece.a = startNode;
            piece.b = endNode;
            piece.shape.assign(pts.begin() + static_cast<std::ptrdiff_t>(startIdx) + 1,
                               pts.begin() + static_cast<std::ptrdiff_t>(i));
            // A facility stays with the piece at its place: an exit (codes 2-4) with the piece that
            // ends where the link ends, a junction direction (code 1) with the piece that leaves it.
            if (proto.opt.facilityCode != kFacilityNone &&
                !(proto.opt.facilityCode == kFacilityJunctionDirection ? first : end)) {
                piece.opt.facilityCode = kFacilityNone;
                piece.opt.facilityValue = 0;
            }
            if (first) {
                m_links[li] = piece;
                pieces[li].push_back(static_cast<int>(li));
                first = false;
            } else {
                m_links.push_back(piece);
                pieces[li].push_back(static_cast<int>(m_links.size()) - 1);
            }
            startNode = endNode;
            startIdx = i;
        }
    }
}

NetworkSummary NetModel::Write(const std::string& mrDataDir, const BuildLimits& limits) {
    std::vector<std::vector<int>> pieces;
    CutAtBorders(pieces);

    const std::int64_t x0 = m_grid.x0, y0 = m_grid.y0, w = m_grid.width, h = m_grid.height;
    auto cellOfPoint = [&](NetPoint p) {
        return Cell{static_cast<int>(FloorDiv(p.x - x0, w)), static_cast<int>(FloorDiv(p.y - y0, h))};
    };
    auto polyline = [&](const NetLink& l) {
        std::vector<NetPoint> poly{m_nodes[l.a].pt};
        poly.insert(poly.end(), l.shape.begin(), l.shape.end());
        poly.push_back(m_nodes[l.b].pt);
        return poly;
    };
    auto levelOf = [&](const NetLink& l) { return LevelOfRoadKind(Attributes(l.type).roadKind); };

    // Sheet of each link: that of its first sub-segment's midpoint.
    std::vector<Cell> linkCell(m_links.size());
    for (std::size_t i = 0; i < m_links.size(); ++i) {
        auto poly = polyline(m_links[i]);
        linkCell[i] =
            Cell{static_cast<int>(std::floor(((poly[0].x + static_cast<double>(poly[1].x)) / 2.0 - x0) / w)),
                 static_cast<int>(std::floor(((poly[0].y + static_cast<double>(poly[1].y)) / 2.0 - y0) / h))};
    }
    std::vector<std::vector<int>> nodeLinks(m_nodes.size());
    for (std::size_t i = 0; i < m_links.size(); ++i) {
        nodeLinks[m_links[i].a].push_back(static_cast<int>(i));
        nodeLinks[m_links[i].b].push_back(static_cast<int>(i));
    }
    for (std::size_t n = 0; n < m_nodes.size(); ++n) {
        if (nodeLinks[n].empty()) continue;
        if (m_nodes[n].border) {
            if (nodeLinks[n].size() != 2 || linkCell[nodeLinks[n][0]] == linkCell[nodeLinks[n][1]])
                throw std::runtime_error("border node without two links in two sheets");
        } else {
            Cell c = cellOfPoint(m_nodes[n].pt);
            for (int l : nodeLinks[n])
                if (!(linkCell[l] == c))
                    throw std::runtime_error("a link leaves its sheet without a border node");
            if (static_cast<int>(nodeLinks[n].size()) > limits.maxLinksPerNode)
                throw std::runtime_error("more than 8 links at a node");
        }
    }

    // Sheets, numbered column by column from the west, south to north within a column.
    std::map<Cell, int> sheetIndex;
    for (const Cell& c : linkCell) sheetIndex.emplace(c, 0);
    if (static_cast<int>(sheetIndex.size()) > limits.maxMaps) throw std::runtime_error("too many sheets");
    {
        int id = 0;
        for (auto& [cell, idx] : sheetIndex) idx = id++;
    }
    const int mapCount = static_cast<int>(sheetIndex.size());
    struct Sheet {
        Cell cell;
        std::vector<int> links; // global link ids, local order
        std::vector<int> nodes; // global node ids, local order
        std::map<int, int> localLink, localNode;
    };
    std::vector<Sheet> sheets(mapCount);
    for (auto& [cell, idx] : sheetIndex) sheets[idx].cell = cell;
    for (std::size_t i = 0; i < m_links.size(); ++i)
        sheets[sheetIndex[linkCell[i]]].links.push_back(static_cast<int>(i));
    for (Sheet& s : sheets) {
        std::stable_sort(s.links.begin(), s.links.end(), [&](int a, int b) {
            return std::tuple(levelOf(m_links[a]), m_links[a].order, a) <
                   std::tuple(levelOf(m_links[b]), m_links[b].order, b);
        });
        if (static_cast<int>(s.links.size()) > limits.maxLinksPerMap)
            throw std::runtime_error("more than 8192 links in a sheet");
        for (std::size_t i = 0; i < s.links.size(); ++i) s.localLink[s.links[i]] = static_cast<int>(i);
        std::map<int, int> nodeLevel;
        for (int l : s.links)
            for (int n : {m_links[l].a, m_links[l].b}) {
                auto it = nodeLevel.find(n);
                int lv = levelOf(m_links[l]);
                if (it == nodeLevel.end())
                    nodeLevel[n] = lv;
                else
                    it->second = std::min(it->second, lv);
            }
        for (auto& [n, lv] : nodeLevel) s.nodes.push_back(n);
        std::stable_sort(s.nodes.begin(), s.nodes.end(), [&](int a, int b) {
            return std::pair(nodeLevel[a], a) < std::pair(nodeLevel[b], b);
        });
        // Per-level node counts are signed 16-bit values in the map record.
        if (s.nodes.size() > 32767) throw std::runtime_error("more than 32,767 nodes in a sheet");
        for (std::size_t i = 0; i < s.nodes.size(); ++i) s.localNode[s.nodes[i]] = static_cast<int>(i);
    }

    // Banned turns by (node, from piece, to piece).
    std::set<std::tuple<int, int, int>> banned;
    auto pieceAt = [&](int link, int node) {
        const auto& p = pieces.at(link);
        if (m_links[p.front()].a == node) return p.front();
        if (m_links[p.back()].b == node) return p.back();
        throw std::runtime_error("banned turn names a link that does not end at the node");
    };
    for (const Ban& b : m_bans) banned.insert({b.node, pieceAt(b.from, b.node), pieceAt(b.to, b.node)});

    ByteSink manage, nodeF, linkF, vertexF, crossF, neighbF, guideF, nameF;
    manage.U16(static_cast<std::uint32_t>(mapCount));
    {
        ByteSink header;
        header.Bytes("MRDA", 5); // magic and its zero byte
        header.Text("VELKO SAMPLE NETWORK", 32);
        header.U32(static_cast<std::uint32_t>(m_grid.width));
        header.U32(static_cast<std::uint32_t>(m_grid.height));
        header.Zeros(486 - header.Size());
        manage.Bytes(header.Data().data(), header.Size());
    }
    NetworkSummary summary;
    summary.maps = mapCount;
    struct FacilityEntry {
        int map, link, value, dir;
    };
    std::vector<FacilityEntry> facilities;
    struct NameEntry {
        int map, link;
        std::string name;
    };
    std::vector<NameEntry> roadNames;

    for (int id = 0; id < mapCount; ++id) {
        Sheet& s = sheets[id];
        const std::int32_t ox = static_cast<std::int32_t>(x0 + s.cell.col * w);
        const std::int32_t oy = static_cast<std::int32_t>(y0 + s.cell.row * h);
        auto offX = [&](NetPoint p) {
            std::int64_t v = static_cast<std::int64_t>(p.x) - ox;
            if (v < 0 || v > 65535) throw std::runtime_error("x offset outside its sheet");
            return static_cast<std::uint16_t>(v);
        };
        auto offY = [&](NetPoint p) {
            std::int64_t v = static_cast<std::int64_t>(p.y) - oy;
            if (v < 0 || v > 65535) throw std::runtime_error("y offset outside its sheet");
            return static_cast<std::uint16_t>(v);
        };
        const std::size_t nodeOff = nodeF.Size(), linkOff = linkF.Size(), vertexOff = vertexF.Size(),
                          crossOff = crossF.Size(), neighbOff = neighbF.Size(), guideOff = guideF.Size(),
                          nameOff = nameF.Size();
        std::int16_t linkCount[4] = {}, nodeCount[4] = {};
        std::int32_t crossSize[4] = {}, guideSize[4] = {};
        std::map<std::string, std::uint32_t> nameAt;

        // Links and vertices.
        std::size_t vertexIndex = 0;
        for (std::size_t i = 0; i < s.links.size(); ++i) {
            const NetLink& l = m_links[s.links[i]];
            auto poly = polyline(l);
            std::uint16_t minX = 65535, minY = 65535, maxX = 0, maxY = 0;
            for (const NetPoint& p : poly) {
                minX = std::min(minX, offX(p));
                maxX = std::max(maxX, offX(p));
                minY = std::min(minY, offY(p));
                maxY = std::max(maxY, offY(p));
            }
            std::uint32_t metres = PolylineMetres(poly);
            if (metres > 65535) throw std::runtime_error("link longer than 65,535 m");
            if (vertexIndex > 65535 || l.shape.size() > 65535 ||
                (l.shape.size() && vertexIndex + l.shape.size() - 1 > 65535))
                throw std::runtime_error("too many shape vertices in a sheet");
            linkF.U8(LinkByte0(l.type));
            linkF.U8(l.opt.facilityCode);
            linkF.U16(static_cast<std::uint32_t>(l.shape.size()));
            linkF.U16(static_cast<std::uint32_t>(s.localNode.at(l.a)));
            linkF.U16(static_cast<std::uint32_t>(s.localNode.at(l.b)));
            linkF.U16(metres);
            linkF.U16(AttributeWord(l.type, l.opt.oneWay));
            linkF.U16(l.opt.roadNumber);
            linkF.U16(minX);
            linkF.U16(minY);
            linkF.U16(maxX);
            linkF.U16(maxY);
            linkF.U16(static_cast<std::uint32_t>(l.shape.empty() ? 0 : vertexIndex));
            linkF.U16(l.broadcastForward);
            linkF.U16(l.broadcastBackward);
            for (const NetPoint& p : l.shape) {
                vertexF.U16(offX(p));
                vertexF.U16(offY(p));
            }
            vertexIndex += l.shape.size();
            int lv = levelOf(l);
            for (int k = lv; k < 4; ++k) ++linkCount[k];
            if (l.opt.facilityValue != 0)
                facilities.push_back({id, static_cast<int>(i), l.opt.facilityValue, l.opt.facilityDirection});
            if (!l.opt.name.empty()) {
                std::string n = Cp949(l.opt.name);
                if (n.size() > 20) throw std::runtime_error("road name longer than 20 bytes");
                roadNames.push_back({id, static_cast<int>(i), n});
            }
        }

        // Nodes, junctions, guide tables and boundary records, in node order.
        int lastLevel = -1;
        auto closeLevels = [&](int upTo) {
            for (int k = lastLevel + 1; k <= upTo; ++k) {
                crossSize[k] = static_cast<std::int32_t>(crossF.Size() - crossOff);
                guideSize[k] = static_cast<std::int32_t>(guideF.Size() - guideOff);
            }
        };
        for (std::size_t ni = 0; ni < s.nodes.size(); ++ni) {
            int n = s.nodes[ni];
            std::vector<int> local;
            for (int l : nodeLinks[n])
                if (s.localLink.count(l)) local.push_back(l);
            std::sort(local.begin(), local.end(),
                      [&](int a, int b) { return s.localLink[a] < s.localLink[b]; });
            int lv = 3;
            for (int l : local) lv = std::min(lv, levelOf(m_links[l]));
            if (lv != lastLevel) {
                closeLevels(lv - 1);
                lastLevel = std::max(lastLevel, lv - 1);
            }
            for (int k = lv; k < 4; ++k) ++nodeCount[k];
            const NetPoint pt = m_nodes[n].pt;
            nodeF.U16(offX(pt));
            nodeF.U16(offY(pt));
            if (m_nodes[n].border) {
                // Pass-through node: its continuation is the other piece, in the other sheet.
                int here = local.at(0);
                int there = nodeLinks[n][0] == here ? nodeLinks[n][1] : nodeLinks[n][0];
                Cell oc = linkCell[there];
                int otherMap = sheetIndex.at(oc);
                int side = oc.row > s.cell.row ? 0 : oc.col > s.cell.col ? 1 : oc.row < s.cell.row ? 2 : 3;
                std::size_t rec = neighbF.Size() - neighbOff;
                if (rec > 0xFFFFFF) throw std::runtime_error("boundary block beyond 16 MiB");
                nodeF.U32(0x80000000u | (1u << 24) | static_cast<std::uint32_t>(rec));
                neighbF.U16(static_cast<std::uint32_t>(otherMap) | (static_cast<std::uint32_t>(side) << 14));
                neighbF.U16(static_cast<std::uint32_t>(sheets[otherMap].localNode.at(n)));
                neighbF.U16(static_cast<std::uint32_t>(sheets[otherMap].localLink.at(there)));
                ++summary.borderRecords;
                continue;
            }
            const int cnt = static_cast<int>(local.size());
            std::size_t rec = crossF.Size() - crossOff;
            if (rec > 0xFFFFFF) throw std::runtime_error("junction block beyond 16 MiB");
            nodeF.U32((static_cast<std::uint32_t>(cnt) << 24) | static_cast<std::uint32_t>(rec));
            // Name reference.
            std::uint32_t nameRef = 0;
            if (!m_nodes[n].crossName.empty()) {
                std::string nm = Cp949(m_nodes[n].crossName);
                if (nm.size() > 127) throw std::runtime_error("crossing name too long");
                auto it = nameAt.find(nm);
                std::uint32_t at;
                if (it != nameAt.end()) {
                    at = it->second;
                } else {
                    at = static_cast<std::uint32_t>(nameF.Size() - nameOff);
                    if (at > 0xFFFFFF) throw std::runtime_error("name block beyond 16 MiB");
                    nameF.Bytes(nm.data(), nm.size());
                    nameAt[nm] = at;
                }
                nameRef = (static_cast<std::uint32_t>(nm.size()) << 24) | at;
            }
            crossF.U32(nameRef);
            for (int l : local) crossF.U16(static_cast<std::uint32_t>(s.localLink[l]));
            // Bearings of arrival and departure at this node.
            std::vector<double> arrive(cnt), depart(cnt);
            for (int i = 0; i < cnt; ++i) {
                auto poly = polyline(m_links[local[i]]);
                NetPoint nb = m_links[local[i]].a == n ? poly[1] : poly[poly.size() - 2];
                depart[i] = Bearing(pt, nb);
                arrive[i] = Bearing(nb, pt);
            }
            for (int i = 0; i < cnt; ++i) {
                std::uint8_t mask = 0;
                for (int j = 0; j < cnt; ++j) {
                    bool allowed = (i != j || cnt == 1) && !banned.count({n, local[i], local[j]});
                    if (allowed) mask |= static_cast<std::uint8_t>(1u << j);
                }
                crossF.U8(mask);
            }
            std::size_t gAt = guideF.Size() - guideOff;
            if (cnt >= 2 && gAt + static_cast<std::size_t>(cnt * cnt) <= 65535) {
                crossF.U16(static_cast<std::uint32_t>(gAt));
                for (int i = 0; i < cnt; ++i)
                    for (int j = 0; j < cnt; ++j)
                        guideF.U8(GuideCodeFor(m_links[local[i]].type, m_links[local[j]].type,
                                               TurnAngle(arrive[i], depart[j]), cnt, i == j));
            } else {
                crossF.U16(0xFFFF);
            }
        }
        closeLevels(3);

        // The map record.
        manage.U16(static_cast<std::uint32_t>(s.nodes.size()));
        manage.U16(static_cast<std::uint32_t>(s.links.size()));
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc) {
                auto it = sheetIndex.find(Cell{s.cell.col + dc, s.cell.row + dr});
                manage.U16(it == sheetIndex.end() ? kNoMap : static_cast<std::uint32_t>(it->second));
            }
        manage.U16(27654); // 0.27654 m per x unit
        manage.I32(ox);
        manage.I32(oy);
        manage.I32(static_cast<std::int32_t>(ox + w));
        manage.I32(static_cast<std::int32_t>(oy + h));
        for (std::size_t off : {nodeOff, crossOff, neighbOff, guideOff, linkOff, vertexOff, nameOff}) {
            if (off > 0xFFFFFFFFu) throw std::runtime_error("file beyond 4 GiB");
            manage.U32(static_cast<std::uint32_t>(off));
        }
        for (std::int16_t v : linkCount) manage.I16(v);
        for (std::int16_t v : nodeCount) manage.I16(v);
        for (std::int32_t v : crossSize) manage.I32(v);
        for (std::int32_t v : guideSize) manage.I32(v);
        summary.links += static_cast<long>(s.links.size());
        summary.nodes += static_cast<long>(s.nodes.size());
    }

    // The facility table, sorted by map id, then link id.
    std::sort(facilities.begin(), facilities.end(), [](const FacilityEntry& a, const FacilityEntry& b) {
        return std::pair(a.map, a.link) < std::pair(b.map, b.link);
    });
    ByteSink codes;
    codes.I32(static_cast<std::int32_t>(facilities.size()));
    for (const FacilityEntry& f : facilities) {
        codes.U16(static_cast<std::uint32_t>(f.map));
        codes.U16(static_cast<std::uint32_t>(f.link));
        codes.U16(static_cast<std::uint32_t>(f.value));
        codes.U8(static_cast<std::uint32_t>(f.dir));
        codes.U8(0);
    }
    summary.facilityEntries = static_cast<long>(facilities.size());

    // Road names: 20-byte names, one copy of each, and the index sorted by (map id, link id).
    std::sort(roadNames.begin(), roadNames.end(), [](const NameEntry& a, const NameEntry& b) {
        return std::pair(a.map, a.link) < std::pair(b.map, b.link);
    });
    ByteSink nameTbl, nameIdx;
    std::map<std::string, std::uint32_t> tblAt;
    nameIdx.U32(static_cast<std::uint32_t>(roadNames.size()));
    for (const NameEntry& e : roadNames) {
        auto it = tblAt.find(e.name);
        std::uint32_t at;
        if (it != tblAt.end()) {
            at = it->second;
        } else {
            at = static_cast<std::uint32_t>(nameTbl.Size());
            nameTbl.Text(e.name, 20);
            tblAt[e.name] = at;
        }
        nameIdx.I16(e.map);
        nameIdx.I16(e.link);
        nameIdx.U32(at);
    }
    summary.roadNames = static_cast<long>(roadNames.size());

    std::filesystem::create_directories(mrDataDir);
    auto put = [&](const char* name, const ByteSink& sink) {
        WriteFileAtomic(mrDataDir + "/" + name, sink.Data());
    };
    put("MRManage.bin", manage);
    put("MRNode.bin", nodeF);
    put("MRLink.bin", linkF);
    put("MRVertex.bin", vertexF);
    put("MRCross.bin", crossF);
    put("MRNeighb.bin", neighbF);
    put("MRGuide.bin", guideF);
    put("MRCrossName.bin", nameF);
    put("LinkIDvsCode.db", codes);
    put("RoadNameIndex.bin", nameIdx);
    put("RoadNameTbl.bin", nameTbl);
    return summary;
}

} // namespace mkdev
