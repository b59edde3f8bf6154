// The script mode of velko-skinshot: a named screen in a skinned dialog, run under the headless
// host (or the SDL host), every command that reaches the dialog's listener logged as key=value.
#pragma once

#include <string>

struct SkinDialogRunOptions {
    std::string screen; // UTF-8
    std::string script; // host path
    std::string outDir;
    bool sdl = false;
};

// The host's exit code: 0 when the script ran through, 2 when it cannot be used, 3 when it failed.
int RunSkinDialog(const SkinDialogRunOptions& options);
