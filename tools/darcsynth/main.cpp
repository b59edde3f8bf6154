// velko-darcsynth: the byte stream of a broadcast receiver unit for a device root, written to a
// file or played live on a new pseudo-terminal.
//
//   velko-darcsynth --root DIR [--seconds N] [--bytes-per-second N] [--seed N]
//                   [--station CODE:RATE:NETID]... [--corrupt PERMILLE] [--merge UNITLOG] --out FILE
//   velko-darcsynth --root DIR --serve [--seconds N] [...]
//
// Each second of the stream starts with the unit's receive-rate report; then come traffic
// packets for every link of the root's broadcast link table (congestion at the junctions named
// 가람IC, free expressways at night), the version report, and channel information
// (service 16) every few sentences, filled up with filler bytes to the byte rate. Payload bytes
// 02, 03 and 1B are escaped. A station is CODE:RATE:NETID (frequency code, receive-rate
// percentage, network id, or "-" for a station that sends no channel information and no data).
// --serve prints device=PATH and plays the unit: a tuning command (02 35 code check 03) switches
// to the station of that code. --merge puts the stream between the frames of a receiver-unit
// log in place of its filler. At the end each link's last sent speed is printed as
// "sent idx= id= speed=". With --content the stream also carries news, short texts, stock
// quotations and weather for the root's tables, once each, and their counts are printed.
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/InputFile.h"
#include "platform/files/MapDataFolder.h"
#include "platform/serial/PseudoTerminal.h"
#include "position/ZarnReceiver.h"
#include "route/MRFormat.h"
#include "route/MRReader.h"
#include "tools/darcsynth/ContentPackets.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: velko-darcsynth --root DIR [--seconds N] [--bytes-per-second N] [--seed N]\n"
                 "                       [--station CODE:RATE:NETID]... [--corrupt PERMILLE] [--merge UNITLOG] [--content]\n"
                 "                       (--out FILE | --serve)\n");
    return 2;
}

struct Station {
    int code = 36;
    int rate = 80;
    int networkId = 0x80; // -1: no channel information and no data
};

// A sentence from the unit: STX, type, the escaped payload and check byte, ETX.
std::string Sentence(std::uint8_t type, const std::vector<std::uint8_t>& payload, bool corrupt) {
    unsigned sum = type;
    for (std::uint8_t b : payload) sum += b;
    std::vector<std::uint8_t> all = payload;
    all.push_back(static_cast<std::uint8_t>(0u - sum));
    if (corrupt) all[0] = static_cast<std::uint8_t>(all[0] ^ 0x40); // the check no longer holds
    std::string s{'\x02', static_cast<char>(type)};
    for (std::uint8_t b : all) {
        if (b == 0x02 || b == 0x03 || b == 0x1B) {
            s.push_back('\x1B');
            s.push_back(static_cast<char>(~b & 0xFF));
        } else {
            s.push_back(static_cast<char>(b));
        }
    }
    s.push_back('\x03');
    return s;
}

class Unit {
public:
    Unit(std::vector<std::uint32_t> ids, std::vector<int> jammed, std::uint32_t seed, int bytesPerSecond, int corrupt)
        : m_ids(std::move(ids)), m_jammed(std::move(jammed)), m_random(seed), m_bytesPerSecond(bytesPerSecond),
          m_corrupt(corrupt) {}

    // One second of the stream on the given station.
    std::string Second(const Station& st) {
        std::string out = Sentence(0x40, {static_cast<std::uint8_t>(st.rate), static_cast<std::uint8_t>(st.code)},
                                   false);
        if (m_second % 5 == 0) out += Sentence(0x41, {'K', 1, 2, 3, 'B', 1, 0}, false);
        if (st.networkId >= 0) {
            // Channel information: kind 5, network id, text length and text.
            const std::string channel = Sentence(
                0x30, {0x10, 0x50, static_cast<std::uint8_t>(st.networkId), 0, 0, 4, 'V', 'E', 'L', 'K'}, false);
            int sentences = 0;
            while (!m_ids.empty() && m_sentThisSecond < static_cast<long>(m_ids.size())) {
                std::string next = sentences % 4 == 0 ? channel : TrafficSentence();
                if (static_cast<int>(out.size() + next.size()) > m_bytesPerSecond) {
                    m_pending.clear();
                    break;
                }
                if (sentences % 4 != 0) m_sentThisSecond += 4;
                Commit();
                out += next;
                ++sentences;
            }
            m_sentThisSecond = 0;
            // Content sentences in the room the traffic left.
            while (m_contentAt < m_content.size()) {
                std::string next = Sentence(0x30, m_content[m_contentAt], false);
                if (static_cast<int>(out.size() + next.size()) > m_bytesPerSecond) break;
                out += next;
                ++m_contentAt;
            }
            // The rest of the second: idle bytes, with channel information every 100 bytes or so.
            while (static_cast<int>(out.size() + channel.size() + 80) <= m_bytesPerSecond) {
                out += channel;
                out.append(80, '\xFF');
            }
        }
        if (static_cast<int>(out.size()) < m_bytesPerSecond)
            out.append(static_cast<std::size_t>(m_bytesPerSecond) - out.size(), '\xFF');
        ++m_second;
        return out;
    }

    void SetContent(std::vector<std::vector<std::uint8_t>> packets) { m_content = std::move(packets); }
    bool ContentSent() const { return m_contentAt == m_content.size(); }

    void PrintSent() const {
        for (const auto& [index, speed] : m_sent)
            std::printf("sent idx=%d id=%lu speed=%d\n", index, static_cast<unsigned long>(m_ids[index]), speed);
    }

private:
    int SpeedOf(int index) {
        const std::uint32_t id = m_ids[static_cast<std::size_t>(index)];
        std::uniform_int_distribution<int> wobble(0, 9);
        for (int j : m_jammed)
            if (j == index) return 5 + wobble(m_random); // congestion near the interchange
        if (id & 0x80000000u) return 95 + wobble(m_random); // free expressway at night
        return 35 + 3 * wobble(m_random);
    }

    // Four links, the table's cycle continuing where the last packet stopped.
    std::string TrafficSentence() {
        std::vector<std::uint8_t> p = {0x17, 0x00};
        m_pending.clear();
        for (int k = 0; k < 4; ++k) {
            int index = m_cursor;
            m_cursor = (m_cursor + 1) % static_cast<int>(m_ids.size());
            std::uint32_t id = m_ids[static_cast<std::size_t>(index)];
            int speed = SpeedOf(index);
            for (int b = 3; b >= 0; --b) p.push_back(static_cast<std::uint8_t>(id >> (8 * b)));
            p.push_back(static_cast<std::uint8_t>(speed));
            m_pending.push_back({index, speed});
        }
        std::uniform_int_distribution<int> permille(0, 999);
        m_pendingCorrupt = m_corrupt > 0 && permille(m_random) < m_corrupt;
        if (m_pendingCorrupt) m_pending.clear();
        return Sentence(0x30, p, m_pendingCorrupt);
    }
    void Commit() {
        for (auto [index, speed] : m_pending) m_sent[index] = speed;
        m_pending.clear();
    }

    std::vector<std::uint32_t> m_ids;
    std::vector<int> m_jammed;
    std::mt19937 m_random;
    int m_bytesPerSecond;
    int m_corrupt;
    int m_cursor = 0;
    long m_second = 0;
    long m_sentThisSecond = 0; // link entries sent in this second: each link once a second
    std::vector<std::pair<int, int>> m_pending;
    bool m_pendingCorrupt = false;
    std::map<int, int> m_sent;
    std::vector<std::vector<std::uint8_t>> m_content;
    std::size_t m_contentAt = 0;
};


std::uint32_t Le32(const std::string& s, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}

bool FrameStartsAt(const std::string& log, std::size_t i) {
    return i + 1 < log.size() && static_cast<unsigned char>(log[i]) == zarn::kStx &&
           (static_cast<unsigned char>(log[i + 1]) == zarn::kPositionFrame ||
            static_cast<unsigned char>(log[i + 1]) == zarn::kSatelliteFrame);
}

// The end (past the last byte) of the frame that starts at i, as the unit's reader cuts it: up to
// its ETX, or up to the STX of the next frame, within the frame window. intact says whether the
// frame ended there and its check byte holds.
std::size_t FrameEnd(const std::string& log, std::size_t i, bool& intact) {
    intact = false;
    unsigned sum = static_cast<unsigned char>(log[i + 1]);
    const std::size_t window = std::min(log.size(), i + static_cast<std::size_t>(zarn::kFrameWindow));
    for (std::size_t at = i + 2; at < window; ++at) {
        const auto b = static_cast<unsigned char>(log[at]);
        if (b == zarn::kEtx || b == zarn::kStx) {
            intact = (sum & 0xFF) == 0 && at > i + 2;
            return b == zarn::kEtx ? at + 1 : at;
        }
        if (b == zarn::kEsc) {
            if (++at >= window) break;
            sum += static_cast<unsigned char>(~static_cast<unsigned char>(log[at]));
        } else {
            sum += b;
        }
    }
    return window;
}

// Splits a receiver-unit log into its frames and the filler runs between them; the filler runs
// are replaced by the stream's seconds (and filler up to the unit's frame window). A file is
// taken as a unit log only when it holds frames and most of them are intact: anything else
// (another kind of file, random bytes) is refused, so its bytes are never taken for frames and
// runs of filler.
bool Merge(const std::string& log, Unit& unit, const Station& st, std::string& out, std::string& error) {
    std::size_t intact = 0, broken = 0;
    for (std::size_t i = 0; i < log.size();) {
        if (!FrameStartsAt(log, i)) {
            ++i;
            continue;
        }
        bool ok = false;
        i = FrameEnd(log, i, ok);
        ++(ok ? intact : broken);
    }
    if (intact == 0 || broken >= intact) {
        error = "not a receiver-unit log (" + std::to_string(intact) + " intact frames, " +
                std::to_string(broken) + " broken)";
        return false;
    }
    out.clear();
    std::size_t i = 0;
    while (i < log.size()) {
        if (FrameStartsAt(log, i)) {
            bool ok = false;
            const std::size_t end = FrameEnd(log, i, ok);
            out.append(log, i, end - i);
            i = end;
            continue;
        }
        // Everything up to the next frame is filler, stray STX bytes included.
        std::size_t run = i + 1;
        while (run < log.size() && !FrameStartsAt(log, run)) ++run;
        std::string second = unit.Second(st);
        out += second;
        if (second.size() < static_cast<std::size_t>(zarn::kFrameWindow))
            out.append(static_cast<std::size_t>(zarn::kFrameWindow) - second.size(), '\xFF');
        i = run;
    }
    return true;
}

// Broadcast indices (link bytes 24 and 26) of the links with an end at a junction whose name
// begins with name.
std::vector<int> LinksAt(const std::u16string& folder, const std::u16string& name, int tableSize) {
    std::vector<int> found;
    const std::string wanted = Utf16ToCp949(name);
    MRReader reader;
    if (reader.Open(3, folder.c_str()) != 1) return found;
    for (int map = 0; map < reader.MapCount(); ++map) {
        const MRMapRecord* r = reader.MapRecord(map);
        if (!r) continue;
        for (int link = 0; link < r->linkCount; ++link) {
            std::uint8_t rec[mrformat::kLinkSize];
            if (reader.ReadLink(rec, map, link) != 1) continue;
            bool at = false;
            for (int node : {mrformat::LinkStartNode(rec), mrformat::LinkEndNode(rec)}) {
                std::uint8_t n[mrformat::kNodeSize];
                if (reader.ReadNode(n, map, node) != 1) continue;
                const std::uint32_t ref = mrformat::U32(n + 4);
                if (mrformat::IsPassThrough(ref) || mrformat::LinkCountOf(ref) <= 1) continue;
                MRCrossNode junction;
                if (!reader.ReadCrossNode(junction, map, ref)) continue;
                char text[64] = {};
                const int length = static_cast<int>(junction.head >> 24);
                if (length <= 0 || length >= static_cast<int>(sizeof text) ||
                    reader.ReadCrossName(text, sizeof text - 1, map, junction.head) != 1)
                    continue;
                at |= std::string(text, static_cast<std::size_t>(length)).rfind(wanted, 0) == 0;
            }
            if (!at) continue;
            for (int offset : {24, 26}) {
                const int index = mrformat::U16(rec + offset);
                if (index < tableSize && std::find(found.begin(), found.end(), index) == found.end())
                    found.push_back(index);
            }
        }
    }
    return found;
}

} // namespace

int main(int argc, char** argv) {
    std::string root, out, merge;
    int seconds = 10, bytesPerSecond = 1200, corrupt = 0;
    std::uint32_t seed = 1;
    bool serve = false, content = false;
    std::vector<Station> stations;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc) return false;
            v = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--root") {
            if (!value(root)) return Usage();
        } else if (a == "--out") {
            if (!value(out)) return Usage();
        } else if (a == "--merge") {
            if (!value(merge)) return Usage();
        } else if (a == "--serve") {
            serve = true;
        } else if (a == "--content") {
            content = true;
        } else if (a == "--seconds" || a == "--bytes-per-second" || a == "--seed" || a == "--corrupt") {
            if (!value(v)) return Usage();
            char* end = nullptr;
            long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || n < 0) return Usage();
            if (a == "--seconds") {
                if (n < 1 || n > 86400) return Usage();
                seconds = static_cast<int>(n);
            } else if (a == "--bytes-per-second") {
                if (n < 200 || n > 100000) return Usage();
                bytesPerSecond = static_cast<int>(n);
            } else if (a == "--seed") {
                seed = static_cast<std::uint32_t>(n);
            } else {
                if (n > 1000) return Usage();
                corrupt = static_cast<int>(n);
            }
        } else if (a == "--station") {
            Station st;
            char net[16] = {};
            if (!value(v) || std::sscanf(v.c_str(), "%d:%d:%15s", &st.code, &st.rate, net) != 3 || st.code < 1 ||
                st.code > 255 || st.rate < 0 || st.rate > 100)
                return Usage();
            if (std::strcmp(net, "-") == 0) {
                st.networkId = -1;
            } else {
                char* end = nullptr;
                long id = std::strtol(net, &end, 0);
                if (*end || id < 0 || id > 255) return Usage();
                st.networkId = static_cast<int>(id);
            }
            stations.push_back(st);
        } else {
            return Usage();
        }
    }
    if (root.empty() || serve == !out.empty() || (serve && !merge.empty())) return Usage();
    if (stations.empty()) stations.push_back(Station{});

    DeviceRoot::SetRoot(root);
    std::u16string folder;
    std::string error, table;
    if (!FindMapDataFolder(folder, error)) {
        std::fprintf(stderr, "velko-darcsynth: %s\n", error.c_str());
        return 2;
    }
    if (!InputFile::ReadAll(DeviceRoot::Resolve(folder + u"\\MRDATA\\DARCLINK.bin"), 64u << 20, table, error)) {
        std::fprintf(stderr, "velko-darcsynth: no broadcast link table: %s\n", error.c_str());
        return 2;
    }
    std::vector<std::uint32_t> ids;
    for (std::size_t at = 0; at + 4 <= table.size(); at += 4) ids.push_back(Le32(table, at));
    // The jam: every broadcast link that touches a junction named 가람IC in the road network.
    std::vector<int> jammed = LinksAt(folder, u"가람IC", static_cast<int>(ids.size()));
    Unit unit(ids, jammed, seed, bytesPerSecond, corrupt);
    darcsynth::ContentCounts counts;
    if (content) {
        std::vector<std::vector<std::uint8_t>> packets;
        if (!darcsynth::MakeContentPackets(folder, packets, counts, error)) {
            std::fprintf(stderr, "velko-darcsynth: content tables: %s\n", error.c_str());
            return 2;
        }
        unit.SetContent(std::move(packets));
    }
    const std::string closing(zarn::kFrameWindow, '\xFF');

    if (!serve) {
        std::string stream;
        if (!merge.empty()) {
            std::string log;
            if (!InputFile::ReadAll(merge, 1ull << 30, log, error)) {
                std::fprintf(stderr, "velko-darcsynth: %s\n", error.c_str());
                return 2;
            }
            if (!Merge(log, unit, stations.front(), stream, error)) {
                std::fprintf(stderr, "velko-darcsynth: %s: %s\n", merge.c_str(), error.c_str());
                return 2;
            }
        } else {
            for (int s = 0; s < seconds; ++s) stream += unit.Second(stations.front());
        }
        stream += closing;
        std::ofstream f(out, std::ios::binary | std::ios::trunc);
        f.write(stream.data(), static_cast<std::streamsize>(stream.size()));
        if (!f) {
            std::fprintf(stderr, "velko-darcsynth: cannot write %s\n", out.c_str());
            return 1;
        }
        unit.PrintSent();
        if (content) {
            if (!unit.ContentSent()) {
                std::fprintf(stderr, "velko-darcsynth: the stream is too short for the content\n");
                return 1;
            }
            darcsynth::PrintContentCounts(counts);
        }
        return 0;
    }

    PseudoTerminal pty;
    if (!pty.IsOpen()) {
        std::fprintf(stderr, "velko-darcsynth: no pseudo-terminal\n");
        return 1;
    }
    std::printf("device=%s\n", pty.DevicePath().c_str());
    std::fflush(stdout);
    std::size_t current = 0;
    std::string commands;
    const auto start = std::chrono::steady_clock::now();
    for (int s = 0; s < seconds; ++s) {
        std::string second = unit.Second(stations[current]);
        // Ten slices a second, listening for tuning commands in between.
        for (int slice = 0; slice < 10; ++slice) {
            std::size_t from = second.size() * static_cast<std::size_t>(slice) / 10;
            std::size_t to = second.size() * static_cast<std::size_t>(slice + 1) / 10;
            pty.Write(second.data() + from, to - from);
            auto due = start + std::chrono::milliseconds(100 * (s * 10 + slice + 1));
            char buf[64];
            while (std::chrono::steady_clock::now() < due) {
                auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
                std::size_t n = pty.Read(buf, sizeof buf, static_cast<int>(left.count()));
                commands.append(buf, n);
            }
            // A tuning command: 02 35 code check 03.
            for (std::size_t at; (at = commands.find('\x02')) != std::string::npos;) {
                if (commands.size() - at < 5) {
                    commands.erase(0, at);
                    break;
                }
                const auto* c = reinterpret_cast<const unsigned char*>(commands.data() + at);
                if (c[1] == 0x35 && c[4] == 0x03 && static_cast<unsigned char>(c[1] + c[2] + c[3]) == 0) {
                    std::printf("command code=%d\n", c[2]);
                    std::fflush(stdout);
                    bool found = false;
                    for (std::size_t k = 0; k < stations.size(); ++k)
                        if (stations[k].code == c[2]) {
                            current = k;
                            found = true;
                        }
                    if (!found) {
                        stations.push_back(Station{c[2], 0, -1}); // nothing on that frequency
                        current = stations.size() - 1;
                    }
                    commands.erase(0, at + 5);
                } else {
                    commands.erase(0, at + 1);
                }
            }
        }
    }
    pty.Write(closing.data(), closing.size());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::printf("station code=%d\n", stations[current].code);
    unit.PrintSent();
    return 0;
}
