// Placing the soft input panel ("SipWndClass") and hiding or showing the shell's taskbar
// ("HHTaskbar") and input-panel button bar ("MS_SIPBUTTON"), so that the program can use the
// whole 240 x 320 screen and show the input panel where its dialogs expect it.
#pragma once

// The input panel at the screen's bottom edge; its default rectangle is set even without a
// panel window (then of height 0).
void MoveSipToScreenBottom();
// The input panel just above the button bar (at the bottom edge when there is no bar).
void MoveSipAboveMenuBar();
void HideTaskbar();
void ShowTaskbar();
void ShowSipButton();
void HideSipButton();
