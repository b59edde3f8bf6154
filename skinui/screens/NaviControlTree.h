// Walks a built screen: a panel's children, an item list's pages and a radio group's buttons,
// depth first in the order they were added, each with its path of names from the root.
#pragma once

#include "platform/base/CString.h"

#include <functional>

class NaviControl;

// Calls visit(path, control) for every control below root (root itself excluded). The path is
// the names from root's children down joined with "/".
void WalkControls(NaviControl* root, const std::function<void(const CString& path, NaviControl* control)>& visit);
// The same walk, with the control each one was found in (null for root's own children).
void WalkControlTree(NaviControl* root,
                     const std::function<void(const CString& path, NaviControl* control, NaviControl* parent)>& visit);
// The first control (in walk order) whose path is path, or null.
NaviControl* FindControl(NaviControl* root, const CString& path);
