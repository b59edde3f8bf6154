// The route dialogs: saving a route under a name and the saved-routes list.
#include "app/RouteSaveDlg.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "tools/dialog/DialogSession.h"

namespace {

// Keeps the list's rows as they were at the last event, before the closing one takes the list away.
class RowKeepingSaveDlg : public CRouteSaveDlg {
public:
    void ProcessEvent(NaviCommand& cmd) override {
        rows = ListedRoutes();
        CRouteSaveDlg::ProcessEvent(cmd);
        if (GetSafeHwnd()) rows = ListedRoutes();
    }
    std::vector<CString> rows;
};

void RunRouteSave(DialogSession& session, const char16_t* screen) {
    RowKeepingSaveDlg dialog;
    // The navigator keeps saved routes in the storage folder in use, as the device's settings say.
    dialog.SetRouteFolder(CNaviConfig::GetInstance()->GetItemPath(u"현재저장위치", -1) + u"\\");
    const auto name = session.settings.find("name");
    if (name != session.settings.end()) dialog.SetRouteName(CString(Utf8ToUtf16(name->second).c_str()));
    dialog.SetRcBuilder(session.builder);
    dialog.SetPanelName(screen);
    dialog.DoModal();
    session.Print("result", dialog.GetActionCode());
    session.Print("name", Utf16ToUtf8(dialog.GetRouteName().GetString()));
    session.Print("selected", Utf16ToUtf8(dialog.GetSelectedRoute().GetString()));
    session.Print("reverse", dialog.IsReverseSearch() ? 1 : 0);
    session.Print("location", dialog.GetChosenLocation());
    const std::vector<CString>& rows = dialog.rows;
    session.Print("rows", static_cast<long long>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        session.Print("row." + std::to_string(i), Utf16ToUtf8(rows[i].GetString()));
}

} // namespace

void RunRouteSaveDialog(DialogSession& session) { RunRouteSave(session, CRouteSaveDlg::kSaveScreen); }
void RunSavedRoutesDialog(DialogSession& session) { RunRouteSave(session, CRouteSaveDlg::kSavedScreen); }
