#include "route/CostModel.h"

#include "route/MRFormat.h"
#include "traffic/receiver/Traffic.h"

#include <algorithm>
#include <cmath>

namespace {

struct ProfileRow {
    std::int32_t T[4];
    std::int32_t V[15];
    std::int32_t type, variant;
    float w;
    float K[4];
};

// Rows by distance band (D <= 3000, <= 15000, <= 30000, < 120000, otherwise) x 5 + kind
// (type 0; type 1 variant 0; type 2; type 3; type 1 variant 1).
constexpr ProfileRow kRows[RouteSearchState::kProfiles] = {
    {{5000, 10000, 20000, 40000},
     {65, 65, 80, 65, 60, 60, 40, 60, 50, 40, 65, 60, 40, 30, 10},
     0,
     0,
     0.6f,
     {100, 60, 400, 40}},
    {{5000, 10000, 20000, 40000},
     {10, 10, 80, 70, 60, 50, 40, 60, 50, 40, 70, 60, 50, 30, 10},
     1,
     0,
     0.6f,
     {50, 30, 140, 20}},
    {{5000, 10000, 20000, 40000},
     {75, 75, 75, 60, 60, 45, 35, 60, 40, 35, 60, 50, 40, 30, 10},
     2,
     0,
     0.6f,
     {70, 30, 140, 10}},
    {{5000, 10000, 20000, 40000},
     {85, 85, 90, 60, 60, 60, 50, 60, 55, 50, 60, 60, 55, 40, 15},
     3,
     0,
     0.7f,
     {20, 20, 80, 20}},
    {{3000, 10000, 30000, 40000},
     {15, 15, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 30},
     1,
     1,
     0.9f,
     {0, 0, 0, 0}},

    {{5000, 10000, 20000, 40000},
     {100, 95, 80, 65, 60, 60, 40, 60, 50, 40, 65, 60, 40, 30, 10},
     0,
     0,
     0.6f,
     {100, 60, 400, 40}},
    {{5000, 10000, 20000, 40000},
     {10, 10, 90, 70, 60, 50, 40, 60, 50, 40, 70, 60, 50, 30, 10},
     1,
     0,
     0.8f,
     {50, 30, 140, 20}},
    {{5000, 10000, 20000, 40000},
     {75, 75, 75, 60, 60, 45, 35, 60, 40, 35, 60, 50, 40, 25, 10},
     2,
     0,
     0.6f,
     {70, 30, 140, 10}},
    {{5000, 10000, 20000, 40000},
     {85, 85, 90, 60, 60, 60, 50, 60, 55, 50, 60, 60, 55, 40, 15},
     3,
     0,
     0.7f,
     {20, 20, 80, 20}},
    {{3000, 10000, 30000, 40000},
     {15, 15, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 30},
     1,
     1,
     0.9f,
     {0, 0, 0, 0}},

    {{5000, 10000, 20000, 40000},
     {100, 95, 80, 65, 60, 60, 40, 60, 50, 40, 65, 60, 50, 30, 10},
     0,
     0,
     0.6f,
     {100, 60, 400, 40}},
    {{5000, 10000, 20000, 40000},
     {10, 10, 90, 70, 60, 50, 40, 60, 50, 40, 70, 60, 50, 30, 10},
     1,
     0,
     0.85f,
     {50, 30, 140, 20}},
    {{5000, 10000, 20000, 40000},
     {75, 75, 75, 60, 60, 45, 35, 60, 40, 35, 60, 50, 40, 30, 10},
     2,
     0,
     0.8f,
     {50, 30, 140, 20}},
    {{5000, 10000, 20000, 60000},
     {85, 85, 90, 60, 60, 60, 50, 60, 55, 50, 60, 60, 55, 40, 15},
     3,
     0,
     0.8f,
     {20, 20, 80, 20}},
    {{3000, 10000, 20000, 40000},
     {15, 15, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 30},
     1,
     1,
     0.9f,
     {0, 0, 0, 0}},

    {{5000, 10000, 20000, 40000},
     {95, 90, 90, 65, 60, 60, 40, 60, 50, 40, 65, 60, 50, 30, 10},
     0,
     0,
     0.6f,
     {100, 60, 400, 40}},
    {{5000, 10000, 20000, 40000},
     {10, 10, 90, 80, 60, 50, 40, 60, 50, 40, 80, 60, 50, 30, 10},
     1,
     0,
     0.85f,
     {50, 30, 140, 20}},
    {{5000, 10000, 20000, 40000},
     {75, 75, 75, 60, 60, 45, 35, 60, 40, 35, 60, 50, 40, 30, 10},
     2,
     0,
     0.8f,
     {70, 30, 140, 10}},
    {{5000, 10000, 20000, 60000},
     {80, 80, 70, 60, 60, 60, 50, 60, 55, 50, 60, 60, 55, 40, 15},
     3,
     0,
     0.8f,
     {20, 20, 80, 20}},
    {{3000, 10000, 20000, 40000},
     {15, 15, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 30},
     1,
     1,
     1.0f,
     {0, 0, 0, 0}},

    {{5000, 10000, 20000, 40000},
     {90, 85, 80, 65, 60, 60, 40, 60, 50, 40, 65, 60, 50, 30, 10},
     0,
     0,
     0.6f,
     {100, 60, 400, 40}},
    {{5000, 10000, 20000, 40000},
     {10, 10, 90, 80, 60, 50, 40, 60, 50, 40, 80, 60, 50, 30, 10},
     1,
     0,
     1.0f,
     {50, 30, 140, 20}},
    {{5000, 10000, 20000, 40000},
     {10, 10, 75, 60, 60, 45, 35, 60, 40, 35, 60, 50, 40, 30, 10},
     2,
     0,
     0.8f,
     {50, 30, 140, 10}},
    {{5000, 10000, 20000, 40000},
     {80, 80, 70, 60, 60, 60, 50, 60, 55, 50, 60, 60, 55, 40, 15},
     3,
     0,
     0.8f,
     {20, 20, 80, 20}},
    {{3000, 10000, 20000, 40000},
     {15, 15, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 30},
     1,
     1,
     1.0f,
     {0, 0, 0, 0}},
};

constexpr float kNumerator = 60.0f;

bool IsNineish(int n) {
    return n == 9 || n / 2 == 9;
}

} // namespace

LinkFields LinkFields::From(const std::uint8_t* link) {
    using namespace mrformat;
    LinkFields f;
    f.lanes = link[0] & 0x0F;
    f.roadKind = (link[0] >> 4) & 0x07;
    f.firstNode = U16(link + 4);
    f.secondNode = U16(link + 6);
    f.length = U16(link + 8);
    std::uint16_t attr = U16(link + 10);
    f.oneWay = attr & 3;
    f.linkType = (attr >> 2) & 7;
    f.facility = (attr >> 5) & 7;
    f.width = (attr >> 8) & 7;
    f.restricted = (attr & 0x0800) != 0;
    f.trafficForward = U16(link + 24);
    f.trafficBackward = U16(link + 26);
    return f;
}

int LevelOfKind(int roadKind) {
    if (roadKind <= 1) return 0;
    if (roadKind <= 4) return 1;
    if (roadKind <= 6) return 2;
    return 3;
}

void RouteSearchState::Init(const CostProfile& extra, std::uint8_t applyExtra) {
    for (int i = 0; i < kProfiles; ++i) {
        CostProfile& p = m_profiles[i];
        const ProfileRow& r = kRows[i];
        p = CostProfile();
        std::copy(std::begin(r.T), std::end(r.T), p.T);
        std::copy(std::begin(r.V), std::end(r.V), p.V);
        p.typeOverride = r.type;
        p.variantOverride = r.variant;
        p.numerator = kNumerator;
        p.weight = r.w;
        std::copy(std::begin(r.K), std::end(r.K), p.K);
    }
    m_extra = extra;
    m_applyExtra = applyExtra;
}

void RouteSearchState::SetSearchParams(int type, int useTraffic, int variant, int fromVehicle) {
    m_type = type;
    m_useTraffic = useTraffic;
    m_variant = variant;
    m_fromVehicle = fromVehicle;
}

int RouteSearchState::ProfileIndex(float D) const {
    int band = D <= 3000.0f ? 0 : D <= 15000.0f ? 1 : D <= 30000.0f ? 2 : D < 120000.0f ? 3 : 4;
    int kind = 0;
    switch (m_type) {
    case 1:
        kind = m_variant == 1 ? 4 : 1;
        break;
    case 2:
        kind = 2;
        break;
    case 3:
        kind = 3;
        break;
    default:
        kind = 0;
        break;
    }
    return band * 5 + kind;
}

void RouteSearchState::ComputeFactors() {
    for (int i = 0; i < 15; ++i)
        m_F[i] = m_profile.V[i] != 0 ? m_profile.numerator / static_cast<float>(m_profile.V[i]) : 0.0f;
    if (m_useTraffic == 1) {
        m_F[14] = 20.0f;
        m_F[13] = 6.0f;
    }
}

void RouteSearchState::SetUpLeg(float D) {
    for (int i = 0; i < 4; ++i) {
        m_done[i] = 0;
        m_count[i] = 0;
    }
    m_sideStarted = false;
    m_S = 0.0f;
    m_G = kFarAway;
    m_level = 3;
    m_meetingLevel = 2;
    m_D = D;
    m_profile = m_profiles[ProfileIndex(D)];
    if (m_applyExtra) m_profile = m_extra;
    m_type = m_profile.typeOverride;
    m_variant = m_profile.variantOverride;
    m_w = m_profile.weight;
    ComputeFactors();
    if (D <= 3000.0f)
        m_levelFloor = 3;
    else if (D <= 30000.0f)
        m_levelFloor = 2;
    else
        m_levelFloor = 1;
    m_meetingLevel = D <= 30000.0f ? 3 : 2;
    m_meetingsAllowed = 2;
}

void RouteSearchState::FreezeLevels() {
    m_freeze = 1;
    for (int i = 0; i < 4; ++i) {
        m_done[i] = 1;
        m_count[i] = 0;
    }
}

void RouteSearchState::Reset() {
    m_type = m_useTraffic = m_variant = m_fromVehicle = 0;
    m_level = 3;
    m_levelFloor = 0;
    m_w = 0.0f;
    m_freeze = 0;
    m_bit11Count = 0;
    m_latch = 0;
    m_meetingsAllowed = 0;
    m_D = m_S = 0.0f;
    m_G = kFarAway;
    m_sideStarted = false;
    for (int i = 0; i < 4; ++i) {
        m_done[i] = 0;
        m_count[i] = 0;
    }
}

float RouteSearchState::LinkCost(const std::uint8_t* link, SearchDir dir, int guideCode) const {
    const LinkFields l = LinkFields::From(link);
    float F[15];
    std::copy(std::begin(m_F), std::end(m_F), F); // per-computation changes stay local
    const float num = m_profile.numerator;
    const int f = l.facility;

    // Traffic speed of the travel direction; 255 = none.
    int v = 255;
    if (m_useTraffic == 1) {
        std::uint16_t idx = dir == SearchDir::AtFirstEnd ? l.trafficForward : l.trafficBackward;
        std::uint8_t s = 255;
        if (CTraffic::instance()->getSpeedByIdx(idx, s) && s != 255) v = s;
        if (f == 1 && (m_type == 1 || m_type == 2)) v = 5;
        if ((f == 2 || f == 6) && v < 255) {
            double raised = static_cast<double>(v) + std::trunc(0.3 * static_cast<double>(v));
            v = static_cast<int>(std::min(raised, 254.0));
        }
        if (v == 255 && l.roadKind == 7) F[14] = 6.0f;
    }

    float m1 = 1.0f;
    if (l.width >= 1 && l.width <= 3)
        m1 = 0.8f;
    else if (l.width == 4)
        m1 = (f == 1 || f == 2 || f == 6) ? 1.0f : 1.4f;

    float m2 = 1.0f;
    int n = l.lanes;
    switch (l.linkType) {
    case 3:
        m2 = 1.2f;
        if (f == 1 && m_type == 1) F[0] = F[1] = num * 0.06666667f;
        break;
    case 5:
        if (f == 1) {
            m2 = 0.8f;
            if (m_type == 1) F[0] = F[1] = num * 0.06666667f;
            if (l.roadKind == 2) m2 = 1.3f;
        } else {
            if (f == 3 || l.roadKind == 2) m2 = 1.3f;
            if (f == 2 || f == 6) m2 = (l.roadKind == 1 && l.oneWay == 0) ? (n < 4 ? 1.1f : 0.8f) : 1.1f;
        }
        if (m_useTraffic == 1) m2 = 1.6f;
        break;
    case 4:
        m2 = 0.3f;
        if (f != 3) n += 2;
        break;
    case 6:
        m2 = 1.8f;
        break;
    default:
        if (n < 2 && f == 1) n = 3;
        if (l.linkType == 2) {
            n *= 2;
            if (!(m_variant == 1 || f == 2 || f == 6)) m1 *= 0.8f;
        }
        break;
    }
    if (m_variant == 1) {
        if (IsNineish(n)) n = 8;
        m1 = 0.9f;
    }

    bool dropTurn = false;
    float u;
    if (v < 255) {
        u = num / static_cast<float>(std::max(v, 1)) * m2 * m1;
    } else {
        auto ladder3 = [&](int base) { // n >= 7, 5-6, 4, < 4
            return n >= 7 ? F[base] : n >= 5 ? F[base + 1] : n == 4 ? F[base + 2] : F[base + 3];
        };
        float Fk;
        switch (l.roadKind) {
        case 0:
            if (f == 1) {
                dropTurn = true;
                if (n < 6)
                    Fk = n < 4 ? F[1] * 1.2f : F[1];
                else
                    Fk = IsNineish(n) ? F[0] * 0.9f : F[0];
            } else if (f == 3) {
                Fk = ladder3(3);
            } else {
                Fk = ladder3(10);
            }
            break;
        case 1:
            if (f == 3 || f == 4) {
                Fk = ladder3(3);
            } else if (f == 5) {
                Fk = n >= 7 ? F[10] : n >= 5 ? F[11] : F[12];
            } else {
                dropTurn = true;
                Fk = n >= 6 ? F[2] : n >= 4 ? F[2] * 1.4f : F[2] * 1.6f;
            }
            break;
        case 2:
            Fk = IsNineish(n) ? F[3] * 0.5f : ladder3(3);
            break;
        case 3:
            if (f == 4)
                Fk = n >= 5 ? F[7] : n == 4 ? F[8] : n >= 2 ? F[9] : F[14];
            else
                Fk = ladder3(10);
            break;
        case 4:
            Fk = n >= 6 ? F[11] : n >= 4 ? F[12] : n >= 2 ? F[13] : F[14];
            break;
        case 5:
            Fk = F[12];
            break;
        case 6:
            Fk = n >= 2 ? F[13] : F[14];
            break;
        default:
            Fk = F[14];
            break;
        }
        u = Fk * m2 * m1;
    }

    float t = 0.0f;
    if (!dropTurn) {
        const float* K = m_profile.K;
        switch (guideCode) {
        case 12:
        case 24:
        case 25:
        case 26:
            t = K[0];
            break;
        case 13:
        case 18:
        case 19:
        case 20:
            t = K[1];
            break;
        case 14:
            t = K[2];
            break;
        case 120:
            t = 2000.0f;
            break;
        default:
            t = K[3];
            break;
        }
    }
    return static_cast<float>(l.length) * u + t;
}

bool RouteSearchState::Admit(const std::uint8_t* link, std::uint16_t node, bool forward) {
    const LinkFields l = LinkFields::From(link);
    if (l.facility == 7 || l.oneWay == 3) return false;
    if (forward) {
        if (l.firstNode == node && l.oneWay == 2) return false;
        if (l.secondNode == node && l.oneWay == 1) return false;
        if (m_type == 2) {
            if (!m_latch) {
                if (!l.restricted) {
                    if (m_bit11Count < 4) ++m_bit11Count;
                } else if (m_bit11Count > 3) {
                    m_latch = 1;
                    return false;
                }
            } else if (l.restricted) {
                return false;
            }
        } else {
            m_latch = 1;
        }
        return true;
    }
    // Backward: the car arrives at node along the link.
    if (l.firstNode == node && l.oneWay == 1) return false;
    if (l.secondNode == node && l.oneWay == 2) return false;
    if (m_type == 2 && l.restricted) return false;
    return true;
}

bool RouteSearchState::LevelAllows(const std::uint8_t* link) const {
    return LevelOfKind((link[0] >> 4) & 7) <= m_level;
}

void RouteSearchState::CountLink(int nodeLevel, const std::uint8_t* link) {
    int lv = LevelOfKind((link[0] >> 4) & 7);
    if (lv < nodeLevel) ++m_count[lv];
}

void RouteSearchState::LevelSwitch(float d) {
    if (m_freeze) return;
    if (!m_sideStarted) {
        m_sideStarted = true;
        m_done[3] = 1;
        ComputeFactors();
        return;
    }
    const std::int32_t* T = m_profile.T;
    auto take = [&](int level) {
        m_level = level;
        for (int& c : m_count) c = 0;
        m_done[level] = 1;
    };
    if (!m_done[2]) {
        int c = m_count[2];
        bool ok = c < 5 ? (d > static_cast<float>(T[0]) && d <= static_cast<float>(T[1]) && c >= 2)
                        : d > static_cast<float>(T[1]) / 2.0f;
        if (ok) take(2);
        return;
    }
    if (!m_done[1]) {
        int c = m_count[1];
        bool ok = c < 15 ? (d > static_cast<float>(T[1]) && d <= static_cast<float>(T[2]) && c >= 5)
                         : d > static_cast<float>(T[2]) / 2.0f;
        if (ok) {
            take(1);
            FreezeLevels();
        }
    }
}

bool RouteSearchState::Corridor(float s, float h, int k, int q) {
    m_S = std::max(m_S, s);
    m_G = std::min(m_G, h);
    const float D = m_D, S = m_S, G = m_G;
    const float T2 = static_cast<float>(m_profile.T[2]), T3 = static_cast<float>(m_profile.T[3]);
    auto clearGuide = [&] {
        if (m_guideCacheByte) *m_guideCacheByte = 0;
    };
    if (m_type == 0) {
        if (D > 30000.0f) {
            if (q < 20) return true;
            if (G < 0.7f * D && h > 0.8f * D && k > 3) return false;
        }
        if (D > 80000.0f) {
            if (S > T2) clearGuide();
            if (G < 0.75f * D && h > 0.85f * D && k > 2) return false;
            if (S > 20000.0f && s < 5000.0f && k > 3) return false;
        }
        if (D <= 150000.0f) return true;
        if (S > T3 && (k == 3 || k == 4)) return false;
        if (G >= 0.8f * D) return true;
        return h <= 0.9f * D || k < 2;
    }
    if ((m_type == 1 && m_variant == 0) || m_type == 2) {
        if (D > 30000.0f) {
            if (q < 20) return true;
            if (G < 0.5f * D && h > 0.7f * D) return false;
            if (S > 20000.0f && s < 5000.0f) return false;
        }
        if (D > 80000.0f) {
            if (S > T3) clearGuide();
            if (G < 0.6f * D && h > 0.7f * D) return false;
        }
        if (D > 150000.0f) {
            if (S > 2.0f * T3 && (k == 3 || k == 4)) return false;
            if (G < 0.7f * D && h > 0.9f * D) return false;
        }
        if (D <= 220000.0f) return true;
        if (G < 0.9f * D && h > 0.95f * D) return false;
        if (G >= 0.8f * D) return true;
        return h <= 0.85f * D;
    }
    if (m_type == 1) { // variant 1
        if (D > 30000.0f) {
            if (S > T3) clearGuide();
            if (q < 20) return true;
            if (G < 0.6f * D && h > 0.7f * D && (k > 4 || k < 2)) return false;
            if (S > 20000.0f && s < 5000.0f) return false;
        }
        if (D > 80000.0f && G < 0.7f * D && h > 0.8f * D && (k > 4 || k < 2)) return false;
        if (D > 150000.0f && G < 0.8f * D && h > 0.9f * D) return false;
        if (D <= 220000.0f) return true;
        if (G >= 0.9f * D) return true;
        return h <= 0.95f * D;
    }
    // type 3
    if (D > 40000.0f) {
        if (q < 20) return true;
        if (G < 0.6f * D && h > 0.8f * D && k > 3) return false;
    }
    if (D > 80000.0f) {
        if (S > T3) clearGuide();
        if (G < 0.7f * D && h > 0.85f * D && k > 3) return false;
    }
    if (D <= 150000.0f) return true;
    if (S > T3 && (k == 3 || k == 4)) return false;
    if (G >= 0.8f * D) return true;
    return h <= 0.95f * D || k < 4;
}
