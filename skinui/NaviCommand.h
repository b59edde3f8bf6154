// The command record of the skinned user interface: who it is for, a text argument, the control
// a broadcast addresses, then the command id and two parameters (all three -1 when not set).
#pragma once

#include "platform/base/CString.h"

// Command ids the library core knows.
constexpr int kCmdPenDown = 1;     // target "LBUTTONDOWN": the pen went down at (param1, param2)
constexpr int kCmdShowControl = 2010; // to "DIALOG": control shown when param1 > 0, else hidden
constexpr int kCmdTapped = 2015;   // from a control: it was tapped
constexpr int kCmdComboTapped = 2018; // from a combo box: it was tapped

// The target that addresses every control of a panel.
inline constexpr const char16_t* kTargetDialog = u"DIALOG";

class NaviCommand {
public:
    NaviCommand() = default;
    NaviCommand(const NaviCommand& other) = default;
    NaviCommand& operator=(const NaviCommand& other) = default;
    ~NaviCommand() = default;

    CString target;
    CString text;
    CString control;
    int id = -1;
    int param1 = -1;
    int param2 = -1;
};
