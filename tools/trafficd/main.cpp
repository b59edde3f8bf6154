// velko-trafficd: a loopback stand-in for the highway traffic server. It answers every
// connection's 100-byte request with a 32-bit record count in network byte order and that many
// 5-byte records (link id in network byte order, speed byte).
//
//   velko-trafficd [--port N] [--records FILE | --sample] [--reply 0|ffffffff|fffffffe] [--announce N]
//                  [--stall]
//
// --port 0 takes a free port; the port is printed first as port=N. --records reads "linkId speed"
// lines; --sample serves every expressway direction of the sample region under its broadcast
// link id with speeds 30-90; --reply sends only that count; --announce sends another count
// before the records;
// --stall sends the count and then nothing. Each request is logged as request=HEX.
#include "platform/files/InputFile.h"
#include "tools/mkdevice/BroadcastStage.h"
#include "tools/mkdevice/Networks.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Options {
    long port = 15006;
    std::string records;
    bool hasReply = false;
    std::uint32_t reply = 0;
    bool hasAnnounce = false;
    std::uint32_t announce = 0;
    bool stall = false;
    bool sample = false;
};

bool ParseUnsigned(const std::string& text, int base, unsigned long long limit, unsigned long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoull(text.c_str(), &end, base);
    return errno == 0 && end && *end == 0 && text[0] != '-' && value <= limit;
}

int Usage() {
    std::fprintf(stderr, "usage: velko-trafficd [--port N] [--records FILE | --sample] [--reply 0|ffffffff|fffffffe] "
                         "[--announce N] [--stall]\n");
    return 2;
}

void PutCount(std::string& out, std::uint32_t n) {
    out.push_back(static_cast<char>(n >> 24));
    out.push_back(static_cast<char>(n >> 16));
    out.push_back(static_cast<char>(n >> 8));
    out.push_back(static_cast<char>(n));
}

// A million records of "linkId speed" lines at most, with room for comments.
constexpr std::uint64_t kMaxRecordsFileBytes = 64u << 20;

bool ParseRecords(const std::string& text, std::string& records, std::uint32_t& count) {
    std::istringstream in(text);
    std::string line;
    count = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string id, speed, extra;
        if (!(fields >> id >> speed) || (fields >> extra)) return false;
        unsigned long long linkId = 0, value = 0;
        if (!ParseUnsigned(id, 10, 0xFFFFFFFFull, linkId) || !ParseUnsigned(speed, 10, 255, value)) return false;
        if (count == 1000000) return false;
        PutCount(records, static_cast<std::uint32_t>(linkId));
        records.push_back(static_cast<char>(value));
        ++count;
    }
    return true;
}

void SendAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

// Reads up to 100 bytes, giving up after 5 seconds of silence.
std::string ReadRequest(int fd) {
    std::string request;
    char buffer[100];
    while (request.size() < sizeof buffer) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer - request.size(), 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
    }
    return request;
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        unsigned long long v = 0;
        if (arg == "--stall" || arg == "--sample") {
            (arg == "--stall" ? o.stall : o.sample) = true;
            continue;
        }
        if (i + 1 >= argc) return Usage();
        const std::string value = argv[++i];
        if (arg == "--port") {
            if (!ParseUnsigned(value, 10, 65535, v)) return Usage();
            o.port = static_cast<long>(v);
        } else if (arg == "--records") {
            o.records = value;
        } else if (arg == "--reply") {
            if (value != "0" && value != "ffffffff" && value != "fffffffe") return Usage();
            ParseUnsigned(value, 16, 0xFFFFFFFFull, v);
            o.hasReply = true;
            o.reply = static_cast<std::uint32_t>(v);
        } else if (arg == "--announce") {
            if (!ParseUnsigned(value, 10, 0xFFFFFFFFull, v)) return Usage();
            o.hasAnnounce = true;
            o.announce = static_cast<std::uint32_t>(v);
        } else {
            return Usage();
        }
    }
    std::string records;
    std::uint32_t count = 0;
    if (!o.records.empty()) {
        std::string text, error;
        if (!InputFile::ReadAll(o.records, kMaxRecordsFileBytes, text, error)) {
            std::fprintf(stderr, "velko-trafficd: %s\n", error.c_str());
            return 2;
        }
        if (!ParseRecords(text, records, count)) {
            std::fprintf(stderr, "velko-trafficd: cannot read %s as \"linkId speed\" lines\n", o.records.c_str());
            return 2;
        }
    }
    if (o.sample) {
        if (!o.records.empty()) return Usage();
        // The broadcast link ids of the sample's expressway directions, as the device's link
        // table numbers them.
        mkdev::NetModel model = mkdev::BuildSampleRegion();
        for (const std::uint32_t id : mkdev::AssignBroadcastLinks(model)) {
            if (!(id & mkdev::kBroadcastHighwayBit)) continue;
            PutCount(records, id);
            records.push_back(static_cast<char>(30 + (count % 7) * 10));
            ++count;
        }
    }
    std::string reply;
    if (o.hasReply) {
        PutCount(reply, o.reply);
    } else {
        PutCount(reply, o.hasAnnounce ? o.announce : count);
        if (!o.stall) reply += records;
    }

    const int listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(listenFd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(o.port));
    if (listenFd < 0 || ::bind(listenFd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listenFd, 8) != 0) {
        std::fprintf(stderr, "velko-trafficd: cannot listen on port %ld\n", o.port);
        return 1;
    }
    socklen_t length = sizeof a;
    ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&a), &length);
    std::printf("port=%d\n", ntohs(a.sin_port));
    std::fflush(stdout);
    for (;;) {
        const int c = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) {
            if (errno == EINTR) continue;
            return 1;
        }
        const std::string request = ReadRequest(c);
        std::string hex;
        char byte[3];
        for (unsigned char ch : request) {
            std::snprintf(byte, sizeof byte, "%02x", ch);
            hex += byte;
        }
        std::printf("request=%s\n", hex.c_str());
        std::fflush(stdout);
        SendAll(c, reply);
        if (o.stall) {
            // Hold the connection until the client gives up.
            char sink[64];
            pollfd p{c, POLLIN, 0};
            while (::poll(&p, 1, 60000) > 0 && ::recv(c, sink, sizeof sink, 0) > 0) {
            }
        }
        ::close(c);
    }
}
