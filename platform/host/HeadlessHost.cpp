#include "platform/host/HeadlessHost.h"

#include "platform/window/Shell.h"

HeadlessHost::HeadlessHost(HostOptions options) : m_options(std::move(options)) {}

HeadlessHost::~HeadlessHost() = default;

bool HeadlessHost::Prepare(std::string* error) {
    std::vector<ScriptCommand> commands;
    if (!LoadScript(m_options.script, commands, error)) return false;
    m_runner = std::make_unique<ScriptRunner>(std::move(commands), m_options.outDir);
    m_runner->framesEachStep = m_options.framesEachStep;
    return true;
}

int HeadlessHost::Run(const std::function<int()>& app) {
    if (!m_runner) {
        m_error = "no script";
        return 3;
    }
    const bool ownClock = !TheClock().IsSimulated();
    // Time is the script's: it moves with the script's waits, and worker threads sleep until it
    // reaches their deadlines instead of moving it themselves (seven workers sleeping in turn
    // would otherwise race the clock days ahead within a few seconds of script).
    if (ownClock) {
        m_clock.SetHosted(true);
        InstallClock(&m_clock);
    }
    ShellCreateStandIns();
    if (!m_runner->Install(&m_error)) {
        ShellDestroyStandIns();
        if (ownClock) InstallClock(nullptr);
        return 3;
    }
    const int code = app();
    m_runner->Uninstall();
    m_runner->WriteLogs();
    ShellDestroyStandIns();
    if (ownClock) InstallClock(nullptr);
    return m_runner->Failed() ? 3 : code;
}

bool HeadlessHost::Failed() const {
    return !m_error.empty() || (m_runner && m_runner->Failed());
}

std::string HeadlessHost::Failure() const {
    if (!m_error.empty()) return m_error;
    return m_runner ? m_runner->Failure() : std::string();
}
