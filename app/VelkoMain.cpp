// velko: the navigator.
//   velko [--root DIR] [--headless SCRIPT --out DIR | --script SCRIPT] [--scale N] [--no-audio] [--builtin-font]
// --root     the device root (default: the sample device the build makes)
// --headless runs the script without a window and writes OUT/frames/, sounds.log, msgbox.log, host.log
// --script   runs the script in the SDL window (presenting every step); its frames and logs go to
//            --out DIR when given, else to the current folder
// --scale    the SDL window's pixels per screen pixel (default 2)
// --no-audio no SDL audio device
// --builtin-font  the small fixed font instead of the Korean system font (pixel-stable frames)
// Exit code: the program's (0 when it ended normally or another instance runs on the root), 2 on
// bad usage, 3 when a script failed.
#include "app/NaviApp.h"
#include "platform/files/DeviceRoot.h"
#include "platform/gdi/Gdi.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/SdlHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef VELKO_SAMPLE_DEVICE
#define VELKO_SAMPLE_DEVICE "sample"
#endif

namespace {

int Usage() {
    std::fprintf(stderr, "usage: velko [--root DIR] [--headless SCRIPT --out DIR | --script SCRIPT] [--scale N]\n"
                         "             [--no-audio] [--builtin-font]\n");
    return 2;
}

bool ToScale(const char* text, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < 1 || v > 8) return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::string root = VELKO_SAMPLE_DEVICE, headless, out, script;
    int scale = 2;
    bool audio = true, builtinFont = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--no-audio") audio = false;
        else if (a == "--builtin-font") builtinFont = true;
        else if (!v) return Usage();
        else if (a == "--root") root = argv[++i];
        else if (a == "--headless") headless = argv[++i];
        else if (a == "--out") out = argv[++i];
        else if (a == "--script") script = argv[++i];
        else if (a == "--scale") {
            if (!ToScale(argv[++i], scale)) return Usage();
        } else return Usage();
    }
    if (!headless.empty() && !script.empty()) return Usage();
    if (!headless.empty() && out.empty()) return Usage();
    if (!out.empty() && headless.empty() && script.empty()) return Usage();
    if (root.empty()) return Usage();
    DeviceRoot::SetRoot(root);
    if (builtinFont) GdiUseBuiltinFont(true);

    CNaviApp app;
    std::string error;
    if (!headless.empty()) {
        HostOptions options;
        options.script = headless;
        options.outDir = out;
        HeadlessHost host(options);
        if (!host.Prepare(&error)) {
            std::fprintf(stderr, "velko: %s\n", error.c_str());
            return 2;
        }
        const int code = host.Run([] { return AfxWinMain(); });
        if (host.Failed()) std::fprintf(stderr, "velko: %s\n", host.Failure().c_str());
        return code;
    }
    SdlHostOptions options;
    options.scale = scale;
    options.audio = audio;
    options.script = script;
    if (!out.empty()) options.outDir = out;
    SdlHost host(options);
    if (!host.Open(&error)) {
        std::fprintf(stderr, "velko: %s\n", error.c_str());
        return 2;
    }
    const int code = host.Run([] { return AfxWinMain(); });
    if (!host.Failure().empty()) std::fprintf(stderr, "velko: %s\n", host.Failure().c_str());
    return code;
}
