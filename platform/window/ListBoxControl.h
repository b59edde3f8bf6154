// The list box's state and the operations the combo box uses to drive its drop-down list.
#pragma once

#include "platform/window/ControlSupport.h"
#include "platform/window/ScrollBarSupport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nativectl {

struct ListItem {
    std::u16string text;
    std::uintptr_t data = 0;
};

struct ListBoxState : ControlState {
    std::vector<ListItem> items;
    int cur = -1;
    int top = 0;
    int itemHeight = 0; // 0 until measured
    int hextent = 0;
    DWORD lastTapTime = 0;
    int lastTapItem = -1;
    HWND combo = nullptr; // the combo box this list drops down for
    bool redraw = true;   // WM_SETREDRAW
    ScrollBarTrack bar;   // the vertical scroll bar (WS_VSCROLL) while the pen works it
};

bool OwnerDrawn(DWORD style);
int ListItemHeight(HWND hwnd, ListBoxState* s);
int ListVisibleCount(HWND hwnd, ListBoxState* s);
void ListClampTop(HWND hwnd, ListBoxState* s);
void PaintList(HWND hwnd, ListBoxState* s, HDC dc);
// A list box with WS_VSCROLL shows its bar while it holds more items than fit (a combo box's list
// has none); items then end where the bar begins.
bool ListBarShown(HWND hwnd, ListBoxState* s);
// The list messages (LB_...) a list box and a combo box answer alike; *handled false for others.
LRESULT ListMessage(HWND hwnd, ListBoxState* s, UINT message, WPARAM wParam, LPARAM lParam, bool hasStrings,
                    bool* handled);
// A tap at y selects the item there (a combo box's list hands it to its combo box).
void ListSelectAt(HWND hwnd, ListBoxState* s, int y, bool notify);

// Implemented by the combo box: a tap on its list selects index, or misses it and closes the list.
void ComboSelect(HWND hwnd, int index);
void ComboListCancel(HWND combo);

} // namespace nativectl
