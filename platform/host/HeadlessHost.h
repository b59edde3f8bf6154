// The headless host: runs the program's message loop from a script in simulated time, with the
// shell stand-ins in place, and writes PNG frames, the log of every sound played and the log of
// every message box shown with its answer (see ScriptRunner.h).
#pragma once

#include "platform/base/Clock.h"
#include "platform/host/ScriptRunner.h"

#include <functional>
#include <memory>
#include <string>

struct HostOptions {
    std::string script;       // host path of the script
    std::string outDir = "."; // frames/, sounds.log, msgbox.log, host.log
    bool framesEachStep = false;
};

class HeadlessHost {
public:
    explicit HeadlessHost(HostOptions options);
    ~HeadlessHost();
    // Reads the script; false with the reason when it cannot be used.
    bool Prepare(std::string* error);
    // Runs app (which runs the message loop) on the calling thread; its exit code, or 3 when the
    // script failed.
    int Run(const std::function<int()>& app);
    bool Failed() const;
    std::string Failure() const;
    ScriptRunner* Runner() { return m_runner.get(); }

private:
    HostOptions m_options;
    std::unique_ptr<ScriptRunner> m_runner;
    SimulatedClock m_clock;
    std::string m_error;
};
