#include "tools/mkdevice/BroadcastStage.h"

#include "platform/base/Text.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>

namespace mkdev {

int BroadcastRoadClass(RoadType type) {
    switch (type) {
    case RoadType::Expressway:
    case RoadType::ExpresswayTunnel:
        return 1;
    case RoadType::NationalRoad:
        return 3;
    case RoadType::ProvincialRoad:
        return 4;
    case RoadType::TownMain:
        return 5;
    default:
        return 0;
    }
}

namespace {

struct Stretch {
    int roadClass = 0;
    // Links in order along the stretch, each with whether it runs first node -> second node
    // in the stretch's direction.
    std::vector<std::pair<int, bool>> links;
};

bool Travels(const NetLink& l, bool forward) {
    if (l.opt.oneWay == 3) return false;
    if (l.opt.oneWay == 1) return forward;
    if (l.opt.oneWay == 2) return !forward;
    return true;
}

} // namespace

std::vector<std::uint32_t> AssignBroadcastLinks(NetModel& model) {
    const auto& links = model.Links();
    const auto& nodes = model.Nodes();
    // Links of one road meet at a node: same class and same name.
    auto roadOf = [&](int li) { return std::make_pair(BroadcastRoadClass(links[li].type), links[li].opt.name); };
    std::map<int, std::vector<int>> atNode; // eligible links at each node
    for (std::size_t i = 0; i < links.size(); ++i) {
        model.LinkAt(static_cast<int>(i)).broadcastForward = 0xFFFF;
        model.LinkAt(static_cast<int>(i)).broadcastBackward = 0xFFFF;
        if (BroadcastRoadClass(links[i].type) == 0 || links[i].opt.oneWay == 3) continue;
        atNode[links[i].a].push_back(static_cast<int>(i));
        if (links[i].b != links[i].a) atNode[links[i].b].push_back(static_cast<int>(i));
    }
    // A stretch goes on through a node only where nothing else happens there: no place name,
    // and exactly one other link of the same road.
    auto continuation = [&](int node, int from) -> int {
        if (!nodes[node].crossName.empty()) return -1;
        int other = -1, same = 0;
        for (int li : atNode[node]) {
            if (roadOf(li) != roadOf(from)) continue;
            ++same;
            if (li != from) other = li;
        }
        return same == 2 ? other : -1;
    };

    std::vector<Stretch> stretches;
    std::vector<bool> used(links.size(), false);
    for (std::size_t start = 0; start < links.size(); ++start) {
        if (used[start] || BroadcastRoadClass(links[start].type) == 0 || links[start].opt.oneWay == 3) continue;
        // Walk back to the stretch's first link, then forward collecting.
        int li = static_cast<int>(start);
        int node = links[li].a; // walking against the link
        std::set<int> seen = {li};
        for (;;) {
            int prev = continuation(node, li);
            if (prev < 0 || seen.count(prev)) break;
            seen.insert(prev);
            node = links[prev].a == node ? links[prev].b : links[prev].a;
            li = prev;
        }
        // li is the first link; node is its far end from the stretch's interior.
        Stretch s;
        s.roadClass = BroadcastRoadClass(links[li].type);
        int from = node;
        for (;;) {
            bool forward = links[li].a == from;
            s.links.push_back({li, forward});
            used[static_cast<std::size_t>(li)] = true;
            int to = forward ? links[li].b : links[li].a;
            int next = continuation(to, li);
            if (next < 0 || used[static_cast<std::size_t>(next)]) break;
            from = to;
            li = next;
        }
        stretches.push_back(std::move(s));
    }

    // Ids: class in bits 17-19, a serial number per class below, bit 31 on expressways.
    struct Entry {
        std::uint32_t id;
        std::size_t stretch;
        bool along;
    };
    std::vector<Entry> entries;
    std::map<int, std::uint32_t> serial;
    for (std::size_t k = 0; k < stretches.size(); ++k) {
        const Stretch& s = stretches[k];
        for (bool along : {true, false}) {
            bool any = false;
            for (auto [li, fwd] : s.links) any |= Travels(links[li], fwd == along);
            if (!any) continue;
            std::uint32_t n = ++serial[s.roadClass];
            if (n >= (1u << 17)) throw std::runtime_error("too many broadcast links of one road class");
            std::uint32_t id = static_cast<std::uint32_t>(s.roadClass) << 17 | n;
            if (s.roadClass == 1) id |= kBroadcastHighwayBit;
            entries.push_back({id, k, along});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.id < b.id; });
    if (entries.size() > 0xFFFF) throw std::runtime_error("more broadcast links than 16-bit indices");
    std::vector<std::uint32_t> ids;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const Entry& e = entries[index];
        ids.push_back(e.id);
        for (auto [li, fwd] : stretches[e.stretch].links) {
            // The link runs first -> second node in the entry's direction when fwd == along.
            bool linkForward = fwd == e.along;
            if (!Travels(links[li], linkForward)) continue;
            NetLink& l = model.LinkAt(li);
            (linkForward ? l.broadcastForward : l.broadcastBackward) = static_cast<std::uint16_t>(index);
        }
    }
    return ids;
}

std::vector<FreqRegion> SampleFreqRegions() {
    // Frequency code c is (c + 844) / 10 MHz.
    return {
        {u"서울", {36, 62, 150}},  {u"부산", {48, 120}}, {u"대구", {80, 172}}, {u"광주", {56, 110}},
        {u"대전", {72, 160}},      {u"강원", {44, 96}},  {u"제주", {90, 138}},
    };
}

std::vector<std::uint8_t> SampleSearchList() {
    std::vector<std::uint8_t> list;
    for (const FreqRegion& r : SampleFreqRegions())
        for (std::uint8_t c : r.codes)
            if (std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
    return list;
}

void WriteBroadcastFiles(const DeviceLayout& layout, const std::vector<std::uint32_t>& ids) {
    std::vector<std::uint8_t> table;
    for (std::uint32_t id : ids)
        for (int b = 0; b < 4; ++b) table.push_back(static_cast<std::uint8_t>(id >> (8 * b)));
    WriteFileAtomic(layout.mrData + "/DARCLINK.bin", table);

    std::vector<std::uint8_t> freq;
    const auto regions = SampleFreqRegions();
    freq.push_back(static_cast<std::uint8_t>(regions.size()));
    for (const FreqRegion& r : regions) {
        std::string name = Utf16ToCp949(r.name);
        freq.push_back(static_cast<std::uint8_t>(name.size()));
        freq.insert(freq.end(), name.begin(), name.end());
    }
    std::size_t end = 0;
    for (const FreqRegion& r : regions) {
        end += r.codes.size();
        freq.push_back(static_cast<std::uint8_t>(end));
    }
    for (const FreqRegion& r : regions) freq.insert(freq.end(), r.codes.begin(), r.codes.end());
    const auto search = SampleSearchList();
    freq.push_back(static_cast<std::uint8_t>(search.size()));
    freq.insert(freq.end(), search.begin(), search.end());
    std::filesystem::create_directories(layout.mapData + "/DARC");
    WriteFileAtomic(layout.mapData + "/DARC/Freq.bin", freq);
}

} // namespace mkdev
