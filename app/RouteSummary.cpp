#include "app/RouteSummary.h"

#include "platform/base/Text.h"
#include "route/MRFormat.h"
#include "route/RoutePath.h"
#include "route/base/TextTruncate.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kHighway = 1;
constexpr int kNoIcon = 10;

std::string ToCp949(const CString& text) {
    return Utf16ToCp949(std::u16string_view(text.GetString(), static_cast<std::size_t>(text.GetLength())));
}

CString FromCp949(const std::string& text) {
    return CString(Cp949ToUtf16(text).c_str());
}

// A summary name: at most 23 bytes and a terminator, cut between characters.
std::string SummaryName(const std::string& text) {
    return CutCp949(text, RouteSummaryEntry::kNameBytes - 1);
}

// Whether a junction name holds the mark after its first character (the code page 949 text, as
// the names are stored).
bool HasMarkAfterStart(const std::string& name, const char16_t* mark) {
    const std::size_t at = name.find(ToCp949(mark));
    return at != std::string::npos && at > 0;
}

int ThresholdOf(int roadClass) {
    return roadClass == kHighway ? 2000 : 1000;
}

} // namespace

CNetLinkSource::CNetLinkSource(const CString& dataFolder)
    : m_links(std::make_unique<CMRNetAccess>()), m_names(std::make_unique<CRoadNameTable>()) {
    m_links->Open(dataFolder.GetString());
    m_names->Load(dataFolder.GetString());
}

bool CNetLinkSource::ReadLink(int mapId, int linkId, SummaryLink& link) {
    std::uint8_t record[mrformat::kLinkSize];
    if (!m_links->GetLink(mapId, linkId, record)) return false;
    link.length = mrformat::U16(record + 8);
    link.roadClass = (mrformat::U16(record + 10) >> 5) & 7;
    link.roadNumber = mrformat::U16(record + 12);
    return true;
}

bool CNetLinkSource::OrdinaryRoadName(int mapId, int linkId, std::string& name) {
    char buffer[CRoadNameTable::kNameSize + 1] = {};
    if (!m_names->IsOrdinaryRoad(mapId, linkId, buffer, CRoadNameTable::kNameSize)) return false;
    name.assign(buffer, strnlen(buffer, CRoadNameTable::kNameSize));
    return true;
}

bool CNetLinkSource::CrossName(int mapId, int linkId, bool atFirstNode, std::string& name) {
    char buffer[CMRNetAccess::kMaxCrossName + 1] = {};
    if (!m_links->GetCrossName(mapId, linkId, atFirstNode, buffer, sizeof buffer)) return false;
    name.assign(buffer, strnlen(buffer, sizeof buffer));
    return true;
}

CString CRouteSummary::RoadName(int roadClass, int number, int mapId, int linkId, IRouteLinkSource& source,
                                const RoadNumberName& roadNumberName, int& icon) {
    CString name;
    switch (roadClass) {
    case 1:
        name = roadNumberName ? roadNumberName(number) : CString();
        if (name.GetLength() < 5) name += u"고속도로";
        icon = number < 100 ? 0 : 1;
        break;
    case 2:
    case 6: {
        std::string road;
        name = source.OrdinaryRoadName(mapId, linkId, road) && !road.empty() ? FromCp949(road) : CString(u"일반도로");
        icon = kNoIcon;
        break;
    }
    case 3:
        if (number == 0) {
            name = u"국도";
            icon = kNoIcon;
        } else {
            name.Format(u"%ld번국도", static_cast<long>(number));
            icon = number < 100 ? 2 : 3;
        }
        break;
    case 4:
        if (number == 0) {
            name = u"지방도";
            icon = kNoIcon;
        } else {
            name.Format(u"%ld번지방도", static_cast<long>(number));
            icon = number < 100 ? 4 : 5;
        }
        break;
    case 5:
        name = u"일반도로";
        icon = kNoIcon;
        break;
    default: break; // 0 and 7: no name, the icon as it was
    }
    return name;
}

void CRouteSummary::Push(RouteSummaryEntry entry) {
    entry.name = SummaryName(entry.name);
    m_entries.push_back(std::move(entry));
}

void CRouteSummary::Flush(int distance) {
    const std::string name = SummaryName(m_prevName);
    if (!m_entries.empty() && m_entries.back().name == name) {
        m_entries.back().distance += distance;
        return;
    }
    RouteSummaryEntry road;
    road.kind = RouteSummaryEntry::kRoad;
    road.distance = distance;
    road.name = name;
    road.icon = m_prevIcon;
    road.roadNumber = m_prevNumber;
    Push(road);
}

void CRouteSummary::Build(CRoutePath& path, const CString& startName, const CString& goalName,
                          const std::vector<SummaryWaypoint>& waypoints, IRouteLinkSource& source,
                          const RoadNumberName& roadNumberName) {
    m_entries.clear();
    m_pageCount = 0;
    RouteSummaryEntry start;
    start.kind = RouteSummaryEntry::kStart;
    start.distance = start.direction = start.waypoint = start.icon = start.roadNumber = -1;
    start.name = ToCp949(startName);
    Push(start);

    m_prevName.clear();
    m_prevIcon = kNoIcon;
    m_prevNumber = 0;
    bool firstRoad = true;
    int icon = kNoIcon;
    int accumulated = 0;
    int junctionState = 0;
    std::string lastJunction;
    bool leftHighway = false;
    std::size_t nextWaypoint = 0;

    const int count = path.ItemCount();
    for (int i = 0; i < count; ++i) {
        const CPathLinkItem item = path.Items()[i];
        SummaryLink link;
        if (!source.ReadLink(item.mapId, item.linkId, link)) link = SummaryLink{};
        const CString roadName = RoadName(link.roadClass, link.roadNumber, item.mapId, item.linkId, source,
                                          roadNumberName, icon);
        const std::string name = ToCp949(roadName);
        accumulated += link.length;

        // A change of road.
        if (leftHighway && !name.empty() && name != m_prevName) {
            m_prevName = name;
            m_prevIcon = icon;
            m_prevNumber = link.roadNumber;
            leftHighway = false;
        } else if (!name.empty()) {
            if (m_entries.size() == 1 && firstRoad) {
                m_prevName = name;
                m_prevIcon = icon;
                m_prevNumber = link.roadNumber;
                firstRoad = false;
            }
            if (name != m_prevName) {
                const int before = accumulated - link.length;
                if (before > ThresholdOf(link.roadClass)) {
                    Flush(before);
                    accumulated = link.length;
                }
                m_prevName = name;
                m_prevIcon = icon;
                m_prevNumber = link.roadNumber;
            }
        }

        // Entering or leaving a highway, by the guide code of this link.
        if (junctionState == 0) {
            CRouteLinkKey guides[2];
            int index = i;
            if (path.FindRouteItem(item.mapId, item.linkId, item.direction, guides, index, 1)) {
                const int code = guides[0].guideCode;
                junctionState = code >= 3 && code <= 5 ? 2 : code >= 9 && code <= 11 ? 1 : 0;
            }
        }

        // The junction at the link's end in the driving direction.
        std::string cross;
        const bool atFirstNode = item.direction != 0;
        if (source.CrossName(item.mapId, item.linkId, atFirstNode, cross) && !cross.empty() &&
            cross.size() <= static_cast<std::size_t>(CMRNetAccess::kMaxCrossName) &&
            (cross != lastJunction || junctionState != 0) &&
            ((junctionState != 0 && HasMarkAfterStart(cross, u"IC")) || HasMarkAfterStart(cross, u"JC") ||
             HasMarkAfterStart(cross, u"분기점"))) {
            if (accumulated > ThresholdOf(link.roadClass)) {
                Flush(accumulated);
                accumulated = 0;
            }
            RouteSummaryEntry junction;
            junction.kind = RouteSummaryEntry::kJunction;
            junction.distance = 0;
            junction.name = cross;
            junction.direction = junctionState;
            junction.icon = junctionState == 1 || junctionState == 2 ? 6 : 7;
            Push(junction);
            if (junctionState == 2 && link.roadClass == kHighway) leftHighway = true;
            lastJunction = cross;
            junctionState = 0;
        }

        // Waypoints on this link, in order.
        while (nextWaypoint < waypoints.size() && waypoints[nextWaypoint].mapId == item.mapId &&
               waypoints[nextWaypoint].linkId == item.linkId) {
            Flush(accumulated);
            accumulated = 0;
            RouteSummaryEntry wp;
            wp.kind = RouteSummaryEntry::kWaypoint;
            wp.name = ToCp949(waypoints[nextWaypoint].name);
            wp.waypoint = static_cast<int>(nextWaypoint) + 1;
            Push(wp);
            ++nextWaypoint;
        }

        if (i == count - 1 && accumulated > link.length) {
            Flush(accumulated);
            accumulated = 0;
        }
    }

    RouteSummaryEntry goal;
    goal.kind = RouteSummaryEntry::kRoad;
    goal.distance = accumulated;
    goal.name = ToCp949(goalName);
    Push(goal);
    const int entries = static_cast<int>(m_entries.size());
    m_pageCount = entries / kRowsPerPage + (entries % kRowsPerPage ? 1 : 0);
}

CString CRouteSummary::RowText(const RouteSummaryEntry& entry) {
    const CString name = FromCp949(entry.name);
    CString text;
    switch (entry.kind) {
    case RouteSummaryEntry::kJunction:
        text.Format(entry.direction == 1   ? u"=======>%s 진입"
                    : entry.direction == 2 ? u"=======>%s 출구"
                                           : u"=======>%s 경유",
                    name.GetString());
        break;
    case RouteSummaryEntry::kRoad:
        if (entry.distance < 100)
            text.Format(u"%s [%dm]", name.GetString(), entry.distance);
        else
            text.Format(u"%s [%3.2fkm]", name.GetString(), entry.distance * 0.001);
        break;
    default: text.Format(u"%s", name.GetString()); break;
    }
    return text;
}

SummaryPage CRouteSummary::Layout(int page) const {
    SummaryPage out;
    if (page < 1 || page > m_pageCount) return out;
    const int total = static_cast<int>(m_entries.size());
    const int first = (page - 1) * kRowsPerPage;
    for (int r = 0; r < kRowsPerPage && first + r < total; ++r) {
        const int index = first + r;
        const RouteSummaryEntry& e = m_entries[static_cast<std::size_t>(index)];
        const int x = kRowX, y = kRowY[r];
        SummaryRow row;
        row.labelY = y + 6;
        const bool start = index == 0, goal = index == total - 1;
        if (start || goal || e.kind == RouteSummaryEntry::kWaypoint) {
            CString icon;
            if (start)
                icon = u"출발지";
            else if (goal)
                icon = u"목적지";
            else
                icon.Format(u"경유지%d", std::clamp(e.waypoint, 1, 5));
            row.icon = icon;
            row.iconX = x + 2;
            row.iconY = y + 2;
            row.text.Format(u"%s", FromCp949(e.name).GetString());
            row.labelX = row.iconX + 42;
        } else {
            row.text = RowText(e);
            if (e.kind == RouteSummaryEntry::kRoad && (e.icon == 0 || e.icon == 1)) {
                row.icon = kRoadIcons[e.icon];
                row.iconX = x + 2;
                row.iconY = y + 4;
                out.spots.push_back(SummaryIconSpot{row.iconX, row.iconY, e.icon, e.roadNumber});
                row.labelX = x + (e.icon == 0 ? 21 : 29) + 5;
            } else {
                row.labelX = x + 5;
            }
        }
        out.rows.push_back(row);
    }
    out.upShown = page < m_pageCount;
    out.downShown = page > 1;
    return out;
}
