#include "app/SafeDrivingDlg.h"

#include "app/SafePointList.h"
#include "commondlg/NaviMessageBox.h"
#include "platform/window/Afx.h"
#include "route/base/Coords.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/controls/NaviCheckButton.h"
#include "skinui/controls/NaviControlIds.h"

#include <cstring>

namespace {
constexpr RECT kListRect{19, 60, 19 + 202, 60 + 175};
constexpr int kStringRouteNeedsDestination = 61210;
} // namespace

CSafeDrivingDlg::CSafeDrivingDlg(CWnd* parent, CSafePointList& registered, const CString& registeredFile,
                                 CSafePointList& switchedOff, const CString& switchedOffFile)
    : CPointDialogBase(kTemplate, parent), m_registered(registered), m_registeredFile(registeredFile),
      m_switchedOff(switchedOff), m_switchedOffFile(switchedOffFile) {}

void CSafeDrivingDlg::AddTemplateItems(DialogTemplateInfo& info) {
    info.items.push_back(DialogItem{kListControl, WC_LISTBOX, kListRect,
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOTIFY, u"", 0});
}

CSafePointList& CSafeDrivingDlg::CurrentList() const {
    return m_selection.listKind == 0 ? m_registered : m_switchedOff;
}

const CString& CSafeDrivingDlg::CurrentFile() const {
    return m_selection.listKind == 0 ? m_registeredFile : m_switchedOffFile;
}

CString CSafeDrivingDlg::RegisteredRowText(long id, const CString& name) {
    CString text;
    if (id < 1000) text.Format(u"%03ld@%s", id, name.GetString());
    else text.Format(u"%ld@%s", id, name.GetString());
    return text;
}

void CSafeDrivingDlg::OnOpen() {
    if (NaviPanel* panel = GetPanel(); panel && GetRcBuilder()) {
        NaviRcBuilder* builder = GetRcBuilder();
        builder->SetImageGroup(u"AddressSearch");
        builder->SetCheckGroup(u"버튼2");
        m_button = builder->CreateCheckButton(u"삭제", true, true, false, 12, 251, 71, 27, true, true, panel, false,
                                              u"삭제");
        panel->AddChild(m_button);
    }
    const RECT rect = GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    m_listBox.SubclassDlgItem(kListControl, this);
    m_listBox.MoveWindow(kListRect.left, kListRect.top, kListRect.right - kListRect.left,
                         kListRect.bottom - kListRect.top);
    FillList();
    SendToPanel(u"텝_안전운행구간타입", kCmdSelect, m_selection.listKind != 0 ? 1 : 0);
    const int tab = GetPanelName() == u"안전운행관리" ? TabIndexForType(m_selection.type) : -1;
    SendToPanel(u"텝_안전운행구간", kCmdSelect, tab);
}

void CSafeDrivingDlg::FillList() {
    m_listBox.ResetContent();
    const bool registered = m_selection.listKind == 0;
    const char16_t* caption = registered ? u"삭제" : u"복원";
    m_buttonName = caption;
    if (m_button) {
        m_button->AssignName(caption);
        m_button->SetText(caption);
    }
    const CSafePointList& list = CurrentList();
    m_rows.clear();
    for (int i = 0; i < list.GetCount(); ++i) {
        const CSafePointRecord* r = list.GetAt(i);
        const CString name = FromCp949(r->name, CSafePointRecord::kNameSize);
        // The id is the record's last 16-bit value.
        m_rows.push_back(registered ? RegisteredRowText(r->values[3], name) : name);
        m_listBox.AddString(m_rows.back().GetString());
    }
    m_listBox.SetCurSel(m_selection.index);
}

CString CSafeDrivingDlg::GetButtonName() const {
    return m_buttonName;
}

bool CSafeDrivingDlg::GetSelection(CSafePointSelection& selection) {
    const CSafePointRecord* r = CurrentList().GetAt(m_selection.index);
    if (!r) return false;
    std::memcpy(m_selection.name, r->name, CSelectedPoint::kNameSize - 1);
    m_selection.name[CSelectedPoint::kNameSize - 1] = '\0';
    NetToMapCoord(r->x, r->y, m_selection.x, m_selection.y);
    m_selection.kind = CSelectedPoint::kRecentDestination;
    selection = m_selection;
    return true;
}

void CSafeDrivingDlg::ProcessEvent(NaviCommand& cmd) {
    const CString& control = cmd.target;
    if (control == u"이전") {
        m_result = kClosed;
        Close();
    } else if (control == u"현위치") {
        m_result = kCurrentPosition;
        Close();
    } else if (control == u"삭제" || control == u"복원") {
        DeleteOrRestore();
    } else if (control == u"위치보기") {
        m_result = kShow;
        m_selection.index = m_listBox.GetCurSel();
        if (m_selection.index >= 0) Close();
    } else if (control == u"바로탐색") {
        m_selection.index = m_listBox.GetCurSel();
        if (m_selection.index < 0) {
            Notify(u"선택한 지점이 없습니다.");
            return;
        }
        m_result = kRouteNow;
        if (m_directRoute || m_selection.type == kTypeDestination || m_selection.type == kTypeMove) {
            Close();
            return;
        }
        m_result = kClosed;
        Notify(AfxLoadString(kStringRouteNeedsDestination));
    } else if (control == u"텝_안전운행구간타입") {
        m_selection.listKind = m_selection.listKind == 0 ? 1 : 0;
        m_selection.index = 0;
        FillList();
    } else if (control == u"텝_안전운행구간") {
        const int type = TypeForTabName(cmd.text);
        if (type == 0) Close();
        else m_selection.type = type;
    } else {
        Close();
    }
}

void CSafeDrivingDlg::DeleteOrRestore() {
    const int row = m_listBox.GetCurSel();
    CSafePointList& list = CurrentList();
    if (row < 0 || !list.GetAt(row)) return;
    CString text, question;
    m_listBox.GetText(row, text);
    question.Format(m_selection.listKind == 0 ? u"'%s'를 삭제 하시겠습니까?" : u"'%s'를 복원 하시겠습니까?",
                    text.GetString());
    if (Ask(question) != NaviMessageBox::kYes) return;
    // The row the user chose goes, not the first point at its place.
    list.RemoveAt(row);
    if (m_selection.listKind == 1) m_restored = true;
    list.SaveTo(CurrentFile().GetString()); // a failed save leaves the old file whole
    m_selection.index = row < list.GetCount() ? row : row - 1;
    FillList();
}
