// Small named networks for the tests of the readers, the matcher and the route engine. They
// lie in the sample region's sheets (columns 20-22, rows 52-54) so their coordinates are valid.
#include "tools/mkdevice/Networks.h"

#include <stdexcept>

namespace mkdev {

namespace {

constexpr std::int32_t kRegionX = 45720000;
constexpr std::int32_t kRegionY = 13470000;

int Node(NetModel& m, double xkm, double ykm, std::u16string name = u"") {
    NetPoint p = KmToNet(kRegionX, kRegionY, xkm, ykm);
    return m.AddNode(p.x, p.y, std::move(name));
}

LinkOptions Named(std::u16string name, int oneWay = 0) {
    LinkOptions o;
    o.name = std::move(name);
    o.oneWay = oneWay;
    return o;
}

// One sheet: a four-way junction with links of all four levels, a banned turn, dead ends,
// and junctions whose names are 21 and 22 bytes long in CP949.
NetModel Tiny() {
    NetModel m;
    int j1 = Node(m, 12.0, 12.0, u"한빛사거리");
    int j2 = Node(m, 11.5, 12.0, u"가나다라마바사아자차A");  // 21 bytes
    int j3 = Node(m, 12.0, 12.5, u"가나다라마바사아자차카"); // 22 bytes
    int b = Node(m, 12.5, 12.0), d = Node(m, 12.0, 11.5), e = Node(m, 11.0, 12.0), f = Node(m, 12.0, 13.0);
    int toB = m.AddLink(j1, b, RoadType::NationalRoad, Named(u"국도1호선"));
    m.AddLink(j1, j2, RoadType::Expressway, Named(u"한빛고속도로"),
              {KmToNet(kRegionX, kRegionY, 11.75, 12.1)});
    m.AddLink(j2, e, RoadType::Expressway, Named(u"한빛고속도로"));
    m.AddLink(j1, j3, RoadType::TownStreet, Named(u"한빛로", 1));
    m.AddLink(j3, f, RoadType::ExpresswayTunnel, Named(u"한빛터널"));
    int toD = m.AddLink(j1, d, RoadType::Alley);
    m.BanTurn(j1, toB, toD);
    return m;
}

// Two sheets side by side; one road crosses the border between them.
NetModel Border() {
    NetModel m;
    int p = Node(m, 19.0, 12.0, u"서쪽삼거리"), q = Node(m, 21.0, 12.0, u"동쪽삼거리");
    m.AddLink(p, q, RoadType::NationalRoad, Named(u"국도2호선"));
    m.AddLink(p, Node(m, 19.0, 12.5), RoadType::TownStreet);
    m.AddLink(p, Node(m, 18.5, 12.0), RoadType::TownStreet);
    m.AddLink(q, Node(m, 21.0, 12.5), RoadType::TownStreet);
    m.AddLink(q, Node(m, 21.5, 12.0), RoadType::TownStreet);
    return m;
}

// Nine sheets, a crossing in the middle of each, joined to its neighbours across the borders.
NetModel Grid3x3() {
    NetModel m;
    int c[3][3];
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row) c[col][row] = Node(m, (col + 0.5) * 9.955, (row + 0.5) * 9.264);
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row) {
            if (col + 1 < 3) m.AddLink(c[col][row], c[col + 1][row], RoadType::NationalRoad);
            if (row + 1 < 3) m.AddLink(c[col][row], c[col][row + 1], RoadType::ProvincialRoad);
        }
    return m;
}

} // namespace

std::vector<std::string> FixtureNames() {
    return {"tiny", "border", "grid3x3"};
}

NetModel BuildFixture(const std::string& name) {
    if (name == "tiny") return Tiny();
    if (name == "border") return Border();
    if (name == "grid3x3") return Grid3x3();
    throw std::invalid_argument("unknown fixture: " + name);
}

} // namespace mkdev
