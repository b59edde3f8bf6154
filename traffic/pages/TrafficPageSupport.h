// What the three traffic pages do alike: their messages, the page-up and page-down buttons, the
// SPEED / TIME pair, and a map move to a section of the list.
#pragma once

#include "platform/window/PropertySheet.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/pages/TrafficSectionList.h"

namespace trafficpage {

constexpr UINT kRefreshTimer = 1004;
constexpr const char16_t* kNoDatabase = u"교통정보 DB를 찾을수 없습니다";
constexpr const char16_t* kNothingSelected = u"선택된 항목이 없습니다.";
constexpr const char16_t* kCannotMove = u"지도이동을 할수가 없는 구간 입니다.";

// A notice box over the page.
void Notice(CWnd* page, const CString& text);

// UP enabled when the list's top row is not the first; DOWN when rows remain below the page.
void UpdateScrollButtons(TrafficSectionList* list, CWnd* page, int upId, int downId);

// The SPEED / TIME pair shares one place: the visible one names the mode in use (SPEED: speeds,
// unit 1; TIME: travel times, unit 0).
void ShowUnitButtons(CWnd* page, int speedId, int timeId, int unit);

// Sends the map to the section of a speed row: a place-name row (even) is refused with
// "선택된 항목이 없습니다.", a section at x or y 0 (the corner of its cell, not the section) with
// "지도이동을 할수가 없는 구간 입니다."; otherwise move gets the section's x, y, length and grid
// code, the page-state store the request and its flag, and the sheet is asked to close. True when
// the request went out.
bool RequestMapMove(CPropertyPage* page, TrafficSectionList* list, int row, sMOVEMAP* move);

// Return and Escape are the sheet's to ignore on these pages.
bool IsSwallowedKey(const MSG* msg);

// The list as every traffic page makes it: one column, full-row selection, white background,
// the header disabled, the focus on the list.
bool CreateList(TrafficSectionList* list, CWnd* page, const RECT& rect, UINT id, const CString& caption, int width,
                int format = LVCFMT_LEFT);

} // namespace trafficpage
