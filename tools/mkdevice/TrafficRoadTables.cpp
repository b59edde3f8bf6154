#include "tools/mkdevice/TrafficRoadTables.h"

#include "platform/base/Text.h"
#include "tools/mkdevice/ByteSink.h"
#include "tools/mkdevice/SearchStage.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace mkdev {

namespace {

constexpr double kMetresX = 0.27654, kMetresY = 0.30879;
constexpr std::uint32_t kHeaderSize = 88, kRecordSize = 36, kNameSize = 60;
constexpr std::uint32_t kDirectionBit = 1u << 16;

double Metres(NetPoint a, NetPoint b) {
    const double dx = (static_cast<double>(a.x) - b.x) * kMetresX;
    const double dy = (static_cast<double>(a.y) - b.y) * kMetresY;
    return std::sqrt(dx * dx + dy * dy);
}

// The point half way along a polyline.
NetPoint Midpoint(const std::vector<NetPoint>& path) {
    double total = 0.0;
    for (std::size_t i = 1; i < path.size(); ++i) total += Metres(path[i - 1], path[i]);
    double left = total / 2.0;
    for (std::size_t i = 1; i < path.size(); ++i) {
        const double step = Metres(path[i - 1], path[i]);
        if (step >= left && step > 0.0) {
            const double t = left / step;
            return {static_cast<std::int32_t>(std::lround(path[i - 1].x + t * (path[i].x - path[i - 1].x))),
                    static_cast<std::int32_t>(std::lround(path[i - 1].y + t * (path[i].y - path[i - 1].y)))};
        }
        left -= step;
    }
    return path.empty() ? NetPoint{} : path.front();
}

std::string Cp(const std::u16string& text) {
    std::string s = Utf16ToCp949(text);
    if (s.size() >= kNameSize) throw std::runtime_error("road table: name longer than 59 bytes");
    return s;
}

// One broadcast link: one direction of a stretch, its network links in travel order.
struct Entry {
    std::uint32_t id = 0;
    int roadClass = 0;
    std::vector<int> links; // sorted: the stretch, whichever direction
    std::vector<NetPoint> path;
    int startNode = -1, endNode = -1;
    std::u16string roadName;
    std::uint16_t roadNumber = 0;
};

struct Pair {
    int first = -1, second = -1; // entries
};

struct Road {
    std::u16string name;
    int roadClass = 0;
    std::vector<int> entries;
    std::vector<Pair> pairs;
    int district = -1;
};

class Builder {
public:
    Builder(const NetModel& model, const std::vector<std::uint32_t>& ids) : m_model(model), m_ids(ids) {}

    std::vector<std::uint8_t> Run(TrafficRoadSummary& summary) {
        CollectEntries();
        GroupRoads();
        for (Road& road : m_roads) PairSections(road, summary);
        m_roads.erase(std::remove_if(m_roads.begin(), m_roads.end(), [](const Road& r) { return r.pairs.empty(); }),
                      m_roads.end());
        AssignDistricts();
        return Write(summary);
    }

private:
    void CollectEntries() {
        const auto& links = m_model.Links();
        struct Piece {
            int link;
            bool forward;
        };
        std::vector<std::vector<Piece>> pieces(m_ids.size());
        for (std::size_t li = 0; li < links.size(); ++li) {
            const NetLink& l = links[li];
            if (l.broadcastForward < pieces.size()) pieces[l.broadcastForward].push_back({static_cast<int>(li), true});
            if (l.broadcastBackward < pieces.size())
                pieces[l.broadcastBackward].push_back({static_cast<int>(li), false});
        }
        for (std::size_t index = 0; index < m_ids.size(); ++index) {
            auto& list = pieces[index];
            if (list.empty()) continue;
            auto from = [&](const Piece& p) { return p.forward ? links[p.link].a : links[p.link].b; };
            auto to = [&](const Piece& p) { return p.forward ? links[p.link].b : links[p.link].a; };
            // Travel order: from the piece no other piece leads into.
            std::vector<Piece> ordered;
            std::vector<bool> taken(list.size(), false);
            std::size_t start = 0;
            for (std::size_t i = 0; i < list.size(); ++i) {
                bool entered = false;
                for (const Piece& q : list) entered |= to(q) == from(list[i]);
                if (!entered) {
                    start = i;
                    break;
                }
            }
            for (std::size_t next = start; next < list.size();) {
                taken[next] = true;
                ordered.push_back(list[next]);
                std::size_t found = list.size();
                for (std::size_t j = 0; j < list.size(); ++j)
                    if (!taken[j] && from(list[j]) == to(list[next])) found = j;
                next = found;
            }
            for (std::size_t j = 0; j < list.size(); ++j)
                if (!taken[j]) ordered.push_back(list[j]);

            Entry e;
            e.id = m_ids[index];
            e.roadClass = static_cast<int>((e.id >> 17) & 7);
            e.startNode = from(ordered.front());
            e.endNode = to(ordered.back());
            for (const Piece& p : ordered) {
                const NetLink& l = links[p.link];
                std::vector<NetPoint> pts{m_model.NodePoint(from(p))};
                std::vector<NetPoint> shape = l.shape;
                if (!p.forward) std::reverse(shape.begin(), shape.end());
                pts.insert(pts.end(), shape.begin(), shape.end());
                pts.push_back(m_model.NodePoint(to(p)));
                for (const NetPoint& q : pts)
                    if (e.path.empty() || !(e.path.back() == q)) e.path.push_back(q);
                e.links.push_back(p.link);
                // A tunnel carries its own name; the road is named by its other links.
                if (e.roadName.empty() && l.type != RoadType::ExpresswayTunnel) {
                    e.roadName = l.opt.name;
                    e.roadNumber = l.opt.roadNumber;
                }
            }
            if (e.roadName.empty()) {
                e.roadName = links[ordered.front().link].opt.name;
                e.roadNumber = links[ordered.front().link].opt.roadNumber;
            }
            std::sort(e.links.begin(), e.links.end());
            m_entries.push_back(std::move(e));
        }
    }

    // A road: the links of one class with one road number (or, unnumbered, one name).
    void GroupRoads() {
        std::map<std::pair<int, std::u16string>, std::size_t> byKey;
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            const Entry& e = m_entries[i];
            if (e.roadName.empty()) continue;
            const std::u16string key = e.roadNumber ? u"#" + Utf8ToUtf16(std::to_string(e.roadNumber)) : e.roadName;
            auto [it, added] = byKey.try_emplace({e.roadClass, key}, m_roads.size());
            if (added) {
                Road r;
                r.name = e.roadName;
                r.roadClass = e.roadClass;
                m_roads.push_back(std::move(r));
            }
            m_roads[it->second].entries.push_back(static_cast<int>(i));
        }
    }

    // Pairs the two directions of each stretch and orders the pairs along the road.
    void PairSections(Road& road, TrafficRoadSummary& summary) {
        std::int32_t minX = INT32_MAX, maxX = INT32_MIN, minY = INT32_MAX, maxY = INT32_MIN;
        for (int ei : road.entries)
            for (const NetPoint& p : m_entries[ei].path) {
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
            }
        const bool alongX = (static_cast<double>(maxX) - minX) * kMetresX >= (static_cast<double>(maxY) - minY) * kMetresY;
        auto advance = [&](int ei) {
            const Entry& e = m_entries[ei];
            const NetPoint a = m_model.NodePoint(e.startNode), b = m_model.NodePoint(e.endNode);
            const double dx = (static_cast<double>(b.x) - a.x) * kMetresX, dy = (static_cast<double>(b.y) - a.y) * kMetresY;
            const double main = alongX ? dx : dy;
            return main != 0.0 ? main : (alongX ? dy : dx);
        };
        // Both directions of a two-way stretch run over the same links.
        std::map<std::vector<int>, std::vector<int>> byLinks;
        for (int ei : road.entries) byLinks[m_entries[ei].links].push_back(ei);
        std::vector<int> forward, backward;
        for (auto& [links, list] : byLinks) {
            if (list.size() == 2) {
                const bool firstLeads = advance(list[0]) > advance(list[1]) ||
                                        (advance(list[0]) == advance(list[1]) && m_entries[list[0]].id < m_entries[list[1]].id);
                road.pairs.push_back(firstLeads ? Pair{list[0], list[1]} : Pair{list[1], list[0]});
                continue;
            }
            for (int ei : list) (advance(ei) >= 0 ? forward : backward).push_back(ei);
        }
        // One-way carriageways: each stretch with the stretch of the other carriageway that runs
        // between the same places the other way.
        struct Candidate {
            double cost;
            int f, b;
        };
        std::vector<Candidate> candidates;
        for (int f : forward)
            for (int b : backward) {
                const Entry& ef = m_entries[f];
                const Entry& eb = m_entries[b];
                const double cost = Metres(m_model.NodePoint(ef.startNode), m_model.NodePoint(eb.endNode)) +
                                    Metres(m_model.NodePoint(ef.endNode), m_model.NodePoint(eb.startNode));
                if (cost < 2000.0) candidates.push_back({cost, f, b});
            }
        std::sort(candidates.begin(), candidates.end(), [&](const Candidate& x, const Candidate& y) {
            if (x.cost != y.cost) return x.cost < y.cost;
            return std::make_pair(m_entries[x.f].id, m_entries[x.b].id) < std::make_pair(m_entries[y.f].id, m_entries[y.b].id);
        });
        std::map<int, bool> paired;
        for (const Candidate& c : candidates) {
            if (paired[c.f] || paired[c.b]) continue;
            paired[c.f] = paired[c.b] = true;
            road.pairs.push_back({c.f, c.b});
        }
        for (int ei : forward) summary.unpaired += paired[ei] ? 0 : 1;
        for (int ei : backward) summary.unpaired += paired[ei] ? 0 : 1;
        auto position = [&](const Pair& p) {
            const NetPoint m = Midpoint(m_entries[p.first].path);
            return alongX ? m.x : m.y;
        };
        std::sort(road.pairs.begin(), road.pairs.end(), [&](const Pair& x, const Pair& y) {
            if (position(x) != position(y)) return position(x) < position(y);
            return m_entries[x.first].id < m_entries[y.first].id;
        });
    }

    // Roads other than expressways belong to the town nearest to their middle.
    void AssignDistricts() {
        static const std::pair<const char16_t*, const char16_t*> kTowns[] = {
            {u"시청사거리", u"가람시"}, {u"나래중앙사거리", u"나래읍"}, {u"다솜중앙사거리", u"다솜읍"},
            {u"바람중앙사거리", u"바람읍"}};
        std::vector<NetPoint> centres;
        for (auto [crossing, town] : kTowns)
            for (const NetNode& n : m_model.Nodes())
                if (n.crossName == crossing) {
                    m_districts.push_back(town);
                    centres.push_back(n.pt);
                    break;
                }
        if (m_districts.empty()) {
            m_districts.push_back(u"전체지역");
            centres.push_back({});
        }
        for (Road& road : m_roads) {
            if (road.roadClass == 1) continue;
            double sx = 0.0, sy = 0.0;
            for (const Pair& p : road.pairs) {
                const NetPoint m = Midpoint(m_entries[p.first].path);
                sx += m.x;
                sy += m.y;
            }
            const NetPoint mid{static_cast<std::int32_t>(sx / road.pairs.size()),
                               static_cast<std::int32_t>(sy / road.pairs.size())};
            double best = -1.0;
            for (std::size_t d = 0; d < centres.size(); ++d) {
                const double m = Metres(mid, centres[d]);
                if (best < 0.0 || m < best) {
                    best = m;
                    road.district = static_cast<int>(d);
                }
            }
        }
    }

    // The place at a node: its crossing name, else the service area or tunnel it starts, else
    // the crossing with another named road, else the nearest named crossing.
    std::u16string PlaceOf(int node, const std::u16string& road) {
        const NetNode& n = m_model.Nodes()[static_cast<std::size_t>(node)];
        if (!n.crossName.empty()) return n.crossName;
        for (RoadType kind : {RoadType::ServiceArea, RoadType::ExpresswayTunnel})
            for (const NetLink& l : m_model.Links())
                if ((l.a == node || l.b == node) && l.type == kind && !l.opt.name.empty()) return l.opt.name;
        for (const NetLink& l : m_model.Links())
            if ((l.a == node || l.b == node) && !l.opt.name.empty() && l.opt.name != road &&
                l.type != RoadType::IcRamp && l.type != RoadType::JcRamp)
                return l.opt.name + u"교차로";
        double best = -1.0;
        std::u16string name;
        for (const NetNode& other : m_model.Nodes()) {
            if (other.crossName.empty()) continue;
            const double m = Metres(n.pt, other.pt);
            if (best < 0.0 || m < best) {
                best = m;
                name = other.crossName;
            }
        }
        return name;
    }

    int PlaceIndex(int node, const std::u16string& road) {
        const std::u16string name = PlaceOf(node, road);
        auto [it, added] = m_placeIndex.try_emplace(name, static_cast<int>(m_places.size()));
        if (added) m_places.push_back(name);
        return it->second;
    }

    static void Record(ByteSink& s, std::uint32_t child, int count, int kind, int name, std::uint32_t direction,
                       std::uint32_t link, int start, int end, int grid, int x, int y, std::uint32_t length,
                       std::uint32_t parent) {
        s.U32(child);
        s.I16(count);
        s.U8(static_cast<std::uint32_t>(kind));
        s.U8(0);
        s.I16(name);
        s.U32(direction);
        s.U32(link);
        s.I16(start);
        s.I16(end);
        s.I16(grid);
        s.I16(x);
        s.I16(y);
        s.U32(length);
        s.U32(parent);
    }

    std::vector<std::uint8_t> Write(TrafficRoadSummary& summary) {
        // The tree: the groups, the districts of each group, the roads of each district.
        static const std::pair<int, const char16_t*> kGroups[] = {
            {1, u"고속도로"}, {3, u"국도"}, {4, u"지방도"}, {5, u"시내도로"}};
        auto byName = [&](int a, int b) { return Cp(m_roads[a].name) < Cp(m_roads[b].name); };
        std::vector<std::vector<std::vector<int>>> tree(std::size(kGroups)); // group, district slot, roads
        std::vector<std::vector<int>> groupDistricts(std::size(kGroups));
        for (std::size_t g = 0; g < std::size(kGroups); ++g) {
            const bool expressways = g == 0;
            std::vector<std::vector<int>> perDistrict(expressways ? 1 : m_districts.size());
            for (std::size_t r = 0; r < m_roads.size(); ++r)
                if (m_roads[r].roadClass == kGroups[g].first)
                    perDistrict[expressways ? 0 : static_cast<std::size_t>(m_roads[r].district)].push_back(static_cast<int>(r));
            for (std::size_t d = 0; d < perDistrict.size(); ++d) {
                if (perDistrict[d].empty()) continue;
                std::sort(perDistrict[d].begin(), perDistrict[d].end(), byName);
                tree[g].push_back(perDistrict[d]);
                groupDistricts[g].push_back(static_cast<int>(d));
            }
        }

        // Road-name table: groups, districts, roads.
        std::vector<std::u16string> roadNames;
        for (auto [roadClass, name] : kGroups) roadNames.push_back(name);
        const int districtNames = static_cast<int>(roadNames.size());
        for (const std::u16string& d : m_districts) roadNames.push_back(d);
        const int firstRoadName = static_cast<int>(roadNames.size());
        for (const Road& r : m_roads) roadNames.push_back(r.name);

        // Offsets counted from the end of the header.
        std::vector<int> roadOrder;
        int districtCount = 0;
        for (std::size_t g = 0; g < tree.size(); ++g) {
            if (g > 0) districtCount += static_cast<int>(tree[g].size());
            for (const auto& roads : tree[g]) roadOrder.insert(roadOrder.end(), roads.begin(), roads.end());
        }
        int sectionCount = 0;
        for (int r : roadOrder) sectionCount += 2 * static_cast<int>(m_roads[r].pairs.size());
        if (sectionCount > 32767 * 4) throw std::runtime_error("road table: too many sections");
        const std::uint32_t level0At = 0;
        const std::uint32_t roadsAt = level0At + kRecordSize * static_cast<std::uint32_t>(std::size(kGroups));
        const std::uint32_t districtsAt = roadsAt + kRecordSize * static_cast<std::uint32_t>(roadOrder.size());
        const std::uint32_t sectionsAt = districtsAt + kRecordSize * static_cast<std::uint32_t>(districtCount);
        const std::uint32_t roadNamesAt = sectionsAt + kRecordSize * static_cast<std::uint32_t>(sectionCount);
        std::map<int, std::uint32_t> roadAt, sectionsOf;
        {
            std::uint32_t at = roadsAt, sections = sectionsAt;
            for (int r : roadOrder) {
                roadAt[r] = at;
                sectionsOf[r] = sections;
                at += kRecordSize;
                sections += kRecordSize * 2 * static_cast<std::uint32_t>(m_roads[r].pairs.size());
            }
        }

        ByteSink level0, roads, districts, sections;
        std::uint32_t districtAt = districtsAt;
        int serial = 0;
        for (std::size_t g = 0; g < tree.size(); ++g) {
            const std::uint32_t groupAt = level0At + kRecordSize * static_cast<std::uint32_t>(g);
            if (tree[g].empty()) {
                Record(level0, 0, 0, 1, static_cast<int>(g), 0, 0, 0, 0, 0, 0, 0, 0, 0);
                continue;
            }
            if (g == 0) {
                Record(level0, roadAt[tree[0][0].front()], static_cast<int>(tree[0][0].size()), 1, 0, 0, 0, 0, 0, 0, 0,
                       0, 0, 0);
            } else {
                Record(level0, districtAt, static_cast<int>(tree[g].size()), 1, static_cast<int>(g), 0, 0, 0, 0, 0, 0,
                       0, 0, 0);
            }
            for (std::size_t d = 0; d < tree[g].size(); ++d) {
                const std::vector<int>& list = tree[g][d];
                // Expressways hang from the first group directly (parent offset 0).
                const std::uint32_t parent = g == 0 ? groupAt : districtAt;
                if (g > 0) {
                    Record(districts, roadAt[list.front()], static_cast<int>(list.size()), 1,
                           districtNames + groupDistricts[g][d], 0, 0, 0, 0, 0, 0, 0, 0, groupAt);
                    districtAt += kRecordSize;
                }
                for (int r : list) {
                    const Road& road = m_roads[static_cast<std::size_t>(r)];
                    const int n = 2 * static_cast<int>(road.pairs.size());
                    ++serial;
                    Record(roads, sectionsOf[r], n, 1, firstRoadName + r, static_cast<std::uint32_t>(serial), 0, 0, 0, 0,
                           0, 0, 0, parent);
                    for (int i = 0; i < n; ++i) {
                        const int pairIndex = i < n / 2 ? i : n - 1 - i;
                        const Pair& p = road.pairs[static_cast<std::size_t>(pairIndex)];
                        const Entry& e = m_entries[static_cast<std::size_t>(i < n / 2 ? p.first : p.second)];
                        const std::uint32_t direction =
                            static_cast<std::uint32_t>(pairIndex + 1) | (i < n / 2 ? kDirectionBit : 0u);
                        const SheetPos pos = SampleSheetPos(Midpoint(e.path));
                        Record(sections, 0, 0, 0, 0, direction, e.id, PlaceIndex(e.startNode, e.roadName),
                               PlaceIndex(e.endNode, e.roadName),
                               pos.code, std::max<int>(pos.dx, 1), std::max<int>(pos.dy, 1), PolylineMetres(e.path),
                               roadAt[r]);
                    }
                }
            }
        }

        ByteSink file;
        file.Text("VELKO BROADCAST ROAD TABLES", 40);
        file.U32(kHeaderSize + level0At);
        file.U32(static_cast<std::uint32_t>(std::size(kGroups)));
        file.Zeros(8);
        file.U32(kHeaderSize + roadsAt);
        file.U32(static_cast<std::uint32_t>(roadOrder.size()));
        file.U32(kHeaderSize + sectionsAt);
        file.U32(static_cast<std::uint32_t>(sectionCount));
        file.U32(roadNamesAt);
        file.Zeros(4);
        file.U32(roadNamesAt + kNameSize * static_cast<std::uint32_t>(roadNames.size()));
        file.Zeros(4);
        for (const ByteSink* part : {&level0, &roads, &districts, &sections}) file.Bytes(part->Data().data(), part->Size());
        for (const std::u16string& name : roadNames) file.Text(Cp(name), kNameSize);
        for (const std::u16string& name : m_places) file.Text(Cp(name), kNameSize);

        summary.roads = static_cast<int>(roadOrder.size());
        summary.districts = districtCount;
        summary.sections = sectionCount;
        return file.Data();
    }

    const NetModel& m_model;
    const std::vector<std::uint32_t>& m_ids;
    std::vector<Entry> m_entries;
    std::vector<Road> m_roads;
    std::vector<std::u16string> m_districts;
    std::vector<std::u16string> m_places;
    std::map<std::u16string, int> m_placeIndex;
};

} // namespace

std::vector<std::uint8_t> BuildTrafficRoadTables(const NetModel& model, const std::vector<std::uint32_t>& ids,
                                                 TrafficRoadSummary* summary) {
    TrafficRoadSummary s;
    std::vector<std::uint8_t> bytes = Builder(model, ids).Run(s);
    if (summary) *summary = s;
    return bytes;
}

TrafficRoadSummary WriteTrafficRoadTables(const DeviceLayout& layout, const NetModel& model,
                                          const std::vector<std::uint32_t>& ids) {
    TrafficRoadSummary s;
    const std::vector<std::uint8_t> bytes = BuildTrafficRoadTables(model, ids, &s);
    std::filesystem::create_directories(layout.mapData + "/DARC");
    WriteFileAtomic(layout.mapData + "/DARC/DLevel1.db", bytes);
    return s;
}

} // namespace mkdev
