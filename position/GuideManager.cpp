#include "position/GuideManager.h"

#include "platform/base/Text.h"
#include "position/SoundIndex.h"
#include "route/MRFormat.h"
#include "route/RoutePath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kConnector = 38;
constexpr int kGoalCode = 60;
constexpr int kGoalAhead = 61;
constexpr int kArrival = 62;
constexpr int kWaypoint = 59;
constexpr int kOffRouteMessage = 24;

int Straight(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const double dx = 0.27654 * (static_cast<double>(x2) - x1), dy = 0.30879 * (static_cast<double>(y2) - y1);
    return static_cast<int>(std::sqrt(dy * dy + dx * dx));
}

int GuideCode(const CRoutePath& route, int item) {
    CRouteLinkKey key;
    int g = 0;
    if (!route.FindGuideOfItem(item, key, g)) return 0;
    return key.guideCode == 99 ? 15 : key.guideCode;
}

} // namespace

CGuideManager::CGuideManager(CMRNetReader* reader) : m_guidePoints(reader) {}

int CGuideManager::TableWalk(int stage, int d, bool goal, bool expressway) {
    switch (stage) {
    case 0:
        if (d < 1) return 2;
        if (d <= 380) {
            if (goal) {
                if (d < 71) return 34;
                if (d < 151) return 12;
                if (d < 201) return 13;
                if (d < 251) return 14;
                return d > 300 ? 16 : 15;
            }
            if (expressway) return d > 280 ? 16 : 34;
            if (d < 151) return 34;
            if (d < 201) return 13;
            if (d < 251) return 14;
            return d > 300 ? 16 : 15;
        }
        if (d <= 2050) {
            const int q = (d - 200) / 100, r = (d - 200) % 100;
            return r < 81 ? q + 15 : q + 16;
        }
        return 2;
    case 1:
        if (d >= 1 && d <= 400) {
            if (goal) {
                if (d < 71) return 34;
                if (d > 280) return 16;
            } else if (expressway) {
                if (d >= 71 && d <= 280) return 34;
            } else {
                if (d >= 71 && d <= 150) return 34;
                if (d > 280) return 16;
            }
        }
        if (d >= 481 && d <= 600) return 18;
        if (d >= 981 && d <= 1100) return 23;
        if (d >= 1981 && d <= 2050) return 33;
        return 0;
    case 2:
        return CGuidePoint::DistanceClip(d, expressway);
    case 3:
        if (d < 950) return 22;
        if (d < 1100) return 23;
        return 0;
    default:
        return 0;
    }
}

int CGuideManager::LoadData(const std::u16string& folder, int flags) {
    int result = kLoaded;
    m_voice.SetDataFolder(folder);
    if (!m_voice.Load(true)) result = kVoiceFailed;
    if (flags & 0xFF) {
        if (!m_highway.Load(folder, CSoundIndex::GetInstance())) result = kHighwayFailed;
        if (!m_guidePoints.Load(folder)) result = kGuidePointsFailed;
    }
    CSoundIndex::Destroy();
    return result;
}

bool CGuideManager::ReloadData(const std::u16string& folder) {
    const bool first = LoadData(folder, 0) == kLoaded;
    return first && m_voice.Load(true);
}

void CGuideManager::Reset() {
    m_carItem = -2;
    m_nextGuide = m_nextGuide1 = m_followingGuide = m_waypointItem = -1;
    m_distNext = m_distFollow = 0;
    m_routeWaypoint = m_remaining = m_straightWaypoint = m_straightDest = 0;
    m_offSum = m_offSum2 = 0;
    m_restart = 1;
    m_new = 0;
    m_waypointArmed = 1;
    m_arrivalReached = false;
    m_arrivalArmed = 0;
    m_request = PromptRequest{};
    m_promptRequested = false;
    if (!m_pedestrian) m_lastMessage = 0;
    m_voice.ClearPending();
    Publish();
}

void CGuideManager::ResetAnnouncements() {
    m_arrivalReached = false;
    m_request = PromptRequest{};
    m_promptRequested = false;
    m_gp = GuidePointNotice{};
    if (!m_pedestrian) m_lastMessage = 0;
    m_voice.ClearPending();
    Publish();
}

void CGuideManager::SetDisabledGuidePoints(const std::vector<SafePointEntry>& deleted) {
    m_guidePoints.SetDisabledPoints(deleted);
}

void CGuideManager::SetSafeDrivingOptions(int mode1, int mode2, int userPoints) {
    m_switch[1] = mode1 != 0;
    m_switch[2] = mode2 != 0;
    m_switch[0] = userPoints != 0;
}

void CGuideManager::SetSpeedLimits(int minimumIndex, int perClassOff, const int* indices, int count) {
    m_speedCheck = minimumIndex > 0;
    m_minimumSpeed = m_speedCheck ? (minimumIndex + 2) * 10 : -1;
    m_perClass = perClassOff == 0;
    const int n = indices ? std::clamp(count, 0, 5) : 0;
    for (int i = 0; i < n; ++i)
        m_limits[i] = m_perClass && indices[i] > 0 ? (indices[i] + 2) * 10 : 100000;
}

void CGuideManager::SetPedestrianMode(bool on) {
    m_pedestrian = on;
    m_voice.SetPedestrian(on);
    Reset();
}

bool CGuideManager::Expressway() const {
    const int c = m_attr[0] & 0xE0;
    return c == 32 || c == 64;
}

void CGuideManager::Guide(int& cont, MatchResult pos, CRoutePath* route, CAlertPointList* alerts,
                          CSafePointList* userPoints, std::int32_t wpX, std::int32_t wpY, std::int32_t destX,
                          std::int32_t destY) {
    const int lastFixed = m_voice.LastFixedCode();
    if (lastFixed == kArrival || lastFixed == kGoalAhead) {
        cont = 0;
        m_arrivalArmed = 0;
    }
    std::memcpy(m_attr, pos.link + 10, 4);
    m_linkLength = mrformat::U16(pos.link + 8);
    m_driven = static_cast<int>(pos.linkPosition * 1e-5 * m_linkLength);
    if (pos.speedMps < 0) pos.speedMps = 0;
    if (pos.speedKmh < 0) pos.speedKmh = 0;
    m_speedMps = pos.speedMps;
    m_speedKmh = pos.speedKmh;
    m_carX = pos.x;
    m_carY = pos.y;
    const bool haveRoute = route && route->IsValid();
    m_gpFound = false;
    m_alertFound = false;
    if (!m_pedestrian) {
        if (!haveRoute) {
            m_promptRequested = false;
        } else {
            int index = -1;
            if (!route->FindRouteItem(pos.mapId, pos.linkIndex, pos.reverse, nullptr, index, 0)) index = -1;
            m_carItem = index;
            Distances(route, wpX, wpY, destX, destY);
            Turn(cont, route);
        }
        if (pos.speedMps != 0) {
            m_guidePoints.SetContext(RoadClass(), m_restart != 0, m_carItem);
            CGuidePoint::Switches s;
            std::copy(std::begin(m_switch), std::end(m_switch), s.mode);
            s.speedCheck = m_speedCheck;
            s.minimumSpeed = m_minimumSpeed;
            m_guidePoints.SetSwitches(s);
            if (m_guidePoints.Check(pos, userPoints, haveRoute ? route : nullptr)) {
                m_gpFound = true;
                m_gp = m_guidePoints.Result();
                if (m_voice.IsLastAnnouncedPoint(m_gp.directionMode, m_gp.distanceClip, m_gp.index))
                    m_gp.distanceClip = 0;
            } else {
                m_gp = GuidePointNotice{};
            }
        }
        Points(pos, alerts);
        SpeedWarning(pos);
    } else {
        m_restart = 1;
        m_carItem = -1;
        if (haveRoute) {
            Distances(route, wpX, wpY, destX, destY);
            Turn(cont, route);
        }
        Points(pos, alerts);
    }
    Publish();
}

void CGuideManager::Publish() {
    CVoicePlayer::Guidance g;
    g.restart = m_restart;
    g.newManoeuvre = m_new;
    g.waypointArmed = m_waypointArmed;
    g.arrivalArmed = m_arrivalArmed;
    g.carItem = m_carItem;
    g.nextGuide = m_nextGuide;
    g.nextGuide1 = m_nextGuide1;
    g.request = m_request;
    g.direction = m_direction;
    g.promptRequested = m_promptRequested;
    g.guidePoint = m_gp;
    g.alertFound = m_alertFound;
    g.facility = m_facility;
    m_voice.Publish(g);
}

void CGuideManager::Distances(CRoutePath* route, std::int32_t wpX, std::int32_t wpY, std::int32_t destX,
                              std::int32_t destY) {
    if (m_carItem < 0) {
        m_routeWaypoint = m_remaining = 0;
        if (wpX >= 1) {
            m_straightWaypoint = Straight(m_carX, m_carY, wpX, wpY);
            m_waypointArmed = 1;
        } else {
            m_straightWaypoint = 0;
            m_waypointArmed = 0;
        }
        m_straightDest = destX >= 1 ? Straight(m_carX, m_carY, destX, destY) : 0;
        return;
    }
    const int n = route->ItemCount();
    const bool last = m_carItem == n - 1;
    m_remaining = 0;
    if (destX >= 1) {
        int metres = 0;
        if (!last) {
            if (route->GetDistanceBetween(m_carItem, -1, metres)) m_remaining = metres - m_driven + m_linkLength;
        } else if (m_carItem > 0 && route->GetDistanceBetween(m_carItem - 1, -1, metres)) {
            m_remaining = metres - m_driven;
        }
    }
    if (wpX >= 1) {
        int item = -1;
        if (!route->FindItemOfKind(2, m_carItem, item) || item == n - 1) {
            m_waypointArmed = 0;
            m_routeWaypoint = 0;
        } else if (item < m_carItem) {
            m_waypointArmed = 0;
            m_routeWaypoint = 0;
        } else if (item == m_carItem) {
            m_routeWaypoint = m_linkLength - m_driven;
            m_waypointArmed = 1;
        } else {
            int metres = 0;
            route->GetDistanceBetween(m_carItem, item + 1, metres);
            m_routeWaypoint = metres - m_driven;
            m_waypointArmed = 1;
        }
        m_waypointItem = item;
    }
}

void CGuideManager::Turn(int& cont, CRoutePath* route) {
    if (m_carItem < 0) {
        m_offSum += m_speedMps;
        m_offSum2 += m_speedMps;
        m_restart = 1;
        OffRoute(cont);
        return;
    }
    m_offSum = m_offSum2 = 0;
    m_arrivalArmed = 1;
    const int n = route->ItemCount();
    int next = -1, d0 = 0;
    if (m_carItem < n - 1) {
        if (!route->FindNextGuided(m_carItem, next, d0)) {
            m_promptRequested = false;
            return;
        }
        int own = 0;
        route->GetDistanceBetween(m_carItem, m_carItem + 1, own);
        m_distNext = d0 - own + m_linkLength - m_driven;
        int following = -1, d2 = 0;
        if (next + 1 < n && route->FindNextGuided(next + 1, following, d2)) {
            m_followingGuide = following;
            m_distFollow = d2;
        } else {
            m_followingGuide = -1;
            m_distFollow = -1;
        }
    } else {
        int toEnd = 0;
        route->GetDistanceBetween(m_carItem, n, toEnd);
        m_distNext = toEnd - m_driven;
        if (m_distNext < 0) m_distNext = 2;
        m_distFollow = -1;
        m_followingGuide = -1;
        next = m_carItem;
    }
    m_nextGuide = next;
    m_nextGuide1 = next + 1;
    if (m_nextGuide1 != m_voice.LastPlayedIndex())
        m_new = 1;
    else
        m_new = m_restart ? 1 : 0;
    m_restart = 0;
    if (next == n - 1) {
        m_turn1 = kGoalCode;
        m_turn2 = 0;
    } else {
        m_turn1 = GuideCode(*route, next);
        m_turn2 = m_followingGuide >= 0 ? GuideCode(*route, m_followingGuide) : 0;
    }
    Prompt(route);
}

void CGuideManager::QueueFixed(int code) {
    m_request = PromptRequest{0, code, 0, 0, 0};
    m_promptRequested = !m_voice.IsSameRequest(m_request, m_nextGuide);
}

void CGuideManager::OffRoute(int& cont) {
    if (!m_pedestrian) {
        m_promptRequested = false;
        if (m_straightDest >= 1 && m_straightDest <= 100 && m_arrivalArmed) {
            QueueFixed(kArrival);
        } else if (m_straightDest >= 101 && m_straightDest <= 350) {
            QueueFixed(kGoalCode);
        } else if (m_waypointArmed && m_straightWaypoint >= 1 && m_straightWaypoint <= 350) {
            QueueFixed(kWaypoint);
            if (m_promptRequested) m_waypointArmed = 0;
        } else if (m_offSum >= 31 && m_lastMessage != kOffRouteMessage) {
            m_voice.PlayMessage(kOffRouteMessage);
            m_offSum = 0;
            m_lastMessage = kOffRouteMessage;
        }
        return;
    }
    m_arrivalArmed = 0;
    if (m_straightDest >= 1 && m_straightDest <= 70) {
        cont = 0;
        m_arrivalReached = true;
        QueueFixed(kArrival);
    } else {
        m_arrivalReached = false;
    }
}

void CGuideManager::Prompt(CRoutePath* route) {
    m_promptRequested = false;
    const int d1 = m_distNext, d2 = m_distFollow;
    if (d1 < 1) return;
    const bool expressway = Expressway();
    int c1 = TableWalk(m_new ? 0 : 1, d1, m_turn1 == kGoalCode, expressway);
    const int c2 = TableWalk(0, d2, m_turn2 == kGoalCode, expressway);
    int code = m_turn1;
    if (c1 == 0) {
        m_request = PromptRequest{0, code, 0, 0, 0};
        return;
    }
    PromptRequest r;
    bool second = true;
    if (c1 == 2) {
        code = 15;
        second = false;
    } else if (c1 == 34 && code == kGoalCode) {
        c1 = 0;
        code = kGoalAhead;
        second = false;
    }
    r.distanceClip = c1;
    r.code = code;
    if (second) {
        if (code == 34) {
            r = PromptRequest{c1, code, d2 < 581 ? kConnector : 0, c2, m_turn2};
        } else if ((code == 7 || code == 8 || code == 15) && expressway) {
            r = PromptRequest{c1, code, d2 < 1101 ? kConnector : 0, c2, m_turn2};
        } else if (c2 == 34) {
            r = PromptRequest{c1, code, kConnector, 34, m_turn2};
        } else {
            r = PromptRequest{c1, code, 0, c2, m_turn2};
        }
    }
    // Facility names: the exit's interchange or the junction's direction.
    m_direction = HighwayRecord{};
    if ((m_attr[0] & 0xE0) == 32 && c1 != 2 && r.code >= 3) {
        if (r.code >= 3 && r.code <= 5) {
            int k = 0;
            RouteFacility f;
            RestAreaRecord rest;
            if (route->FindFacilityIndex(m_carItem, k, 4) && route->GetFacility(k, f, 4) &&
                f.entry.itemIndex == m_nextGuide && m_highway.GetRestArea(f.entry.value, rest)) {
                m_direction.clips[0] = rest.nameClip;
                if (rest.nameClip > 0) r.code += 63;
            }
        } else if (r.code == 7 || r.code == 8 || r.code == 15 || r.code == 99) {
            int k = 0;
            RouteFacility f;
            HighwayRecord h;
            if (route->FindFacilityIndex(m_carItem + 1, k, 1) && route->GetFacility(k, f, 1) &&
                f.entry.itemIndex == m_nextGuide + 1 && m_highway.GetHighway(f.entry.value, h)) {
                m_direction = h;
                if (h.clips[0] > 0) r.code = r.code == 7 ? 64 : r.code == 8 ? 65 : 63;
            }
        }
    }
    if (r.distanceClip2 == 0 || r.code2 == 0) r.connector = r.distanceClip2 = r.code2 = 0;
    m_request = r;
    m_promptRequested = !m_voice.IsSameRequest(r, m_nextGuide);
}

void CGuideManager::Points(const MatchResult& pos, CAlertPointList* alerts) {
    if (m_promptRequested || m_gpFound || pos.speedMps == 0) return;
    if (m_voice.UserMessage() != 0) {
        m_alertFound = true;
        return;
    }
    if (!alerts || !alerts->Refresh(pos.x, pos.y)) return;
    bool taken = false;
    for (int i = 0; i < alerts->Count(); ++i) {
        CAlertPointRecord* a = alerts->At(i);
        if (!a || a->kind <= 0) continue;
        const std::int64_t dx = static_cast<std::int64_t>(a->x) - pos.x, dy = static_cast<std::int64_t>(a->y) - pos.y;
        if (!(std::llabs(dx) < 1636 && std::llabs(dy) < 1333)) continue;
        const int d = Straight(pos.x, pos.y, a->x, a->y);
        if (d >= 350) {
            a->announced = 0;
            continue;
        }
        if (a->announced || taken) continue;
        // Kinds outside 1..14 have no clip.
        if (a->kind > 14) continue;
        taken = true;
        m_hit = AlertHit{i, d, a->kind, a->x, a->y};
        m_voice.SetUserMessage(a->kind);
        a->announced = 1;
        m_alertFound = true;
    }
}

void CGuideManager::SpeedWarning(const MatchResult& pos) {
    if (m_promptRequested || m_gp.distanceClip != 0 || m_voice.UserMessage() != 0) return;
    const int mode = m_gp.directionMode;
    bool fire = false;
    if (mode >= 0 && mode <= 2 && m_switch[mode] && m_gp.distance > 0 && m_gp.speedLimit != 0 && m_gp.index >= 0) {
        fire = pos.speedKmh > m_gp.speedLimit;
    } else if (m_perClass) {
        const int c = RoadClass();
        const int limit = c >= 1 && c <= 4 ? m_limits[c - 1] : m_limits[4];
        fire = pos.speedKmh >= limit;
    }
    if (fire) m_voice.PlayPrompt(0, 0, 0, 0, 0);
}

void CGuideManager::ProcessVoice() {
    const CVoicePlayer::Guidance g = m_voice.Snapshot();
    if (g.promptRequested) m_voice.PlayPending(g);
    m_voice.AnnounceGuidePoint(g.guidePoint);
    if (g.alertFound) {
        const int kind = m_voice.TakeUserMessage();
        if (kind != 0) m_voice.PlayUserPoint(kind);
    }
    m_voice.AnnounceFacility(g.facility);
}

bool CGuideManager::PlayMessage(int id, bool /*atOnce*/) {
    m_voice.PlayMessage(id);
    return true;
}

bool CGuideManager::PlayAddMessage(int id) {
    m_voice.PlayAddWav(id);
    return true;
}

void CGuideManager::GetTurnInfo(CGuideInfo& info) const {
    info.ClearTurn();
    int code = m_request.code;
    info.nextGuide = m_nextGuide;
    info.followingGuide = m_followingGuide;
    switch (code) {
    case 60:
    case 61:
    case 62:
        info.nextGuide = info.followingGuide = -1;
        break;
    case 63:
        code = 15;
        break;
    case 64:
        code = 7;
        break;
    case 65:
        code = 8;
        break;
    case 66:
        code = 3;
        break;
    case 67:
        code = 4;
        break;
    case 68:
        code = 5;
        break;
    default:
        break;
    }
    info.code = code;
    if (m_turn2 == 60 || m_turn2 == 61) info.followingGuide = -1;
    info.distance = m_distNext;
    if (m_distFollow > 0) {
        info.followingDistance = m_distFollow;
        info.followingCode = m_turn2;
    }
    info.waypointDistance = m_waypointArmed ? m_routeWaypoint : -1;
    info.remaining = std::max(m_remaining, 0);
    if (m_gp.index >= 0) {
        info.pointMode = m_gp.directionMode + 1;
        info.pointX = m_gp.x;
        info.pointY = m_gp.y;
        info.pointHeading = m_gp.heading;
        info.pointType = m_gp.type;
        info.pointValue = m_gp.value;
        info.pointLimit = m_gp.speedLimit;
        info.pointDistance = m_gp.distance;
    }
    info.highway = Expressway();
    if (m_direction.text[0]) {
        // The names field is bounded: it holds at most 40 bytes.
        const std::string names(m_direction.text, strnlen(m_direction.text, HighwayRecord::kTextSize));
        info.directionText = Cp949ToUtf16(names) + u" 방면";
    }
}

void CGuideManager::GetHighwayInfo(CGuideInfo& info, const MatchResult& pos, CRoutePath* route, int page,
                                   int listType) {
    info.ClearHighway();
    if (m_carItem < 0 || (m_attr[0] & 0xE0) != 32 || !route || !route->IsValid()) return;
    const int linkLength = mrformat::U16(pos.link + 8);
    const int driven = static_cast<int>(pos.linkPosition * 1e-5 * linkLength);
    auto fill = [&](const RouteFacility& f, CGuideInfo::Facility& out) {
        RestAreaRecord rest;
        m_highway.GetRestArea(f.entry.value, rest);
        out.name = Cp949ToUtf16(std::string_view(rest.name, strnlen(rest.name, RestAreaRecord::kNameSize)));
        out.kind = rest.kind;
        int metres = 0;
        route->GetDistanceBetween(m_carItem + 1, f.entry.itemIndex + 1, metres);
        out.distance = metres - driven + linkLength;
        char text[32];
        std::snprintf(text, sizeof text, "%3.1f", out.distance * 0.001);
        out.distanceText = Utf8ToUtf16(text);
        out.brand = rest.brand;
        out.lpg = rest.lpg;
        out.repair = rest.repair;
        out.id = f.entry.value;
        out.guideIndex = f.entry.itemIndex;
        return rest;
    };
    int total = 0, first = 0;
    RouteFacility f;
    if (route->GetFacilityCount(total, listType) && route->FindFacilityIndex(m_carItem, first, listType)) {
        info.facilityCount = total - first;
        if (page >= 0 && page < info.facilityCount) {
            for (int r = 0; r < 3 && first + page + r < total; ++r) {
                if (!route->GetFacility(first + page + r, f, listType)) break;
                fill(f, info.row[r]);
                info.rows = r + 1;
            }
        }
    }
    int k = 0;
    if (!route->FindFacilityIndex(m_carItem, k, CRoutePath::kCodeAllButJunction) ||
        !route->GetFacility(k, f, CRoutePath::kCodeAllButJunction)) {
        m_facility = RestAreaRecord{};
        m_voice.ClearFacility();
        info.ClearHighway();
        return;
    }
    RestAreaRecord rest = fill(f, info.next);
    info.hasNext = true;
    const int clip = TableWalk(3, info.next.distance, false, true);
    if (clip != 0) {
        rest.announceClip = clip == 23 ? 23 : 0;
        if (rest.kind == 1 || (rest.kind == 2 && f.entry.itemIndex == m_nextGuide)) rest.id = 0;
        m_facility = rest;
    } else {
        m_facility.announceClip = 0;
    }
    Publish();
}
