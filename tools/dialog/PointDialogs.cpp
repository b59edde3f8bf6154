// The point dialogs: recent destinations and safe-driving points.
#include "app/RecentDestList.h"
#include "app/RecentDestTab.h"
#include "app/SafeDrivingDlg.h"
#include "app/SafePointList.h"
#include "platform/base/Text.h"
#include "tools/dialog/DialogSession.h"

namespace {

void PrintSelection(DialogSession& session, bool valid, const CSelectedPoint& point) {
    session.Print("selection.valid", valid ? 1 : 0);
    if (!valid) return;
    session.Print("selection.index", point.index);
    session.Print("selection.type", point.type);
    session.Print("selection.name", Cp949ToUtf8(std::string_view(point.name)));
    session.Print("selection.kind", point.kind);
    session.Print("selection.x", point.x);
    session.Print("selection.y", point.y);
}

// The rows the list showed when the dialog closed.
void PrintRows(DialogSession& session, const std::vector<CString>& rows) {
    session.Print("rows", static_cast<long long>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        session.Print("row." + std::to_string(i), Utf16ToUtf8(rows[i].GetString()));
}

} // namespace

void RunRecentDialog(DialogSession& session) {
    CRecentDestList& list = CRecentDestList::Instance();
    CRecentDestTab dialog(nullptr, list, session.recentFile);
    CSelectedPoint selection;
    selection.index = session.Int("row", 0);
    selection.type = session.Int("type", 4);
    dialog.SetSelection(selection);
    dialog.SetDirectRoute(session.Int("direct", 0) != 0);
    dialog.SetRcBuilder(session.builder);
    dialog.SetPanelName(u"최근목적지");
    dialog.DoModal();
    session.Print("result", dialog.GetResult());
    session.Print("tab", dialog.GetOpenedTab());
    PrintRows(session, dialog.GetRows());
    CSelectedPoint chosen;
    const bool valid = dialog.GetSelection(chosen);
    if (!valid) chosen = selection;
    PrintSelection(session, valid, chosen);
    session.Print("count.recent", list.GetCount());
}

void RunSafeDriveDialog(DialogSession& session) {
    CSafePointList& registered = CSafePointList::Added();
    CSafePointList& switchedOff = CSafePointList::Removed();
    CSafeDrivingDlg dialog(nullptr, registered, session.safePointFile, switchedOff, session.switchedOffFile);
    CSafePointSelection selection;
    selection.listKind = session.Int("kind", 0) != 0 ? 1 : 0;
    selection.index = session.Int("row", 0);
    selection.type = session.Int("type", 4);
    dialog.SetSelection(selection);
    dialog.SetDirectRoute(session.Int("direct", 0) != 0);
    dialog.SetRcBuilder(session.builder);
    dialog.SetPanelName(u"안전운행관리");
    dialog.DoModal();
    session.Print("result", dialog.GetResult());
    session.Print("button", Utf16ToUtf8(dialog.GetButtonName().GetString()));
    PrintRows(session, dialog.GetRows());
    CSafePointSelection chosen;
    const bool valid = dialog.GetSelection(chosen);
    if (!valid) chosen = selection;
    PrintSelection(session, valid, chosen);
    if (valid) session.Print("selection.list", chosen.listKind);
    session.Print("restored", dialog.WasRestored() ? 1 : 0);
    session.Print("count.safe", registered.GetCount());
    session.Print("count.safeoff", switchedOff.GetCount());
}
