// Decoding throughput of the NMEA decoder and the receiver unit's frame decoder, in bytes per
// second, over synthesised logs read in the reader thread's 2048-byte pieces; and of
// velko-gpsdecode's whole loop (reading a 7 MB log file, decoding, printing to /dev/null) beside
// the decoder alone on the same log.
#include "platform/files/InputFile.h"
#include "position/GpsLogSynth.h"
#include "position/NmeaParser.h"
#include "position/ZarnReceiver.h"

#include "tools/gpsdecode/LogDecoder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <type_traits>
#include <unistd.h>

namespace {

std::string Log(bool unit) {
    GpsSynthOptions o;
    o.points = {{46000000, 12960000}, {46050000, 12990000}, {46080000, 12950000}};
    o.speedKmh = 80.0;
    o.noiseMetres = 4.0;
    o.outages = {{2000.0, 2600.0}};
    o.unit = unit;
    return CGpsLogSynth(o).Generate();
}

template <class Decoder> void Feed(Decoder& decoder, const std::string& log, benchmark::State& state) {
    for (std::size_t at = 0; at < log.size(); at += 2048) {
        std::size_t n = log.size() - at < 2048 ? log.size() - at : 2048;
        int flags = decoder.PutData(log.data() + at, static_cast<int>(n));
        GpsPosRecord r;
        if (flags & kGpsNewPosition) decoder.GetPosition(&r);
        benchmark::DoNotOptimize(r);
        if constexpr (std::is_same_v<Decoder, CZarnReceiver>) {
            // The reader thread hands the traffic bytes on after every read.
            std::uint8_t traffic[CZarnReceiver::kBufferSize];
            int count = 0;
            decoder.GetTrafficBytes(traffic, &count);
            benchmark::DoNotOptimize(count);
        }
    }
    (void)state;
}

void BM_NmeaDecode(benchmark::State& state) {
    const std::string log = Log(false);
    for (auto _ : state) {
        CNmeaParser parser;
        Feed(parser, log, state);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(log.size()));
}
BENCHMARK(BM_NmeaDecode);

void BM_UnitDecode(benchmark::State& state) {
    const std::string log = Log(true);
    for (auto _ : state) {
        CZarnReceiver unit;
        Feed(unit, log, state);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(log.size()));
}
BENCHMARK(BM_UnitDecode);

// About 7 MB of NMEA: a long drive with noise and an outage, written once to a temporary file.
const std::string& LongLog() {
    static const std::string log = [] {
        GpsSynthOptions o;
        o.points = {{46000000, 12960000}, {46400000, 12990000}, {46380000, 12600000}, {46000000, 12620000}};
        o.speedKmh = 30.0;
        o.noiseMetres = 4.0;
        o.outages = {{2000.0, 2600.0}};
        std::string text = CGpsLogSynth(o).Generate();
        while (text.size() < 7000000) text += text;
        text.resize(7000000);
        return text;
    }();
    return log;
}

const std::string& LongLogFile() {
    static const std::string path = [] {
        std::string name = "/tmp/velko-bench-gps-XXXXXX";
        const int fd = ::mkstemp(name.data());
        if (fd >= 0) ::close(fd);
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        out << LongLog();
        return name;
    }();
    return path;
}

void BM_NmeaDecodeLongLog(benchmark::State& state) {
    const std::string& log = LongLog();
    for (auto _ : state) {
        CNmeaParser parser;
        Feed(parser, log, state);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(log.size()));
}
BENCHMARK(BM_NmeaDecodeLongLog)->Unit(benchmark::kMillisecond);

void BM_ToolDecodeLongLog(benchmark::State& state) {
    const std::string& path = LongLogFile();
    std::FILE* sink = std::fopen("/dev/null", "wb");
    long records = 0;
    for (auto _ : state) {
        InputFile file;
        std::string error;
        if (!file.Open(path, 1ull << 30, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        CLogDecoder decoder(false, false);
        if (!decoder.Run(file, sink, error)) state.SkipWithError(error.c_str());
        records = decoder.Records();
    }
    std::fclose(sink);
    state.counters["records"] = static_cast<double>(records);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(LongLog().size()));
}
BENCHMARK(BM_ToolDecodeLongLog)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!LongLogFile().empty()) std::remove(LongLogFile().c_str());
    return 0;
}
