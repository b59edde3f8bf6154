#include "tools/darcsynth/ContentPackets.h"

#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/InputFile.h"

#include <cstdio>

namespace darcsynth {

namespace {

using Packet = std::vector<std::uint8_t>;

// CRC-16, polynomial 0x1021 from 0, each byte with its bits reversed; the trailer is the CRC
// with each byte's bits reversed, so the CRC over block and trailer is 0.
std::uint8_t Reverse(std::uint8_t b) {
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (b & (1 << i)) r = static_cast<std::uint8_t>(r | (0x80 >> i));
    return r;
}
void Seal(Packet& block) {
    while ((block.size() + 2) % 20 != 0 || block.size() + 2 < 40) block.push_back(0);
    unsigned crc = 0;
    for (std::uint8_t b : block) {
        crc ^= static_cast<unsigned>(Reverse(b)) << 8;
        for (int i = 0; i < 8; ++i) crc = ((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1) & 0xFFFF;
    }
    block.push_back(Reverse(static_cast<std::uint8_t>(crc >> 8)));
    block.push_back(Reverse(static_cast<std::uint8_t>(crc)));
}
void Cut(const Packet& block, int service, std::uint8_t byte1, std::vector<Packet>& out) {
    for (std::size_t at = 0; at < block.size(); at += 20) {
        int position = at == 0 ? 0x40 : (at + 20 >= block.size() ? 0xC0 : 0x80);
        Packet p{static_cast<std::uint8_t>(position | service), byte1};
        p.insert(p.end(), block.begin() + static_cast<long>(at), block.begin() + static_cast<long>(at + 20));
        out.push_back(p);
    }
}
Packet Time(int service, int low, int month, int day, int hour, int minute) {
    Packet p(22, 0);
    p[0] = static_cast<std::uint8_t>(0x20 | service);
    p[1] = static_cast<std::uint8_t>(0x10 | low);
    p[10] = static_cast<std::uint8_t>(month);
    p[11] = static_cast<std::uint8_t>(day);
    p[12] = static_cast<std::uint8_t>(hour);
    p[13] = static_cast<std::uint8_t>(minute);
    return p;
}
Packet Cp(const char* utf8) {
    std::string s = Utf8ToCp949(utf8);
    return Packet(s.begin(), s.end());
}

int g_segment = 0;
std::uint8_t NextSegment() { return static_cast<std::uint8_t>((g_segment++ % 15) + 1); }

void News(int document, int part, int lastPart, int kind, const Packet& text, std::vector<Packet>& out) {
    Packet block{static_cast<std::uint8_t>(document >> 8), static_cast<std::uint8_t>(document),
                 static_cast<std::uint8_t>(part << 4 | lastPart), 1, static_cast<std::uint8_t>(kind << 4), 0, 0,
                 static_cast<std::uint8_t>(text.size() >> 8), static_cast<std::uint8_t>(text.size())};
    block.insert(block.end(), text.begin(), text.end());
    Seal(block);
    Cut(block, 3, static_cast<std::uint8_t>(NextSegment() << 4 | 1), out);
}

void ShortText(int kind, const Packet& text, std::vector<Packet>& out) {
    Packet block{0, 0, 0, 0, 1, static_cast<std::uint8_t>(text.size())};
    block.insert(block.end(), text.begin(), text.end());
    block.push_back(0);
    Seal(block);
    Cut(block, 4, static_cast<std::uint8_t>(NextSegment() << 4 | kind), out);
}

struct Fields {
    const std::string& s;
    std::size_t at = 0;
    bool ok = true;
    unsigned U(int bytes) {
        if (at + static_cast<std::size_t>(bytes) > s.size()) {
            ok = false;
            return 0;
        }
        unsigned v = 0;
        for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
        at += static_cast<std::size_t>(bytes);
        return v;
    }
    void Skip(std::size_t n) {
        if (at + n > s.size()) ok = false;
        at += n;
    }
};

bool Read(const std::u16string& folder, const char16_t* name, std::string& bytes, std::string& error) {
    return InputFile::ReadAll(DeviceRoot::Resolve(folder + name), 4u << 20, bytes, error);
}

// The record codes of a WIMID table.
bool RegionCodes(const std::u16string& folder, const char16_t* name, std::vector<unsigned>& codes, std::string& error) {
    std::string bytes;
    if (!Read(folder, name, bytes, error)) return false;
    Fields f{bytes};
    unsigned groups = f.U(2), n = 0;
    for (unsigned g = 0; g < groups; ++g) n = f.U(2);
    f.Skip(2 * static_cast<std::size_t>(n));
    for (unsigned i = 0; i < n; ++i) codes.push_back(f.U(2));
    if (!f.ok) error = "bad weather region table";
    return f.ok;
}

void Be16(Packet& p, unsigned v) {
    p.push_back(static_cast<std::uint8_t>(v >> 8));
    p.push_back(static_cast<std::uint8_t>(v));
}

} // namespace

bool MakeContentPackets(const std::u16string& folder, std::vector<Packet>& out, ContentCounts& c, std::string& error) {
    // News: broadcast time 10/03 08:05; titles (kind 1) and headlines (kind 2) whose numbers
    // are the documents of their bodies.
    out.push_back(Time(3, 0, 10, 3, 8, 5));
    const char* titles[] = {"오늘의 교통", "주말 나들이길"};
    Packet t;
    for (int i = 0; i < 2; ++i) {
        Packet rec{0x01, 0, static_cast<std::uint8_t>(i + 1)};
        Packet text = Cp(titles[i]);
        rec.insert(rec.end(), text.begin(), text.end());
        rec.push_back(0x11);
        rec.push_back(0);
        t.insert(t.end(), rec.begin(), rec.end());
    }
    News(1, 0, 0, 1, t, out);
    c.heads += 2;
    struct Doc {
        int number;
        const char* title;
        std::vector<const char*> parts;
    };
    const Doc docs[] = {{21, "경부선 정체", {"서울 방향 정체가 이어집니다.", "사고 차량은 치워졌습니다."}},
                        {22, "영동선 공사", {"강릉 방향 1차로 공사 중입니다."}},
                        {23, "올림픽대로 원활", {"출근길이 원활합니다.", "잠실 부근만 서행입니다.", "안전운전 하세요."}}};
    Packet h;
    for (const Doc& d : docs) {
        Packet rec{0x01, 0, static_cast<std::uint8_t>(d.number)};
        Packet text = Cp(d.title);
        rec.insert(rec.end(), text.begin(), text.end());
        rec.push_back(0x11);
        rec.push_back(0);
        h.insert(h.end(), rec.begin(), rec.end());
        ++c.heads;
    }
    News(2, 0, 0, 2, h, out);
    for (const Doc& d : docs) {
        const int last = static_cast<int>(d.parts.size()) - 1;
        for (int p = last; p >= 0; --p) { // parts need not arrive in order
            News(d.number, p, last, 3, Cp(d.parts[static_cast<std::size_t>(p)]), out);
            ++c.bodies;
        }
        ++c.complete;
    }

    // Short texts: each kind's time, then two texts of each kind.
    const char* shorts[4][2] = {{"고속도로 통행료 안내", "휴게소 안내"},
                                {"폭설 긴급 통제", "터널 화재 긴급 대피"},
                                {"1차로 사고", "추돌 사고 처리 중"},
                                {"방송 시간 변경", "교통정보 개편 공지"}};
    for (int k = 1; k <= 4; ++k) {
        out.push_back(Time(4, k, 10, 3, 17, 40 + k));
        for (const char* s : shorts[k - 1]) {
            ShortText(k, Cp(s), out);
            ++c.shortByKind[k - 1];
        }
    }

    // Stocks: the time, a quotation of every listed item and the status of every market.
    std::string items, markets;
    if (!Read(folder, u"\\DARC\\SIMID.bin", items, error) || !Read(folder, u"\\DARC\\SIMTable01.bin", markets, error))
        return false;
    out.push_back(Time(26, 0, 10, 3, 15, 0));
    Fields f{items};
    unsigned count = f.U(4);
    for (unsigned i = 0; i < count && f.ok; ++i) {
        unsigned key = f.U(4);
        f.Skip(f.U(1));
        if (!f.ok) break;
        const unsigned price = 0x4000 | (1000 + 37 * i); // x10 prices
        Packet p{0x1A, 0x10};
        Be16(p, key >> 8);
        p.push_back(static_cast<std::uint8_t>(key));
        p.push_back(0x80); // market closed
        Be16(p, price);
        p.push_back(static_cast<std::uint8_t>(1 + i % 3));
        Be16(p, 10 + i);
        p.push_back(0);
        Be16(p, 1000 + i);
        Be16(p, price + 5);
        Be16(p, price - 5);
        Be16(p, price + 1);
        Be16(p, price - 1);
        out.push_back(p);
        ++c.quoted;
    }
    const unsigned marketCount = markets.empty() ? 0 : static_cast<unsigned char>(markets[0]);
    for (unsigned m = 0; m < marketCount; ++m) {
        Packet p{0x1A, 0x50, static_cast<std::uint8_t>(m), 0x03, 0x0D, static_cast<std::uint8_t>(0x40 + m)};
        Be16(p, 0x8000 | (120 + m));
        p.insert(p.end(), {0, 1, 2, 0, 3, 4, 0, 5, 0, 6, 0, 0, 0, 1});
        out.push_back(p);
        ++c.markets;
    }

    // Weather: current weather of every current region, three days of every forecast region
    // (two regions a packet) and the weekly forecast of every weekly region.
    std::vector<unsigned> cur, sht, wk;
    if (!RegionCodes(folder, u"\\DARC\\WIMID_Cur.bin", cur, error) ||
        !RegionCodes(folder, u"\\DARC\\WIMID_Short.bin", sht, error) ||
        !RegionCodes(folder, u"\\DARC\\WIMID_Week.bin", wk, error))
        return false;
    for (std::size_t i = 0; i < cur.size(); ++i) {
        Packet p{0x19, 0x10};
        Be16(p, cur[i]);
        Be16(p, 3u << 11 | 14u << 6 | 30u); // day 3, 14:30
        p.push_back(static_cast<std::uint8_t>(1 + i % 6));
        Be16(p, static_cast<unsigned>(static_cast<std::uint16_t>(static_cast<int>(i % 30) * 10 - 50)));
        Be16(p, i % 4 == 0 ? 0x8019u : 0xFFFFu);
        Be16(p, 0x0064);
        p.resize(22, 0);
        out.push_back(p);
        ++c.current;
    }
    auto shortEntry = [&](Packet& p, unsigned region, int day, std::size_t i) {
        Be16(p, region);
        p.push_back(static_cast<std::uint8_t>(day));
        p.push_back(static_cast<std::uint8_t>(1 + (i + static_cast<std::size_t>(day)) % 30));
        p.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(-2 + day)));
        p.push_back(static_cast<std::uint8_t>(5 + day));
        p.push_back(day == 3 ? 0xFF : 0x85);
        p.push_back(0x20);
    };
    for (int day = 1; day <= 3; ++day)
        for (std::size_t i = 0; i < sht.size(); i += 2) {
            const std::size_t j = i + 1 < sht.size() ? i + 1 : i;
            Packet p{0x19, 0x20};
            shortEntry(p, sht[i], day, i);
            p.push_back(0);
            p.push_back(3); // today: the third
            shortEntry(p, sht[j], day, j);
            p.resize(22, 0);
            out.push_back(p);
            c.shortForecast += j == i ? 1 : 2;
        }
    for (std::size_t i = 0; i < wk.size(); i += 2) {
        const std::size_t j = i + 1 < wk.size() ? i + 1 : i;
        Packet p{0x19, 0x30};
        for (std::size_t r : {i, j}) {
            Be16(p, wk[r]);
            p.insert(p.end(), {1, 11, 17, 24, 28});
            p.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(-3)));
            p.push_back(4);
            p.push_back(0);
        }
        p.resize(22, 0);
        out.push_back(p);
        c.weekly += j == i ? 1 : 2;
    }
    return true;
}

void PrintContentCounts(const ContentCounts& c) {
    std::printf("news heads=%d bodies=%d complete=%d\n", c.heads, c.bodies, c.complete);
    for (int k = 0; k < 4; ++k) std::printf("short kind=%d count=%d\n", k + 1, c.shortByKind[k]);
    std::printf("stocks quoted=%d markets=%d\n", c.quoted, c.markets);
    std::printf("weather current=%d short=%d weekly=%d\n", c.current, c.shortForecast, c.weekly);
}

} // namespace darcsynth
