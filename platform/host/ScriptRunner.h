// Drives the UI thread's message loop from a script: each time the loop has nothing to do, the
// next command runs (input, waits in simulated time, snapshots, message-box answers, serial
// feeds). It also answers message boxes (writing the screen with the box as frames/msgbox-N.png),
// records every sound played and writes the logs.
// When the script is exhausted the run ends with WM_QUIT; when a modal loop is still waiting
// for input at that point, the run fails instead of hanging.
#pragma once

#include "platform/host/Script.h"
#include "platform/sound/Sound.h"
#include "platform/window/WindowHost.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class PseudoTerminal;

class ScriptRunner {
public:
    ScriptRunner(std::vector<ScriptCommand> commands, std::string outDir);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Writes the screen to a PNG file; set by the host.
    std::function<bool(const std::string& path)> saveFrame;
    // Called before each command (the SDL host presents and pumps its events here).
    std::function<void()> beforeStep;
    // Every command also writes a frame step-NNN.png.
    bool framesEachStep = false;

    // Opens the pseudo-terminals of the serial feeds (and maps their ports), installs the idle
    // handler on the calling thread, the message-box handler and the sound recorder.
    bool Install(std::string* error);
    void Uninstall();

    bool Failed() const { return !m_failure.empty(); }
    const std::string& Failure() const { return m_failure; }
    bool Finished() const { return m_next >= m_commands.size() && m_waitUntil == 0; }
    // sounds.log, msgbox.log and host.log in the output folder.
    bool WriteLogs() const;
    std::shared_ptr<SoundRecorder> Recorder() const { return m_recorder; }

    // The idle step (public for hosts that call it from their own idle handler).
    bool Idle(int modalDepth);
    // The user-interface thread sleeps ms inside a loop of its own (one that pumps its messages
    // itself instead of idling in GetMessage): the script goes on meanwhile. Time moves to the
    // sleep's end, stopping where a script wait ends and at every worker's deadline on the way;
    // each script command that falls due runs there, up to the first that needs the thread's
    // messages handled before the next (input, a snapshot), which waits for the next sleep or
    // idle. Installed as the thread's loop-sleep hook (SleepInLoop).
    void Sleep(DWORD ms);

private:
    void Run(const ScriptCommand& c);
    // Runs the next command, with its frame when every step gets one.
    void RunNext();
    // Moves time from now to next: in hosted simulated time the workers whose time has come run
    // until they sleep again first, and time stops at the earliest of their deadlines.
    void MoveTime(std::uint64_t now, std::uint64_t next);
    void Fail(const std::string& why);
    void Log(const std::string& line);
    int AnswerMessageBox(const std::u16string& text, const std::u16string& caption, UINT type);
    bool Snapshot(const std::string& name);

    std::vector<ScriptCommand> m_commands;
    std::string m_outDir;
    std::size_t m_next = 0;
    std::uint64_t m_waitUntil = 0;
    bool m_quitPosted = false;
    int m_idleAfterQuit = 0;
    std::string m_failure;
    std::deque<int> m_answers;
    std::vector<std::string> m_messageBoxes;
    int m_pendingBox = -1; // the line of a box left to its buttons
    std::vector<std::string> m_hostLog;
    std::shared_ptr<SoundRecorder> m_recorder;
    std::shared_ptr<SoundOutput> m_previousOutput;
    std::map<int, std::unique_ptr<PseudoTerminal>> m_ports;
    int m_step = 0;
};
