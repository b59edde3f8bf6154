// The two position-on-road engines behind CMapMatchBase: CMatchedPosSource, which wraps the map
// matcher and is used while driving, and CRoadLocator, a light engine for pedestrian mode that
// only smooths position and heading. FindNearestLink finds the road link nearest to a point.
#pragma once

#include "position/MapMatcher.h"
#include "position/MatchResult.h"

#include "platform/base/CString.h"

#include <cstdint>

class CMatchedPosSource : public CMapMatchBase {
public:
    explicit CMatchedPosSource(CMRNetReader* reader = nullptr) : m_matcher(reader) {}

    int Match(GpsPosRecord fix, MatchResult& out, std::uint8_t* deadReckoned = nullptr,
              GpsPosRecord* used = nullptr) override {
        return m_matcher.Match(fix, out, deadReckoned, used);
    }
    int GetFixInterval() override { return m_matcher.GetFixInterval(); }
    bool OpenNetwork(const char16_t* dataFolder) override { return m_matcher.OpenNetwork(dataFolder); }
    void GetJunctionLookahead(JunctionLookahead& ahead, JunctionLookahead& behind) override {
        m_matcher.GetJunctionLookahead(ahead, behind);
    }
    void SetRoutePath(const CRouteLinkQuery* route) override { m_matcher.SetRoutePath(route); }
    int GetLinkEnd(int mapId, int linkIndex, int against, std::int32_t& x, std::int32_t& y,
                   std::int16_t& heading) override {
        return m_matcher.GetLinkEnd(mapId, linkIndex, against, x, y, heading);
    }
    int GetJunctionName(int mapId, int linkIndex, int startNode, char* buffer, int bufferSize) override {
        return m_matcher.GetJunctionName(mapId, linkIndex, startNode, buffer, bufferSize);
    }
    void Reset() override { m_matcher.Reset(); }
    void SetLastResult(const MatchResult&) override {}
    void RequestRematch() override { m_matcher.RequestRematch(); }
    int GetFixQuality(const GpsPosRecord& fix) override { return m_matcher.GetFixQuality(fix); }
    const char16_t* GetStatusText() override { return nullptr; }

    CMapMatcher& Matcher() { return m_matcher; }

private:
    CMapMatcher m_matcher;
};

class CRoadLocator : public CMapMatchBase {
public:
    static constexpr int kHistory = 20;

    explicit CRoadLocator(CMRNetReader* reader = nullptr);

    int Match(GpsPosRecord fix, MatchResult& out, std::uint8_t* deadReckoned = nullptr,
              GpsPosRecord* used = nullptr) override;
    int GetFixInterval() override { return m_interval; }
    bool OpenNetwork(const char16_t* dataFolder) override;
    void GetJunctionLookahead(JunctionLookahead&, JunctionLookahead&) override {}
    void SetRoutePath(const CRouteLinkQuery*) override {}
    int GetLinkEnd(int, int, int, std::int32_t&, std::int32_t&, std::int16_t&) override { return 0; }
    int GetJunctionName(int, int, int, char*, int) override { return 0; }
    void Reset() override;
    void SetLastResult(const MatchResult& result) override;
    void RequestRematch() override {}
    int GetFixQuality(const GpsPosRecord& fix) override;
    const char16_t* GetStatusText() override { return m_text.GetString(); }

    // Metres a move must exceed before a fix of this HDOP replaces the position.
    static int HdopThreshold(double hdop);

private:
    int Turn(int target, int current, int moved, int quality, int speed);

    CMRNetReader* m_reader;
    GpsPosRecord m_fixes[kHistory];
    MatchResult m_results[kHistory];
    int m_write = 0;
    int m_prev = 0;
    double m_xScale = 0.27654;
    std::uint8_t m_interval = 1;
    int m_accumulator = 0;
    CString m_text;
};

// The link nearest to a point (network coordinates). heading 1000 means any direction; margin
// widens each link's box. Outputs: map id, link index, segment index and the place on the segment
// (0..100000). False when no segment was measured.
bool FindNearestLink(std::int32_t x, std::int32_t y, int heading, std::uint16_t& mapId,
                     std::int16_t& linkIndex, std::int16_t& segmentIndex, std::int32_t& position,
                     CMRNetReader& reader, int margin);
bool FindNearestLink(std::int32_t x, std::int32_t y, std::uint16_t& mapId, std::int16_t& linkIndex,
                     CMRNetReader& reader, int margin);
bool FindNearestLink(std::int32_t x, std::int32_t y, int heading, std::uint16_t& mapId,
                     std::int16_t& linkIndex, CMRNetReader& reader, int margin);
bool FindNearestLink(std::int32_t x, std::int32_t y, std::uint16_t& mapId, std::int16_t& linkIndex,
                     std::int16_t& segmentIndex, std::int32_t& position, CMRNetReader& reader, int margin);
