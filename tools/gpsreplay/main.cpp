// velko-gpsreplay: plays a receiver log into a serial line at the pace it was recorded, so the
// program can be driven like a car.
//
//   velko-gpsreplay [--unit] [--rate FACTOR] [--loop] [--start-when FILE]
//                   (--pty [--link PATH] | --port COMn: [--root DIR] [--com N=PATH] [--baud B]) LOG
//
// LOG is NMEA text, receiver-unit frames (--unit), or the program's raw log ("Start_Log" header,
// skipped). Each second of the log (NMEA: sentences of one UTC time; unit: from one position
// frame to the next) is written in one go, one second apart (divided by --rate). With --pty the
// tool makes a pseudo-terminal, prints its device path, and --link makes a symlink to it (for
// instance DIR/dev/COM3, where the program looks for "COM3:" by default). --start-when holds the
// first second back until FILE exists (at most a minute), so a script can start the program on
// the line first and let the drive begin once the program has opened its port.
#include "platform/files/DeviceRoot.h"
#include "platform/files/Files.h"
#include "platform/files/InputFile.h"
#include "platform/serial/PseudoTerminal.h"
#include "position/SerialPort.h"
#include "position/ZarnReceiver.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

// The log is held in memory while it plays.
constexpr std::uint64_t kMaxLogBytes = 512u << 20;
constexpr double kMinRate = 1e-3, kMaxRate = 1000.0;

int Usage() {
    std::fprintf(
        stderr, "usage: velko-gpsreplay [--unit] [--rate FACTOR] [--loop] [--start-when FILE]\n"
                "         (--pty [--link PATH] | --port COMn: [--root DIR] [--com N=PATH] [--baud B]) LOG\n");
    return 2;
}

struct Epoch {
    std::size_t begin, end;
    double seconds; // time after the previous epoch
};

// Seconds of the day of an NMEA sentence's time field, or -1 for sentences without one.
int SentenceTime(const std::string& log, std::size_t begin, std::size_t end) {
    if (end - begin < 14 || log[begin] != '$') return -1;
    std::string type = log.substr(begin + 3, 3);
    if (type != "GGA" && type != "RMC" && type != "GLL" && type != "ZDA") return -1;
    std::size_t field = begin + 7;
    if (type == "GLL") {
        // The time is the fifth field.
        for (int commas = 0; commas < 4 && field < end; ++field)
            if (log[field] == ',') ++commas;
    }
    if (field + 6 > end) return -1;
    int v[6];
    for (int i = 0; i < 6; ++i) {
        char c = log[field + i];
        if (c < '0' || c > '9') return -1;
        v[i] = c - '0';
    }
    return (v[0] * 10 + v[1]) * 3600 + (v[2] * 10 + v[3]) * 60 + v[4] * 10 + v[5];
}

std::vector<Epoch> SplitNmea(const std::string& log, std::size_t start) {
    std::vector<Epoch> epochs;
    int current = -1;
    std::size_t begin = start;
    double gap = 0.0; // the first second goes out at once
    for (std::size_t at = start; at < log.size();) {
        std::size_t lf = log.find('\n', at);
        std::size_t end = lf == std::string::npos ? log.size() : lf + 1;
        int t = SentenceTime(log, at, end);
        if (t >= 0) {
            if (current >= 0 && t != current) {
                epochs.push_back({begin, at, gap});
                int delta = t - current;
                if (delta < 0) delta += 86400; // past midnight
                // Gaps in the log (a receiver switched off) are not waited out.
                gap = delta >= 1 && delta <= 10 ? delta : 1.0;
                begin = at;
            }
            current = t;
        }
        at = end;
    }
    if (begin < log.size()) epochs.push_back({begin, log.size(), gap});
    return epochs;
}

std::vector<Epoch> SplitUnit(const std::string& log, std::size_t start) {
    std::vector<Epoch> epochs;
    std::size_t begin = start;
    double gap = 0.0;
    for (std::size_t at = start + 1; at + 1 < log.size(); ++at) {
        if (static_cast<unsigned char>(log[at]) == zarn::kStx &&
            static_cast<unsigned char>(log[at + 1]) == zarn::kPositionFrame) {
            epochs.push_back({begin, at, gap});
            gap = 1.0;
            begin = at;
        }
    }
    if (begin < log.size()) epochs.push_back({begin, log.size(), gap});
    return epochs;
}

// --link only ever replaces its own earlier link: nothing at PATH, or a symbolic link to a
// pseudo-terminal device. A file or folder someone put there is never removed.
bool ReplaceableLink(const std::string& path) {
    std::error_code ec;
    std::filesystem::file_status status = std::filesystem::symlink_status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return true;
    if (ec || status.type() != std::filesystem::file_type::symlink) return false;
    std::string target = std::filesystem::read_symlink(path, ec).string();
    return !ec && target.compare(0, 9, "/dev/pts/") == 0 && target.size() > 9;
}

// Removes PATH only while it still is the link this run made to DEVICE.
void RemoveOwnLink(const std::string& path, const std::string& device) {
    std::error_code ec;
    if (std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::symlink) return;
    if (std::filesystem::read_symlink(path, ec).string() != device || ec) return;
    std::filesystem::remove(path, ec);
}

} // namespace

int main(int argc, char** argv) {
    bool unit = false, pty = false, loop = false;
    double rate = 1.0;
    std::string link, portName, root, logPath, startWhen;
    unsigned baud = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc) return false;
            v = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--unit")
            unit = true;
        else if (a == "--pty")
            pty = true;
        else if (a == "--loop")
            loop = true;
        else if (a == "--link") {
            if (!value(link)) return Usage();
        } else if (a == "--start-when") {
            if (!value(startWhen)) return Usage();
        } else if (a == "--port") {
            if (!value(portName)) return Usage();
        } else if (a == "--root") {
            if (!value(root)) return Usage();
        } else if (a == "--com") {
            std::size_t eq;
            if (!value(v) || (eq = v.find('=')) == std::string::npos || eq == 0) return Usage();
            DeviceRoot::OverrideSetting("com" + v.substr(0, eq), v.substr(eq + 1));
        } else if (a == "--rate") {
            if (!value(v)) return Usage();
            // Slower than a thousandth of the recorded pace, one record's wait (up to ten
            // seconds of log) would no longer fit the clock's count of microseconds.
            char* end = nullptr;
            rate = std::strtod(v.c_str(), &end);
            if (end == v.c_str() || *end != '\0' || !(rate >= kMinRate && rate <= kMaxRate)) {
                std::fprintf(stderr, "velko-gpsreplay: --rate %s: a factor from 0.001 to 1000 expected\n",
                             v.c_str());
                return Usage();
            }
        } else if (a == "--baud") {
            if (!value(v)) return Usage();
            baud = static_cast<unsigned>(std::strtoul(v.c_str(), nullptr, 10));
        } else if (!a.empty() && a[0] == '-') {
            return Usage();
        } else if (logPath.empty()) {
            logPath = a;
        } else {
            return Usage();
        }
    }
    if (logPath.empty() || pty == !portName.empty()) return Usage();
    if (!link.empty() && !ReplaceableLink(link)) {
        std::fprintf(stderr,
                     "velko-gpsreplay: %s already exists and is not a link to a pseudo-terminal; "
                     "it is left alone\n",
                     link.c_str());
        return 2;
    }
    std::string log, error;
    if (!InputFile::ReadAll(logPath, kMaxLogBytes, log, error)) {
        std::fprintf(stderr, "velko-gpsreplay: %s\n", error.c_str());
        return 2;
    }
    std::size_t start = 0;
    if (log.compare(0, 9, "Start_Log") == 0) start = log.size() > 9 && log[9] == 0 ? 10 : 9;
    std::vector<Epoch> epochs = unit ? SplitUnit(log, start) : SplitNmea(log, start);
    if (epochs.empty()) {
        std::fprintf(stderr, "velko-gpsreplay: %s holds nothing to play\n", logPath.c_str());
        return 1;
    }

    PseudoTerminal terminal;
    CSerialPort port;
    if (pty) {
        if (!terminal.IsOpen()) {
            std::fprintf(stderr, "velko-gpsreplay: cannot make a pseudo-terminal\n");
            return 1;
        }
        if (!link.empty()) {
            std::error_code ec;
            std::filesystem::remove(link, ec);
            std::filesystem::create_symlink(terminal.DevicePath(), link, ec);
            if (ec) {
                std::fprintf(stderr, "velko-gpsreplay: cannot link %s: %s\n", link.c_str(),
                             ec.message().c_str());
                return 1;
            }
        }
        std::printf("%s\n", terminal.DevicePath().c_str());
        std::fflush(stdout);
    } else {
        if (!root.empty()) DeviceRoot::SetRoot(root);
        std::u16string name(portName.begin(), portName.end());
        if (!port.Open(name.c_str(), GENERIC_READ | GENERIC_WRITE) ||
            !port.Setup(baud ? baud : (unit ? 38400 : 4800), 8, 0, 0)) {
            std::fprintf(stderr, "velko-gpsreplay: cannot open %s (error %u)\n", portName.c_str(),
                         port.GetLastErrorCode());
            return 1;
        }
    }

    if (!startWhen.empty()) {
        std::error_code ec;
        for (int i = 0; i < 1200 && !std::filesystem::exists(startWhen, ec); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    auto next = std::chrono::steady_clock::now();
    do {
        for (const Epoch& e : epochs) {
            next += std::chrono::microseconds(static_cast<long long>(e.seconds * 1e6 / rate));
            std::this_thread::sleep_until(next);
            const char* bytes = log.data() + e.begin;
            std::size_t size = e.end - e.begin;
            std::size_t sent = pty ? terminal.Write(bytes, size, 3600 * 1000)
                                   : static_cast<std::size_t>(port.Write(bytes, static_cast<int>(size)));
            if (sent != size) {
                std::fprintf(stderr, "velko-gpsreplay: the line stopped taking bytes\n");
                if (!link.empty()) RemoveOwnLink(link, terminal.DevicePath());
                return 1;
            }
        }
    } while (loop);
    // Give the other side a moment to read the last second before the line goes away.
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long long>(1000 / rate)));
    if (!link.empty()) RemoveOwnLink(link, terminal.DevicePath());
    return 0;
}
