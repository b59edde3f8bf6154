// The script modes of velko-skinshot, run under the headless host (or the SDL host): a named screen
// in the skinned common dialog, every command that reaches its listener logged to OUT/events.log,
// combo popups opened and closed as the dialogs do; or one skinned message box.
#pragma once

#include <string>

struct SkinDialogRunOptions {
    std::string screen; // UTF-8
    std::string script; // host path
    std::string outDir;
    bool sdl = false;
    int deviceType = 0; // the system page's device type and button count
    int buttons = 0;
};

// The host's exit code: 0 when the script ran through, 2 when it cannot be used, 3 when it failed.
int RunSkinDialog(const SkinDialogRunOptions& options);
// Shows text in a message box of type 3000 or 3001 and prints answer=CODE.
int RunMessageBox(const SkinDialogRunOptions& options, const std::string& text, int type);
