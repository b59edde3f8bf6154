// Host scripts: one command a line, '#' starts a comment.
//   tap X Y                 pen down and up at a screen point
//   pen down|move|up X Y    one pen event
//   key NAME [down|up]      a hardware key (LEFT, RETURN, APP1, A, 7, 0xC1 ...), pressed and released
//   text "..."              characters straight to the focus (UTF-8, \" \\ \n escapes)
//   wait MS                 lets MS milliseconds of simulated time pass, firing timers on the way
//   snapshot NAME           writes the screen as frames/NAME.png
//   answer yes|no|ok|cancel|retry|abort|ignore|N   the answer to the next message box (0 leaves
//                           it to its buttons, tapped later; a skinned box takes yes/ok as 4001,
//                           no/cancel as 4002); answers at the head of the script are taken
//                           before the program starts, for the boxes of its start-up
//   serial feed COMn FILE   sends FILE's bytes (relative to the script) into port COMn
//   activate NAME           brings a top-level window (class or title) to the front, as the
//                           shell does when the user switches programs
//   quit                    posts WM_QUIT
#pragma once

#include "platform/base/WinTypes.h"

#include <string>
#include <vector>

struct ScriptCommand {
    enum class Kind {
        Tap,
        PenDown,
        PenMove,
        PenUp,
        Key,
        Text,
        Wait,
        Snapshot,
        Answer,
        SerialFeed,
        Activate,
        Quit
    };
    Kind kind = Kind::Quit;
    int line = 0;
    int x = 0;
    int y = 0;
    BYTE vk = 0;
    enum class KeyMode { Press, Down, Up } keyMode = KeyMode::Press;
    std::u16string text;
    DWORD ms = 0;
    std::string name; // snapshot name, window name
    int answer = 0;
    int port = 0;
    std::string file; // host path
};

// Parses a whole script; on failure error names the line and the problem.
bool ParseScript(const std::string& text, const std::string& baseDir, std::vector<ScriptCommand>& out,
                 std::string* error);
bool LoadScript(const std::string& path, std::vector<ScriptCommand>& out, std::string* error);
// The virtual key of a key name, 0 when unknown.
BYTE KeyFromName(const std::string& name);
