// The route summary of the route information screen: the selected route from start to
// destination as road sections, highway entries and exits, and waypoints, built link by link from
// the road network, and laid out five rows a page, bottom row first.
#pragma once

#include "platform/base/CString.h"
#include "route/RoadNameTable.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CRoutePath;

struct RouteSummaryEntry {
    static constexpr int kNameBytes = 24;
    static constexpr int kStart = -1, kRoad = 0, kJunction = 1, kWaypoint = 2;
    int kind = kRoad;
    int distance = 0;
    std::string name; // code page 949, at most 23 bytes, never a split character
    int direction = 0; // junctions: 1 entering a highway, 2 leaving it, 0 passing
    int waypoint = 0;  // 1 to 5
    int icon = 10;
    int roadNumber = 0;
};

struct SummaryIconSpot {
    int x = 0, y = 0;
    int icon = 0;
    int roadNumber = 0;
};

// What the summary reads of a link.
struct SummaryLink {
    int length = 0;
    int roadClass = 0;
    int roadNumber = 0;
};

class IRouteLinkSource {
public:
    virtual ~IRouteLinkSource() = default;
    virtual bool ReadLink(int mapId, int linkId, SummaryLink& link) = 0;
    // The link's road name (code page 949) when it is an ordinary road (not an overpass or
    // underpass); false otherwise.
    virtual bool OrdinaryRoadName(int mapId, int linkId, std::string& name) = 0;
    // The junction name at one end of the link; false when there is none to read.
    virtual bool CrossName(int mapId, int linkId, bool atFirstNode, std::string& name) = 0;
};

// The road network's link reader and road-name table opened under the data folder.
class CNetLinkSource : public IRouteLinkSource {
public:
    explicit CNetLinkSource(const CString& dataFolder);
    bool ReadLink(int mapId, int linkId, SummaryLink& link) override;
    bool OrdinaryRoadName(int mapId, int linkId, std::string& name) override;
    bool CrossName(int mapId, int linkId, bool atFirstNode, std::string& name) override;

private:
    std::unique_ptr<CMRNetAccess> m_links;
    std::unique_ptr<CRoadNameTable> m_names;
};

struct SummaryWaypoint {
    int mapId = 0, linkId = 0;
    CString name;
};

// One row of a shown page.
struct SummaryRow {
    CString text;
    int labelX = 0, labelY = 0;
    CString icon; // point icon or road shield control shown, or empty
    int iconX = 0, iconY = 0;
};

struct SummaryPage {
    std::vector<SummaryRow> rows; // bottom row first
    std::vector<SummaryIconSpot> spots;
    bool upShown = false, downShown = false;
};

class CRouteSummary {
public:
    static constexpr int kRowsPerPage = 5;
    // The row buttons "1" (bottom) to "5" (top): x and y.
    static constexpr int kRowX = 23;
    static constexpr int kRowY[kRowsPerPage] = {205, 171, 134, 97, 60};
    static constexpr const char16_t* kRoadIcons[10] = {u"고속도로1", u"고속도로2", u"국도1",     u"국도2",
                                                       u"지방도1",   u"지방도2",   u"IC명칭",    u"분기점",
                                                       u"고속도로입구", u"고속도로출구"};

    using RoadNumberName = std::function<CString(int number)>;

    // The name of a link's road by its class and number; icon receives the road icon (left as it
    // was for classes 0 and 7).
    static CString RoadName(int roadClass, int number, int mapId, int linkId, IRouteLinkSource& source,
                            const RoadNumberName& roadNumberName, int& icon);

    void Build(CRoutePath& path, const CString& startName, const CString& goalName,
               const std::vector<SummaryWaypoint>& waypoints, IRouteLinkSource& source,
               const RoadNumberName& roadNumberName);
    const std::vector<RouteSummaryEntry>& Entries() const { return m_entries; }
    int PageCount() const { return m_pageCount; }
    // The rows of page p (1 to the page count); an empty page for any other p.
    SummaryPage Layout(int page) const;
    static CString RowText(const RouteSummaryEntry& entry);

private:
    void Push(RouteSummaryEntry entry);
    void Flush(int distance);

    std::vector<RouteSummaryEntry> m_entries;
    int m_pageCount = 0;
    std::string m_prevName;
    int m_prevIcon = 10, m_prevNumber = 0;
};
