#include "tools/mkdevice/SearchStage.h"

#include "platform/base/Text.h"
#include "route/base/Coords.h"
#include "tools/mkdevice/ByteSink.h"
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/PlaceTable.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>

namespace mkdev {

namespace {

constexpr const char* kNameVersion = "3 1 0 NAME 20261210";
constexpr const char* kAdminVersion = "3 1 0 ADMIN 20261210";
constexpr const char* kAddrVersion = "3 1 0 ADDR 20261210";
constexpr const char* kPoiVersion = "3 1 0 POI 20261210";
constexpr const char* kThemeVersion = "3 1 0 THEME 20261210";

// Code page 949 bytes of a text that must fit a field of maxBytes.
std::string Cp(const std::u16string& text, std::size_t maxBytes) {
    std::string s = Utf16ToCp949(text);
    if (s.size() > maxBytes) throw std::runtime_error("search stage: text too long: " + Utf16ToUtf8(text));
    return s;
}

bool ByteLess(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

void Put(ByteSink& s, const SheetPos& p) {
    s.U16(p.code);
    s.U16(p.dx);
    s.U16(p.dy);
}

void WriteBytes(const std::string& path, const ByteSink& s) {
    WriteFileAtomic(path, s.Data());
}

// The 84-byte header of the name and address databases.
struct Header84 {
    std::uint32_t offset[6] = {};
    std::uint16_t count[6] = {};
    std::uint32_t w68 = 0, w72 = 0, w76 = 0, w80 = 0;
    void Write(ByteSink& s, const char* version) const {
        s.Text(version, 32);
        for (int g = 0; g < 6; ++g) {
            s.U32(offset[g]);
            s.U16(count[g]);
        }
        s.U32(w68);
        s.U32(w72);
        s.U32(w76);
        s.U32(w80);
    }
};

struct IndexNode {
    std::uint32_t first = 0, count = 0;
    std::map<std::pair<std::uint8_t, std::uint8_t>, IndexNode> children;
};

// The key of the character at `at` and its length, cut as the prefix search walks a query.
std::size_t CharKey(const std::string& s, std::size_t at, std::pair<std::uint8_t, std::uint8_t>& key) {
    const auto c = static_cast<std::uint8_t>(s[at]);
    if (c >= 0x21 && c <= 0x7F) {
        key = {c, 0};
        return 1;
    }
    key = {c, at + 1 < s.size() ? static_cast<std::uint8_t>(s[at + 1]) : 0};
    return 2;
}

// The character tree over names sorted by their bytes, two characters deep: each node points at
// the run of records whose names begin with the characters on its path.
ByteSink CharacterIndex(const std::vector<std::string>& names, std::size_t& topCount) {
    IndexNode root;
    for (std::uint32_t r = 0; r < names.size(); ++r) {
        const std::string& n = names[r];
        if (n.empty()) continue;
        std::pair<std::uint8_t, std::uint8_t> k1, k2;
        const std::size_t step = CharKey(n, 0, k1);
        IndexNode& a = root.children[k1];
        if (a.count == 0) a.first = r;
        ++a.count;
        if (step < n.size()) {
            CharKey(n, step, k2);
            IndexNode& b = a.children[k2];
            if (b.count == 0) b.first = r;
            ++b.count;
        }
    }
    ByteSink index;
    auto writeLevel = [&](const std::map<std::pair<std::uint8_t, std::uint8_t>, IndexNode>& level,
                          auto& self) -> std::uint32_t {
        const std::uint32_t at = static_cast<std::uint32_t>(index.Size());
        for (const auto& [key, node] : level) {
            index.U8(key.first);
            index.U8(key.second);
            index.U32(0);
            index.U16(static_cast<std::uint32_t>(node.children.size()));
            index.U32(node.first * 40);
            index.U32(node.count);
        }
        std::size_t i = 0;
        for (const auto& [key, node] : level) {
            if (!node.children.empty()) {
                const std::uint32_t child = self(node.children, self);
                index.PutU32At(at + 16 * i + 2, child);
            }
            ++i;
        }
        return at;
    };
    writeLevel(root.children, writeLevel);
    topCount = root.children.size();
    return index;
}

class Stage {
public:
    Stage(const DeviceLayout& layout, const NetModel& model) : m_layout(layout), m_model(model), m_t(SamplePlaces()) {}

    SearchSummary Run() {
        std::filesystem::create_directories(m_layout.searchDb + "/Theme");
        AdminNames();
        Names();
        Address();
        Poi();
        Themes();
        return m_summary;
    }

private:
    int AdminIndex(int area) const { return area + 1; }
    int LineIndex() const { return static_cast<int>(m_t.areas.size()) + 1; }
    SheetPos PlacePos(const Place& p) const { return SampleSheetPos(SampleNet(p.x, p.y)); }

    // The innermost area of a level below the district that holds the point, -1 when none.
    int AreaAt(int level, int parent, double x, double y) const {
        for (std::size_t i = 0; i < m_t.areas.size(); ++i) {
            const Area& a = m_t.areas[i];
            if (a.level != level || a.parent != parent) continue;
            for (const KmBox& b : a.boxes)
                if (b.Contains(x, y)) return static_cast<int>(i);
        }
        return -1;
    }

    std::u16string AddressOf(const Place& p, int number) const {
        if (p.district < 0) return u"";
        const int province = m_t.ProvinceOf(p.district);
        std::u16string s = m_t.areas[static_cast<std::size_t>(province)].name + u" " +
                           m_t.areas[static_cast<std::size_t>(p.district)].name;
        const int town = AreaAt(2, p.district, p.x, p.y);
        if (town >= 0) {
            s += u" " + m_t.areas[static_cast<std::size_t>(town)].name;
            const int village = AreaAt(3, town, p.x, p.y);
            if (village >= 0) s += u" " + m_t.areas[static_cast<std::size_t>(village)].name;
        }
        const std::string n = std::to_string(number);
        return s + u" " + std::u16string(n.begin(), n.end());
    }

    void AdminNames() {
        ByteSink s;
        s.Text(kAdminVersion, 32);
        s.U32(40);
        s.U32(static_cast<std::uint32_t>(m_t.areas.size() + 1));
        for (const Area& a : m_t.areas) s.Text(Cp(a.name, 20), 20);
        s.Text(Cp(m_t.line, 20), 20);
        WriteBytes(m_layout.searchDb + "/AdminName.db", s);
        m_summary.areas = static_cast<long>(m_t.areas.size());
    }

    // --- The name database. ---
    struct ClassDef {
        std::u16string major;
        std::vector<std::u16string> minors;
    };

    void Names() {
        // Records: every place, sorted by its code page 949 bytes.
        struct Rec {
            std::string name;
            std::size_t place;
        };
        std::vector<Rec> recs;
        for (std::size_t i = 0; i < m_t.places.size(); ++i) recs.push_back({Cp(m_t.places[i].name, 20), i});
        std::stable_sort(recs.begin(), recs.end(), [](const Rec& a, const Rec& b) { return ByteLess(a.name, b.name); });
        std::vector<std::uint32_t> recordOfPlace(m_t.places.size());
        for (std::size_t r = 0; r < recs.size(); ++r) recordOfPlace[recs[r].place] = static_cast<std::uint32_t>(r + 1);

        std::vector<std::string> sortedNames;
        for (const Rec& r : recs) sortedNames.push_back(r.name);
        std::size_t topCount = 0;
        const ByteSink index = CharacterIndex(sortedNames, topCount);

        // Class names and the category tree.
        const std::vector<ClassDef> classes = {
            {u"의료", {u"병원", u"약국"}},
            {u"금융", {u"은행"}},
            {u"숙박", {u"호텔", u"모텔"}},
            {u"음식", {u"한식", u"패스트푸드"}},
            {u"교통시설", {u"주유소", u"LPG충전소", u"주차장", u"지하철역", u"정비소"}},
            {u"고속도로시설", {u"전체", u"누리고속도로", u"한울고속도로"}},
        };
        std::vector<std::u16string> classNames;
        auto classIndex = [&](const std::u16string& n) {
            auto it = std::find(classNames.begin(), classNames.end(), n);
            if (it != classNames.end()) return static_cast<int>(it - classNames.begin()) + 1;
            classNames.push_back(n);
            return static_cast<int>(classNames.size());
        };
        struct TreeNode {
            int name = 0;
            int kind = 0;
            std::vector<TreeNode> children;
            std::vector<std::uint32_t> facilities;
        };
        std::vector<TreeNode> top;
        for (const ClassDef& c : classes) {
            TreeNode major{classIndex(c.major), 1, {}, {}};
            for (const std::u16string& minor : c.minors) {
                TreeNode mn{classIndex(minor), 2, {}, {}};
                // Facilities of this class.
                std::vector<std::size_t> members;
                for (std::size_t i = 0; i < m_t.places.size(); ++i) {
                    const Place& p = m_t.places[i];
                    if (p.cls.major != c.major) continue;
                    if (c.major == u"고속도로시설" ? (minor != u"전체" && p.road != minor) : p.cls.minor != minor) continue;
                    members.push_back(i);
                }
                if (members.empty()) continue;
                const bool stations = minor == u"지하철역", highway = c.major == u"고속도로시설";
                std::stable_sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
                    const Place& pa = m_t.places[a];
                    const Place& pb = m_t.places[b];
                    if (stations) return pa.order < pb.order;
                    if (highway) {
                        if (pa.road != pb.road) return pa.road == u"누리고속도로";
                        return pa.order < pb.order;
                    }
                    return ByteLess(Cp(pa.name, 20), Cp(pb.name, 20));
                });
                // Province, then district (for stations: the line).
                std::map<int, std::map<int, std::vector<std::uint32_t>>> byArea;
                for (std::size_t i : members) {
                    const Place& p = m_t.places[i];
                    if (p.district < 0) throw std::runtime_error("search stage: place outside every district");
                    const int level3 = stations ? LineIndex() : AdminIndex(p.district);
                    byArea[AdminIndex(m_t.ProvinceOf(p.district))][level3].push_back(recordOfPlace[i]);
                }
                for (auto& [province, districts] : byArea) {
                    TreeNode pn{province, 3, {}, {}};
                    for (auto& [district, list] : districts) pn.children.push_back({district, 5, {}, list});
                    mn.children.push_back(pn);
                }
                major.children.push_back(mn);
            }
            top.push_back(major);
        }

        // Layout: header, index section, category tree, name records, class names.
        const std::uint32_t indexAt = 84;
        const std::uint32_t treeAt = indexAt + static_cast<std::uint32_t>(index.Size());
        ByteSink tree;
        std::function<std::uint32_t(const std::vector<TreeNode>&)> writeList = [&](const std::vector<TreeNode>& list) {
            const std::uint32_t at = static_cast<std::uint32_t>(tree.Size());
            for (const TreeNode& n : list) {
                tree.U16(static_cast<std::uint32_t>(n.name));
                tree.U32(0);
                tree.U32(static_cast<std::uint32_t>(n.children.empty() ? n.facilities.size() : n.children.size()));
                tree.U8(0);
                tree.U8(static_cast<std::uint32_t>(n.kind));
            }
            for (std::size_t i = 0; i < list.size(); ++i) {
                const TreeNode& n = list[i];
                std::uint32_t child;
                if (!n.children.empty()) {
                    child = writeList(n.children);
                } else {
                    child = static_cast<std::uint32_t>(tree.Size());
                    for (std::uint32_t r : n.facilities) tree.U32(r);
                }
                tree.PutU32At(at + 12 * i + 2, child);
            }
            return at;
        };
        writeList(top);
        const std::uint32_t recordsAt = treeAt + static_cast<std::uint32_t>(tree.Size());
        const std::uint32_t recordsEnd = recordsAt + 40 * static_cast<std::uint32_t>(recs.size());

        Header84 h;
        h.offset[2] = indexAt;
        h.count[2] = static_cast<std::uint16_t>(topCount);
        h.offset[4] = treeAt;
        h.count[4] = static_cast<std::uint16_t>(top.size());
        h.w68 = recordsAt;
        h.w76 = recordsEnd;
        h.w80 = recordsEnd;
        ByteSink s;
        h.Write(s, kNameVersion);
        s.Bytes(index.Data().data(), index.Size());
        s.Bytes(tree.Data().data(), tree.Size());
        for (const Rec& r : recs) {
            const Place& p = m_t.places[r.place];
            s.Text(r.name, 20);
            Put(s, PlacePos(p));
            s.U16(static_cast<std::uint32_t>(AdminIndex(m_t.ProvinceOf(p.district))));
            s.U16(static_cast<std::uint32_t>(AdminIndex(p.district)));
            s.U16(0);
            s.U16(0);
            s.U16(0);
            s.U32(static_cast<std::uint32_t>(r.place + 1)); // its POI record
        }
        for (const std::u16string& c : classNames) s.Text(Cp(c, 30), 30);
        WriteBytes(m_layout.searchDb + "/nVelko.db", s);
        m_summary.names = static_cast<long>(recs.size());
    }

    // --- The address database. ---
    struct Parcel {
        std::uint8_t mountain = 0;
        std::uint16_t main = 0, sub = 0;
        SheetPos pos;
    };

    // Points along the area's ordinary roads, about 9 m apart, in link order.
    std::vector<NetPoint> RoadPoints(const Area& a) const {
        std::vector<NetPoint> out;
        for (const NetLink& l : m_model.Links()) {
            if (l.type == RoadType::Expressway || l.type == RoadType::ExpresswayTunnel || l.type == RoadType::JcRamp ||
                l.type == RoadType::IcRamp)
                continue;
            std::vector<NetPoint> line{m_model.NodePoint(l.a)};
            line.insert(line.end(), l.shape.begin(), l.shape.end());
            line.push_back(m_model.NodePoint(l.b));
            for (std::size_t i = 1; i < line.size(); ++i) {
                const double dx = line[i].x - line[i - 1].x, dy = line[i].y - line[i - 1].y;
                const int steps = std::max(1, static_cast<int>(std::hypot(dx, dy) / 30.0));
                for (int k = 0; k < steps; ++k) {
                    const NetPoint p{line[i - 1].x + static_cast<std::int32_t>(dx * k / steps),
                                     line[i - 1].y + static_cast<std::int32_t>(dy * k / steps)};
                    const double kx = (p.x - SampleNet(0, 0).x) * coords::kMetresPerNetX / 1000.0;
                    const double ky = (p.y - SampleNet(0, 0).y) * coords::kMetresPerNetY / 1000.0;
                    for (const KmBox& b : a.boxes)
                        if (b.Contains(kx, ky)) {
                            out.push_back(p);
                            break;
                        }
                }
            }
        }
        return out;
    }

    std::vector<Parcel> Parcels(const Area& a) const {
        const std::vector<NetPoint> points = RoadPoints(a);
        const std::size_t n = static_cast<std::size_t>(a.parcels);
        if (points.size() < n) throw std::runtime_error("search stage: too few road points in " + Utf16ToUtf8(a.name));
        std::vector<Parcel> out;
        const std::size_t mountains = n >= 20 ? n / 10 : 0;
        int main = 1;
        while (out.size() < n - mountains) {
            if (main % 4 == 3) {
                for (int sub = 1; sub <= 2 && out.size() < n - mountains; ++sub)
                    out.push_back({0, static_cast<std::uint16_t>(main), static_cast<std::uint16_t>(sub), {}});
            } else {
                out.push_back({0, static_cast<std::uint16_t>(main), 0, {}});
            }
            main += main % 5 == 0 ? 2 : 1;
        }
        for (int m = 1; out.size() < n; ++m)
            out.push_back({1, static_cast<std::uint16_t>(m), static_cast<std::uint16_t>(m % 3 == 0 ? 1 : 0), {}});
        for (std::size_t i = 0; i < n; ++i) out[i].pos = SampleSheetPos(points[i * points.size() / n]);
        return out;
    }

    static ByteSink Block(const std::vector<Parcel>& parcels, bool stored) {
        ByteSink plain;
        for (const Parcel& p : parcels) {
            plain.U8(0);
            plain.U8(p.mountain);
            plain.U16(p.main);
            plain.U16(p.sub);
            Put(plain, p.pos);
        }
        std::vector<std::uint8_t> data = plain.Data();
        if (!stored) {
            uLongf n = compressBound(plain.Size());
            data.resize(n);
            if (compress2(data.data(), &n, plain.Data().data(), plain.Size(), 9) != Z_OK)
                throw std::runtime_error("search stage: compression failed");
            data.resize(n);
        }
        ByteSink b;
        b.U32(static_cast<std::uint32_t>(plain.Size()));
        b.U32(static_cast<std::uint32_t>(data.size()));
        b.U32(static_cast<std::uint32_t>(parcels.size()));
        b.U8(stored ? 0 : 1);
        b.Bytes(data.data(), data.size());
        return b;
    }

    void Address() {
        // Node lists depth first after the header; parcel blocks after every list.
        ByteSink lists;
        std::vector<std::pair<std::size_t, int>> blockPatches; // (offset of the child field in lists, area)
        std::function<void(int, int)> writeChildren = [&](int parent, int level) {
            std::vector<int> kids;
            for (std::size_t i = 0; i < m_t.areas.size(); ++i)
                if (m_t.areas[i].parent == parent && m_t.areas[i].level == level) kids.push_back(static_cast<int>(i));
            const std::size_t at = lists.Size();
            for (int k : kids) {
                const Area& a = m_t.areas[static_cast<std::size_t>(k)];
                lists.U16(static_cast<std::uint32_t>(AdminIndex(k)));
                lists.U32(0);
                lists.U16(0);
                lists.U32(0);
                lists.U16(0);
                lists.U8(static_cast<std::uint32_t>(a.downType));
                lists.U16(0);
                lists.U16(0);
                lists.U8(0);
                Put(lists, SampleSheetPos(SampleNet(a.nodeX, a.nodeY)));
                lists.U16(0);
            }
            for (std::size_t i = 0; i < kids.size(); ++i) {
                const Area& a = m_t.areas[static_cast<std::size_t>(kids[i])];
                const std::size_t field = at + 28 * i + 2;
                if (a.parcels > 0) {
                    blockPatches.push_back({field, kids[i]});
                    lists.PutU16At(field + 4, 1);
                    continue;
                }
                if (level >= 3 || a.downType == 6) continue;
                std::size_t count = 0;
                for (const Area& c : m_t.areas)
                    if (c.parent == kids[i] && c.level == level + 1) ++count;
                if (count == 0) continue;
                lists.PutU32At(field, static_cast<std::uint32_t>(lists.Size()));
                lists.PutU16At(field + 4, static_cast<std::uint32_t>(count));
                writeChildren(kids[i], level + 1);
            }
        };
        std::size_t provinces = 0;
        for (const Area& a : m_t.areas) provinces += a.level == 0;
        writeChildren(-1, 0);
        for (const auto& [field, area] : blockPatches) {
            const Area& a = m_t.areas[static_cast<std::size_t>(area)];
            const std::vector<Parcel> parcels = Parcels(a);
            lists.PutU32At(field, static_cast<std::uint32_t>(lists.Size()));
            const ByteSink block = Block(parcels, a.storedBlock);
            lists.Bytes(block.Data().data(), block.Size());
            m_summary.parcels += static_cast<long>(parcels.size());
        }
        Header84 h;
        h.offset[0] = 84;
        h.count[0] = static_cast<std::uint16_t>(provinces);
        ByteSink s;
        h.Write(s, kAddrVersion);
        s.Bytes(lists.Data().data(), lists.Size());
        WriteBytes(m_layout.searchDb + "/aVelko.db", s);
    }

    // --- Point-of-interest details. ---
    void Poi() {
        const std::vector<std::u16string> labels = {u"전화번호", u"주소", u"영업시간", u"소개"};
        std::vector<ByteSink> records;
        for (std::size_t i = 0; i < m_t.places.size(); ++i) {
            const Place& p = m_t.places[i];
            std::u16string text;
            auto field = [&](int label, const std::u16string& value) {
                if (value.empty()) return;
                if (!text.empty()) text += u"|";
                const std::string n = std::to_string(label);
                text += std::u16string(n.begin(), n.end()) + u"|" + value;
            };
            field(0, p.phone);
            field(1, AddressOf(p, static_cast<int>(i % 300) + 1));
            field(2, p.hours);
            field(3, p.intro);
            ByteSink r;
            r.U16(static_cast<std::uint32_t>(p.brand));
            r.U32(static_cast<std::uint32_t>(i + 1));
            r.Text(Cp(p.name, 20), 20);
            const std::string body = Utf16ToCp949(text);
            r.Bytes(body.data(), body.size());
            records.push_back(r);
        }
        const std::uint32_t labelAt = 48;
        const std::uint32_t indexAt = labelAt + 40 * static_cast<std::uint32_t>(labels.size());
        std::uint32_t at = indexAt + 8 * static_cast<std::uint32_t>(records.size());
        ByteSink s;
        s.Text(kPoiVersion, 32);
        s.U32(labelAt);
        s.U32(static_cast<std::uint32_t>(labels.size()));
        s.U32(indexAt);
        s.U32(static_cast<std::uint32_t>(records.size()));
        for (const std::u16string& l : labels) s.Text(Cp(l, 40), 40);
        for (const ByteSink& r : records) {
            s.U32(at);
            s.U32(static_cast<std::uint32_t>(r.Size()));
            at += static_cast<std::uint32_t>(r.Size());
        }
        for (const ByteSink& r : records) s.Bytes(r.Data().data(), r.Size());
        WriteBytes(m_layout.searchDb + "/POI.db", s);
        m_summary.poiRecords = static_cast<long>(records.size());
    }

    // --- Themes. ---
    void Theme(const std::string& file, const std::u16string& title, const std::u16string& description,
               const std::vector<std::u16string>& names) {
        std::vector<const Place*> places;
        for (const std::u16string& n : names) {
            auto it = std::find_if(m_t.places.begin(), m_t.places.end(), [&](const Place& p) { return p.name == n; });
            if (it == m_t.places.end()) throw std::runtime_error("search stage: theme place " + Utf16ToUtf8(n));
            places.push_back(&*it);
        }
        const std::vector<std::u16string> labels = {u"주소", u"전화번호", u"소개"};
        std::vector<ByteSink> blocks;
        for (const Place* p : places) {
            std::u16string text = u"1|" + AddressOf(*p, 1);
            if (!p->phone.empty()) text += u"|2|" + p->phone;
            text += u"|3|" + p->intro;
            ByteSink b;
            b.U16(0);
            b.U32(0);
            b.Text(Cp(p->name, 20), 20);
            const std::string body = Utf16ToCp949(text);
            b.Bytes(body.data(), body.size());
            blocks.push_back(b);
        }
        const std::uint32_t regionAt = 228, regionCount = 6;
        const std::uint32_t placeAt = regionAt + 28 * regionCount;
        const std::uint32_t labelAt = placeAt + 48 * static_cast<std::uint32_t>(places.size());
        const std::uint32_t indexAt = labelAt + 40 * static_cast<std::uint32_t>(labels.size());
        const std::uint32_t blockBase = indexAt + 8 * static_cast<std::uint32_t>(blocks.size());
        ByteSink s;
        s.Text(kThemeVersion, 32);
        s.Text(Cp(title, 40), 40);
        s.Text(Cp(description, 100), 100);
        s.U8(0);
        s.Zeros(3);
        s.U32(0);
        s.U32(regionAt);
        s.U32(regionCount);
        s.U32(placeAt);
        s.U32(static_cast<std::uint32_t>(places.size()));
        s.U32(labelAt);
        s.U32(static_cast<std::uint32_t>(labels.size()));
        s.U32(indexAt);
        s.U32(static_cast<std::uint32_t>(blocks.size()));
        s.U32(0);
        s.U32(0);
        s.U32(blockBase);
        s.U32(0);
        // Regions 1-6: the provinces and districts (the first six areas of the table).
        for (std::uint32_t r = 0; r < regionCount; ++r) s.Text(Cp(m_t.areas[r].name, 20), 28);
        std::uint32_t detail = 0;
        for (const Place* p : places) {
            const NetPoint n = SampleNet(p->x, p->y);
            s.Text(Cp(p->name, 20), 20);
            s.U32(static_cast<std::uint32_t>(n.x / 10));
            s.U32(static_cast<std::uint32_t>(n.y / 10));
            s.U16(static_cast<std::uint32_t>(AdminIndex(m_t.ProvinceOf(p->district))));
            s.U16(static_cast<std::uint32_t>(AdminIndex(p->district)));
            s.U16(0);
            s.U32(++detail);
            s.Zeros(10);
        }
        for (const std::u16string& l : labels) s.Text(Cp(l, 40), 40);
        std::uint32_t at = 0;
        for (const ByteSink& b : blocks) {
            s.U32(at);
            s.U32(static_cast<std::uint32_t>(b.Size()));
            at += static_cast<std::uint32_t>(b.Size());
        }
        for (const ByteSink& b : blocks) s.Bytes(b.Data().data(), b.Size());
        WriteBytes(m_layout.searchDb + "/Theme/" + file, s);
        ++m_summary.themes;
    }

    void Themes() {
        Theme("가람명소.thm", u"가람 명소", u"가람시와 그 주변의 가 볼 만한 곳",
              {u"가람호수공원", u"가람중앙공원", u"가람문화회관", u"가람종합운동장", u"가람시청", u"가람대학교",
               u"누리휴게소", u"가람역", u"나래시장", u"바람시장"});
        Theme("맛집기행.thm", u"맛집 기행", u"지역 주민이 추천하는 음식점",
              {u"가람갈비", u"가람식당", u"똠양꿍식당", u"가람분식", u"시장국밥", u"향교칼국수", u"나래순대국",
               u"다솜국수", u"바람손칼국수", u"가람버거"});
    }

    const DeviceLayout& m_layout;
    const NetModel& m_model;
    const PlaceTable& m_t;
    SearchSummary m_summary;
};

} // namespace

SheetPos SampleSheetPos(NetPoint p) {
    std::int32_t x = 0, y = 0;
    NetToMapCoord(p.x, p.y, x, y);
    const int column = x / 12000, row = y / 10000;
    static const std::map<std::pair<int, int>, std::uint16_t> codes = {
        {{16, 52}, 6732}, {{16, 53}, 6733}, {{16, 54}, 6734}, {{17, 52}, 6736}, {{17, 53}, 6737},
        {{17, 54}, 6738}, {{18, 52}, 6742}, {{18, 53}, 6743}, {{18, 54}, 6744}};
    const auto it = codes.find({column, row});
    if (x < 0 || y < 0 || it == codes.end()) throw std::runtime_error("search stage: point outside the sample's sheets");
    return {it->second, static_cast<std::uint16_t>(x - column * 12000), static_cast<std::uint16_t>(y - row * 10000)};
}

SearchSummary BuildSearchStage(const DeviceLayout& layout, const NetModel& model) {
    return Stage(layout, model).Run();
}

void WriteNationalNames(const std::string& dir, std::uint64_t seed, std::size_t count) {
    std::filesystem::create_directories(dir);
    static const char16_t* const kSyllables[] = {
        u"가", u"나", u"다", u"라", u"마", u"바", u"사", u"아", u"자", u"차", u"카", u"타", u"파", u"하", u"강",
        u"남", u"동", u"서", u"북", u"중", u"신", u"대", u"한", u"영", u"성", u"미", u"소", u"우", u"진", u"청",
        u"해", u"솔", u"별", u"빛", u"들", u"샘", u"골", u"숲", u"봄", u"금", u"은", u"옥", u"연", u"화", u"평",
        u"안", u"정", u"수", u"원", u"산", u"천", u"도", u"광", u"명", u"세", u"경", u"인", u"호", u"순", u"보"};
    static const char16_t* const kKinds[] = {u"식당", u"병원", u"약국", u"주유소", u"마트", u"학교", u"은행",
                                             u"공원", u"교회", u"빌딩", u"아파트", u"의원", u"카페", u"시장",
                                             u"센터", u"상가", u"호텔", u"정비", u"서점", u"초교"};
    constexpr std::size_t kProvinces = 17, kDistricts = 250;
    // Admin names: 17 provinces, then 250 districts.
    ByteSink admin;
    admin.Text(kAdminVersion, 32);
    admin.U32(40);
    admin.U32(static_cast<std::uint32_t>(kProvinces + kDistricts));
    std::mt19937_64 rng(seed);
    auto syllable = [&] { return std::u16string(kSyllables[rng() % std::size(kSyllables)]); };
    for (std::size_t i = 0; i < kProvinces; ++i) admin.Text(Cp(syllable() + syllable() + u"도", 20), 20);
    for (std::size_t i = 0; i < kDistricts; ++i) admin.Text(Cp(syllable() + syllable() + u"시", 20), 20);
    WriteFileAtomic(dir + "/AdminName.db", admin.Data());

    std::vector<std::string> names;
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::u16string n;
        const int syllables = 2 + static_cast<int>(rng() % 3);
        for (int k = 0; k < syllables; ++k) n += syllable();
        n += kKinds[rng() % std::size(kKinds)];
        names.push_back(Cp(n, 20));
    }
    std::sort(names.begin(), names.end(), ByteLess);
    std::size_t topCount = 0;
    const ByteSink index = CharacterIndex(names, topCount);
    const std::uint32_t recordsAt = 84 + static_cast<std::uint32_t>(index.Size());
    const std::uint32_t recordsEnd = recordsAt + 40 * static_cast<std::uint32_t>(names.size());
    Header84 h;
    h.offset[2] = 84;
    h.count[2] = static_cast<std::uint16_t>(topCount);
    h.w68 = recordsAt;
    h.w76 = recordsEnd;
    h.w80 = recordsEnd;
    ByteSink s;
    s.Data().reserve(recordsEnd);
    h.Write(s, kNameVersion);
    s.Bytes(index.Data().data(), index.Size());
    static const std::uint16_t kCodes[] = {6732, 6733, 6734, 6736, 6737, 6738, 6742, 6743, 6744};
    for (const std::string& n : names) {
        s.Text(n, 20);
        s.U16(kCodes[rng() % std::size(kCodes)]);
        s.U16(static_cast<std::uint32_t>(rng() % 12000));
        s.U16(static_cast<std::uint32_t>(rng() % 10000));
        const std::uint32_t province = static_cast<std::uint32_t>(rng() % kProvinces);
        s.U16(province + 1);
        s.U16(static_cast<std::uint32_t>(kProvinces + 1 + rng() % kDistricts));
        s.U16(0);
        s.U16(0);
        s.U16(0);
        s.U32(0);
    }
    WriteFileAtomic(dir + "/nVelko.db", s.Data());
}

} // namespace mkdev
