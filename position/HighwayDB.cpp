#include "position/HighwayDB.h"

#include "platform/base/Text.h"
#include "position/SoundIndex.h"
#include "route/MRFormat.h"
#include "route/base/BinFile.h"

#include <algorithm>
#include <cstring>

namespace {

struct Brand {
    const char16_t* name;
    int clip;
};
Brand BrandOf(int brand) {
    switch (brand) {
    case 1:
        return {u"LG", 190};
    case 2:
        return {u"SK", 194};
    case 3:
        return {u"쌍용", 195};
    case 4:
    case 5:
        return {u"현대", 188};
    default:
        return {u"", 0};
    }
}

bool EndsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::string Cp949(std::u16string_view text) {
    return Utf16ToCp949(text);
}

// Reads a whole table file: u32 count, then count records; the count must fit the file.
bool ReadTable(const std::u16string& path, int recordSize, std::vector<std::uint8_t>& records, std::uint32_t& count) {
    CBinFile file;
    if (file.Open(path.c_str(), CBinFile::kModeRead) != 0) return false;
    const long size = file.GetSize();
    if (size < 4) return false;
    std::uint8_t head[4];
    if (file.Read(head, 4) != 4) return false;
    count = mrformat::U32(head);
    if (static_cast<std::uint64_t>(count) * static_cast<std::uint64_t>(recordSize) >
        static_cast<std::uint64_t>(size) - 4)
        return false;
    records.assign(static_cast<std::size_t>(count) * static_cast<std::size_t>(recordSize), 0);
    if (count == 0) return true;
    return file.Read(records.data(), static_cast<int>(records.size())) == static_cast<int>(records.size());
}

} // namespace

std::string CHighwayDB::SpokenName(std::string_view name, int kind) {
    switch (kind) {
    case 0: {
        const std::string restArea = Cp949(u"휴게소");
        if (EndsWith(name, restArea)) return std::string(name.substr(0, name.size() - restArea.size()));
        // A name ending in a parenthesised syllable: "…휴게소(상)".
        const std::string open = restArea + "(";
        if (name.size() >= 10 && name.substr(name.size() - 10, open.size()) == open)
            return std::string(name.substr(0, name.size() - 10));
        return std::string(name);
    }
    case 1: {
        const std::string junction = Cp949(u"분기점");
        if (EndsWith(name, junction)) return std::string(name.substr(0, name.size() - junction.size()));
        return std::string(name);
    }
    case 2:
        if (EndsWith(name, "IC")) return std::string(name.substr(0, name.size() - 2));
        return std::string(name);
    default:
        return std::string();
    }
}

RestAreaRecord CHighwayDB::DecodeRestArea(const std::uint8_t* p, const CSoundIndex& names) {
    RestAreaRecord r;
    r.id = mrformat::U16(p);
    r.brand = p[2];
    r.lpg = p[3];
    r.repair = p[4];
    r.kind = p[5];
    r.value = mrformat::U16(p + 6);
    std::memcpy(r.name, p + 8, RestAreaRecord::kNameSize);
    r.name[RestAreaRecord::kNameSize] = 0;
    const Brand brand = BrandOf(r.brand);
    const std::u16string brandName = brand.name;
    const bool lpg = r.lpg == 1, repair = r.repair == 1;
    std::u16string services = brandName;
    auto add = [&services](const char16_t* part) {
        if (!services.empty()) services += u", ";
        services += part;
    };
    if (lpg) add(u"LPG");
    if (repair) add(u"정비");
    r.services = services;
    r.brandClip = brand.clip;
    r.lpgClip = lpg ? (brand.clip != 0 ? 191 : 192) : 0;
    const std::string name(r.name, std::strlen(r.name));
    r.nameClip = names.Find(SpokenName(name, r.kind));
    return r;
}

HighwayRecord CHighwayDB::DecodeHighway(const std::uint8_t* p, const CSoundIndex& names) {
    HighwayRecord h;
    h.id = mrformat::U16(p);
    char raw[HighwayRecord::kTextSize + 1] = {};
    std::memcpy(raw, p + 4, HighwayRecord::kTextSize);
    std::string_view rest(raw, std::strlen(raw));
    const std::string expressway = Cp949(u"고속도로");
    std::string text;
    int slot = 0;
    bool full = false;
    for (int part = 0; part < 6 && !rest.empty(); ++part) {
        const std::size_t end = rest.find(';');
        const std::string_view whole = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const int clip = names.Find(whole);
        if (clip > 0) h.clips[slot++] = clip;
        if (full) continue;
        std::string_view shown = whole;
        if (EndsWith(shown, expressway)) shown = shown.substr(0, shown.size() - (shown.size() < 18 ? 4 : 8));
        if (text.size() + shown.size() + 3 >= static_cast<std::size_t>(HighwayRecord::kTextSize)) {
            full = true;
            continue;
        }
        if (!text.empty()) text += " : ";
        text += shown;
    }
    std::memcpy(h.text, text.data(), std::min<std::size_t>(text.size(), HighwayRecord::kTextSize));
    return h;
}

bool CHighwayDB::Load(const std::u16string& folder, const CSoundIndex& names) {
    if (!m_restLoaded) {
        std::vector<std::uint8_t> bytes;
        std::uint32_t count = 0;
        if (!ReadTable(folder + u"\\Wave\\RestareaDB.db", kRestAreaSize, bytes, count)) return false;
        m_rest.clear();
        for (std::uint32_t i = 0; i < count; ++i) m_rest.push_back(DecodeRestArea(&bytes[i * kRestAreaSize], names));
        std::stable_sort(m_rest.begin(), m_rest.end(),
                         [](const RestAreaRecord& a, const RestAreaRecord& b) { return a.id < b.id; });
        m_restLoaded = true;
    }
    if (!m_highwayLoaded) {
        std::vector<std::uint8_t> bytes;
        std::uint32_t count = 0;
        if (!ReadTable(folder + u"\\Wave\\HighwayDB.db", kHighwaySize, bytes, count)) return false;
        m_highway.clear();
        for (std::uint32_t i = 0; i < count; ++i) m_highway.push_back(DecodeHighway(&bytes[i * kHighwaySize], names));
        std::stable_sort(m_highway.begin(), m_highway.end(),
                         [](const HighwayRecord& a, const HighwayRecord& b) { return a.id < b.id; });
        m_highwayLoaded = true;
    }
    return true;
}

void CHighwayDB::Clear() {
    m_rest.clear();
    m_highway.clear();
    m_restLoaded = m_highwayLoaded = false;
}

bool CHighwayDB::GetRestArea(int id, RestAreaRecord& out) const {
    const std::uint16_t key = static_cast<std::uint16_t>(id & 0xFFFF);
    if (key == 0) return false;
    auto it = std::lower_bound(m_rest.begin(), m_rest.end(), key,
                               [](const RestAreaRecord& r, std::uint16_t k) { return r.id < k; });
    if (it == m_rest.end() || it->id != key) return false;
    out = *it;
    return true;
}

int CHighwayDB::GetNameClip(int id) const {
    RestAreaRecord r;
    return GetRestArea(id, r) ? r.nameClip : 0;
}

bool CHighwayDB::GetHighway(int id, HighwayRecord& out) const {
    if (id < 1 || id > 0xFFFF) return false;
    auto it = std::lower_bound(m_highway.begin(), m_highway.end(), id,
                               [](const HighwayRecord& h, int k) { return h.id < k; });
    if (it == m_highway.end() || it->id != id) return false;
    out = *it;
    return true;
}
