#include "mapview/CodeRecord.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

// ---------------------------------------------------------------------------------------------
// CDmsAngle

void CDmsAngle::Normalise() {
    if (m_seconds > 59.0) {
        const std::int32_t carry = static_cast<std::int32_t>(m_seconds) / 60;
        m_minutes += carry;
        m_seconds -= static_cast<float>(carry) * 60.0f;
    }
    if (m_minutes > 59) {
        m_degrees += m_minutes / 60;
        m_minutes %= 60;
    }
}

CDmsAngle CDmsAngle::Add(const CDmsAngle& o) {
    m_seconds += o.m_seconds;
    m_minutes += o.m_minutes;
    m_degrees += o.m_degrees;
    Normalise();
    return *this;
}

CDmsAngle CDmsAngle::Subtract(const CDmsAngle& o) {
    if (m_seconds < o.m_seconds) {
        // Borrow a minute (through a degree when there is no minute left).
        if (m_minutes < 1) {
            if (m_degrees >= 1) {
                m_degrees -= 1;
                m_minutes += 59;
                m_seconds += 60.0;
            }
        } else {
            m_minutes -= 1;
            m_seconds += 60.0;
        }
    }
    if (m_minutes < o.m_minutes && m_degrees > 0) {
        m_degrees -= 1;
        m_minutes += 60;
    }
    m_seconds -= o.m_seconds;
    m_minutes -= o.m_minutes;
    m_degrees -= o.m_degrees;
    Normalise();
    return *this;
}

CDmsAngle CDmsAngle::Multiply(std::int32_t n) {
    m_degrees *= n;
    m_minutes *= n;
    m_seconds *= n;
    Normalise();
    return *this;
}

bool CDmsAngle::operator<(const CDmsAngle& o) const {
    if (m_degrees != o.m_degrees) return m_degrees < o.m_degrees;
    if (m_minutes != o.m_minutes) return m_minutes < o.m_minutes;
    return m_seconds < o.m_seconds;
}

std::int32_t CDmsAngle::GetPart(int which) const {
    switch (which) {
    case 1:
        return m_degrees;
    case 2:
        return m_minutes;
    case 3:
        return static_cast<std::int32_t>(m_seconds);
    default:
        return 0;
    }
}

std::int32_t CDmsAngle::ToTenths() const {
    return static_cast<std::int32_t>((static_cast<double>(m_degrees) * 60 + m_minutes) * 600 +
                                     m_seconds * 10);
}

// ---------------------------------------------------------------------------------------------
// CCodeRecord

namespace {

// The number made of count characters from position first (missing characters are absent).
std::int32_t Digits(const std::string& code, std::size_t first, std::size_t count) {
    if (first >= code.size()) return 0;
    return static_cast<std::int32_t>(std::atol(code.substr(first, count).c_str()));
}

// Quadrant from one digit: below 3 -> 1, below 5 -> 2, up to 6 -> 3, above 6 -> 4.
std::int32_t Quadrant(const std::string& code, std::size_t position) {
    const std::int32_t d = Digits(code, position, 1);
    if (d < 3) return 1;
    if (d < 5) return 2;
    if (d <= 6) return 3;
    return 4;
}

} // namespace

CCodeRecord::CCodeRecord() = default;
CCodeRecord::~CCodeRecord() = default;

CCodeRecord::CCodeRecord(const CCodeRecord& other) {
    *this = other;
}

CCodeRecord& CCodeRecord::operator=(const CCodeRecord& other) {
    if (this == &other) return *this;
    swLon = other.swLon;
    swLat = other.swLat;
    neLon = other.neLon;
    neLat = other.neLat;
    for (int i = 0; i < 4; ++i) spare[i] = other.spare[i];
    fineLon = other.fineLon;
    fineLat = other.fineLat;
    walkLon = other.walkLon;
    walkLat = other.walkLat;
    coarseLon = other.coarseLon;
    coarseLat = other.coarseLat;
    baseLon = other.baseLon;
    baseLat = other.baseLat;
    for (int i = 0; i < 3; ++i) lists[i] = other.lists[i];
    codeValue = other.codeValue;
    codeType = other.codeType;
    rowFrom = other.rowFrom;
    columnFrom = other.columnFrom;
    digitFrom = other.digitFrom;
    rowTo = other.rowTo;
    columnTo = other.columnTo;
    digitTo = other.digitTo;
    codeList = other.codeList ? std::make_unique<std::vector<std::string>>(*other.codeList) : nullptr;
    return *this;
}

void CCodeRecord::Reset() {
    swLon = CDmsAngle(124, 0, 0.0);
    swLat = CDmsAngle(33, 0, 0.0);
    neLon = neLat = CDmsAngle();
    walkLon = walkLat = CDmsAngle();
    for (auto& list : lists) list.clear();
    codeList.reset();
}

std::int32_t CCodeRecord::Classify(const std::string& code) {
    const long v = std::atol(code.c_str());
    if (v == 0) return 1;
    if (v == 1 || v == 2) return 2;
    if (v >= 10 && v <= 29) return 3;
    if (v >= 311 && v <= 994) return 4;
    if (v >= 1021 && v <= 2998) return 5;
    if (v >= 3111 && v <= 9988) return 6;
    if (v >= 311121 && v <= 998898) return 9;
    if (code.size() >= 4) {
        const std::int32_t head = Digits(code, 0, 4);
        if (head >= 1021 && head <= 2998) {
            const std::int32_t tail = Digits(code, 4, 2);
            return code.size() >= 6 && tail >= 0 && tail <= 18 ? 7 : 8;
        }
    }
    return 0;
}

void CCodeRecord::SetWalkBounds(std::int32_t number, std::int32_t level) {
    rowFrom = columnFrom = digitFrom = rowTo = columnTo = digitTo = 0;
    switch (level) {
    case 3:
        rowFrom = 1, rowTo = 3, columnFrom = 0, columnTo = 10;
        break;
    case 4:
        rowFrom = 3, rowTo = 10, columnFrom = 1, columnTo = 10, digitFrom = 1, digitTo = 5;
        break;
    case 5:
    case 8:
    case 9:
        rowFrom = 2, rowTo = 10, columnFrom = 1, columnTo = 9;
        break;
    case 6:
        columnFrom = 1, columnTo = 9;
        if (number < 29)
            rowFrom = 1, rowTo = 3;
        else if (number < 49)
            rowFrom = 3, rowTo = 5;
        else if (number < 69)
            rowFrom = 5, rowTo = 7;
        else if (number < 89)
            rowFrom = 7, rowTo = 9;
        break;
    case 7:
        rowFrom = 0, rowTo = 2, columnFrom = 0, columnTo = 9;
        break;
    default:
        break;
    }
}

void CCodeRecord::Walk(std::int32_t number, WalkKind kind, std::int32_t level, std::int32_t type) {
    SetWalkBounds(number, level);
    walkLon = walkLat = CDmsAngle();
    bool found = false;
    for (std::int32_t r = rowFrom; r < rowTo && !found; ++r) {
        walkLat = CDmsAngle();
        if (kind == kGrid && r != rowFrom) walkLon += fineLon;
        if (kind == kQuadrant && r != rowFrom) walkLon += coarseLon;
        for (std::int32_t c = columnFrom; c < columnTo && !found; ++c) {
            if (kind == kTwoColumn) {
                if (c == columnFrom || c == 5) {
                    walkLat = CDmsAngle();
                    if (!(c == columnFrom && r == rowFrom)) walkLon += fineLon;
                } else {
                    walkLat += fineLat;
                }
                found = r * 10 + c == number;
            } else if (kind == kGrid) {
                if (c != columnFrom) walkLat += fineLat;
                found = r * 10 + c == number;
            } else {
                if (c != columnFrom) walkLat += coarseLat;
                for (std::int32_t k = digitFrom; k < digitTo && !found; ++k) {
                    if ((r * 10 + c) * 10 + k == number) {
                        if (k == 3 || k == 4) walkLon += fineLon;
                        if (k == 2 || k == 4) walkLat += fineLat;
                        found = true;
                    }
                }
            }
        }
    }
    // An unmatched number leaves the walk at the level's last cell.
    swLon += walkLon;
    swLat += walkLat;
    if (level == type) {
        neLon = swLon + neLon + fineLon;
        neLat = swLat + neLat + fineLat;
    }
}

void CCodeRecord::Parse(const std::string& code, std::int32_t type) {
    codeType = type;
    codeValue = static_cast<std::int32_t>(std::atol(code.c_str()));
    if (code.empty()) return;
    Reset();
    switch (type) {
    case 1:
        neLon = CDmsAngle(140, 0, 0.0);
        neLat = CDmsAngle(43, 40, 0.0);
        break;
    case 2:
        if (codeValue == 1) {
            neLon = CDmsAngle(132, 0, 0.0);
            neLat = CDmsAngle(38, 20, 0.0);
        } else if (codeValue == 2) {
            swLon = CDmsAngle(124, 0, 0.0);
            swLat = CDmsAngle(38, 20, 0.0);
            neLon = CDmsAngle(132, 0, 0.0);
            neLat = CDmsAngle(43, 40, 0.0);
        }
        break;
    case 3:
        fineLon = CDmsAngle(2, 0, 0.0), fineLat = CDmsAngle(1, 20, 0.0);
        Walk(Digits(code, 4, 2), kTwoColumn, 3, type);
        break;
    case 4:
        fineLon = CDmsAngle(0, 30, 0.0), fineLat = CDmsAngle(0, 20, 0.0);
        coarseLon = CDmsAngle(1, 0, 0.0), coarseLat = CDmsAngle(0, 40, 0.0);
        Walk(Digits(code, 3, 3), kQuadrant, 4, type);
        break;
    case 5:
        fineLon = CDmsAngle(2, 0, 0.0), fineLat = CDmsAngle(1, 20, 0.0);
        Walk(Digits(code, 2, 2), kTwoColumn, 3, type);
        fineLon = CDmsAngle(0, 15, 0.0), fineLat = CDmsAngle(0, 10, 0.0);
        Walk(Digits(code, 4, 2), kGrid, 5, type);
        break;
    case 6:
    case 9: {
        // Level 4 quadrant cell (its number from two digits and the quadrant of the next one),
        // then the level-6 two-column cell, then for type 9 the level-9 grid cell.
        const std::size_t at = type == 6 ? 2 : 0;
        const std::int32_t q = Quadrant(code, at + 2);
        fineLon = CDmsAngle(0, 30, 0.0), fineLat = CDmsAngle(0, 20, 0.0);
        coarseLon = CDmsAngle(1, 0, 0.0), coarseLat = CDmsAngle(0, 40, 0.0);
        Walk(Digits(code, at, 2) * 10 + q, kQuadrant, 4, type);
        fineLon = CDmsAngle(0, 7, 30.0), fineLat = CDmsAngle(0, 5, 0.0);
        Walk(Digits(code, at + 2, 2), kTwoColumn, 6, type);
        if (type == 9) {
            fineLon = CDmsAngle(0, 0, 56.25), fineLat = CDmsAngle(0, 0, 37.5);
            Walk(Digits(code, 4, 2), kGrid, 9, type);
        }
        break;
    }
    case 7:
    case 8:
        fineLon = CDmsAngle(2, 0, 0.0), fineLat = CDmsAngle(1, 20, 0.0);
        Walk(Digits(code, 0, 2), kTwoColumn, 3, type);
        fineLon = CDmsAngle(0, 15, 0.0), fineLat = CDmsAngle(0, 10, 0.0);
        Walk(Digits(code, 2, 2), kGrid, 5, type);
        if (type == 7) {
            fineLon = CDmsAngle(0, 3, 45.0), fineLat = CDmsAngle(0, 2, 30.0);
            Walk(Digits(code, 4, 2), kTwoColumn, 7, type);
        } else {
            fineLon = CDmsAngle(0, 1, 52.5), fineLat = CDmsAngle(0, 1, 15.0);
            Walk(Digits(code, 4, 2), kGrid, 8, type);
        }
        break;
    default:
        break;
    }
}

std::int32_t CCodeRecord::GetCode(std::int32_t& out) const {
    if (codeValue != -1) out = codeValue;
    return codeValue;
}

void CCodeRecord::FormatCorners(std::string& out) const {
    out.clear();
    for (const CDmsAngle* a : {&swLon, &swLat, &neLon, &neLat}) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%03ld%02ld%05.2f", static_cast<long>(a->Degrees()),
                      static_cast<long>(a->Minutes()), a->Seconds());
        out += buffer;
    }
}

void CCodeRecord::BuildCodeList(const std::vector<std::int32_t>* first,
                                const std::vector<std::int32_t>* second,
                                const std::vector<std::int32_t>* third) {
    codeList = std::make_unique<std::vector<std::string>>();
    if (!first) return;
    char buffer[64];
    for (std::int32_t p : *first) {
        if (p < 0) continue;
        if (!second && !third) {
            std::snprintf(buffer, sizeof buffer, "%06d", p);
            codeList->push_back(buffer);
            continue;
        }
        if (!second) continue;
        for (std::int32_t q : *second) {
            if (q < 0) continue;
            if (!third) {
                std::snprintf(buffer, sizeof buffer, "%04d%02d", p, q);
                codeList->push_back(buffer);
                continue;
            }
            for (std::int32_t r : *third) {
                if (r < 0) continue;
                std::snprintf(buffer, sizeof buffer, "%02d%02d%02d", p, q, r);
                codeList->push_back(buffer);
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------

namespace {

// Column or row of a corner from an origin in cells of the step's size, times 10000.
bool CellsFrom(const CDmsAngle& corner, const CDmsAngle& origin, const CDmsAngle& step, LONG& out) {
    const std::int32_t stepTenths = step.ToTenths();
    if (stepTenths == 0) return false;
    CDmsAngle d = corner;
    d.Subtract(origin);
    out = d.ToTenths() / stepTenths * 10000;
    return true;
}

} // namespace

int SheetCodeToRect(const char* code, POINT& a, POINT& b) {
    if (!code) return 0;
    std::string text(code);
    if (text.size() > 6) return 0;
    if (std::atol(text.c_str()) == 0) return 0;
    text.insert(0, 6 - text.size(), '0');

    const std::int32_t type = CCodeRecord::Classify(text);
    if (type == 0 || type == 1 || type == 2) return 0; // no cell size to count in
    CDmsAngle originLon(124, 0, 0.0), originLat(33, 0, 0.0);
    if (type == 6 || type == 9) originLon = CDmsAngle(125, 0, 0.0), originLat = CDmsAngle(33, 5, 0.0);

    CCodeRecord record;
    if (type == 9) {
        char parent[16];
        std::snprintf(parent, sizeof parent, "%06d", static_cast<int>(std::atol(text.substr(0, 4).c_str())));
        record.Parse(parent, 6);
    } else {
        record.Parse(text, type);
    }
    POINT cornerB{};
    if (!CellsFrom(record.swLon, originLon, record.fineLon, cornerB.x) ||
        !CellsFrom(record.swLat, originLat, record.fineLat, cornerB.y))
        return 0;
    if (type == 9) {
        CCodeRecord fine;
        fine.Parse(text, 9);
        POINT cornerA{};
        if (!CellsFrom(fine.swLon, record.swLon, fine.fineLon, cornerA.x) ||
            !CellsFrom(fine.swLat, record.swLat, fine.fineLat, cornerA.y))
            return 0;
        a = cornerA;
    }
    b = cornerB;
    return 1;
}
