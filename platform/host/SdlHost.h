// The SDL2 host: a real window showing the 240 x 320 screen scaled up, the mouse as the pen, keys
// as the hardware keys (F1 .. F4 are the application buttons) and text input, SDL audio for the
// sounds. The screen is presented whenever the loop is idle after painting. With a script it runs
// the script as the headless host does (in simulated time), presenting every step; snapshots
// are then read back from the rendered window.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct SdlHostOptions {
    int scale = 2;
    bool audio = true;
    std::string script; // empty: interactive
    std::string outDir = ".";
    std::string title = "Velko";
};

class SdlHost {
public:
    explicit SdlHost(SdlHostOptions options);
    ~SdlHost();
    SdlHost(const SdlHost&) = delete;
    SdlHost& operator=(const SdlHost&) = delete;

    // Starts SDL video (and audio), opens the window; false with the reason when SDL cannot.
    bool Open(std::string* error);
    // Runs app (which runs the message loop) on the calling thread; its exit code, or 3 when a
    // script failed.
    int Run(const std::function<int()>& app);
    // The presented frame read back from the window, one 0x00RRGGBB value per screen pixel.
    bool ReadFrame(std::vector<std::uint32_t>& pixels, int* width, int* height);
    std::string Failure() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
