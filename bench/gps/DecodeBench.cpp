// Decoding throughput of the NMEA decoder and the receiver unit's frame decoder, in bytes per
// second, over synthesised logs read in the reader thread's 2048-byte pieces.
#include "position/GpsLogSynth.h"
#include "position/NmeaParser.h"
#include "position/ZarnReceiver.h"

#include <benchmark/benchmark.h>

#include <string>
#include <type_traits>

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

} // namespace

BENCHMARK_MAIN();
