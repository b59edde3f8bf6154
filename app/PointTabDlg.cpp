#include "app/PointTabDlg.h"

#include "app/PointRegDlg.h"
#include "app/PositionStore.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/base/Text.h"
#include "position/Geometry.h"
#include "platform/window/Controls.h"

#include <algorithm>

namespace {
constexpr const char16_t* kTabs = u"등록지점_탭";
constexpr const char16_t* kPages = u"등록지점패널들";
} // namespace

CPointTabDlg::CPointTabDlg(CWnd* parent) : CPointDialogBase(kTemplate, parent) {}

void CPointTabDlg::SetListState(const ListState& state) {
    m_state = state;
    if (m_state.type == 0) m_state.type = kTypeMove;
}

bool CPointTabDlg::GetSelectedPoint(std::int32_t& x, std::int32_t& y, CString& name) const {
    if (!m_chosen) return false;
    x = m_x;
    y = m_y;
    name = m_name;
    return true;
}

CString CPointTabDlg::DorvaText(std::int32_t netX, std::int32_t netY) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (!NetToMapChecked(netX, netY, x, y)) return CString();
    DorvaCode code;
    if (!PosToDorva(static_cast<std::int32_t>(x * 0.8333333333333334), y, code)) return CString();
    CString text;
    text.Format(u"%03d-%03d-%01d%01d%01d%01d", code.fineX, code.fineY, code.sheetColumn, code.sheetRow,
                code.subColumn, code.subRow);
    return text;
}

void CPointTabDlg::AddTemplateItems(DialogTemplateInfo& info) {
    constexpr DWORD style =
        WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
    info.items.push_back({kListFolders, WC_LISTVIEW, RECT{11, 57, 78, 232}, style, u""});
    info.items.push_back({kListPoints, WC_LISTVIEW, RECT{77, 57, 229, 232}, style, u""});
}

void CPointTabDlg::OnOpen() {
    SendToPanel(kTabs, 2014, TabIndexForType(m_state.type));
    m_pointList.SubclassDlgItem(kListPoints, this);
    m_pointList.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_pointList.InsertColumn(0, u"명칭", LVCFMT_LEFT, 82);
    m_pointList.InsertColumn(1, u"DORVA", LVCFMT_LEFT, 70);
    m_folderList.SubclassDlgItem(kListFolders, this);
    m_folderList.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_folderList.InsertColumn(0, u"폴더", LVCFMT_LEFT, 65);
    FillLists();
}

void CPointTabDlg::FillLists() {
    CPositionStore& store = CPositionStore::Instance();
    m_points.clear();
    m_folderRows = store.GetFolderNames();
    if (m_folderList.m_hWnd) m_folderList.DeleteAllItems();
    if (m_pointList.m_hWnd) m_pointList.DeleteAllItems();
    for (int i = 0; i < static_cast<int>(m_folderRows.size()); ++i) {
        const CString folder = m_folderRows[static_cast<std::size_t>(i)];
        if (m_folderList.m_hWnd) {
            m_folderList.InsertItem(i, folder.GetString());
            if (i == m_state.folderRow)
                m_folderList.SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
        if (i != m_state.folderRow) continue;
        m_folder = folder;
        const CPosList* list = store.GetFolder(folder);
        for (int j = 0; list && j < list->GetCount(); ++j) {
            const CPosRecord* r = list->GetAt(j);
            if (!r) continue;
            PointRow row;
            row.row = j;
            row.x = r->x;
            row.y = r->y;
            row.name = FromCp949(r->name, CPosRecord::kNameSize);
            row.code = DorvaText(r->x, r->y);
            m_points.push_back(row);
        }
    }
    if (!m_pointList.m_hWnd) return;
    for (int j = 0; j < static_cast<int>(m_points.size()); ++j) {
        const PointRow& row = m_points[static_cast<std::size_t>(j)];
        m_pointList.InsertItem(j, row.name.GetString());
        m_pointList.SetItemText(j, 1, row.code.GetString());
        m_pointList.SetItemData(j, static_cast<std::uintptr_t>(j));
    }
    const int selected = std::max(0, m_state.pointRow);
    if (selected < static_cast<int>(m_points.size()))
        m_pointList.SetItemState(selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int CPointTabDlg::SelectedPointRow() const {
    if (!m_pointList.m_hWnd) return -1;
    const int row = m_pointList.GetNextItem(-1, LVNI_SELECTED);
    return row >= 0 && row < static_cast<int>(m_points.size()) ? row : -1;
}

BOOL CPointTabDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->code == NM_CLICK) {
        if (header->idFrom == static_cast<UINT_PTR>(kListFolders)) {
            m_listFocus = 1;
            const int row = m_folderList.GetNextItem(-1, LVNI_SELECTED);
            if (row >= 0) m_state.folderRow = row;
            m_state.pointRow = 0;
            FillLists();
            return TRUE;
        }
        if (header->idFrom == static_cast<UINT_PTR>(kListPoints)) {
            m_listFocus = 2;
            const int row = SelectedPointRow();
            if (row >= 0) m_state.pointRow = row;
            return TRUE;
        }
    }
    return CPointDialogBase::OnNotify(wParam, lParam, result);
}

void CPointTabDlg::OnOK() {
    NaviDialog::OnCancel();
}

void CPointTabDlg::Choose() {
    const int row = SelectedPointRow();
    if (row < 0) {
        Notify(AfxLoadString(218));
        return;
    }
    // The row's own item data: never the first point that happens to share its place.
    const PointRow& point = m_points[static_cast<std::size_t>(m_pointList.GetItemData(row))];
    m_x = point.x;
    m_y = point.y;
    m_name = point.name;
    m_state.pointRow = row;
    m_chosen = true;
    NaviDialog::OnOK();
}

void CPointTabDlg::DeletePoint() {
    const int row = SelectedPointRow();
    if (row < 0) {
        Notify(AfxLoadString(218));
        return;
    }
    const PointRow point = m_points[static_cast<std::size_t>(m_pointList.GetItemData(row))];
    CString question = AfxLoadString(10009);
    question.Replace(u"%1", point.name.GetString());
    MarkChildUp();
    if (Ask(question) != NaviMessageBox::kYes) return;
    if (!CPositionStore::Instance().RemoveAt(m_folder, point.row)) {
        Notify(AfxLoadString(10010));
        return;
    }
    const int left = static_cast<int>(m_points.size()) - 1;
    m_state.pointRow = row < left ? row : std::max(0, row - 1);
    FillLists();
}

void CPointTabDlg::EditPoint() {
    const int row = SelectedPointRow();
    if (row < 0) {
        Notify(AfxLoadString(218));
        return;
    }
    // The row's own point, found by its row in the folder (not the first one at its place).
    const PointRow point = m_points[static_cast<std::size_t>(m_pointList.GetItemData(row))];
    CPositionStore& store = CPositionStore::Instance();
    const CPosList* list = store.GetFolder(m_folder);
    const CPosRecord* stored = list ? list->GetAt(point.row) : nullptr;
    if (!stored) return;
    const CPosRecord old = *stored;
    m_chosen = true;
    CPointRegDlg edit(this);
    edit.SetRcBuilder(GetRcBuilder());
    edit.SetPanelName(u"지점등록");
    edit.SetName(point.name);
    edit.SetTargetFolder(m_folder);
    edit.SetPosition(point.x, point.y);
    edit.SetVoice(old.value1);
    edit.SetSymbol(old.value2);
    edit.SetEditOnly(true);
    MarkChildUp();
    if (edit.DoModal() != IDOK) {
        if (edit.GetResult() != CPointRegDlg::kResultBack) {
            m_result = edit.GetResult();
            Cancel();
        }
        return;
    }
    CPosRecord changed = old;
    changed.value1 = static_cast<std::uint8_t>(edit.GetVoice());
    changed.value2 = static_cast<std::uint8_t>(edit.GetSymbol());
    const std::string name = Utf16ToCp949(std::u16string_view(
        edit.GetName().GetString(), static_cast<std::size_t>(edit.GetName().GetLength())));
    std::fill(std::begin(changed.name), std::end(changed.name), '\0');
    std::copy_n(name.begin(), std::min<std::size_t>(name.size(), CPosRecord::kNameSize), changed.name);
    bool ok = false;
    if (edit.GetTargetFolder() == m_folder) {
        // Same folder: in place, one write.
        ok = store.ReplaceAt(m_folder, point.row, changed);
    } else if (store.GetCount() < CPositionStore::kMaxPoints) {
        // Another folder: the target gets it first, so a failure leaves the point where it was.
        ok = store.Add(edit.GetTargetFolder(), changed);
        if (ok) store.RemoveAt(m_folder, point.row);
    } else {
        // At the limit a move still goes (it adds nothing in all): out first, and back into its
        // folder when the target refuses it.
        ok = store.RemoveAt(m_folder, point.row);
        if (ok && !store.Add(edit.GetTargetFolder(), changed)) {
            store.Add(m_folder, old);
            ok = false;
        }
    }
    if (!ok) Notify(AfxLoadString(150));
    FillLists();
}

void CPointTabDlg::ManageFolders() {
    CPointRegDlg folders(this);
    folders.SetRcBuilder(GetRcBuilder());
    folders.SetPanelName(u"지점등록");
    folders.SetFolderOnly(true);
    folders.SetSelectedFolderRow(m_state.folderRow);
    folders.SetName(m_name);
    MarkChildUp();
    if (folders.DoModal() != IDOK && folders.GetResult() != CPointRegDlg::kResultBack) {
        m_result = folders.GetResult();
        Cancel();
        return;
    }
    FillLists();
}

void CPointTabDlg::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    if (name == u"이전") {
        m_result = kResultClosed;
        Cancel();
    } else if (name == u"구성_이전") {
        if (m_page == 0) {
            m_result = kResultClosed;
            Cancel();
        } else {
            --m_page;
            SendToPanel(kPages, 2014, m_page);
        }
    } else if (name == u"현위치") {
        m_result = kResultHere;
        Cancel();
    } else if (name == u"바로탐색") {
        if (!m_directRoute && m_state.type != kTypeDestination && m_state.type != kTypeMove) {
            Notify(AfxLoadString(219));
            return;
        }
        m_result = kResultRoute;
        Choose();
    } else if (name == u"위치보기") {
        m_result = kResultShow;
        Choose();
    } else if (name == u"구성하기") {
        if (m_listFocus == 1) {
            ManageFolders();
        } else if (m_listFocus == 2) {
            m_page = 1;
            SendToPanel(kPages, 2014, 1);
        }
    } else if (name == u"삭제") {
        DeletePoint();
    } else if (name == u"지점수정") {
        EditPoint();
    } else if (name == u"폴더수정") {
        ManageFolders();
    } else if (name == kTabs) {
        if (const int type = TypeForTabName(cmd.text)) m_state.type = type;
    }
}
