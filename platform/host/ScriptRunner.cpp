#include "platform/host/ScriptRunner.h"

#include "platform/base/Clock.h"
#include "platform/base/Text.h"
#include "platform/files/DeviceRoot.h"
#include "platform/serial/PseudoTerminal.h"
#include "platform/threads/Threads.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string Hex(std::uint64_t v, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*llx", width, static_cast<unsigned long long>(v));
    return buffer;
}

// Log fields are tab-separated: tabs and line breaks inside a text become spaces.
std::string Field(const std::u16string& text) {
    std::string s = Utf16ToUtf8(text);
    for (char& c : s)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return s;
}

bool WriteText(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    return !ec;
}

bool ReadFeedFile(const std::string& path, std::vector<BYTE>& out) {
    // Only a plain file: opening a pipe would wait for a writer that may never come.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > (16 << 20)) return false;
    in.seekg(0, std::ios::beg);
    out.resize(static_cast<std::size_t>(size));
    return size == 0 || static_cast<bool>(in.read(reinterpret_cast<char*>(out.data()), size));
}

} // namespace

ScriptRunner::ScriptRunner(std::vector<ScriptCommand> commands, std::string outDir)
    : m_commands(std::move(commands)), m_outDir(std::move(outDir)),
      m_recorder(std::make_shared<SoundRecorder>()) {}

ScriptRunner::~ScriptRunner() = default;

bool ScriptRunner::Install(std::string* error) {
    for (const ScriptCommand& c : m_commands) {
        if (c.kind != ScriptCommand::Kind::SerialFeed || m_ports.count(c.port)) continue;
        auto pty = std::make_unique<PseudoTerminal>();
        if (!pty->IsOpen()) {
            if (error) *error = "cannot open a pseudo-terminal for COM" + std::to_string(c.port);
            return false;
        }
        DeviceRoot::OverrideSetting("com" + std::to_string(c.port), pty->DevicePath());
        m_ports[c.port] = std::move(pty);
    }
    std::error_code ec;
    std::filesystem::create_directories(m_outDir + "/frames", ec);
    if (ec) {
        if (error) *error = "cannot create " + m_outDir + "/frames";
        return false;
    }
    m_previousOutput = SoundGetOutput();
    SoundSetOutput(m_recorder);
    WinSetIdleHandler([this](int depth) { return Idle(depth); });
    SetLoopSleepHook([this](DWORD ms) { Sleep(ms); });
    // Answers at the head of the script are there before the program starts, for the boxes its
    // start-up shows before its message loop first idles.
    while (m_next < m_commands.size() && m_commands[m_next].kind == ScriptCommand::Kind::Answer) {
        Log("line " + std::to_string(m_commands[m_next].line) + ": answer (before the start)");
        m_answers.push_back(m_commands[m_next++].answer);
    }
    WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string& caption,
                                   UINT type) { return AnswerMessageBox(text, caption, type); });
    WinSetMessageBoxAnswerObserver([this](int answer) {
        // The box the script left to its buttons ends: its line gets the answer given.
        if (m_pendingBox >= 0 && static_cast<std::size_t>(m_pendingBox) < m_messageBoxes.size())
            m_messageBoxes[static_cast<std::size_t>(m_pendingBox)] += std::to_string(answer);
        m_pendingBox = -1;
    });
    return true;
}

void ScriptRunner::Uninstall() {
    WinSetIdleHandler(nullptr);
    SetLoopSleepHook(nullptr);
    WinSetMessageBoxHandler(nullptr);
    WinSetMessageBoxAnswerObserver(nullptr);
    SoundSetOutput(m_previousOutput);
}

void ScriptRunner::Log(const std::string& line) {
    m_hostLog.push_back(std::to_string(TheClock().TickCount()) + "\t" + line);
}

void ScriptRunner::Fail(const std::string& why) {
    if (m_failure.empty()) m_failure = why;
    Log("FAILED " + why);
    PostQuitMessage(3);
    m_quitPosted = true;
    m_next = m_commands.size();
    m_waitUntil = 0;
}

bool ScriptRunner::Snapshot(const std::string& name) {
    const std::string path = m_outDir + "/frames/" + name + ".png";
    WinComposeScreen();
    const bool ok = saveFrame ? saveFrame(path) : GdiSavePng(GdiGetScreenBitmap(), path);
    Log((ok ? "snapshot " : "snapshot FAILED ") + path);
    return ok;
}

int ScriptRunner::AnswerMessageBox(const std::u16string& text, const std::u16string& caption, UINT type) {
    if (m_answers.empty()) {
        m_messageBoxes.push_back(std::to_string(TheClock().TickCount()) + "\t" + Field(caption) + "\t" +
                                 Field(text) + "\t" + Hex(type, 4) + "\tunanswered");
        Fail("a message box the script does not answer: " + Field(text));
        return (type & 0x0F) == MB_OK ? IDOK : IDCANCEL;
    }
    int answer = m_answers.front();
    m_answers.pop_front();
    // The skinned message box's types: 3000 a question, 3001 a notice. Their answers are 4001
    // (yes, or the notice's one button) and 4002 (no); the script's yes/ok and no/cancel stand
    // for them.
    const bool skinned = type == kSkinnedQuestion || type == kSkinnedNotice;
    if (skinned && (answer == IDYES || answer == IDOK)) answer = 4001;
    if (skinned && (answer == IDNO || answer == IDCANCEL)) answer = 4002;
    // The box is on the screen while it is answered: its frame is msgbox-N (N counts from 1).
    Snapshot("msgbox-" + std::to_string(m_messageBoxes.size() + 1));
    std::string line = std::to_string(TheClock().TickCount()) + "\t" + Field(caption) + "\t" + Field(text) + "\t" +
                       (skinned ? std::to_string(type) : Hex(type, 4)) + "\t";
    // 0 leaves the box to its buttons (a tap in the script): the answer is written when it ends.
    if (answer > 0)
        line += std::to_string(answer);
    else
        m_pendingBox = static_cast<int>(m_messageBoxes.size());
    m_messageBoxes.push_back(line);
    return answer;
}

bool ScriptRunner::Idle(int modalDepth) {
    if (beforeStep) beforeStep();
    Clock& clock = TheClock();
    if (m_waitUntil) {
        const std::uint64_t now = clock.TickCount();
        if (now >= m_waitUntil) {
            m_waitUntil = 0;
            return true;
        }
        // Time moves to the next timer due inside the wait (or the wait's end), so each timer is
        // dispatched at its own time.
        std::uint64_t next = m_waitUntil;
        if (auto due = WinNextTimerDue()) next = std::min(next, std::max(*due, now + 1));
        MoveTime(now, next);
        return true;
    }
    if (m_next < m_commands.size()) {
        RunNext();
        return true;
    }
    if (!m_quitPosted) {
        if (modalDepth > 0) {
            Fail("the script ended while a modal loop waits for input");
            return true;
        }
        Log("script done");
        PostQuitMessage(0);
        m_quitPosted = true;
        return true;
    }
    // WM_QUIT was posted and the program still waits for messages: post it again (a nested loop
    // passes it on), but never wait forever.
    if (++m_idleAfterQuit > 1000) {
        Fail("the program keeps waiting after WM_QUIT");
        WriteLogs();
        std::fprintf(stderr, "velko host: %s\n", m_failure.c_str());
        std::_Exit(3);
    }
    PostQuitMessage(Failed() ? 3 : 0);
    return true;
}

void ScriptRunner::MoveTime(std::uint64_t now, std::uint64_t next) {
    if (next <= now) return;
    Clock& clock = TheClock();
    if (auto* sim = dynamic_cast<SimulatedClock*>(&clock)) {
        if (sim->IsHosted()) {
            // The workers whose time has come run until they sleep again; time then moves to
            // the earliest of their next deadlines, so each gets every one of its turns.
            sim->WaitQuiet();
            std::uint64_t deadline = 0;
            if (sim->NextDeadline(deadline) && deadline > now && deadline < next) next = deadline;
        }
        sim->Advance(next - now);
    } else {
        clock.Sleep(static_cast<DWORD>(next - now));
    }
}

void ScriptRunner::RunNext() {
    const ScriptCommand& c = m_commands[m_next++];
    Run(c);
    if (framesEachStep && !Failed()) {
        char name[32];
        std::snprintf(name, sizeof name, "step-%03d", ++m_step);
        // The frame shows the state before this command's effects are handled; the next
        // idle step (after the messages ran) would be the place for after-images.
        Snapshot(name);
    }
}

void ScriptRunner::Sleep(DWORD ms) {
    if (beforeStep) beforeStep();
    Clock& clock = TheClock();
    const std::uint64_t end = clock.TickCount() + ms;
    bool ran = false;
    for (;;) {
        const std::uint64_t now = clock.TickCount();
        if (m_waitUntil && now >= m_waitUntil) m_waitUntil = 0;
        // Waits and answers need nothing handled first: they run whenever they come; any other
        // command runs once a sleep, so the messages it causes are handled before the next.
        if (!m_waitUntil && !m_quitPosted && m_next < m_commands.size()) {
            const ScriptCommand::Kind kind = m_commands[m_next].kind;
            const bool quiet = kind == ScriptCommand::Kind::Wait || kind == ScriptCommand::Kind::Answer;
            if (quiet || !ran) {
                RunNext();
                ran = ran || !quiet;
                continue;
            }
        }
        if (now >= end) return;
        MoveTime(now, m_waitUntil ? std::min(end, m_waitUntil) : end);
    }
}

void ScriptRunner::Run(const ScriptCommand& c) {
    const std::string where = "line " + std::to_string(c.line) + ": ";
    switch (c.kind) {
    case ScriptCommand::Kind::Tap: {
        HWND down = WinInjectPen(WM_LBUTTONDOWN, c.x, c.y);
        WinInjectPen(WM_LBUTTONUP, c.x, c.y);
        Log(where + "tap " + std::to_string(c.x) + " " + std::to_string(c.y) + (down ? "" : " (dropped)"));
        break;
    }
    case ScriptCommand::Kind::PenDown:
        WinInjectPen(WM_LBUTTONDOWN, c.x, c.y);
        break;
    case ScriptCommand::Kind::PenMove:
        WinInjectPen(WM_MOUSEMOVE, c.x, c.y);
        break;
    case ScriptCommand::Kind::PenUp:
        WinInjectPen(WM_LBUTTONUP, c.x, c.y);
        break;
    case ScriptCommand::Kind::Key:
        if (c.keyMode != ScriptCommand::KeyMode::Up) keybd_event(c.vk, 0, 0, 0);
        if (c.keyMode != ScriptCommand::KeyMode::Down) keybd_event(c.vk, 0, KEYEVENTF_KEYUP, 0);
        Log(where + "key " + Hex(c.vk, 2));
        break;
    case ScriptCommand::Kind::Text:
        for (char16_t ch : c.text) WinInjectChar(ch);
        break;
    case ScriptCommand::Kind::Wait:
        if (c.ms) m_waitUntil = TheClock().TickCount() + c.ms;
        break;
    case ScriptCommand::Kind::Snapshot:
        if (!Snapshot(c.name)) Fail(where + "cannot write frame " + c.name);
        break;
    case ScriptCommand::Kind::Answer:
        m_answers.push_back(c.answer);
        break;
    case ScriptCommand::Kind::SerialFeed: {
        std::vector<BYTE> bytes;
        if (!ReadFeedFile(c.file, bytes)) {
            Fail(where + "cannot read " + c.file);
            break;
        }
        auto it = m_ports.find(c.port);
        if (it == m_ports.end() || it->second->Write(bytes.data(), bytes.size()) != bytes.size()) {
            Fail(where + "cannot feed COM" + std::to_string(c.port));
            break;
        }
        Log(where + "fed " + std::to_string(bytes.size()) + " bytes into COM" + std::to_string(c.port));
        break;
    }
    case ScriptCommand::Kind::Activate: {
        const std::u16string name = Utf8ToUtf16(c.name);
        HWND h = FindWindowW(name.c_str(), nullptr);
        if (!h) h = FindWindowW(nullptr, name.c_str());
        if (!h) {
            Fail(where + "no window " + c.name);
            break;
        }
        SetForegroundWindow(h);
        Log(where + "activate " + c.name);
        break;
    }
    case ScriptCommand::Kind::Quit:
        Log(where + "quit");
        PostQuitMessage(0);
        m_quitPosted = true;
        break;
    }
}

bool ScriptRunner::WriteLogs() const {
    std::string sounds;
    for (const SoundClip& clip : m_recorder->Clips()) {
        sounds += std::to_string(clip.startTick) + "\t" +
                  (clip.name.empty() ? std::string("memory") : Field(clip.name)) + "\t" +
                  std::to_string(clip.image.size()) + "\t" + std::to_string(clip.durationMs) + "\t" +
                  Hex(clip.flags, 8) + "\t" + Hex(SoundHash(clip.image), 8) + "\n";
    }
    std::string boxes;
    for (const std::string& line : m_messageBoxes) boxes += line + "\n";
    std::string host;
    for (const std::string& line : m_hostLog) host += line + "\n";
    if (!m_failure.empty()) host += "FAILURE\t" + m_failure + "\n";
    bool ok = WriteText(m_outDir + "/sounds.log", sounds);
    ok = WriteText(m_outDir + "/msgbox.log", boxes) && ok;
    ok = WriteText(m_outDir + "/host.log", host) && ok;
    return ok;
}
