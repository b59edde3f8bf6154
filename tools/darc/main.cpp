// velko-darc: runs the broadcast receiver over a device root as the reception thread does:
// bytes from a recorded stream or a live port go to the receiver link, the frequency scanner's
// tuning commands go back to the port, and the stores are closed at the end.
//
//   velko-darc --root DIR (--stream FILE | --port COMn: [--com N=PATH] [--seconds N]) [--unit] [--links]
//
// With --unit the bytes are the combined receiver unit's: its GPS frames are cut out and only
// the pass-through bytes reach the receiver link. Prints key=value lines.
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
#include "traffic/receiver/Traffic.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint64_t kMaxStreamBytes = 1ull << 30;

int Usage() {
    std::fprintf(stderr, "usage: velko-darc --root DIR (--stream FILE | --port COMn: [--com N=PATH] [--seconds N])\n"
                         "                  [--unit] [--links]\n");
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

} // namespace

int main(int argc, char** argv) {
    std::string root, stream, port;
    double seconds = 10;
    bool unit = false, links = false;
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
    traffic->close();
    scanner->close();
    CDARC::destruct();
    CTraffic::destruct();
    CFreqScanner::destruct();
    return 0;
}
