// velko-darc: runs the broadcast receiver over a device root as the reception thread does:
// bytes from a recorded stream or a live port go to the receiver link, the frequency scanner's
// tuning commands go back to the port, and the stores are closed at the end.
//
//   velko-darc --root DIR (--stream FILE | --port COMn: [--com N=PATH] [--seconds N]) [--unit] [--links]
//              [--news] [--short] [--stock CODE] [--weather GROUP,DAY]
//
// With --unit the bytes are the combined receiver unit's: its GPS frames are cut out and only
// the pass-through bytes reach the receiver link. Prints key=value lines, then what the content
// stores hold; --news, --short, --stock and --weather print their texts (UTF-8).
#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "platform/files/InputFile.h"
#include "platform/files/MapDataFolder.h"
#include "position/SerialPort.h"
#include "position/ZarnReceiver.h"
#include "traffic/receiver/DARC.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Markup.h"
#include "traffic/receiver/ShortText.h"
#include "traffic/receiver/Stock.h"
#include "traffic/receiver/Traffic.h"
#include "traffic/receiver/Weather.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint64_t kMaxStreamBytes = 1ull << 30;

int Usage() {
    std::fprintf(stderr, "usage: velko-darc --root DIR (--stream FILE | --port COMn: [--com N=PATH] [--seconds N])\n"
                         "                  [--unit] [--links] [--news] [--short] [--stock CODE] [--weather GROUP,DAY]\n");
    return 2;
}

// One reception cycle's worth of work after bytes arrived: parse, then the scanner's commands
// in the reception thread's order.
class Reception {
public:
    explicit Reception(CSerialPort* port) : m_port(port) {}

    void Feed(const char* bytes, int count) {
        if (count <= 0) return;
        CDARC* darc = CDARC::instance();
        darc->SetDARCConnected(1);
        darc->SetData(bytes, static_cast<unsigned long>(count));
        int n = darc->ParseData();
        if (n > 0) m_packets += n;
        Tune();
    }

    void Tune() {
        CFreqScanner* scanner = CFreqScanner::instance();
        char command[8];
        unsigned long length = 0;
        if (scanner->IsScanMode() && !scanner->IsWaitingPacket() && scanner->GetNextSentence(command, length)) {
            Send(command, length);
            scanner->SetWaitFlag(1);
            if (!scanner->IsSearching()) scanner->StopSearch();
        }
        if (scanner->IsFreqChanged() && scanner->GetManualSentence(command, length)) {
            Send(command, length);
            if (scanner->IsScanMode()) scanner->StopSearch();
        }
    }

    long Packets() const { return m_packets; }
    long Commands() const { return m_commands; }

private:
    void Send(const char* command, unsigned long length) {
        ++m_commands;
        if (m_port) m_port->Write(command, static_cast<int>(length));
    }

    CSerialPort* m_port;
    long m_packets = 0;
    long m_commands = 0;
};

// Hands bytes to the reception, through the receiver unit's frame cutter when asked.
class Source {
public:
    Source(Reception& reception, bool unit) : m_reception(reception), m_unit(unit) {}
    void Put(const char* bytes, int count) {
        if (!m_unit) {
            m_reception.Feed(bytes, count);
            return;
        }
        // Small slices keep the unit's pass-through buffer from filling between drains.
        for (int at = 0; at < count; at += 256) {
            int n = count - at < 256 ? count - at : 256;
            m_zarn.PutData(bytes + at, n);
            std::uint8_t pass[CZarnReceiver::kBufferSize];
            int got = 0;
            m_zarn.GetTrafficBytes(pass, &got);
            m_reception.Feed(reinterpret_cast<const char*>(pass), got);
        }
    }

private:
    Reception& m_reception;
    bool m_unit;
    CZarnReceiver m_zarn;
};

// A store text on one line: CP949 to UTF-8, line breaks written as \r and \n.
std::string Line(const std::string& cp949) {
    std::string out;
    for (char c : Cp949ToUtf8(cp949)) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

void PrintContent(bool news, bool shortTexts, long stockCode, int weatherGroup, int weatherDay) {
    CMarkup* markup = CMarkup::instance();
    std::set<unsigned short> documents;
    markup->Queue(CMarkup::kBodies).ForEach([&](const MarkupEntry& e) { documents.insert(e.document); });
    int complete = 0;
    for (unsigned short d : documents) complete += markup->IsDocAvailable(d, 0, 3);
    std::printf("news heads=%d bodies=%d complete=%d\n", markup->Queue(CMarkup::kHeads).GetNum(),
                markup->Queue(CMarkup::kBodies).GetNum(), complete);
    CShortText* shortText = CShortText::instance();
    int byKind[4] = {};
    shortText->Queue().ForEach([&](const STSEntry& e) {
        if (e.kind >= 1 && e.kind <= 4) ++byKind[e.kind - 1];
    });
    for (int k = 0; k < 4; ++k) std::printf("short kind=%d count=%d\n", k + 1, byKind[k]);
    CStock* stock = CStock::instance();
    int quoted = 0, markets = 0;
    std::vector<std::string> stockLines;
    stock->readyTravel();
    char name[256];
    unsigned short code = 0;
    unsigned char suffix = 0;
    std::vector<std::pair<unsigned short, unsigned char>> items;
    for (std::memset(name, 0, sizeof name); stock->nextCode(name, sizeof name, code, suffix);
         std::memset(name, 0, sizeof name)) {
        SIM item;
        if (stock->getStockDataByCode(item, code, suffix)) ++quoted;
        if (code == stockCode) {
            char line[512];
            std::snprintf(line, sizeof line, "stock code=%u suffix=%u name=%s price=0x%04X volume=0x%06lX", code,
                          suffix, Line(name).c_str(), item.price, static_cast<unsigned long>(item.volume));
            stockLines.push_back(line);
        }
    }
    for (int m = 0; m < stock->GetMarketCount(); ++m) {
        MARKET_STATUS status;
        markets += stock->getMarketDataByCode(status, static_cast<unsigned char>(m));
    }
    std::printf("stocks quoted=%d markets=%d\n", quoted, markets);
    CWeather* weather = CWeather::instance();
    int received[3] = {};
    WIM w;
    for (int t = 0; t < 3; ++t)
        for (int i = 0; i < weather->GetRecordCount(t); ++i) {
            const unsigned short region = weather->GetRecordCode(t, i);
            if (t == 0) received[0] += weather->getWeatherByRegionAndDay(region, 0, w);
            if (t == 1)
                for (unsigned char d = 1; d <= 3; ++d) received[1] += weather->getWeatherByRegionAndDay(region, d, w);
            if (t == 2) received[2] += weather->getWeatherByRegionAndDay(region, 4, w);
        }
    std::printf("weather current=%d short=%d weekly=%d\n", received[0], received[1], received[2]);

    char text[CMarkup::kBodyTextSize];
    unsigned short number = 0;
    unsigned char serial = 0, unread = 0;
    if (news) {
        for (unsigned char kind = 1; kind <= 2; ++kind)
            while (markup->GetSentence(0, kind, text, number, serial, unread))
                std::printf("head kind=%d number=%u text=%s\n", kind, number, Line(text).c_str());
        for (unsigned short d : documents)
            if (markup->GetSentence(d, 3, text, number, serial, unread)) {
                std::printf("body document=%u text=%s\n", d, Line(text).c_str());
                markup->Queue(CMarkup::kBodies).Rewind();
            }
    }
    if (shortTexts) {
        int u = 0, kind = 0;
        while (shortText->getSentence(text, u, kind)) std::printf("short text=%s\n", Line(text).c_str());
    }
    for (const std::string& l : stockLines) std::printf("%s\n", l.c_str());
    if (weatherGroup >= 0) {
        CString report;
        if (weather->getLocalInfo(weatherGroup, weatherDay, &report)) {
            std::string r = report.ToUtf8();
            std::size_t at = 0;
            for (std::size_t end; (end = r.find("\r\n", at)) != std::string::npos; at = end + 2)
                std::printf("weather line=%s\n", r.substr(at, end - at).c_str());
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    std::string root, stream, port;
    double seconds = 10;
    bool unit = false, links = false, news = false, shortTexts = false;
    long stockCode = -1;
    int weatherGroup = -1, weatherDay = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--root") {
            if (!value(root)) return Usage();
        } else if (a == "--stream") {
            if (!value(stream)) return Usage();
        } else if (a == "--port") {
            if (!value(port)) return Usage();
        } else if (a == "--com") {
            std::size_t eq;
            if (!value(v) || (eq = v.find('=')) == std::string::npos || eq == 0) return Usage();
            DeviceRoot::OverrideSetting("com" + v.substr(0, eq), v.substr(eq + 1));
        } else if (a == "--seconds") {
            if (!value(v)) return Usage();
            seconds = std::atof(v.c_str());
            if (!(seconds > 0 && seconds <= 86400)) return Usage();
        } else if (a == "--unit") {
            unit = true;
        } else if (a == "--links") {
            links = true;
        } else if (a == "--news") {
            news = true;
        } else if (a == "--short") {
            shortTexts = true;
        } else if (a == "--stock") {
            char* end = nullptr;
            if (!value(v) || (stockCode = std::strtol(v.c_str(), &end, 10), *end) || stockCode < 0 || stockCode > 65535)
                return Usage();
        } else if (a == "--weather") {
            char tail = 0;
            if (!value(v) || std::sscanf(v.c_str(), "%d,%d%c", &weatherGroup, &weatherDay, &tail) != 2 ||
                weatherGroup < 0 || weatherGroup > 11 || weatherDay < 0 || weatherDay > 8)
                return Usage();
        } else {
            return Usage();
        }
    }
    if (root.empty() || stream.empty() == port.empty()) return Usage();
    DeviceRoot::SetRoot(root);
    std::u16string folder;
    std::string error;
    if (!FindMapDataFolder(folder, error)) {
        std::fprintf(stderr, "velko-darc: %s\n", error.c_str());
        return 2;
    }
    InputFile input;
    if (!stream.empty() && !input.Open(stream, kMaxStreamBytes, error)) {
        std::fprintf(stderr, "velko-darc: %s\n", error.c_str());
        return 2;
    }

    CTraffic* traffic = CTraffic::instance();
    CFreqScanner* scanner = CFreqScanner::instance();
    traffic->openFile(CString(folder));
    scanner->openFile(CString(folder));
    CMarkup::instance()->openFile(CString(folder));
    CShortText::instance()->openFile(CString(folder));
    CStock::instance()->openFile(CString(folder));
    CWeather::instance()->openFile(CString(folder));

    CSerialPort serial;
    if (!port.empty()) {
        if (!serial.Open(Utf8ToUtf16(port).c_str(), GENERIC_READ | GENERIC_WRITE) || !serial.Setup(38400, 8, 0, 0)) {
            std::fprintf(stderr, "velko-darc: cannot open %s (error %lu)\n", port.c_str(),
                         static_cast<unsigned long>(serial.GetLastErrorCode()));
            return 1;
        }
    }
    Reception reception(port.empty() ? nullptr : &serial);
    Source source(reception, unit);

    if (!stream.empty()) {
        std::vector<char> buffer(2048);
        for (long n; (n = input.Read(buffer.data(), buffer.size())) != 0;) {
            if (n < 0) {
                std::fprintf(stderr, "velko-darc: cannot read %s\n", stream.c_str());
                return 1;
            }
            source.Put(buffer.data(), static_cast<int>(n));
        }
    } else {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        std::vector<char> buffer(2048);
        while (std::chrono::steady_clock::now() < end) {
            int n = serial.Read(buffer.data(), static_cast<int>(buffer.size()));
            if (n < 0) {
                std::fprintf(stderr, "velko-darc: the port failed\n");
                return 1;
            }
            if (n > 0)
                source.Put(buffer.data(), n);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    CDARC* darc = CDARC::instance();
    unsigned char rate = 0, freq = 0;
    darc->GetReceiveRate(rate, freq);
    CString version;
    darc->GetVersionString(version);
    int connected = -1;
    darc->IsDARCConnected(connected);
    int received = 0;
    const int count = traffic->GetLinkCount();
    std::vector<std::string> lines;
    for (int i = 0; i < count && i <= 0xFFFF; ++i) {
        unsigned char speed = 0;
        if (!traffic->getRealSpeedByIdx(static_cast<unsigned short>(i), speed)) continue;
        ++received;
        if (!links) continue;
        unsigned long id = 0, colour = 0;
        traffic->getDarcIDByIdx(static_cast<unsigned short>(i), id);
        traffic->getLinkColorByIdx(static_cast<unsigned short>(i), colour);
        char line[96];
        std::snprintf(line, sizeof line, "link idx=%d id=%lu speed=%d colour=0x%06lX", i, id, speed, colour);
        lines.push_back(line);
    }
    std::printf("packets=%ld\nrate=%d\nfreq=%d\nversion=%s\nconnected=%d\nlinks=%d\nreceived=%d\nscan=%d\n"
                "searching=%d\ncommands=%ld\n",
                reception.Packets(), rate, freq, Utf16ToUtf8(version.GetString()).c_str(), connected, count, received,
                scanner->IsScanMode(), scanner->IsSearching(), reception.Commands());
    for (const std::string& l : lines) std::printf("%s\n", l.c_str());
    PrintContent(news, shortTexts, stockCode, weatherGroup, weatherDay);
    CMarkup::instance()->close();
    CShortText::instance()->close();
    CStock::instance()->close();
    CWeather::instance()->close();
    CMarkup::destruct();
    CShortText::destruct();
    CStock::destruct();
    CWeather::destruct();
    traffic->close();
    scanner->close();
    CDARC::destruct();
    CTraffic::destruct();
    CFreqScanner::destruct();
    return 0;
}
