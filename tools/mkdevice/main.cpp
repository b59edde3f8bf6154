// velko-mkdevice --out DIR [--network sample|fixture:NAME|national] [--seed N] [--voice-cache DIR]
#include "tools/mkdevice/DeviceBuilder.h"
#include "tools/mkdevice/Networks.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace {

int Usage() {
    std::fprintf(
        stderr,
        "usage: velko-mkdevice --out DIR [--network sample|fixture:NAME|national] [--seed N] [--voice-cache DIR] [--quiet]\n"
        "fixtures:");
    for (const std::string& n : mkdev::FixtureNames()) std::fprintf(stderr, " %s", n.c_str());
    std::fprintf(stderr, "\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    mkdev::DeviceOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--out") {
            const char* v = value();
            if (!v) return Usage();
            options.outDir = v;
        } else if (a == "--network") {
            const char* v = value();
            if (!v) return Usage();
            options.network = v;
        } else if (a == "--seed") {
            const char* v = value();
            if (!v) return Usage();
            char* end = nullptr;
            options.seed = std::strtoull(v, &end, 10);
            if (!end || *end) return Usage();
        } else if (a == "--voice-cache") {
            const char* v = value();
            if (!v) return Usage();
            options.voiceCache = v;
        } else if (a == "--quiet") {
            options.quiet = true;
        } else {
            return Usage();
        }
    }
    if (options.outDir.empty()) return Usage();
    if (options.voiceCache.empty()) {
        const char* env = std::getenv("VELKO_VOICE_CACHE");
        if (env && *env) options.voiceCache = env;
    }
    try {
        mkdev::BuildDevice(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velko-mkdevice: %s\n", e.what());
        return 1;
    }
    return 0;
}
