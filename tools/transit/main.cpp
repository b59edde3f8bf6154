// velko-transit: asks a bus or subway route server for routes between two map points, or opens a
// saved transit route file, and prints the routes and their stops.
//   velko-transit bus|subway --host H --port P --from X,Y --to X,Y [--timeout S] [--save FILE]
//   velko-transit open FILE
// Prints result=, routes=, one "route i= stops= total=" line per route and one
// "stop route= i= name= x= y= line= [direction=]" line per stop (UTF-8, map units). Exit 0 with
// routes, 1 when the server or the file gave none, 2 for a wrong command line.
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/files/InputFile.h"
#include "transit/BusConnect.h"
#include "transit/SubConnect.h"
#include "transit/TransitFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Options {
    std::string command, host = "127.0.0.1", file, save;
    int port = -1, timeout = transit::kDefaultReplyTimeout;
    long long from[2] = {0, 0}, to[2] = {0, 0};
    bool haveFrom = false, haveTo = false;
};

int Usage() {
    std::fprintf(stderr, "usage: velko-transit bus|subway --host H --port P --from X,Y --to X,Y [--timeout S] "
                         "[--save FILE]\n       velko-transit open FILE\n");
    return 2;
}

bool ParseNumber(const std::string& text, long long low, long long high, long long& out) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || !end || *end || errno || v < low || v > high) return false;
    out = v;
    return true;
}

// Map coordinates: positive and inside 32 bits (0 means "no point" to the servers).
bool ParsePoint(const std::string& text, long long (&p)[2]) {
    const std::size_t comma = text.find(',');
    return comma != std::string::npos && ParseNumber(text.substr(0, comma), 1, 0xFFFFFFFFLL, p[0]) &&
           ParseNumber(text.substr(comma + 1), 1, 0xFFFFFFFFLL, p[1]);
}

bool Parse(int argc, char** argv, Options& o) {
    if (argc < 2) return false;
    o.command = argv[1];
    if (o.command == "open") {
        if (argc != 3) return false;
        o.file = argv[2];
        return true;
    }
    if (o.command != "bus" && o.command != "subway") return false;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return false;
        const std::string v = argv[++i];
        long long n = 0;
        if (a == "--host") {
            o.host = v;
        } else if (a == "--port") {
            if (!ParseNumber(v, 1, 65535, n)) return false;
            o.port = static_cast<int>(n);
        } else if (a == "--timeout") {
            if (!ParseNumber(v, 1, 3600, n)) return false;
            o.timeout = static_cast<int>(n);
        } else if (a == "--from") {
            if (!(o.haveFrom = ParsePoint(v, o.from))) return false;
        } else if (a == "--to") {
            if (!(o.haveTo = ParsePoint(v, o.to))) return false;
        } else if (a == "--save") {
            o.save = v;
        } else {
            return false;
        }
    }
    return o.port > 0 && o.haveFrom && o.haveTo;
}

// A host file as a device path: its folder becomes the device root.
std::u16string DevicePath(const std::string& hostPath) {
    const std::filesystem::path p = std::filesystem::absolute(hostPath);
    DeviceRoot::SetRoot(p.parent_path().string());
    return u"\\" + Utf8ToUtf16(p.filename().string());
}

std::string Utf8(const char* cp949) {
    return Cp949ToUtf8(cp949);
}

void PrintBus(const CBusConnect& c) {
    std::printf("routes=%d\n", c.GetRouteNum());
    for (int r = 0; r < c.GetRouteNum(); ++r) {
        std::printf("route i=%d stops=%d total=%d\n", r, c.GetStopNum(r), c.GetTotalStop(r));
        for (int i = 0; i < c.GetStopNum(r); ++i) {
            BusStopInfo s{};
            if (!c.GetStopInfo(r, i, s)) continue;
            std::printf("stop route=%d i=%d name=%s x=%d y=%d line=%s\n", r, i, Utf8(s.name).c_str(), s.x, s.y,
                        Utf8(s.line).c_str());
        }
    }
}

void PrintSubway(const CSubConnect& c) {
    std::printf("routes=%d\n", c.GetRouteNum());
    for (int r = 0; r < c.GetRouteNum(); ++r) {
        std::printf("route i=%d stops=%d total=%d\n", r, c.GetStopNum(r), c.GetTotalStop(r));
        for (int i = 0; i < c.GetStopNum(r); ++i) {
            SubLineInfo s{};
            if (!c.GetStationInfo(r, i, s)) continue;
            std::printf("stop route=%d i=%d name=%s x=%d y=%d line=%s direction=%s\n", r, i, Utf8(s.name).c_str(),
                        s.x, s.y, Utf8(s.line).c_str(), Utf8(s.direction).c_str());
        }
    }
}

template <class Connect>
int Ask(Connect& c, const Options& o) {
    c.Setup(Utf16ToCp949(Utf8ToUtf16(o.host)).c_str(), static_cast<short>(static_cast<std::uint16_t>(o.port)));
    c.SetReplyTimeout(o.timeout);
    const int result = c.Execute(static_cast<ULONG>(o.from[0]), static_cast<ULONG>(o.from[1]),
                                 static_cast<ULONG>(o.to[0]), static_cast<ULONG>(o.to[1]));
    c.Close();
    std::printf("result=%d\n", result);
    return result;
}

int Open(const Options& o) {
    // A saved answer is a few kilobytes; only a plain file is opened.
    constexpr std::uint64_t kMaxAnswerBytes = 16u << 20;
    InputFile file;
    std::string error;
    if (!file.Open(o.file, kMaxAnswerBytes, error)) {
        std::fprintf(stderr, "velko-transit: %s\n", error.c_str());
        return 2;
    }
    unsigned char kind = 0;
    if (file.Read(&kind, 1) < 0) kind = 0;
    file.Close();
    const std::u16string path = DevicePath(o.file);
    if (kind == transit::kSubwayFileKind) {
        CSubConnect c;
        const int ok = c.OpenRouteSub(path.c_str());
        std::printf("kind=subway\nresult=%d\n", ok ? 0 : 1);
        if (!ok) return 1;
        PrintSubway(c);
        return 0;
    }
    CBusConnect c; // anything else is read as a bus answer, which names what it is not
    const int ok = c.OpenRouteBus(path.c_str());
    std::printf("kind=bus\nresult=%d\n", ok ? 0 : 1);
    if (!ok) return 1;
    PrintBus(c);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) return Usage();
    transit::SetNoticeHandler([](const char16_t* text) {
        std::fprintf(stderr, "message=\"%s\"\n", Utf16ToUtf8(text).c_str());
    });
    if (o.command == "open") return Open(o);

    int result = 0;
    bool saved = true;
    if (o.command == "bus") {
        CBusConnect c;
        result = Ask(c, o);
        if (result == 0) {
            PrintBus(c);
            if (!o.save.empty()) saved = c.SaveRouteBus(DevicePath(o.save).c_str()) == 1;
        }
    } else {
        CSubConnect c;
        result = Ask(c, o);
        if (result == 0) {
            PrintSubway(c);
            if (!o.save.empty()) saved = c.SaveRouteSub(DevicePath(o.save).c_str()) == 1;
        }
    }
    if (!o.save.empty() && result == 0) std::printf("saved=%d\n", saved ? 1 : 0);
    return result == 0 && saved ? 0 : 1;
}
