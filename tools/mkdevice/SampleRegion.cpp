// The sample region "가람": nine sheets (columns 20-22, rows 52-54 of the 0.1 x 1/12 degree
// grid) around the program's default map position near 127.12 E 37.51 N. The town of 가람시
// sits in the centre sheet; two expressways cross the region with an interchange, a junction,
// service areas and tunnels; national roads join three smaller towns.
#include "tools/mkdevice/Networks.h"

#include "tools/mkdevice/BroadcastStage.h"

#include <cmath>
#include <vector>

namespace mkdev {

NetPoint KmToNet(std::int32_t cornerX, std::int32_t cornerY, double eastKm, double northKm) {
    return {cornerX + static_cast<std::int32_t>(std::lround(eastKm * 1000.0 / 0.27654)),
            cornerY + static_cast<std::int32_t>(std::lround(northKm * 1000.0 / 0.30879))};
}

namespace {

constexpr std::int32_t kRegionX = 45720000; // west edge of sheet column 20
constexpr std::int32_t kRegionY = 13470000; // south edge of sheet row 52
// Direction records of the junction 누리JC (HighwayDB.db ids).
constexpr std::uint16_t kDirEast = 1, kDirWest = 2, kDirNorth = 3, kDirSouth = 4;

class Region {
public:
    NetModel m;

    int Node(double xkm, double ykm, std::u16string name = u"") {
        NetPoint p = KmToNet(kRegionX, kRegionY, xkm, ykm);
        return m.AddNode(p.x, p.y, std::move(name));
    }
    NetPoint P(double xkm, double ykm) const { return KmToNet(kRegionX, kRegionY, xkm, ykm); }
    int Link(int a, int b, RoadType t, LinkOptions o = {}, std::vector<NetPoint> shape = {}) {
        return m.AddLink(a, b, t, std::move(o), std::move(shape));
    }
    static LinkOptions Named(std::u16string name, int oneWay = 0, std::uint16_t number = 0) {
        LinkOptions o;
        o.name = std::move(name);
        o.oneWay = oneWay;
        o.roadNumber = number;
        return o;
    }
    static LinkOptions Facility(LinkOptions o, std::uint8_t code, std::uint16_t value) {
        o.facilityCode = code;
        o.facilityValue = value;
        o.facilityDirection = 1; // travelling from the link's first node to its second
        return o;
    }
    // A chain of one-way links a -> b -> c ...; returns the link ids.
    std::vector<int> Chain(const std::vector<int>& nodes, RoadType t, const LinkOptions& o) {
        std::vector<int> ids;
        for (std::size_t i = 1; i < nodes.size(); ++i) ids.push_back(Link(nodes[i - 1], nodes[i], t, o));
        return ids;
    }

    // A small town: nx x ny streets, `step` km apart, south-west corner at (x0, y0).
    std::vector<std::vector<int>> SmallTown(double x0, double y0, int nx, int ny, double step,
                                            const std::u16string& name) {
        std::vector<std::vector<int>> g(nx, std::vector<int>(ny));
        for (int i = 0; i < nx; ++i)
            for (int j = 0; j < ny; ++j) g[i][j] = Node(x0 + i * step, y0 + j * step);
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i + 1 < nx; ++i)
                Link(g[i][j], g[i + 1][j], j == ny / 2 ? RoadType::TownMain : RoadType::TownStreet,
                     Named(name + (j == ny / 2 ? u"중앙로" : u"동서길")));
        for (int i = 0; i < nx; ++i)
            for (int j = 0; j + 1 < ny; ++j)
                Link(g[i][j], g[i][j + 1], RoadType::TownStreet, Named(name + u"남북길"));
        m.SetCrossName(g[nx / 2][ny / 2], name + u"중앙사거리");
        return g;
    }
};

} // namespace

NetModel BuildSampleRegion() {
    Region r;
    const std::u16string exp1 = u"누리고속도로", exp2 = u"한울고속도로";
    const std::uint16_t exp1No = 60, exp2No = 35;
    using RT = RoadType;

    // --- 가람시: a 6 x 6 street grid in the centre sheet. ---
    const double xs[6] = {10.6, 11.2, 11.8, 12.4, 13.0, 13.6};
    const double ys[6] = {10.0, 10.6, 11.2, 11.8, 12.4, 13.0};
    const char16_t* colNames[6] = {u"서문로", u"향교로", u"중앙로", u"시장로", u"동문로", u"동부로"};
    const char16_t* rowNames[6] = {u"남부대로", u"가람1길", u"시청로", u"역전로", u"가람2길", u"북부대로"};
    int g[6][6];
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j) g[i][j] = r.Node(xs[i], ys[j]);
    r.m.SetCrossName(g[2][2], u"시청사거리");
    r.m.SetCrossName(g[2][0], u"남문사거리");
    r.m.SetCrossName(g[3][3], u"가람역사거리");
    r.m.SetCrossName(g[2][5], u"북문사거리");
    r.m.SetCrossName(g[5][3], u"동부사거리");
    int h[5][6], v[6][5];
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 5; ++i) {
            RT t = (j == 0 || j == 2 || j == 5) ? RT::TownMain : RT::TownStreet;
            int oneWay = j == 1 ? 1 : (j == 4 ? 2 : 0); // 가람1길 eastbound, 가람2길 westbound
            std::u16string name = rowNames[j];
            if (j == 3 && i == 3) {
                t = RT::Underpass;
                name = u"역전지하차도";
            }
            h[i][j] = r.Link(g[i][j], g[i + 1][j], t, Region::Named(name, oneWay));
        }
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 5; ++j) {
            RT t = i == 2 ? RT::TownMain : RT::TownStreet;
            int oneWay = i == 4 ? 1 : 0; // 동문로 northbound
            std::u16string name = colNames[i];
            if (i == 2 && j == 1) {
                t = RT::Overpass;
                name = u"가람고가차도";
            }
            v[i][j] = r.Link(g[i][j], g[i][j + 1], t, Region::Named(name, oneWay));
        }
    // Banned turns at 시청사거리: left from northbound 중앙로 into 시청로 westward, and left
    // from westbound 시청로 into 중앙로 southward.
    r.m.BanTurn(g[2][2], v[2][1], h[1][2]);
    r.m.BanTurn(g[2][2], h[2][2], v[2][1]);
    // Dead ends and an alley.
    r.Link(g[0][5], r.Node(10.3, 13.5), RT::TownStreet, Region::Named(u"서문길"));
    r.Link(g[5][0], r.Node(14.0, 9.7), RT::TownStreet, Region::Named(u"남동길"));
    r.Link(g[1][4], r.Node(11.45, 12.65), RT::Alley);

    // --- The roundabout east of the town (counter-clockwise one-way ring). ---
    const double cx = 14.6, cy = 11.8, rad = 0.15, d = rad * 0.7071;
    int rE = r.Node(cx + rad, cy, u"가람회전교차로"), rN = r.Node(cx, cy + rad, u"가람회전교차로");
    int rW = r.Node(cx - rad, cy, u"가람회전교차로"), rS = r.Node(cx, cy - rad, u"가람회전교차로");
    LinkOptions ring = Region::Named(u"가람회전교차로", 1);
    r.Link(rE, rN, RT::Roundabout, ring, {r.P(cx + d, cy + d)});
    r.Link(rN, rW, RT::Roundabout, ring, {r.P(cx - d, cy + d)});
    r.Link(rW, rS, RT::Roundabout, ring, {r.P(cx - d, cy - d)});
    r.Link(rS, rE, RT::Roundabout, ring, {r.P(cx + d, cy - d)});
    r.Link(g[5][3], rW, RT::TownMain, Region::Named(u"역전로"));
    r.Link(rN, r.Node(14.6, 12.6), RT::TownStreet, Region::Named(u"회전북길"));
    r.Link(rS, r.Node(14.6, 10.9), RT::TownStreet, Region::Named(u"회전남길"));

    // --- Expressway 1 (누리고속도로), west to east across the southern sheets. ---
    int w1 = r.Node(0.5, 8.02, u"누리시점"), e1 = r.Node(29.5, 8.02, u"누리종점");
    // Facilities (one id space with the rest-area table): 1 and 2 the service areas of each
    // carriageway, 3 the interchange, 4 the junction; the codes sit on the carriageway link that
    // ends at the facility's exit.
    auto at = [](LinkOptions o, std::uint8_t code, std::uint16_t value) { return Region::Facility(o, code, value); };
    // Eastbound (southern) carriageway.
    int ebSa1 = r.Node(5.5, 8.0), ebSaMid = r.Node(6.0, 8.0), ebSa2 = r.Node(6.5, 8.0);
    int ebOff = r.Node(11.3, 8.0, u"가람IC"), ebOn = r.Node(12.3, 8.0, u"가람IC");
    int ebT1 = r.Node(16.0, 8.0), ebT2 = r.Node(18.0, 8.0);
    int ebJc1 = r.Node(20.5, 8.0, u"누리JC"), ebJc2 = r.Node(21.6, 8.0, u"누리JC");
    LinkOptions e1o = Region::Named(exp1, 1, exp1No);
    r.Link(w1, ebSa1, RT::Expressway, at(e1o, kFacilityRestArea, 1));
    r.Chain({ebSa1, ebSaMid, ebSa2}, RT::Expressway, e1o);
    r.Link(ebSa2, ebOff, RT::Expressway, at(e1o, kFacilityInterchange, 3));
    r.Chain({ebOff, ebOn, ebT1}, RT::Expressway, e1o);
    r.Link(ebT1, ebT2, RT::ExpresswayTunnel, Region::Named(u"가람터널", 1, exp1No));
    r.Link(ebT2, ebJc1, RT::Expressway, at(e1o, kFacilityJunction, 4));
    r.Link(ebJc1, ebJc2, RT::Expressway, at(e1o, kFacilityJunctionDirection, kDirEast));
    r.Link(ebJc2, e1, RT::Expressway, e1o);
    // Westbound (northern) carriageway.
    int wbJc1 = r.Node(21.6, 8.04, u"누리JC"), wbJc2 = r.Node(20.4, 8.04, u"누리JC");
    int wbT1 = r.Node(18.0, 8.04), wbT2 = r.Node(16.0, 8.04);
    int wbOff = r.Node(12.3, 8.04, u"가람IC"), wbOn = r.Node(11.3, 8.04, u"가람IC");
    int wbSa1 = r.Node(6.5, 8.04), wbSaMid = r.Node(6.0, 8.04), wbSa2 = r.Node(5.5, 8.04);
    r.Link(e1, wbJc1, RT::Expressway, at(e1o, kFacilityJunction, 4));
    r.Link(wbJc1, wbJc2, RT::Expressway, at(e1o, kFacilityJunctionDirection, kDirWest));
    r.Link(wbJc2, wbT1, RT::Expressway, e1o);
    r.Link(wbT1, wbT2, RT::ExpresswayTunnel, Region::Named(u"가람터널", 1, exp1No));
    r.Link(wbT2, wbOff, RT::Expressway, at(e1o, kFacilityInterchange, 3));
    r.Link(wbOff, wbOn, RT::Expressway, e1o);
    r.Link(wbOn, wbSa1, RT::Expressway, at(e1o, kFacilityRestArea, 2));
    r.Chain({wbSa1, wbSaMid, wbSa2, w1}, RT::Expressway, e1o);
    // Service areas on both carriageways.
    r.Link(ebSa1, ebSa2, RT::ServiceArea, Region::Named(u"누리휴게소", 1), {r.P(5.8, 7.75), r.P(6.2, 7.75)});
    r.Link(wbSa1, wbSa2, RT::ServiceArea, Region::Named(u"누리휴게소", 1), {r.P(6.2, 8.29), r.P(5.8, 8.29)});

    // --- National road 43 through the interchange 가람IC into 가람시 and on to the north. ---
    int n43s = r.Node(11.8, 0.8), icS = r.Node(11.8, 7.5, u"가람IC남"), icN = r.Node(11.8, 8.6, u"가람IC");
    LinkOptions n43 = Region::Named(u"국도43호선", 0, 43);
    r.Link(n43s, icS, RT::NationalRoad, n43);
    r.Link(icS, icN, RT::NationalRoad, n43); // passes over the expressway
    r.Link(icN, g[2][0], RT::NationalRoad, n43);
    LinkOptions ramp = Region::Named(u"가람IC", 1);
    r.Link(ebOff, icS, RT::IcRamp, ramp, {r.P(11.6, 7.8)});
    r.Link(icS, ebOn, RT::IcRamp, ramp, {r.P(12.0, 7.8)});
    r.Link(wbOff, icN, RT::IcRamp, ramp, {r.P(12.0, 8.35)});
    r.Link(icN, wbOn, RT::IcRamp, ramp, {r.P(11.6, 8.35)});
    int north = r.Node(11.8, 16.0, u"북부삼거리");
    r.Link(g[2][5], north, RT::NationalRoad, n43);

    // --- Expressway 2 (한울고속도로), south to north across the eastern sheets. ---
    int s2 = r.Node(21.02, 0.5, u"한울시점"), n2 = r.Node(21.02, 27.5, u"한울종점");
    LinkOptions e2o = Region::Named(exp2, 1, exp2No);
    int sbT1 = r.Node(21.0, 15.0), sbT2 = r.Node(21.0, 14.0);
    int sbJc1 = r.Node(21.0, 8.8, u"누리JC"), sbJc2 = r.Node(21.0, 7.3, u"누리JC");
    r.Link(n2, sbT1, RT::Expressway, e2o);
    r.Link(sbT1, sbT2, RT::ExpresswayTunnel, Region::Named(u"한울터널", 1, exp2No));
    r.Link(sbT2, sbJc1, RT::Expressway, at(e2o, kFacilityJunction, 4));
    r.Link(sbJc1, sbJc2, RT::Expressway, at(e2o, kFacilityJunctionDirection, kDirSouth));
    r.Link(sbJc2, s2, RT::Expressway, e2o);
    int nbJc1 = r.Node(21.04, 7.3, u"누리JC"), nbJc2 = r.Node(21.04, 8.8, u"누리JC");
    int nbT1 = r.Node(21.04, 14.0), nbT2 = r.Node(21.04, 15.0);
    r.Link(s2, nbJc1, RT::Expressway, at(e2o, kFacilityJunction, 4));
    r.Link(nbJc1, nbJc2, RT::Expressway, at(e2o, kFacilityJunctionDirection, kDirNorth));
    r.Link(nbJc2, nbT1, RT::Expressway, e2o);
    r.Link(nbT1, nbT2, RT::ExpresswayTunnel, Region::Named(u"한울터널", 1, exp2No));
    r.Link(nbT2, n2, RT::Expressway, e2o);
    // Junction ramps (each a right-hand connection), named by where they lead.
    LinkOptions jc = Region::Named(u"누리JC", 1);
    r.Link(ebJc1, sbJc2, RT::JcRamp, at(jc, kFacilityJunctionDirection, kDirSouth), {r.P(20.85, 7.85)});
    r.Link(nbJc1, ebJc2, RT::JcRamp, at(jc, kFacilityJunctionDirection, kDirEast), {r.P(21.2, 7.85)});
    r.Link(wbJc1, nbJc2, RT::JcRamp, at(jc, kFacilityJunctionDirection, kDirNorth), {r.P(21.2, 8.2)});
    r.Link(sbJc1, wbJc2, RT::JcRamp, at(jc, kFacilityJunctionDirection, kDirWest), {r.P(20.85, 8.2)});

    // --- Three small towns and the roads between them. ---
    auto townB = r.SmallTown(4.0, 20.0, 3, 3, 0.5, u"나래");
    auto townC = r.SmallTown(24.0, 3.0, 3, 3, 0.5, u"다솜");
    auto townD = r.SmallTown(24.0, 22.0, 3, 3, 0.5, u"바람");
    r.Link(w1, townB[0][0], RT::NationalRoad, Region::Named(u"국도3호선", 0, 3), {r.P(2.0, 14.0)});
    r.Link(north, townB[2][0], RT::NationalRoad, n43, {r.P(8.0, 18.5)});
    LinkOptions n44 = Region::Named(u"국도44호선", 0, 44);
    r.Link(north, townD[0][0], RT::NationalRoad, n44, {r.P(18.0, 19.0)});
    r.Link(n2, townD[0][2], RT::NationalRoad, n44, {r.P(22.5, 25.5)});
    LinkOptions n37 = Region::Named(u"국도37호선", 0, 37);
    r.Link(e1, townC[2][2], RT::NationalRoad, n37, {r.P(27.5, 5.5)});
    r.Link(s2, townC[0][0], RT::NationalRoad, n37, {r.P(23.0, 1.5)});
    r.Link(rE, townD[0][0], RT::ProvincialRoad, Region::Named(u"지방도317호선", 0, 317),
           {r.P(19.0, 12.3), r.P(23.5, 14.0)});
    AssignBroadcastLinks(r.m);
    return std::move(r.m);
}

} // namespace mkdev
