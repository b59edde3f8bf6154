// The search library's own string table: the captions and notices its dialogs show.
#pragma once

#include "platform/base/CString.h"

// Entry id of the table (1 to 26); an id the table does not hold gives an empty text.
CString SearchString(int id);

constexpr int kStrAreaCaption = 1; // 1 to 4: the area level captions
constexpr int kStrLotInput = 9;
constexpr int kStrChooseNearLot = 17;
constexpr int kStrEnterLot = 23;
constexpr int kStrBadLot = 26;
constexpr int kStrTelephone = 5;
constexpr int kStrAddress = 6;
constexpr int kStrNothingFound = 8;
constexpr int kStrNoSelection = 10;
constexpr int kStrNoOtherDetail = 20;
constexpr int kStrSetDestinationFirst = 21;
constexpr int kStrNoDetail = 22;
constexpr int kStrEnterText = 24;
constexpr int kStrCateCaption = 11; // 11 to 15: the category levels and the facility list
constexpr int kStrThemeTour = 16;
constexpr int kStrChooseCategory = 18;
constexpr int kStrNoFacilityNear = 19;
constexpr int kStrNotReady = 25;
