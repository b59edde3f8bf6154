// velko-transitd: a bus route server and a subway route server on loopback that speak the route
// servers' protocols over a fictional network of the sample region, for tests and demos.
//   velko-transitd [--bus-port N] [--subway-port N] [--fault NAME]
// Ports 0 are chosen by the system. Prints "bus_port= subway_port=", then one "request kind=
// bytes=" and one "answer kind= status= routes=" line per question, and serves until its standard
// input closes. --fault makes every answer misbehave in one way (see kFaults).
#include "platform/base/Text.h"
#include "tools/transitd/TransitNetwork.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using transitd::Answer;
using transitd::TransitNetwork;
using transitd::TransitRoute;

namespace {

enum class Fault {
    None, WrongMagic, ShortHeader, ShortText, NegativeLength, HugeLength, SevenRoutes, NoBar, StopsBeyond,
    LongNames, LongNumbers, Silence, Close, Random, Unavailable
};

const struct {
    const char* name;
    Fault fault;
} kFaults[] = {
    {"wrong-magic", Fault::WrongMagic},       {"short-header", Fault::ShortHeader},
    {"short-text", Fault::ShortText},         {"negative-length", Fault::NegativeLength},
    {"huge-length", Fault::HugeLength},       {"seven-routes", Fault::SevenRoutes},
    {"no-bar", Fault::NoBar},                 {"stops-beyond", Fault::StopsBeyond},
    {"long-names", Fault::LongNames},         {"long-numbers", Fault::LongNumbers},
    {"silence", Fault::Silence},              {"close", Fault::Close},
    {"random", Fault::Random},                {"unavailable", Fault::Unavailable},
};

constexpr std::int32_t kMagic = 12345;

void PutBE(std::string& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<char>((v >> s) & 0xFF));
}

std::uint32_t GetBE(const unsigned char* p) {
    return (static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

std::string Hex(const std::string& bytes) {
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, out.empty() ? "%02X" : " %02X", c);
        out += b;
    }
    return out;
}

struct Server {
    const char* kind;
    bool subway;
    TransitNetwork network;
    int listenFd = -1;
    int port = 0;
};

class Responder {
public:
    Responder(const Server& server, Fault fault) : m_s(server), m_fault(fault) {}

    // The reply to a request; empty means close without answering.
    std::string Reply(const unsigned char* request) {
        std::int32_t coords[4];
        const int base = 16;
        for (int i = 0; i < 4; ++i) coords[i] = static_cast<std::int32_t>(GetBE(request + base + 4 * i));
        // The request's x values are in the servers' unit: map x = server x * 1.2.
        std::vector<TransitRoute> routes;
        const Answer a = m_s.network.Ask(static_cast<std::int32_t>(coords[0] * 12LL / 10), coords[1],
                                         static_cast<std::int32_t>(coords[2] * 12LL / 10), coords[3], routes);
        if (m_fault == Fault::SevenRoutes && !routes.empty())
            for (std::size_t i = 0, n = routes.size(); routes.size() < 7; ++i) routes.push_back(routes[i % n]);
        std::uint32_t status = StatusOf(a);
        if (m_fault == Fault::Unavailable) status = m_s.subway ? 0xC0000004u : static_cast<std::uint32_t>(-3);
        std::printf("answer kind=%s status=%d routes=%zu\n", m_s.kind, static_cast<int>(status), routes.size());
        std::fflush(stdout);
        if (status != OkStatus()) routes.clear();
        return Frame(status, routes);
    }

private:
    std::uint32_t OkStatus() const { return m_s.subway ? 0x80000005u : 0u; }

    std::uint32_t StatusOf(Answer a) const {
        switch (a) {
        case Answer::Ok: return OkStatus();
        case Answer::NoStartStop: return m_s.subway ? 0xC0000002u : static_cast<std::uint32_t>(-1);
        case Answer::NoDestStop: return m_s.subway ? 0xC0000003u : static_cast<std::uint32_t>(-2);
        case Answer::OutsideRegion: return m_s.subway ? 0xC0000000u : static_cast<std::uint32_t>(-4);
        case Answer::NoRoute: return m_s.subway ? 0xC0000005u : static_cast<std::uint32_t>(-5);
        }
        return 0;
    }

    std::string Name(const std::u16string& name) const {
        std::string n = Utf16ToCp949(name);
        if (m_fault == Fault::LongNames) n.resize(40, 'X');
        return n;
    }

    std::string Number(std::int64_t v) const {
        std::string n = std::to_string(v);
        if (m_fault == Fault::LongNumbers) n.resize(20, '7');
        return n;
    }

    std::string StopLine(const transitd::RouteStep& step) const {
        const transitd::TransitStop& stop = m_s.network.Stops()[static_cast<std::size_t>(step.stop)];
        const std::string sep = m_fault == Fault::NoBar && m_s.subway ? " " : "|";
        std::string line = Name(stop.name) + sep;
        if (m_s.subway) line += Utf16ToCp949(step.direction) + sep;
        line += Number(stop.x * 10LL / 12) + sep + Number(stop.y) + sep +
                Utf16ToCp949(m_s.network.Lines()[static_cast<std::size_t>(step.line)].name) + "\n";
        return line;
    }

    std::string Frame(std::uint32_t status, const std::vector<TransitRoute>& routes) const {
        std::string body;
        for (std::size_t r = 0; r < routes.size(); ++r) {
            std::string text;
            for (const auto& step : routes[r].steps) text += StopLine(step);
            std::int64_t lines = static_cast<std::int64_t>(routes[r].steps.size());
            if (m_fault == Fault::StopsBeyond && r == 0) lines += 1000;
            if (m_s.subway) {
                PutBE(body, 0);
                PutBE(body, static_cast<std::uint32_t>(lines));
                PutBE(body, static_cast<std::uint32_t>(routes[r].totalStops));
                PutBE(body, static_cast<std::uint32_t>(text.size()));
                body += text;
            } else {
                const std::string sep = m_fault == Fault::NoBar && r == 1 ? " " : "|";
                body += std::to_string(lines) + sep + std::to_string(routes[r].totalStops) + "\n" + text;
            }
        }
        std::uint32_t length = static_cast<std::uint32_t>(body.size());
        if (m_fault == Fault::NegativeLength) length = static_cast<std::uint32_t>(-16);
        if (m_fault == Fault::HugeLength) length = 1u << 30;
        std::string header;
        if (m_s.subway) {
            PutBE(header, status);
            PutBE(header, static_cast<std::uint32_t>(routes.size()));
            PutBE(header, length);
            PutBE(header, m_fault == Fault::WrongMagic ? kMagic + 1 : kMagic);
        } else {
            const std::int32_t magic = m_fault == Fault::WrongMagic ? kMagic + 1 : kMagic;
            for (int s = 0; s <= 24; s += 8) header.push_back(static_cast<char>((magic >> s) & 0xFF));
            PutBE(header, status);
            PutBE(header, 0);
            PutBE(header, static_cast<std::uint32_t>(routes.size()));
            PutBE(header, length);
        }
        switch (m_fault) {
        case Fault::ShortHeader: return header.substr(0, header.size() / 2);
        case Fault::ShortText: return header + body.substr(0, body.size() > 5 ? body.size() - 5 : 0);
        case Fault::NegativeLength: return header;
        case Fault::HugeLength: return header + body;
        default: return header + body;
        }
    }

    const Server& m_s;
    Fault m_fault;
};

int Listen(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int PortOf(int fd) {
    sockaddr_in a{};
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    return ntohs(a.sin_port);
}

// Reads exactly n bytes within a few seconds; false when the client stops short.
bool ReadRequest(int fd, unsigned char* buffer, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) return false;
        const ssize_t r = ::recv(fd, buffer + got, n - got, 0);
        if (r <= 0) return false;
        got += static_cast<std::size_t>(r);
    }
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: velko-transitd [--bus-port N] [--subway-port N] [--fault NAME]\nfaults:");
    for (const auto& f : kFaults) std::fprintf(stderr, " %s", f.name);
    std::fprintf(stderr, "\n");
    return 2;
}

bool ParsePort(const char* text, int& port) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!end || *end || v < 0 || v > 65535) return false;
    port = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int busPort = 0, subwayPort = 0;
    Fault fault = Fault::None;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return Usage();
        const char* v = argv[++i];
        if (a == "--bus-port") {
            if (!ParsePort(v, busPort)) return Usage();
        } else if (a == "--subway-port") {
            if (!ParsePort(v, subwayPort)) return Usage();
        } else if (a == "--fault") {
            bool known = false;
            for (const auto& f : kFaults)
                if (f.name == std::string(v)) {
                    fault = f.fault;
                    known = true;
                }
            if (!known) return Usage();
        } else {
            return Usage();
        }
    }
    Server servers[2] = {{"bus", false, TransitNetwork::Bus()}, {"subway", true, TransitNetwork::Subway()}};
    servers[0].listenFd = Listen(busPort);
    servers[1].listenFd = Listen(subwayPort);
    if (servers[0].listenFd < 0 || servers[1].listenFd < 0) {
        std::fprintf(stderr, "velko-transitd: cannot listen on the loopback ports: %s\n", std::strerror(errno));
        return 1;
    }
    for (Server& s : servers) s.port = PortOf(s.listenFd);
    std::printf("bus_port=%d subway_port=%d\n", servers[0].port, servers[1].port);
    std::fflush(stdout);

    std::mt19937 random(7);
    std::vector<int> held; // silent connections, kept open until their client gives up
    for (;;) {
        std::vector<pollfd> fds = {{0, POLLIN, 0}, {servers[0].listenFd, POLLIN, 0}, {servers[1].listenFd, POLLIN, 0}};
        for (int h : held) fds.push_back({h, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents) {
            char b[256];
            if (::read(0, b, sizeof b) <= 0) break;
        }
        for (std::size_t i = 3; i < fds.size(); ++i)
            if (fds[i].revents) {
                char b[256];
                if (::recv(fds[i].fd, b, sizeof b, 0) <= 0) {
                    ::close(fds[i].fd);
                    held.erase(std::find(held.begin(), held.end(), fds[i].fd));
                }
            }
        for (int k = 0; k < 2; ++k) {
            if (!fds[static_cast<std::size_t>(k) + 1].revents) continue;
            const int c = ::accept4(servers[k].listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (c < 0) continue;
            unsigned char request[40];
            const bool whole = ReadRequest(c, request, sizeof request);
            std::printf("request kind=%s bytes=%s\n", servers[k].kind,
                        Hex(std::string(reinterpret_cast<char*>(request), whole ? sizeof request : 0)).c_str());
            std::fflush(stdout);
            const bool valid = whole && (servers[k].subway ? GetBE(request + 12) == static_cast<std::uint32_t>(kMagic)
                                                           : request[0] == 0x39 && request[1] == 0x30);
            if (!valid || fault == Fault::Close) {
                ::close(c);
                continue;
            }
            if (fault == Fault::Silence) {
                held.push_back(c);
                continue;
            }
            std::string reply;
            if (fault == Fault::Random) {
                reply.resize(64);
                for (char& ch : reply) ch = static_cast<char>(random() & 0xFF);
            } else {
                reply = Responder(servers[k], fault).Reply(request);
            }
            ::send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
            ::close(c);
        }
    }
    for (int h : held) ::close(h);
    return 0;
}
