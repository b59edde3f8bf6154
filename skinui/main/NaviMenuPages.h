// Builders other screens share: the pages of the advanced menu and the row of buttons at the foot
// of message boxes, question boxes and some search screens.
#pragma once

#include "platform/base/CString.h"

class NaviListener;
class NaviMenuPage;
class NaviPanel;
class NaviRcBuilder;

// Row positions BuildMessageButtons understands in place of a y coordinate.
constexpr int kMessageRowLow = -1;     // y 256
constexpr int kMessageRowHigh = -2;    // y 224
constexpr int kMessageRowBottom = -3;  // y 276
constexpr int kMessageRowMiddle = -4;  // y 244

// A new, hidden page of the advanced menu named pageName with its entries (the caller owns it).
// A name that is no page gives an empty page.
NaviMenuPage* BuildAdvancedMenuPage(NaviRcBuilder* builder, const CString& pageName);

// The y a row code or coordinate stands for.
int MessageButtonRowY(int y);

// Adds one button (name2 null), three (name2 and name3 given) or two check buttons, named and
// labelled as given (texts may be null), left to right to panel at row y.
void BuildMessageButtons(NaviRcBuilder* builder, NaviPanel* panel, NaviListener* listener, int y,
                         const char16_t* name1, const char16_t* name2, const char16_t* name3,
                         const char16_t* text1, const char16_t* text2, const char16_t* text3);
