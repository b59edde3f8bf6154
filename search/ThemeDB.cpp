#include "search/ThemeDB.h"

#include "platform/files/Files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using tolvik::Le16;
using tolvik::Le32;

void ThemeHeader::Parse(const std::uint8_t* p) {
    std::memcpy(text, p, 32);
    std::memcpy(title, p + 32, 40);
    std::memcpy(description, p + 72, 100);
    byte172 = p[172];
    word176 = Le32(p + 176);
    regionOffset = Le32(p + 180);
    regionCount = Le32(p + 184);
    placeOffset = Le32(p + 188);
    placeCount = static_cast<std::int32_t>(Le32(p + 192));
    labelOffset = Le32(p + 196);
    labelCount = Le32(p + 200);
    detailIndexOffset = Le32(p + 204);
    detailCount = Le32(p + 208);
    word212 = Le32(p + 212);
    word216 = Le32(p + 216);
    detailBase = Le32(p + 220);
    word224 = Le32(p + 224);
}

bool CThemeDB::Init(const char16_t* folder) {
    m_themes.clear();
    m_currentTheme = -1;
    m_file.Close();
    if (!folder) return false;
    const std::u16string dir = folder;
    std::vector<std::u16string> paths;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + u"\\*.thm").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) paths.push_back(dir + u"\\" + data.cFileName);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    std::sort(paths.begin(), paths.end());
    for (const std::u16string& path : paths) {
        tolvik::DbFile file;
        std::uint8_t b[ThemeHeader::kSize];
        if (!file.Open(path.c_str()) || !file.ReadAt(0, b, sizeof b)) continue;
        Entry e;
        e.header.Parse(b);
        std::memcpy(e.title, e.header.title, 40);
        std::memcpy(e.description, e.header.description, 100);
        e.path = path;
        m_themes.push_back(std::move(e));
    }
    return !m_themes.empty();
}

bool CThemeDB::Reopen() {
    m_file.Close();
    if (m_currentTheme < 0) return false;
    return m_file.Open(m_themes[static_cast<std::size_t>(m_currentTheme)].path.c_str());
}

void CThemeDB::SetCurrentPos(std::int32_t x, std::int32_t y) {
    m_x = x;
    m_y = y;
}

bool CThemeDB::GetThemeTitle(int i, char* buffer40) {
    if (i < 0 || i >= GetThemeCount()) return false;
    std::memcpy(buffer40, m_themes[static_cast<std::size_t>(i)].title, 40);
    return true;
}

bool CThemeDB::GetThemeDescription(int i, char* buffer100) {
    if (i < 0 || i >= GetThemeCount()) return false;
    std::memcpy(buffer100, m_themes[static_cast<std::size_t>(i)].description, 100);
    return true;
}

bool CThemeDB::LoadTheme(int i) {
    m_places.clear();
    m_hits.clear();
    m_mode = m_value = m_prevMode = m_prevValue = 0;
    m_text.clear();
    m_prevText.clear();
    if (i < 0 || i >= GetThemeCount()) return false;
    m_currentTheme = i;
    if (!Reopen()) return false;
    const ThemeHeader& h = m_themes[static_cast<std::size_t>(i)].header;
    if (h.placeCount <= 0 || h.placeCount > kMaxPlaces ||
        !m_file.Fits(h.placeOffset, static_cast<std::uint64_t>(h.placeCount) * 48)) {
        m_file.Close();
        return false;
    }
    std::vector<std::uint8_t> raw(static_cast<std::size_t>(h.placeCount) * 48);
    if (!m_file.ReadAt(h.placeOffset, raw.data(), raw.size())) {
        m_file.Close();
        return false;
    }
    m_places.resize(static_cast<std::size_t>(h.placeCount));
    for (std::size_t k = 0; k < m_places.size(); ++k) {
        const std::uint8_t* p = raw.data() + 48 * k;
        ThemePlace& t = m_places[k];
        std::memcpy(t.name, p, 20);
        t.x = Le32(p + 20);
        t.y = Le32(p + 24);
        t.region1 = Le16(p + 28);
        t.region2 = Le16(p + 30);
        t.word32 = Le16(p + 32);
        t.detail = static_cast<std::int32_t>(Le32(p + 34));
        std::memcpy(t.tail, p + 38, 10);
    }
    return true;
}

int CThemeDB::GetRegionCount() const {
    if (m_currentTheme < 0) return 0;
    return static_cast<std::uint16_t>(m_themes[static_cast<std::size_t>(m_currentTheme)].header.regionCount);
}

float CThemeDB::Distance(std::int64_t dx, std::int64_t dy) {
    const double d = std::sqrt(static_cast<double>(dx) * static_cast<double>(dx) +
                               static_cast<double>(dy) * static_cast<double>(dy));
    return static_cast<float>(d * 3.0 * 0.001);
}

void CThemeDB::SortByDistance() {
    std::stable_sort(m_hits.begin(), m_hits.end(), [](const ThemeHit& a, const ThemeHit& b) {
        if (a.distance != b.distance) return a.distance < b.distance;
        const int c = std::memcmp(a.place.name, b.place.name, 20);
        if (c != 0) return c < 0;
        if (a.place.region1 != b.place.region1) return a.place.region1 < b.place.region1;
        return a.place.region2 < b.place.region2;
    });
}

bool CThemeDB::Narrow() {
    if (m_hits.empty()) return false;
    const bool textSame = m_text == m_prevText;
    auto distanceOf = [this](const ThemePlace& p) {
        return Distance(static_cast<std::int64_t>(p.x) - m_x, static_cast<std::int64_t>(p.y) - m_y);
    };
    if (m_mode == m_prevMode && m_prevValue == 0) {
        if (m_value == 0) return textSame;
        if (!textSame) return false;
        std::vector<ThemeHit> kept;
        if (m_mode == 2) {
            // The same circle as the full scan: the distances of the unfiltered list are known.
            for (const ThemeHit& h : m_hits)
                if (h.distance <= static_cast<float>(m_value)) kept.push_back(h);
        } else if (m_mode == 1) {
            for (const ThemeHit& h : m_hits)
                if (h.place.region1 == m_value) kept.push_back(h);
        } else {
            return false;
        }
        m_hits = std::move(kept);
        return !m_hits.empty();
    }
    if (m_mode == 2 && m_prevValue == 0 && m_value == 0 && textSame) {
        for (ThemeHit& h : m_hits) {
            h.distance = distanceOf(h.place);
            h.labelKind = 2;
        }
        SortByDistance();
        return !m_hits.empty();
    }
    return false;
}

void CThemeDB::WordFilter() {
    const std::vector<std::string> words = tolvik::QueryWords(m_text);
    if (words[0].empty() && words[1].empty() && words[2].empty()) return;
    std::vector<ThemeHit> kept;
    for (const ThemeHit& h : m_hits) {
        const std::string_view name(h.place.name, tolvik::FieldLength(h.place.name, 20));
        bool keep = false;
        for (const std::string& w : words) keep = keep || tolvik::ContainsBytes(name, w);
        if (!keep && h.place.detail > 0) {
            std::vector<_POI_ITEM> items;
            if (GetDetail(h.place.detail - 1, items))
                for (const _POI_ITEM& item : items)
                    for (const std::string& w : words)
                        keep = keep || tolvik::ContainsBytes(std::string_view(item.text, std::strlen(item.text)), w);
        }
        if (keep) kept.push_back(h);
    }
    m_hits = std::move(kept);
}

bool CThemeDB::Search(int value, const char* text, int mode) {
    m_prevMode = m_mode;
    m_prevValue = m_value;
    m_prevText = m_text;
    m_mode = mode;
    m_value = value;
    m_text = text ? std::string(text, strnlen(text, 128)) : std::string();
    if (Narrow()) return true;
    m_hits.clear();
    for (const ThemePlace& p : m_places) {
        ThemeHit h;
        h.place = p;
        if (value != 0 && mode != 1) {
            h.distance = Distance(static_cast<std::int64_t>(p.x) - m_x, static_cast<std::int64_t>(p.y) - m_y);
            h.labelKind = 2;
            if (h.distance <= static_cast<float>(value)) m_hits.push_back(h);
        } else if (value != 0) {
            h.labelKind = 1;
            if (p.region1 == value) m_hits.push_back(h);
        } else {
            if (mode == 2) {
                h.distance = Distance(static_cast<std::int64_t>(p.x) - m_x, static_cast<std::int64_t>(p.y) - m_y);
                h.labelKind = 2;
            }
            m_hits.push_back(h);
        }
    }
    if (mode == 2) SortByDistance();
    if (!m_text.empty()) WordFilter();
    return !m_hits.empty();
}

int CThemeDB::GetCount() const {
    if (m_mode == 0) return static_cast<int>(m_places.size());
    return static_cast<std::uint16_t>(m_hits.size());
}

const ThemePlace* CThemeDB::Item(int i) const {
    if (i < 0 || i >= GetCount()) return nullptr;
    return m_mode == 0 ? &m_places[static_cast<std::size_t>(i)] : &m_hits[static_cast<std::size_t>(i)].place;
}

bool CThemeDB::GetRegionName(int n, char* out21) {
    std::memset(out21, 0, 21);
    if (m_currentTheme < 0 || n < 1 || n > GetRegionCount()) return false;
    const ThemeHeader& h = m_themes[static_cast<std::size_t>(m_currentTheme)].header;
    return m_file.ReadAt(h.regionOffset + static_cast<std::uint64_t>(n - 1) * 28, out21, 20);
}

bool CThemeDB::GetRow(int i, ThemeRow& row) {
    const ThemePlace* p = Item(i);
    if (!p) return false;
    ThemeRow r;
    std::memcpy(r.name, p->name, 20);
    r.x = p->x;
    r.y = p->y;
    r.hasDetail = p->detail > 0 ? 1 : 0;
    if (m_mode == 2) {
        std::snprintf(r.text, sizeof r.text, "%.2fKm", m_hits[static_cast<std::size_t>(i)].distance);
    } else {
        char first[21], second[21];
        if (!GetRegionName(p->region1, first) || !GetRegionName(p->region2, second)) return false;
        tolvik::RegionText(first, second, r.text, sizeof r.text);
    }
    row = r;
    return true;
}

bool CThemeDB::GetPosition(int i, _THEME_RESULT& result) {
    const ThemePlace* p = Item(i);
    if (!p) return false;
    std::memset(result.name, 0, sizeof result.name);
    std::memcpy(result.name, p->name, 20);
    result.x = p->x;
    result.y = p->y;
    return true;
}

double CThemeDB::GetDistance(int i) const {
    if (m_mode != 2 || i < 0 || static_cast<std::size_t>(i) >= m_hits.size()) return -1.0;
    return m_hits[static_cast<std::size_t>(i)].distance;
}

int CThemeDB::GetDetailNumber(int i) const {
    const ThemePlace* p = Item(i);
    return p ? p->detail : -1;
}

bool CThemeDB::GetDetail(int k, std::vector<_POI_ITEM>& items) {
    items.clear();
    if (m_currentTheme < 0 || k < 0) return false;
    const ThemeHeader& h = m_themes[static_cast<std::size_t>(m_currentTheme)].header;
    if (static_cast<std::uint32_t>(k) >= h.detailCount) return false;
    std::uint8_t entry[8];
    if (!m_file.ReadAt(h.detailIndexOffset + static_cast<std::uint64_t>(k) * 8, entry, sizeof entry)) return false;
    const std::uint32_t offset = Le32(entry), size = Le32(entry + 4);
    if (size < 26 || size > kMaxDetailSize) return false;
    std::vector<std::uint8_t> block(size);
    if (!m_file.ReadAt(static_cast<std::uint64_t>(h.detailBase) + offset, block.data(), size)) return false;
    const char* textStart = reinterpret_cast<const char*>(block.data() + 26);
    const std::string_view text(textStart, tolvik::FieldLength(textStart, size - 26));
    const std::vector<std::string_view> parts = tolvik::SplitBars(text);
    for (std::size_t t = 0; t < parts.size() && items.size() < kMaxItems; t += 2) {
        if (parts[t].empty()) break;
        _POI_ITEM item;
        const int field = std::atoi(std::string(parts[t]).c_str());
        if (field >= 1 && static_cast<std::uint32_t>(field) <= h.labelCount)
            m_file.ReadAt(h.labelOffset + static_cast<std::uint64_t>(field - 1) * 40, item.label, 40);
        if (t + 1 < parts.size()) {
            const std::string cut = tolvik::CutDetailText(parts[t + 1]);
            std::memcpy(item.text, cut.data(), cut.size());
        }
        items.push_back(item);
    }
    return true;
}
