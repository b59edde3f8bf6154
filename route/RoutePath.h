// The searched route as the rest of the system sees it: a 72-byte header (length, time,
// highway flag and share, offsets and counts) followed by seven item vectors: route-item runs,
// route items, shape-point runs, shape points, guide-item runs, guide items and facility
// entries. It is read from the engine's result blob and from route files, saved into route
// files, and answers guidance's questions about items, distances, guide items and facilities.
#pragma once

#include "route/base/BinFile.h"
#include "route/base/MemStream.h"
#include "route/base/RouteItemList.h"

#include <cstdint>
#include <vector>

struct LinkRefKey { // a run: its map id and first index
    bool operator()(const CPathLinkRef& a, const CPathLinkRef& b) const {
        return a.mapId == b.mapId && a.firstIndex == b.firstIndex;
    }
};
using LinkRefList = RouteItemList<CPathLinkRef, LinkRefKey>;

// A facility entry with the distance in metres from the route item of the previous entry.
struct RouteFacility {
    CPathGuideItem entry;
    std::int32_t distance = 0;
};

class CRoutePath {
public:
    static constexpr int kHeaderValues = 18;
    static constexpr int kHeaderSize = kHeaderValues * 4;
    // Facility codes, and the code that asks for codes 2-4 together.
    static constexpr int kCodeAllButJunction = 5;
    // How far ahead IsAheadWithin looks, metres.
    static constexpr std::int64_t kAheadMetres = 1300;

    enum HeaderIndex {
        kLength = 0,
        kTime = 1,
        kHighway = 2,
        kHighwayShare = 3,
        kItemRuns = 4,   // offset, count at 5
        kItems = 6,      // count at 7
        kPointRuns = 8,  // count at 9
        kPoints = 10,    // count at 11
        kGuideRuns = 12, // count at 13
        kGuides = 14,    // count at 15
        kFacilities = 16 // count at 17
    };

    CRoutePath() = default;
    virtual ~CRoutePath() = default;
    CRoutePath(const CRoutePath&) = default;
    CRoutePath& operator=(const CRoutePath&) = default;

    virtual int IsValid() const { return m_loaded; }
    // Reads the header and the seven vectors; every count must fit in the bytes the reader has
    // left. 1 on success; on failure 0 with the object cleared.
    virtual int Read(CMemReader& reader);
    // Read over size bytes of buffer.
    virtual int ReadBuffer(const void* buffer, std::int32_t size);
    // Reads the rest of the file from its current position.
    virtual int Load(CBinFile& file);
    // Packs the 18 header values into buffer (72 bytes).
    virtual int WriteHeader(void* buffer) const;
    // Writes the stream at the file's current position; 1 when all of it was written.
    virtual int Save(CBinFile& file);
    // The packed stream (header and vectors) as Save writes it.
    std::vector<std::uint8_t> Pack() const;
    virtual void GetItemSizes(int& runs, int& items, int& runBytes, int& itemBytes) const;
    virtual int WriteRunsAndItems(void* runBuffer, void* itemBuffer) const;
    virtual void BuildFacilityLists();

    // Queries: 1 on success, 0 when not loaded or an index is out of range (out-values are
    // then left alone). i is a route item index.
    // guides, when given, receives two guide items: the one of the found item and the next.
    virtual int FindRouteItem(int map, int link, int direction, CRouteLinkKey* guides, int& index, int cont);
    virtual int FindGuideOfItem(int i, CRouteLinkKey& guide, int& guideIndex) const;
    virtual int GetNextItemIds(int i, int& map, int& link) const;
    virtual int GetItemIds(int i, int& map, int& link, std::uint16_t& directionAndKind) const;
    virtual int GetDistanceBetween(int i, int j, int& metres) const;
    virtual int FindNextGuided(int i, int& index, int& metres) const;
    virtual int FindItemOfKind(int kind, int from, int& index) const;
    virtual int CountItemsOfKind(int map, int link, int direction, int kind, int& count);
    virtual int GetFacilityCount(int& count, int code) const;
    virtual int FindFacilityIndex(int i, int& k, int code) const;
    virtual int IsAheadWithin(int i, int map, int link) const;
    virtual int GetFacility(int k, RouteFacility& facility, int code) const;
    // Progress of the vehicle: finds the item of (map, link, direction) from item `from` on (from
    // the start when from is out of range) and counts the waypoint items from it to the end,
    // the waypoints still ahead. 1 when the link is on the route.
    int UpdateProgress(int map, int link, int direction, int from, int& waypointsAhead);

    void Clear();

    // Accessors.
    std::int32_t Header(int index) const { return m_header[index]; }
    void SetHeader(int index, std::int32_t value) { m_header[index] = value; }
    int ItemCount() const { return m_items.Count(); }
    std::int32_t TotalLength() const { return m_header[kLength]; }
    std::int32_t TotalTime() const { return m_header[kTime]; }
    LinkRefList& ItemRuns() { return m_itemRuns; }
    LinkItemList& Items() { return m_items; }
    LinkRefList& PointRuns() { return m_pointRuns; }
    PointList& Points() { return m_points; }
    LinkRefList& GuideRuns() { return m_guideRuns; }
    LinkKeyList& Guides() { return m_guides; }
    GuideItemList& Facilities() { return m_facilities; }
    const LinkRefList& ItemRuns() const { return m_itemRuns; }
    const LinkItemList& Items() const { return m_items; }
    const LinkRefList& PointRuns() const { return m_pointRuns; }
    const PointList& Points() const { return m_points; }
    const LinkRefList& GuideRuns() const { return m_guideRuns; }
    const LinkKeyList& Guides() const { return m_guides; }
    const GuideItemList& Facilities() const { return m_facilities; }
    // Sets the counts of the header from the vectors (offsets are left as they are).
    void SyncCounts();
    void SetLoaded(int loaded) { m_loaded = loaded; }

private:
    const std::vector<RouteFacility>* FacilityList(int code) const;
    int FindGuide(int map, int link, int direction, int item) const;
    int FindItem(int map, int link, int direction, int from) const;
    std::uint32_t Remaining(int i) const { return m_items[i].remaining; }

    int m_loaded = 0;
    int m_facilityCount[4] = {}; // codes 2, 3, 4, 1
    std::int32_t m_header[kHeaderValues] = {};
    LinkRefList m_itemRuns;
    LinkItemList m_items;
    LinkRefList m_pointRuns;
    PointList m_points;
    LinkRefList m_guideRuns;
    LinkKeyList m_guides;
    GuideItemList m_facilities;
    std::vector<RouteFacility> m_code1, m_code234, m_code2, m_code4, m_code3;
};
