// The point registration dialog and the registered-point tab. For registration, settings: x= and y= (network coordinates), name=, folder=,
// symbol=, voice=, row= (the selected folder row), editonly=1, folderonly=1; action=safe or
// action=removed adds the point to a safe-driving list with values=A,B,C instead of showing the
// dialog.
#include "app/PointRegDlg.h"
#include "app/PointTabDlg.h"
#include "app/PositionStore.h"
#include "app/SafePointList.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "tools/dialog/DialogSession.h"

#include <cstdio>

namespace {

CString Text(const DialogSession& session, const std::string& key) {
    const auto it = session.settings.find(key);
    return it == session.settings.end() ? CString() : CString(Utf8ToUtf16(it->second).c_str());
}

} // namespace

void RunPointRegDialog(DialogSession& session) {
    CPositionStore& store = CPositionStore::Instance();
    store.SetBaseFolder(CNaviConfig::GetInstance()->GetItemPath(u"현재저장위치", -1));
    store.Reload();
    CPointRegDlg dialog(nullptr);
    dialog.SetPosition(session.Int("x", -1), session.Int("y", -1));
    dialog.SetName(Text(session, "name"));
    if (session.settings.count("folder")) dialog.SetTargetFolder(Text(session, "folder"));
    dialog.SetSelectedFolderRow(session.Int("row", 0));
    dialog.SetSymbol(session.Int("symbol", 0));
    dialog.SetVoice(session.Int("voice", 0));
    dialog.SetEditOnly(session.Int("editonly", 0) != 0);
    dialog.SetFolderOnly(session.Int("folderonly", 0) != 0);
    const auto action = session.settings.find("action");
    if (action != session.settings.end() && (action->second == "safe" || action->second == "removed")) {
        unsigned a = 0, b = 0, c = 0;
        const auto values = session.settings.find("values");
        if (values != session.settings.end()) std::sscanf(values->second.c_str(), "%u,%u,%u", &a, &b, &c);
        const bool ok =
            action->second == "safe"
                ? dialog.AddSafeDrivePoint(static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b),
                                           static_cast<std::uint16_t>(c))
                : dialog.AddRemovedSafeDrivePoint(static_cast<std::uint16_t>(a),
                                                  static_cast<std::uint16_t>(b),
                                                  static_cast<std::uint16_t>(c));
        session.Print("added", ok ? 1 : 0);
        session.Print("count.safe", CSafePointList::Added().GetCount());
        session.Print("count.safeoff", CSafePointList::Removed().GetCount());
        return;
    }
    dialog.SetRcBuilder(session.builder);
    dialog.SetPanelName(u"지점등록");
    const INT_PTR code = dialog.DoModal();
    session.Print("code", code == IDOK ? "ok" : "cancel");
    session.Print("result", dialog.GetResult());
    session.Print("name", Utf16ToUtf8(dialog.GetName().GetString()));
    session.Print("folder", Utf16ToUtf8(dialog.GetTargetFolder().GetString()));
    session.Print("symbol", dialog.GetSymbol());
    session.Print("voice", dialog.GetVoice());
    session.Print("row", dialog.GetSelectedFolderRow());
    const std::vector<CString>& rows = dialog.GetFolderRows();
    session.Print("folders", static_cast<long long>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        session.Print("folder." + std::to_string(i), Utf16ToUtf8(rows[i].GetString()));
    session.Print("count.points", store.GetCount());
}

// The registered-point tab. Settings: row= and folderrow= (the rows the tab reopens on), type=
// (the point tab: 1 start, 2 destination, 3 waypoint, 4 move), direct=1 (a destination is set).
void RunPointTabDialog(DialogSession& session) {
    CPositionStore& store = CPositionStore::Instance();
    store.SetBaseFolder(CNaviConfig::GetInstance()->GetItemPath(u"현재저장위치", -1));
    store.Reload();
    CPointTabDlg dialog(nullptr);
    CPointTabDlg::ListState state;
    state.pointRow = session.Int("row", 0);
    state.folderRow = session.Int("folderrow", 0);
    state.type = session.Int("type", CPointDialogBase::kTypeMove);
    dialog.SetListState(state);
    dialog.SetDirectRoute(session.Int("direct", 0) != 0);
    dialog.SetRcBuilder(session.builder);
    dialog.SetPanelName(u"등록지점관리");
    dialog.DoModal();
    session.Print("result", dialog.GetResult());
    session.Print("folder", Utf16ToUtf8(dialog.GetCurrentFolder().GetString()));
    const std::vector<CString>& folders = dialog.GetFolderRows();
    session.Print("folders", static_cast<long long>(folders.size()));
    for (std::size_t i = 0; i < folders.size(); ++i)
        session.Print("folder." + std::to_string(i), Utf16ToUtf8(folders[i].GetString()));
    const std::vector<CPointTabDlg::PointRow>& points = dialog.GetPointRows();
    session.Print("points", static_cast<long long>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i)
        session.Print("point." + std::to_string(i),
                      Utf16ToUtf8(points[i].name.GetString()) + "\t" + Utf16ToUtf8(points[i].code.GetString()));
    std::int32_t x = 0, y = 0;
    CString name;
    const bool chosen = dialog.GetSelectedPoint(x, y, name);
    session.Print("chosen", chosen ? 1 : 0);
    if (chosen) {
        session.Print("chosen.name", Utf16ToUtf8(name.GetString()));
        session.Print("chosen.x", x);
        session.Print("chosen.y", y);
    }
    session.Print("count.points", store.GetCount());
}
