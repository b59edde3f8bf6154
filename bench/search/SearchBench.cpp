// The name search on a national-scale name database (about 1,000,000 seeded names, written once
// into $VELKO_BENCH_SEARCH, default a folder under the system's temporary folder). The name
// dialog searches on every key release: every prefix of 1,000 seeded names, typed character by
// character, is timed through the prefix search and the first 12 rows of its list. Reports the
// 95th percentile and the worst time per key. Also reported: the expanded (word) search, which
// one button press starts.
#include "platform/files/DeviceRoot.h"
#include "search/NameSearcher.h"
#include "search/SearchFormat.h"
#include "tools/mkdevice/SearchStage.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kNameSeed = 2026;
constexpr std::uint32_t kPickSeed = 7;
constexpr int kNames = 1000;

std::filesystem::path Root() {
    const char* env = std::getenv("VELKO_BENCH_SEARCH");
    const std::filesystem::path root = env ? env : (std::filesystem::temp_directory_path() / "velko_bench_search");
    const std::filesystem::path db = root / "SearchDB";
    if (!std::filesystem::exists(db / "nVelko.db")) {
        std::fprintf(stderr, "writing the national name database into %s ...\n", db.string().c_str());
        mkdev::WriteNationalNames(db.string(), kNameSeed);
    }
    return root;
}

// 1,000 names picked at random from the database's records.
std::vector<std::string> PickNames(const std::filesystem::path& db) {
    std::ifstream in(db, std::ios::binary);
    std::uint8_t header[84];
    in.read(reinterpret_cast<char*>(header), sizeof header);
    const std::uint32_t base = tolvik::Le32(header + 68), end = tolvik::Le32(header + 76);
    const std::uint32_t count = (end - base) / 40;
    std::mt19937 rng(kPickSeed);
    std::vector<std::string> out;
    for (int i = 0; i < kNames && count > 0; ++i) {
        char name[21] = {};
        in.seekg(base + 40ull * (rng() % count));
        in.read(name, 20);
        out.push_back(name);
    }
    return out;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

void TypedPrefixes(benchmark::State& state) {
    const std::filesystem::path root = Root();
    DeviceRoot::SetRoot(root.string());
    const std::vector<std::string> names = PickNames(root / "SearchDB" / "nVelko.db");
    CNameSearcher searcher;
    if (!searcher.Create() || !searcher.OpenOn(u"SearchDB\\nVelko.db", u"SearchDB\\AdminName.db")) {
        state.SkipWithError("the name database cannot be opened");
        return;
    }
    for (auto _ : state) {
        std::vector<double> ms;
        for (const std::string& name : names) {
            for (std::size_t at = 0; at < name.size();) {
                const auto c = static_cast<unsigned char>(name[at]);
                at += (c >= 0x21 && c <= 0x7F) ? 1 : 2;
                const std::string prefix = name.substr(0, std::min(at, name.size()));
                const auto t0 = std::chrono::steady_clock::now();
                int code = 0;
                if (searcher.SearchPrefix(prefix.c_str(), code)) {
                    NameHit hit;
                    for (int i = 0; i < 12 && i < searcher.GetCount(); ++i) searcher.GetHit(i, hit);
                }
                ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
                if (code != 2) state.SkipWithError("a prefix of a stored name found nothing");
            }
        }
        state.counters["keys"] = static_cast<double>(ms.size());
        state.counters["p95_ms"] = Percentile(ms, 0.95);
        state.counters["worst_ms"] = *std::max_element(ms.begin(), ms.end());
    }
}

void ExpandedSearch(benchmark::State& state) {
    const std::filesystem::path root = Root();
    DeviceRoot::SetRoot(root.string());
    const std::vector<std::string> names = PickNames(root / "SearchDB" / "nVelko.db");
    CNameSearcher searcher;
    if (!searcher.Create() || !searcher.OpenOn(u"SearchDB\\nVelko.db", u"SearchDB\\AdminName.db")) {
        state.SkipWithError("the name database cannot be opened");
        return;
    }
    for (auto _ : state) {
        std::vector<double> ms;
        for (int i = 0; i < 10; ++i) {
            // Two words: the middle of one name and the start of another.
            const std::string& a = names[static_cast<std::size_t>(i)];
            const std::string& b = names[static_cast<std::size_t>(i + 10)];
            const std::string query = a.substr(2, 4) + " " + b.substr(0, 4);
            const auto t0 = std::chrono::steady_clock::now();
            int code = 0;
            searcher.SearchExpanded(query.c_str(), code);
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
        state.counters["median_ms"] = Percentile(ms, 0.5);
        state.counters["worst_ms"] = *std::max_element(ms.begin(), ms.end());
    }
}

BENCHMARK(TypedPrefixes)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ExpandedSearch)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
