// The leg search of CRoutePlan: node expansion, the one-sided short search, the two-sided
// long search and the leg path.
#include "route/RoutePlan.h"

#include "route/base/ErrorLog.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kSource = "VelkoRoutePlan";

void Log(int line, const char* message) {
    ErrorLog::Instance().WriteErrorLog(line, kSource, message);
}

// Sets the pending code unless one is already pending (a more specific one, such as 17).
void Pending(int code) {
    if (ErrorLog::Instance().GetErrorCode() == 0) ErrorLog::Instance().SetErrorCode(code);
}

bool AvoidedNearStart(int code) {
    switch (code) {
    case 7:
    case 8:
    case 12:
    case 13:
    case 14:
    case 18:
    case 19:
    case 20:
    case 21:
    case 23:
    case 24:
    case 25:
    case 26:
    case 40:
        return true;
    default:
        return false;
    }
}

} // namespace

int CRoutePlan::ReadLink(std::uint8_t* buf, int map, int link, int level) {
    m_cache.SetEnabled(RpCache::kLinks, m_cacheBytes[RpCache::kLinks]);
    return m_cache.ReadLink(buf, map, link, level);
}

int CRoutePlan::ReadNode(std::uint8_t* buf, int map, int node, int level) {
    m_cache.SetEnabled(RpCache::kNodes, m_cacheBytes[RpCache::kNodes]);
    return m_cache.ReadNode(buf, map, node, level);
}

int CRoutePlan::ReadCross(MRCrossNode& cross, int map, std::uint32_t ref, int level) {
    m_cache.SetEnabled(RpCache::kJunctions, m_cacheBytes[RpCache::kJunctions]);
    return m_cache.ReadCross(cross, map, ref, level);
}

bool CRoutePlan::NodePoint(int map, const std::uint8_t* nodeRec, std::int32_t& x, std::int32_t& y) const {
    const MRMapRecord* rec = m_reader.MapRecord(map);
    if (!rec) return false;
    x = static_cast<std::int32_t>(static_cast<std::int64_t>(rec->west) + mrformat::U16(nodeRec));
    y = static_cast<std::int32_t>(static_cast<std::int64_t>(rec->south) + mrformat::U16(nodeRec + 2));
    return true;
}

int CRoutePlan::EntryAt(int map, int node, int link, int level, int& status) {
    std::uint8_t rec[mrformat::kNodeSize];
    status = ReadNode(rec, map, node, level);
    if (status != 1) return -1;
    std::uint32_t ref = mrformat::U32(rec + 4);
    if (mrformat::IsPassThrough(ref)) return 0;
    MRCrossNode cross;
    status = ReadCross(cross, map, ref, level);
    if (status != 1) return -1;
    for (int i = 0; i < cross.count; ++i)
        if (cross.links[i] == link) return i;
    return -1;
}

bool CRoutePlan::EnterableAt(const std::uint8_t* link, std::uint16_t node) {
    const LinkFields l = LinkFields::From(link);
    if (l.facility == 7 || l.oneWay == 3) return false;
    if (l.firstNode == node) return l.oneWay != 2;
    if (l.secondNode == node) return l.oneWay != 1;
    return false;
}

bool CRoutePlan::Guards() {
    double mb = MemoryUseMB();
    m_peakMB = std::max(m_peakMB, mb);
    if (mb > m_memoryGuardMB || m_visits > m_maxVisits || m_stop) {
        Pending(kInternal);
        return false;
    }
    return true;
}

bool CRoutePlan::Expand(const SearchNode& N, Side side, bool first) {
    const bool fwd = side == Side::Forward;
    CostTable& table = fwd ? m_forward : m_backward;
    const LinkPos& origin = fwd ? m_legStart : m_legEnd;
    const LinkPos& target = fwd ? m_legEnd : m_legStart;
    const int level = m_state.LevelInForce();

    std::uint8_t nodeRec[mrformat::kNodeSize];
    if (ReadNode(nodeRec, N.mapId, N.nodeId, level) != 1) {
        Log(__LINE__, "Cache read the link , Error");
        Pending(kInternal);
        return false;
    }
    const std::uint32_t ref = mrformat::U32(nodeRec + 4);
    const float costN = table.Cost(N.mapId, N.nodeId, N.entry);

    struct Cand {
        std::uint16_t map, link, meet;
        int guide;
        bool plain; // the continuation of a plain node: no one-way, level or corridor test
        std::uint8_t rec[mrformat::kLinkSize];
    };
    Cand cands[mrformat::kMaxJunctionLinks + 1];
    int nc = 0;

    if (mrformat::IsPassThrough(ref)) {
        if (!Guards()) return false;
        std::uint8_t ex[mrformat::kExNodeSize];
        m_cache.SetEnabled(RpCache::kExNodes, m_cacheBytes[RpCache::kExNodes]);
        if (m_cache.ReadExNode(ex, N.mapId, ref, level) != 1) {
            Log(__LINE__, "Cache read the exnode, error");
            Pending(kInternal);
            return false;
        }
        Cand cont{static_cast<std::uint16_t>(mrformat::U16(ex) & 0x3FFF),
                  mrformat::U16(ex + 4),
                  mrformat::U16(ex + 2),
                  -1,
                  true,
                  {}};
        if (first) {
            // The backward side starts on both ends of the goal's link that the car may enter,
            // so it never turns back onto it.
            bool turnBack = fwd && !((m_state.FromVehicle() & 1) || m_viaPlainNode);
            Cand back{N.mapId, N.linkId, N.nodeId, -1, true, {}};
            for (Cand* c : {turnBack ? &back : nullptr, &cont}) {
                if (!c) continue;
                int r = ReadLink(c->rec, c->map, c->link, level);
                if (r == 2) {
                    --m_handedBack;
                    continue;
                }
                if (r != 1) {
                    Log(__LINE__, "Read link cache fail");
                    Pending(kInternal);
                    return false;
                }
                if (m_state.Admit(c->rec, c->meet, fwd)) cands[nc++] = *c;
            }
        } else {
            int r = ReadLink(cont.rec, cont.map, cont.link, level);
            if (r == 2) {
                --m_handedBack;
                return true;
            }
            if (r != 1) {
                Log(__LINE__, "Read link cache fail");
                Pending(kInternal);
                return false;
            }
            cands[nc++] = cont;
        }
    } else {
        const int n = mrformat::LinkCountOf(ref);
        MRCrossNode cross;
        if (n < 1 || n > mrformat::kMaxJunctionLinks || ReadCross(cross, N.mapId, ref, level) != 1) {
            Log(__LINE__, "Cache read the link , Error");
            Pending(kInternal);
            return false;
        }
        std::uint8_t matrix[64];
        std::fill(std::begin(matrix), std::end(matrix), 0xFF);
        if (m_cacheBytes[RpCache::kGuides] && cross.guideOffset != mrformat::kNoGuideTable) {
            m_cache.SetEnabled(RpCache::kGuides, 1);
            if (m_cache.ReadGuide(matrix, sizeof matrix, N.mapId, n, cross, level) == 0) {
                Log(__LINE__, "Read guide code error");
                std::fill(std::begin(matrix), std::end(matrix), 0xFF);
            }
        }
        if (n == 1) matrix[0] = 120; // turning back at a dead end
        const int entry = N.entry >= 0 && N.entry < n ? N.entry : -1;
        // Every turn obeys the crossing's turn mask, also the first one from the start and the
        // last one onto the goal's link. The one exception: a start that is no vehicle may
        // turn back onto its own link (the leg path then starts on it the other way).
        const bool freeTurnBack = first && fwd && !m_startLinkFlag && !(m_state.FromVehicle() & 1);
        for (int i = 0; i < n; ++i) {
            const bool turningBack = cross.links[i] == N.linkId;
            if (n > 1 && entry >= 0 && !(freeTurnBack && turningBack)) {
                bool allowed =
                    fwd ? ((cross.turns[entry] >> i) & 1) != 0 : ((cross.turns[i] >> entry) & 1) != 0;
                if (!allowed) continue;
            }
            Cand c{N.mapId, cross.links[i], N.nodeId, -1, false, {}};
            int r = ReadLink(c.rec, c.map, c.link, level);
            if (r == 2) {
                --m_handedBack;
                continue;
            }
            if (r != 1) {
                Log(__LINE__, "Cache link read Error");
                Pending(kInternal);
                return false;
            }
            if (!m_state.Admit(c.rec, N.nodeId, fwd) || !m_state.LevelAllows(c.rec)) continue;
            m_state.CountLink(N.level, c.rec);
            if (n == 1)
                c.guide = entry >= 0 ? 120 : -1;
            else if (entry >= 0) {
                std::uint8_t g = fwd ? matrix[entry * n + i] : matrix[i * n + entry];
                c.guide = g == 0xFF ? -1 : g;
            }
            cands[nc++] = c;
        }
        // Leaving a fast start link close to a crossing that goes straight on, the car does
        // not turn off sharply.
        if (first && fwd && m_startLinkFlag && (m_state.FromVehicle() & 1) && m_startSpeedClass > 5) {
            std::int32_t cx = 0, cy = 0;
            NodePoint(N.mapId, nodeRec, cx, cy);
            NetXY raw = m_points.RawPoint(PointManage::kStart);
            if (raw.x < 0) raw = NetXY{m_legStart.x, m_legStart.y};
            bool near = Distance(m_reader, raw.x, raw.y, cx, cy, N.mapId, N.mapId) <= 100.0f;
            bool straight = false;
            for (int k = 0; k < nc; ++k) straight |= cands[k].guide == 0 || cands[k].guide == 15;
            if (near && straight) {
                int kept = 0;
                for (int k = 0; k < nc; ++k)
                    if (!AvoidedNearStart(cands[k].guide)) cands[kept++] = cands[k];
                nc = kept;
            }
        }
    }

    for (int k = 0; k < nc; ++k) {
        const Cand& c = cands[k];
        if (!table.MakeCostMap(c.map)) {
            Log(__LINE__, "Make next cost map error");
            Pending(kInternal);
            return false;
        }
        const std::uint16_t first = mrformat::LinkStartNode(c.rec), second = mrformat::LinkEndNode(c.rec);
        const bool enteredAtFirst = c.meet == first;
        const std::uint16_t mNode = enteredAtFirst ? second : first;
        const SearchDir dir = enteredAtFirst ? SearchDir::AtFirstEnd : SearchDir::AtSecondEnd;
        // The backward search walks against the traffic: the car drives the link the other way.
        const SearchDir carDir =
            fwd ? dir : (enteredAtFirst ? SearchDir::AtSecondEnd : SearchDir::AtFirstEnd);

        std::uint8_t mRec[mrformat::kNodeSize];
        int r = ReadNode(mRec, c.map, mNode, level);
        if (r == 2) {
            --m_handedBack;
            continue;
        }
        if (r != 1) {
            Log(__LINE__, "Read node error");
            Pending(kInternal);
            return false;
        }
        std::int32_t px = 0, py = 0;
        NodePoint(c.map, mRec, px, py);
        const float h = Distance(m_reader, px, py, target.x, target.y, c.map, target.mapId);
        const float d = Distance(m_reader, px, py, origin.x, origin.y, c.map, origin.mapId);
        m_state.LevelSwitch(d);
        const float g = costN + m_state.LinkCost(c.rec, carDir, c.guide);
        const std::uint32_t mRef = mrformat::U32(mRec + 4);
        const bool mPlain = mrformat::IsPassThrough(mRef);
        const float w = m_state.Weight();
        const std::uint16_t length = mrformat::U16(c.rec + 8);
        const std::uint32_t key =
            mPlain ? QueueKey(w * h + g - static_cast<float>(length)) : QueueKey(w * h + g);
        int entry = 0;
        if (!mPlain) {
            MRCrossNode mc;
            int rc = ReadCross(mc, c.map, mRef, level);
            if (rc == 2) {
                --m_handedBack;
                continue;
            }
            if (rc != 1) {
                Log(__LINE__, "Cache read the link , Error");
                Pending(kInternal);
                return false;
            }
            entry = -1;
            for (int i = 0; i < mc.count; ++i)
                if (mc.links[i] == c.link) {
                    entry = i;
                    break;
                }
        }
        const int roadKind = (c.rec[0] >> 4) & 7;
        if (!c.plain && !m_state.Corridor(d, h, roadKind, m_queue.Size())) continue;
        if (fwd) {
            m_fwdMinH = std::min(m_fwdMinH, h);
            m_fwdMaxD = std::max(m_fwdMaxD, d);
        } else {
            m_bwdMaxD = std::max(m_bwdMaxD, d);
        }
        // A leg that ends behind its start on the start's own link: the car comes round and
        // drives the start link again. That node has the start node's key, whose cost (0) is
        // stored there, so it is queued without the cost test and leaves the start's entry as
        // it is; the search ends when it is popped.
        const bool roundToStart = fwd && c.map == m_legStart.mapId && c.link == m_legStart.linkId &&
                                  mNode == m_legStart.nodeId && c.map == m_legEnd.mapId &&
                                  c.link == m_legEnd.linkId;
        if (!roundToStart && g + 1.0f > table.Cost(c.map, mNode, entry)) continue;

        SearchNode* m = nullptr;
        std::int32_t index = m_pool.Allocate(m);
        if (index < 0) {
            Log(__LINE__, "Get a Null Node error");
            return false; // the pool set code 17
        }
        m->key = key;
        m->mapId = c.map;
        m->linkId = c.link;
        m->nodeId = mNode;
        m->level = static_cast<std::uint8_t>(LevelOfKind(roadKind));
        m->entry = static_cast<std::int8_t>(entry);
        m->pred = N.self;
        if (roundToStart) {
            m_roundCost = g;
        } else if (!table.Store(c.map, mNode, entry, g, index)) {
            Pending(kOutOfMemory);
            return false;
        }
        if (!m_queue.Push(*m)) {
            Log(__LINE__, "Open queue full");
            Pending(kInternal);
            return false;
        }
        ++m_visits;
        if (fwd && m_longForward) {
            const int lv = m_state.LevelInForce();
            if ((m_fwdMinH < 0.5f * m_D && lv <= m_state.LevelFloor() && lv < 3) || m_D * 2.0f < m_fwdMaxD)
                m_switched = 1;
        }
        if (!fwd && (m_bwdMaxD > 0.3f * m_D || d > 0.3f * m_keptS)) m_meetingMode = 1;
    }
    return true;
}

bool CRoutePlan::ShortSearch() {
    m_state.FreezeLevels();
    SearchNode n;
    if (!m_queue.Pop(n)) {
        Log(__LINE__, "There are no expansion node!!");
        Pending(kNoExpansion);
        return false;
    }
    if (!Expand(n, Side::Forward, true)) return false;
    for (;;) {
        if (!m_queue.Pop(n)) {
            Log(__LINE__, "There are no expansion node!!");
            Pending(kNoExpansion);
            return false;
        }
        // The leg ends on its end's link, reached legally (the node was pushed through the
        // one-way rule and the turn mask); reaching one of its end nodes is not enough.
        if (n.mapId == m_legEnd.mapId && n.linkId == m_legEnd.linkId) {
            m_fwdMeet = n.self;
            m_lastLegCost = n.mapId == m_legStart.mapId && n.linkId == m_legStart.linkId &&
                                    n.nodeId == m_legStart.nodeId && n.self != n.pred
                                ? m_roundCost
                                : m_forward.Cost(n.mapId, n.nodeId, n.entry);
            return true;
        }
        if (!Expand(n, Side::Forward, false)) return false;
    }
}

bool CRoutePlan::LongSearch() {
    SearchNode n;
    m_longForward = true;
    if (!m_queue.Pop(n)) {
        Log(__LINE__, "There are no expansion node!!");
        Pending(kNoExpansion);
        return false;
    }
    if (!Expand(n, Side::Forward, true)) {
        Log(__LINE__, "no expansion nod!");
        Pending(kInternal);
        return false;
    }
    while (!m_switched) {
        if (!m_queue.Pop(n)) {
            m_switched = 1;
            if (m_visits < 8) {
                // Nothing to meet: the goal cannot be reached from this start.
                Log(__LINE__, "There are no expansion node!!");
                Pending(kNoExpansion);
                return false;
            }
            break;
        }
        if (n.level > m_state.LevelInForce()) continue;
        if (!Expand(n, Side::Forward, false)) {
            Log(__LINE__, "no expansion nod!");
            Pending(kInternal);
            return false;
        }
    }
    m_longForward = false;
    m_keptS = m_fwdMaxD;
    const float keptG = m_fwdMinH;
    m_meetingMode = (m_D < 10000.0f || keptG < 10000.0f) ? 1 : 0;

    // Backward phase from the goal. It starts from each end of the goal's link at which the
    // car may enter it (one end for a one-way link): the leg ends on that link, driven legally.
    m_state.SetUpLeg(m_D);
    SetCacheBytes(1);
    m_state.ClearFreeze();
    if (!m_backward.MakeCostMap(m_legEnd.mapId)) {
        Log(__LINE__, "Make next cost map error");
        Pending(kInternal);
        return false;
    }
    std::uint8_t goalLink[mrformat::kLinkSize];
    if (ReadLink(goalLink, m_legEnd.mapId, m_legEnd.linkId, 3) != 1) {
        Log(__LINE__, "read link error");
        Pending(kInternal);
        return false;
    }
    m_state.SetBit11Latch((mrformat::U16(goalLink + 10) & 0x0800) == 0 ? 1 : 0);
    m_queue.Clear();
    const std::uint16_t ends[2] = {
        m_legEnd.nodeId, m_legEnd.nodeId == mrformat::LinkStartNode(goalLink) ? mrformat::LinkEndNode(goalLink)
                                                                           : mrformat::LinkStartNode(goalLink)};
    int seeds = 0;
    for (std::uint16_t end : ends) {
        if (!EnterableAt(goalLink, end)) continue;
        int status = 1;
        const int entry = EntryAt(m_legEnd.mapId, end, m_legEnd.linkId, 3, status);
        if (status != 1) {
            Log(__LINE__, "read link error");
            Pending(kInternal);
            return false;
        }
        SearchNode* goal = nullptr;
        const std::int32_t index = m_pool.Allocate(goal);
        if (index < 0) {
            Log(__LINE__, "nodefactory error");
            return false;
        }
        goal->key = 0;
        goal->mapId = m_legEnd.mapId;
        goal->linkId = m_legEnd.linkId;
        goal->nodeId = end;
        goal->level = 0;
        goal->entry = static_cast<std::int8_t>(entry);
        goal->pred = index;
        for (int s = 0; s < 4; ++s) m_backward.Store(goal->mapId, end, s, 0.0f, index);
        m_queue.Push(*goal);
        ++seeds;
    }
    for (int k = 0; k < seeds; ++k) {
        SearchNode b;
        if (!m_queue.Pop(b)) {
            Log(__LINE__, "There are no expansion node!! start posi");
            Pending(kNoExpansion);
            return false;
        }
        if (!Expand(b, Side::Backward, true)) {
            Log(__LINE__, "no expansion node!! first exp");
            Pending(kInternal);
            return false;
        }
    }
    if (seeds == 0) {
        Log(__LINE__, "There are no expansion node!! start posi");
        Pending(kNoExpansion);
        return false;
    }

    for (;;) {
        if (!m_queue.Pop(n)) {
            if (m_meetings > 0) return true;
            Log(__LINE__, "There are no expansion node!!");
            Pending(kNoExpansion);
            return false;
        }
        if (n.level > m_state.LevelInForce()) continue;
        auto expand = [&]() {
            if (!Expand(n, Side::Backward, false)) {
                Pending(kInternal);
                return false;
            }
            return true;
        };
        const bool quiet = m_meetings > 0 && m_visits - m_lastMeetVisits > 3000;
        if (!m_meetingMode) {
            if (quiet) return true;
            if (!expand()) return false;
            continue;
        }
        std::uint8_t link[mrformat::kLinkSize];
        int r = ReadLink(link, n.mapId, n.linkId, n.level);
        if (r == 2) continue;
        if (r != 1) {
            Log(__LINE__, "read link error");
            Pending(kInternal);
            return false;
        }
        const LinkFields lf = LinkFields::From(link);
        if (m_meetings > 0 && lf.roadKind > 4) continue;
        const std::uint16_t other = n.nodeId == lf.firstNode ? lf.secondNode : lf.firstNode;
        int status = 1;
        int otherEntry = EntryAt(n.mapId, other, n.linkId, m_state.LevelInForce(), status);
        if (status == 2) continue; // beyond the level in force: not a candidate
        if (status != 1) {
            Log(__LINE__, "Read node error");
            Pending(kInternal);
            return false;
        }
        const float F = m_forward.Cost(n.mapId, other, otherEntry);
        if (F >= CostTable::kUnreached) {
            if (quiet) return true;
            if (!expand()) return false;
            continue;
        }
        if (n.level > m_state.MeetingLevel()) {
            if (!expand()) return false;
            continue;
        }
        if (m_meetings > 2) return true;
        const SearchDir carDir = n.nodeId == lf.firstNode ? SearchDir::AtFirstEnd : SearchDir::AtSecondEnd;
        const float total =
            (F - m_state.LinkCost(link, carDir, 0)) + m_backward.Cost(n.mapId, n.nodeId, n.entry);
        if (!(total < m_bestTotal) || lf.linkType == 6) continue;
        if (otherEntry >= 3) {
            if (!expand()) return false;
            continue;
        }
        std::int32_t fwdIndex = m_forward.NodeIndex(n.mapId, other, otherEntry);
        if (fwdIndex < 0) continue;
        // The start node is stored under every entry of its node: it meets only a node on its
        // own link. Another link's node there would join the route through a turn at the start
        // node that neither side has checked.
        const SearchNode* fwdNode = m_pool.At(fwdIndex);
        if (!fwdNode || fwdNode->mapId != n.mapId || fwdNode->linkId != n.linkId) {
            if (!expand()) return false;
            continue;
        }
        m_fwdMeet = fwdIndex;
        m_bwdMeet = n.self;
        m_bestTotal = total;
        m_lastLegCost = total;
        ++m_meetings;
        m_lastMeetVisits = m_visits;
    }
}

bool CRoutePlan::BuildLegPath(std::vector<PathItem>& leg) {
    leg.clear();
    auto chain = [&](std::int32_t index, std::uint8_t side, std::vector<PathItem>& out) {
        for (int guard = 0;; ++guard) {
            const SearchNode* node = m_pool.At(index);
            if (!node || guard > kLegPathItems) return false;
            out.push_back(PathItem{node->mapId, node->linkId, node->nodeId, side, 0});
            if (node->pred == index) return true;
            index = node->pred;
        }
    };
    if (!chain(m_fwdMeet, 0, leg)) return false;
    std::reverse(leg.begin(), leg.end());
    auto sameLink = [](const PathItem& a, const PathItem& b) {
        return a.mapId == b.mapId && a.linkId == b.linkId;
    };
    if (!m_startLinkFlag && leg.size() >= 2 && sameLink(leg[0], leg[1])) leg.erase(leg.begin());
    const bool toWaypoint = m_legsRemaining > 1;
    if (m_bwdMeet < 0) {
        if (toWaypoint && !leg.empty()) leg.back().legEnd = 1;
    } else {
        const SearchNode* meet = m_pool.At(m_bwdMeet);
        if (!meet) return false;
        std::vector<PathItem> back;
        if (!chain(meet->pred, 1, back)) return false;
        leg.insert(leg.end(), back.begin(), back.end());
        if (leg.size() >= 2 && sameLink(leg[leg.size() - 2], leg.back())) leg.pop_back();
        if (toWaypoint) leg.back().legEnd = 1;
    }
    return leg.size() <= static_cast<std::size_t>(kLegPathItems);
}
