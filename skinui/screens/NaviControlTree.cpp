#include "skinui/screens/NaviControlTree.h"

#include "skinui/NaviPanel.h"
#include "skinui/controls/NaviItemList.h"
#include "skinui/controls/NaviRadioGroup.h"

namespace {

void Walk(NaviControl* at, NaviControl* root, const CString& prefix,
          const std::function<void(const CString&, NaviControl*, NaviControl*)>& visit) {
    auto each = [&](NaviControl* child) {
        if (!child) return;
        const CString path = prefix.IsEmpty() ? child->Name() : prefix + u"/" + child->Name();
        visit(path, child, at == root ? nullptr : at);
        Walk(child, root, path, visit);
    };
    if (auto* panel = dynamic_cast<NaviPanel*>(at)) {
        for (NaviControl* child : panel->GetChildren()) each(child);
    } else if (auto* list = dynamic_cast<NaviItemList*>(at)) {
        for (int i = 0; i < list->GetCount(); ++i) each(list->GetItem(i));
    } else if (auto* group = dynamic_cast<NaviRadioGroup*>(at)) {
        for (int i = 0; i < group->GetCount(); ++i) each(group->GetButton(i));
    }
}

} // namespace

void WalkControlTree(NaviControl* root,
                     const std::function<void(const CString&, NaviControl*, NaviControl*)>& visit) {
    if (root) Walk(root, root, CString(), visit);
}

void WalkControls(NaviControl* root, const std::function<void(const CString&, NaviControl*)>& visit) {
    WalkControlTree(root, [&](const CString& path, NaviControl* control, NaviControl*) { visit(path, control); });
}

NaviControl* FindControl(NaviControl* root, const CString& path) {
    NaviControl* found = nullptr;
    WalkControls(root, [&](const CString& at, NaviControl* control) {
        if (!found && at == path) found = control;
    });
    return found;
}
