// velko-skinshot --main: the main screen's overlay on the device's skin.
#pragma once

// True when the command line asks for the main screen.
bool IsMainMode(int argc, char** argv);
// Runs it: 0 on success, 1 on a failure, 2 on bad usage.
int RunMainMode(int argc, char** argv);
