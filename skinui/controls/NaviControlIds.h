// Command ids the selection controls, labels and lists send and understand.
#pragma once

#include "skinui/NaviCommand.h"

constexpr int kCmdSetLabelText = 107;  // to a label: the text becomes the command's text
constexpr int kCmdHide = 2009;         // to "DIALOG": the named control hides
constexpr int kCmdShow = 2010;         // to "DIALOG": the named control shows
constexpr int kCmdSelect = 2014;       // to a control: select param1 (or set its state)
constexpr int kCmdComboDone = 2019;    // from a combo box: its popup is done
constexpr int kCmdPopupOpened = 2020;  // from the popup screen: it has opened
constexpr int kCmdAddRow = 2021;       // to a list or group: add a row named by the text
constexpr int kCmdPageList = 2024;     // to a scroll list: page forward (1) or back (-1)
constexpr int kCmdScrollStep = 2025;   // from a scroll list: one 30-pixel step was scrolled
constexpr int kCmdMarkShow = 2027;     // to a frame: show the mark
constexpr int kCmdDisable = 2028;      // hides a push button, enables a check box by param1, hides a frame
constexpr int kCmdCheck = 2032;        // to a check button: checked
constexpr int kCmdUncheck = 2033;      // to a check button: unchecked; to a group: clear the selection
constexpr int kCmdRenameRow = 2034;    // to a radio group: rename row param1
constexpr int kCmdSliderDisable = 2045;
constexpr int kCmdSliderEnable = 2046;
constexpr int kCmdSliderValue = 2047;  // disabled when param1 is 0, and the value becomes param1

inline constexpr const char16_t* kTargetMain = u"NaviMain";

// The main screen's indicators.
constexpr int kCmdRouteIdle = 100;       // no route guidance running
constexpr int kCmdRouteGuiding = 101;
constexpr int kCmdEventNormal = 103;     // event text in the normal bubble
constexpr int kCmdEventUpper = 104;      // event text, the bubble higher up
constexpr int kCmdEventHighlight = 105;  // event text in the highlighted bubble
constexpr int kCmdScreenSize = 106;      // param1 the new screen width, param2 its height
constexpr int kCmdEventHold = 112;       // event text kept for two redraws
constexpr int kCmdIndicatorHide = 113;
constexpr int kCmdIndicatorShow = 114;
constexpr int kCmdFollowCar = 2000;      // the map follows the car
constexpr int kCmdFollowOff = 2001;
constexpr int kCmdSimulationOn = 2002;
constexpr int kCmdSimulationOff = 2003;
constexpr int kCmdMenuBasic = 2004;
constexpr int kCmdMenuAdvanced = 2005;
constexpr int kCmdMenuMine = 2006;
constexpr int kCmdViewMode = 2035;       // param1 the map's view mode
