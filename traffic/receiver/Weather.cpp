#include "traffic/receiver/Weather.h"

#include "platform/base/Text.h"
#include "traffic/receiver/ReceiverUtil.h"
#include "traffic/receiver/StoreFile.h"

#include <algorithm>

namespace {

constexpr char16_t kSaveFile[] = u"\\My Documents\\Velko\\WIMStore.bin";
constexpr const char16_t* kTextTables[3] = {u"\\DARC\\WIMTable01.bin", u"\\DARC\\WIMTable02.bin",
                                            u"\\DARC\\WIMTable03.bin"};
constexpr const char16_t* kRegionTables[3] = {u"\\DARC\\WIMID_Cur.bin", u"\\DARC\\WIMID_Short.bin",
                                              u"\\DARC\\WIMID_Week.bin"};
constexpr int kFreshMinutes = 1440;
constexpr std::uint32_t kCurrentMinutes = 30;
constexpr std::uint32_t kForecastMinutes = 1440;
constexpr std::size_t kMaxTableBytes = 1024 * 1024;

const char16_t* const kGroupNames[CWeather::kGroups] = {
    u"서울경기", u"강원영서", u"강원영동", u"충청남도", u"충청북도", u"전라남도",
    u"전라북도", u"경상남도", u"경상북도", u"제주도",   u"울릉도독도", u""};

std::atomic<CWeather*> g_instance{nullptr};
std::mutex g_instanceLock;

std::u16string Wide(const char* text) { return Cp949ToUtf16(text ? text : ""); }

} // namespace

CWeather* CWeather::instance() {
    CWeather* p = g_instance.load(std::memory_order_acquire);
    if (p) return p;
    std::lock_guard<std::mutex> lock(g_instanceLock);
    p = g_instance.load(std::memory_order_relaxed);
    if (!p) {
        p = new CWeather();
        g_instance.store(p, std::memory_order_release);
    }
    return p;
}

void CWeather::destruct() {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    delete g_instance.exchange(nullptr);
}

CWeather::CWeather() : m_lastPacket(CurrentTimeValue()) {}

void CWeather::LoadTexts(const CString& path, std::vector<std::string>& texts) {
    texts.clear();
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes, kMaxTableBytes)) return;
    FileFields f(bytes);
    std::uint8_t count = 0;
    if (!f.U8(count)) return;
    for (int i = 0; i < count; ++i) {
        std::uint8_t length = 0;
        std::string text;
        if (!f.U8(length) || !f.Bytes(length, text)) break;
        texts.push_back(text.c_str());
    }
}

bool CWeather::LoadRegionTable(const CString& path, RegionTable& table) {
    table = RegionTable{};
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes, kMaxTableBytes)) return false;
    FileFields f(bytes);
    std::uint16_t groups = 0;
    if (!f.U16(groups) || groups > f.Left() / 2) return false;
    std::uint16_t previous = 0;
    for (int g = 0; g < groups; ++g) {
        std::uint16_t end = 0;
        f.U16(end);
        if (end < previous) return false;
        table.groupEnds.push_back(end);
        previous = end;
    }
    const std::size_t n = groups ? table.groupEnds.back() : 0;
    // Each region takes two codes and a name length at least.
    if (n > f.Left() / 5) return false;
    table.list.resize(n);
    table.records.resize(n);
    for (auto& code : table.list) f.U16(code);
    for (std::size_t i = 0; i < n; ++i) {
        f.U16(table.records[i]);
        if (i > 0 && table.records[i] <= table.records[i - 1]) return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        std::uint8_t length = 0;
        std::string name;
        if (!f.U8(length) || !f.Bytes(length, name)) return false;
        table.names.push_back(name.c_str());
    }
    return true;
}

void CWeather::openFile(const CString& folder) {
    bool tablesMissing = false;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        tablesMissing = !LoadTables(folder);
    }
    // The notice waits for its answer: the store's lock is not held meanwhile.
    if (tablesMissing) StoreNotice(u"기상파일 열기 실패4");
}

bool CWeather::LoadTables(const CString& folder) {
    m_loaded.store(0);
    for (int t = 0; t < 3; ++t) LoadTexts(folder + kTextTables[t], m_texts[t]);
    m_current.clear();
    m_short.clear();
    m_weekly.clear();
    for (int t = 0; t < 3; ++t) {
        if (!LoadRegionTable(folder + kRegionTables[t], m_regions[t])) {
            for (RegionTable& r : m_regions) r = RegionTable{};
            return false;
        }
    }
    const RegionTable& cur = m_regions[0];
    const RegionTable& sht = m_regions[1];
    const RegionTable& wk = m_regions[2];
    m_current.resize(cur.records.size());
    for (std::size_t i = 0; i < cur.records.size(); ++i) {
        m_current[i].region = cur.records[i];
        m_current[i].name = cur.names[i].c_str();
    }
    m_short.resize(sht.records.size());
    for (std::size_t i = 0; i < sht.records.size(); ++i) {
        m_short[i].region = sht.records[i];
        m_short[i].name = sht.names[i].c_str();
    }
    m_weekly.resize(wk.records.size());
    for (std::size_t i = 0; i < wk.records.size(); ++i) {
        m_weekly[i].region = wk.records[i];
        m_weekly[i].name = wk.names[i].c_str();
    }
    LoadSaveFile();
    m_loaded.store(1);
    return true;
}

void CWeather::LoadSaveFile() {
    std::vector<unsigned char> bytes;
    std::uint32_t age = 0;
    const std::size_t max = 12 + 9 * m_current.size() + 15 * m_short.size() + 7 * m_weekly.size();
    if (!ReadFreshSaveFile(kSaveFile, kFreshMinutes, max, bytes, &age)) return;
    FileFields f(bytes);
    std::uint32_t count = 0;
    // The blocks carry no region code: they fit only the tables they were written with.
    if (!f.U32(count) || count != m_current.size() || f.Left() < 9u * count) return;
    std::vector<WeatherCurrent> cur = m_current;
    for (WeatherCurrent& r : cur) {
        std::uint16_t t = 0;
        f.U16(r.time);
        f.U8(r.code);
        f.U16(t);
        r.temperature = static_cast<std::int16_t>(t);
        f.U16(r.precipitationA);
        f.U16(r.precipitationB);
        if (age >= kCurrentMinutes) r.temperature = 0x7FFF;
    }
    if (!f.U32(count) || count != m_short.size() || f.Left() < 15u * count) return;
    std::vector<WeatherShort> sht = m_short;
    for (WeatherShort& r : sht)
        for (auto& b : r.fields) f.U8(b);
    if (!f.U32(count) || count != m_weekly.size() || f.Left() < 7u * count) return;
    std::vector<WeatherWeek> wk = m_weekly;
    for (WeatherWeek& r : wk) {
        for (auto& c : r.codes) f.U8(c);
        std::uint8_t lo = 0, hi = 0;
        f.U8(lo);
        f.U8(hi);
        r.lowest = static_cast<std::int8_t>(lo);
        r.highest = static_cast<std::int8_t>(hi);
    }
    m_current = std::move(cur);
    m_short = std::move(sht);
    m_weekly = std::move(wk);
}

int CWeather::close() {
    if (!IsLoaded()) return 0;
    std::vector<unsigned char> out;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        PutU32(out, static_cast<std::uint32_t>(m_current.size()));
        for (const WeatherCurrent& r : m_current) {
            PutU16(out, r.time);
            out.push_back(r.code);
            PutU16(out, static_cast<std::uint16_t>(r.temperature));
            PutU16(out, r.precipitationA);
            PutU16(out, r.precipitationB);
        }
        PutU32(out, static_cast<std::uint32_t>(m_short.size()));
        for (const WeatherShort& r : m_short) out.insert(out.end(), r.fields, r.fields + 15);
        PutU32(out, static_cast<std::uint32_t>(m_weekly.size()));
        for (const WeatherWeek& r : m_weekly) {
            out.insert(out.end(), r.codes, r.codes + 5);
            out.push_back(static_cast<std::uint8_t>(r.lowest));
            out.push_back(static_cast<std::uint8_t>(r.highest));
        }
    }
    m_loaded.store(0);
    return WriteFileAside(kSaveFile, out) ? 1 : 0;
}

void CWeather::ResetLocked(int currentOnly) {
    for (WeatherCurrent& r : m_current) r.temperature = 0x7FFF;
    if (currentOnly) return;
    for (WeatherShort& r : m_short)
        for (int d = 1; d <= 3; ++d) r.fields[3 + d - 1] = 127;
    for (WeatherWeek& r : m_weekly) r.lowest = 127;
}

void CWeather::reset(int currentOnly) {
    std::lock_guard<std::mutex> lock(m_lock);
    ResetLocked(currentOnly);
}

int CWeather::IndexIn(const RegionTable& table, unsigned short region) const {
    auto it = std::lower_bound(table.records.begin(), table.records.end(), region);
    if (it == table.records.end() || *it != region) return -1;
    return static_cast<int>(it - table.records.begin());
}

int CWeather::getIndex(unsigned short region, unsigned char table) const {
    if (table == kCurrent) return IndexIn(m_regions[0], region);
    if (table == kShort) return IndexIn(m_regions[1], region);
    if (table == kWeekly) return IndexIn(m_regions[2], region);
    return -1;
}

int CWeather::setData(const unsigned char* payload, int length) {
    if (!IsLoaded() || !payload || length < 22) return 0;
    std::lock_guard<std::mutex> lock(m_lock);
    const std::uint32_t age = MinutesSince(m_lastPacket);
    if (age > kForecastMinutes)
        ResetLocked(0);
    else if (age > kCurrentMinutes)
        ResetLocked(1);
    m_lastPacket = CurrentTimeValue();
    switch ((payload[1] >> 4) & 0x07) {
    case 1: {
        const int i = IndexIn(m_regions[0], Be16(payload + 2));
        if (i < 0) return 0;
        WeatherCurrent& r = m_current[static_cast<std::size_t>(i)];
        r.time = Be16(payload + 4);
        r.code = payload[6];
        r.temperature = static_cast<std::int16_t>(Be16(payload + 7));
        r.precipitationA = Be16(payload + 9);
        r.precipitationB = Be16(payload + 11);
        return 1;
    }
    case 2:
        for (int entry = 0; entry < 2; ++entry) {
            const unsigned char* p = payload + (entry == 0 ? 2 : 12);
            const int i = IndexIn(m_regions[1], Be16(p));
            const int day = p[2];
            if (i < 0 || day < 1 || day > 3) return 0;
            WeatherShort& r = m_short[static_cast<std::size_t>(i)];
            for (int k = 0; k < 5; ++k) r.fields[3 * k + day - 1] = p[3 + k];
            m_today.store(payload[11]);
        }
        return 1;
    case 3:
        for (int entry = 0; entry < 2; ++entry) {
            const unsigned char* p = payload + (entry == 0 ? 2 : 12);
            const int i = IndexIn(m_regions[2], Be16(p));
            if (i < 0) return 0;
            WeatherWeek& r = m_weekly[static_cast<std::size_t>(i)];
            std::copy(p + 2, p + 7, r.codes);
            r.lowest = static_cast<std::int8_t>(p[7]);
            r.highest = static_cast<std::int8_t>(p[8]);
        }
        return 1;
    default:
        return 0;
    }
}

int CWeather::getWeatherByRegionAndDay(unsigned short region, unsigned char day, WIM& weather) {
    if (!IsLoaded() || day > 8) return 0;
    weather = WIM{};
    weather.current.temperature = 0;
    weather.current.precipitationA = 0;
    std::fill(std::begin(weather.shortForecast.fields), std::end(weather.shortForecast.fields), 0);
    std::fill(std::begin(weather.weekly.codes), std::end(weather.weekly.codes), 0);
    weather.weekly.lowest = 0;
    std::lock_guard<std::mutex> lock(m_lock);
    if (day == 0) {
        const int i = IndexIn(m_regions[0], region);
        if (i < 0) return 0;
        weather.current = m_current[static_cast<std::size_t>(i)];
        return weather.current.temperature != 0x7FFF ? 1 : 0;
    }
    if (day <= 3) {
        const int i = IndexIn(m_regions[1], region);
        if (i < 0) return 0;
        weather.shortForecast = m_short[static_cast<std::size_t>(i)];
        return weather.shortForecast.Field(1, day) != 127 ? 1 : 0;
    }
    const int i = IndexIn(m_regions[2], region);
    if (i < 0) return 0;
    weather.weekly = m_weekly[static_cast<std::size_t>(i)];
    return weather.weekly.lowest != 127 ? 1 : 0;
}

int CWeather::getDateTime(unsigned short time, unsigned char* day, unsigned char* hour, unsigned char* minute) {
    const unsigned char d = static_cast<unsigned char>(time >> 11);
    const unsigned char h = static_cast<unsigned char>((time >> 6) & 0x1F);
    const unsigned char m = static_cast<unsigned char>(time & 0x3F);
    if (day) *day = d;
    if (hour) *hour = h;
    if (minute) *minute = m;
    return h <= 24 && m <= 60 ? 1 : 0;
}

const char* CWeather::TextOf(const std::vector<std::string>& texts, unsigned char code) {
    return code < texts.size() ? texts[code].c_str() : "";
}
const char* CWeather::getCurWeatherText(unsigned char code) const { return TextOf(m_texts[0], code); }
const char* CWeather::getForeWeatherText(unsigned char code) const { return TextOf(m_texts[1], code); }
const char* CWeather::getSpecialWeatherText(unsigned char code) const { return TextOf(m_texts[2], code); }

int CWeather::getToday(unsigned char& day) const {
    const std::uint8_t t = m_today.load();
    if (!IsLoaded() || t == 255) return 0;
    day = t;
    return 1;
}

int CWeather::getLocalInfo(int group, int day, CString* report) {
    if (group < 0 || group >= kGroups) {
        StoreNotice(u"wrong local number!");
        return 0;
    }
    if (day < 0 || day > 8) {
        StoreNotice(u"day is not proper!");
        return 0;
    }
    if (!report || !IsLoaded()) return 0;
    static const char16_t* const kLabels[4] = {u"현재 ", u"오늘 ", u"내일 ", u"모레 "};
    CString label;
    if (day <= 3)
        label = kLabels[day];
    else
        label.Format(u"%d일 후 ", day - 1);
    CString text = CString(u"◎ ") + kGroupNames[group] + u" " + label + (day == 0 ? u"기상" : u"기상예보") + u" ◎\r\n";
    const int t = day == 0 ? 0 : (day <= 3 ? 1 : 2);
    std::lock_guard<std::mutex> lock(m_lock);
    const RegionTable& table = m_regions[t];
    if (static_cast<std::size_t>(group) < table.groupEnds.size()) {
        const std::size_t from = group == 0 ? 0 : table.groupEnds[static_cast<std::size_t>(group) - 1];
        const std::size_t to = table.groupEnds[static_cast<std::size_t>(group)];
        for (std::size_t at = from; at < to && at < table.list.size(); ++at) {
            const int i = IndexIn(table, table.list[at]);
            CString line;
            if (i < 0) {
                line = u" : 미수신\r\n"; // listed without a record: nothing can arrive for it
                text += line;
                continue;
            }
            const std::size_t r = static_cast<std::size_t>(i);
            const std::u16string name = Wide(table.names[r].c_str());
            if (day == 0) {
                const WeatherCurrent& c = m_current[r];
                if (c.temperature == 0x7FFF) {
                    line.Format(u"%s : 미수신\r\n", name.c_str());
                } else {
                    unsigned char d = 0, h = 0, m = 0;
                    getDateTime(c.time, &d, &h, &m);
                    const std::u16string what = Wide(getCurWeatherText(c.code));
                    if (c.precipitationA == 0xFFFF) {
                        line.Format(u"%s : %d일 %d시 %d분 현재 %s : (%.1f℃) \r\n", name.c_str(), d, h, m, what.c_str(),
                                    c.temperature / 10.0);
                    } else {
                        const bool snow = (c.precipitationA & 0x8000) != 0;
                        const char16_t* unit = snow ? u"cm" : u"mm";
                        line.Format(u"%s : %d일 %d시 %d분 현재 %s : (%.1f℃) %s(%.1f%s / %.1f%s)\r\n", name.c_str(), d, h,
                                    m, what.c_str(), c.temperature / 10.0, snow ? u"강설" : u"강우",
                                    (c.precipitationA & 0x7FFF) / 10.0, unit, (c.precipitationB & 0x7FFF) / 10.0, unit);
                    }
                }
            } else if (day <= 3) {
                const WeatherShort& s = m_short[r];
                const int low = static_cast<std::int8_t>(s.Field(1, day));
                const int high = static_cast<std::int8_t>(s.Field(2, day));
                const std::uint8_t am = s.Field(3, day), pm = s.Field(4, day);
                const std::u16string what = Wide(getForeWeatherText(s.Field(0, day)));
                if (low == 127)
                    line.Format(u"%s : 미수신\r\n", name.c_str());
                else if (am == 0xFF)
                    line.Format(u"%s : %s (%d℃ ∼ %d℃) \r\n", name.c_str(), what.c_str(), low, high);
                else
                    line.Format(u"%s : %s (%d℃ ∼ %d℃) (AM %s%d%%  PM %s%d%%)\r\n", name.c_str(), what.c_str(), low, high,
                                (am & 0x80) ? u"강설" : u"강우", am & 0x7F, (pm & 0x80) ? u"강설" : u"강우", pm & 0x7F);
            } else {
                const WeatherWeek& w = m_weekly[r];
                const std::uint8_t code = w.codes[day - 4];
                const std::u16string what = code == 0xFF ? u"" : Wide(getForeWeatherText(code));
                if (w.lowest == 127)
                    line.Format(u"%s : 미수신\r\n", name.c_str());
                else
                    line.Format(u"%s : %s 최저%d℃ 최고%d℃ \r\n", name.c_str(), what.c_str(), w.lowest, w.highest);
            }
            text += line;
        }
    }
    *report = text;
    return 1;
}
