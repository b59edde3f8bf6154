#include "app/PointRegDlg.h"

#include "app/PositionStore.h"
#include "app/SafePointList.h"
#include "commondlg/CNaviCommonDlg.h"
#include "commondlg/NaviMessageBox.h"
#include "skinui/controls/NaviComboBox.h"
#include "config/NaviConfig.h"
#include "platform/base/Text.h"
#include "platform/window/AfxControls.h"
#include "platform/window/Controls.h"
#include "platform/window/Shell.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const char16_t* kHome = u"집";
constexpr const char16_t* kFrequent = u"자주가는곳";
constexpr int kSymbolHome = 4;
constexpr int kSymbolFrequent = 3;
constexpr int kSymbolCount = 15;
constexpr int kVoiceCount = 15;

int Cp949Length(const CString& text) {
    return static_cast<int>(
        Utf16ToCp949(std::u16string_view(text.GetString(), static_cast<std::size_t>(text.GetLength())))
            .size());
}

void CopyName(char* field, std::size_t size, const CString& name) {
    const std::string bytes =
        Utf16ToCp949(std::u16string_view(name.GetString(), static_cast<std::size_t>(name.GetLength())));
    std::memset(field, 0, size + 1);
    std::memcpy(field, bytes.data(), std::min(bytes.size(), size));
}

} // namespace

CPointRegDlg::CPointRegDlg(CWnd* parent) : CPointDialogBase(kTemplate, parent) {}

CPointRegDlg::~CPointRegDlg() = default;

void CPointRegDlg::InputPanelUp() {
    if (!m_hWnd || !m_painted) return;
    SHSipPreference(m_hWnd, SIP_UP);
    MoveWindow(0, 0, 240, 320);
}

void CPointRegDlg::InputPanelDown() {
    if (!m_hWnd) return;
    SHSipPreference(m_hWnd, SIP_FORCEDOWN);
    MoveWindow(0, 0, 240, 320);
}

BOOL CPointRegDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    if (id == kEditName || id == kEditFolderName) {
        if (HIWORD(wParam) == EN_SETFOCUS)
            InputPanelUp();
        else if (HIWORD(wParam) == EN_KILLFOCUS)
            InputPanelDown();
        return TRUE;
    }
    return CPointDialogBase::OnCommand(wParam, lParam);
}

void CPointRegDlg::OnPaint() {
    CPointDialogBase::OnPaint();
    if (m_painted) return;
    m_painted = true;
    MoveWindow(0, 0, 240, 320);
}

void CPointRegDlg::OnLButtonDown(UINT flags, CPoint point) {
    InputPanelDown();
    CPointDialogBase::OnLButtonDown(flags, point);
}

void CPointRegDlg::OnDestroy() {
    InputPanelDown();
    if (m_popup && m_popupRunning) m_popup->Close();
    CPointDialogBase::OnDestroy();
}

void CPointRegDlg::OpenPopup(const NaviCommand& cmd) {
    // A second request while a list is up ends that list; it is deleted once its run returns.
    if (m_popupRunning) {
        if (m_popup) m_popup->Close();
        return;
    }
    // The handle names a combo box of the skinned library, never a pointer.
    NaviComboBox* combo = NaviComboBox::FromHandle(static_cast<std::uint32_t>(cmd.param1));
    if (!combo) return;
    m_popup = std::make_unique<CNaviCommonDlg>(this);
    m_popup->SetRcBuilder(GetRcBuilder());
    m_popup->SetPanelName(cmd.text);
    m_popup->SetNaviListener(combo);
    m_popup->SetPopupDlgType(true);
    m_popupRunning = true;
    m_popup->DoModal();
    m_popupRunning = false;
    m_popup.reset();
}

void CPointRegDlg::AddTemplateItems(DialogTemplateInfo& info) {
    info.items.push_back(
        {kEditName, WC_EDIT, RECT{31, 56, 131, 77}, WS_VISIBLE | WS_TABSTOP | WS_BORDER, u""});
    info.items.push_back({kEditFolderName, WC_EDIT, RECT{31, 56, 216, 77}, WS_TABSTOP | WS_BORDER, u""});
    info.items.push_back({kListFolders, WC_LISTVIEW, RECT{11, 67, 229, 237},
                          WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, u""});
}

void CPointRegDlg::OnOpen() {
    m_folders.SubclassDlgItem(kListFolders, this);
    m_folders.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_folders.InsertColumn(0, u"폴더", LVCFMT_LEFT, 218);
    // A target folder given by the caller is the selected row; otherwise the row names it.
    const std::vector<CString>& names = CPositionStore::Instance().GetFolderNames();
    const auto given = std::find(names.begin(), names.end(), m_targetFolder);
    if (m_targetGiven && given != names.end()) m_selectedRow = static_cast<int>(given - names.begin());
    FillFolders();
    SendDlgItemMessageW(m_hWnd, kEditName, EM_LIMITTEXT, kMaxPointName, 0);
    SetDlgItemText(kEditName, m_name.GetString());
    SetDlgItemText(kEditFolderName, m_targetFolder.GetString());
    if (m_folderOnly) {
        ShowPage(1);
        return;
    }
    SendToPanel(u"음성설정", 2014, m_voice);
    SendToPanel(u"지점등록심볼_카테고리", 2014, m_symbol);
    // While a point is edited the way back to the list is offered.
    if (m_editOnly) SendToPanel(u"등록지점_이전", kCmdShowControl, 1);
    ShowPage(0);
}

void CPointRegDlg::ShowPage(int page) {
    m_page = page;
    SendToPanel(u"지점등록패널들", 2014, page);
    if (!m_hWnd) return;
    if (CWnd* name = GetDlgItem(kEditName)) name->ShowWindow(page == 0 ? SW_SHOW : SW_HIDE);
    if (m_folders.m_hWnd)
        m_folders.SetWindowPos(nullptr, 11, 67, 218, 170,
                               SWP_NOZORDER | (page == 1 ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (CWnd* folder = GetDlgItem(kEditFolderName)) folder->ShowWindow(page == 2 ? SW_SHOW : SW_HIDE);
    Invalidate(FALSE);
}

void CPointRegDlg::BackOnePage() {
    ShowPage(m_page > 0 ? m_page - 1 : 0);
}

void CPointRegDlg::FillFolders() {
    m_rows = CPositionStore::Instance().GetFolderNames();
    if (!m_folders.m_hWnd) return;
    m_folders.DeleteAllItems();
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        m_folders.InsertItem(i, m_rows[static_cast<std::size_t>(i)].GetString());
        if (i == m_selectedRow) {
            m_targetFolder = m_rows[static_cast<std::size_t>(i)];
            m_folders.SetItemState(i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }
    }
}

int CPointRegDlg::SelectedRow() const {
    return m_folders.m_hWnd ? m_folders.GetNextItem(-1, LVNI_SELECTED) : -1;
}

BOOL CPointRegDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->idFrom == static_cast<UINT_PTR>(kListFolders) && header->code == NM_CLICK) {
        const int row = SelectedRow();
        if (row >= 0) m_selectedRow = row;
        FillFolders();
        return TRUE;
    }
    return CPointDialogBase::OnNotify(wParam, lParam, result);
}

void CPointRegDlg::RefuseFolder(const char16_t* format, const CString& name) {
    CString text;
    text.Format(format, name.GetString());
    Notify(text);
}

void CPointRegDlg::CreateOrRenameFolder() {
    CString name;
    GetDlgItemText(kEditFolderName, name);
    if (name.GetLength() >= 21) {
        Notify(AfxLoadString(169));
        return;
    }
    CPositionStore& store = CPositionStore::Instance();
    if (m_folderEdit == 1) {
        // A name the store refuses (in use, or no possible file name) is not loaded again.
        if (!store.AddFolderName(name)) {
            RefuseFolder(u"%s(을)를 수정할 수 없습니다.", name);
            return;
        }
        if (!name.IsEmpty()) store.LoadFolder(name);
    } else {
        if (!store.RenameFolder(m_targetFolder, name)) {
            RefuseFolder(u"%s(을)를 수정할 수 없습니다.", name);
            return;
        }
    }
    if (!name.IsEmpty()) FillFolders();
}

void CPointRegDlg::DeleteSelectedFolder() {
    const int row = SelectedRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
    // The folder asked about and deleted is the selected row's, never an earlier target.
    const CString name = m_rows[static_cast<std::size_t>(row)];
    if (name == CPositionStore::kDefaultFolder) {
        RefuseFolder(u"%s(을)를 삭제할 수 없습니다.", name);
        return;
    }
    CString question;
    question.Format(u"%s(을)를 삭제하시겠습니까?", name.GetString());
    MarkChildUp();
    if (Ask(question) != NaviMessageBox::kYes) return;
    m_targetFolder = name;
    CPositionStore::Instance().DeleteFolder(name);
    const int count = static_cast<int>(CPositionStore::Instance().GetFolderNames().size());
    m_selectedRow = row < count ? row : std::max(0, row - 1);
    FillFolders();
}

void CPointRegDlg::TakeName() {
    if (!m_hWnd) return;
    if (m_specialName) return; // the field shows "집" or "자주가는곳", not the typed name
    GetDlgItemText(kEditName, m_name);
}

bool CPointRegDlg::CheckName() {
    if (m_name.IsEmpty()) {
        Notify(AfxLoadString(168));
        return false;
    }
    if (Cp949Length(m_name) > kMaxPointName) {
        Notify(AfxLoadString(169));
        return false;
    }
    return true;
}

void CPointRegDlg::EndRefused() {
    m_result = kResultClosed;
    if (m_hWnd) Cancel();
}

void CPointRegDlg::OnSymbol(int choice) {
    // A command without a choice carries -1: no symbol.
    if (choice < 0) return;
    if (choice < kSymbolCount) {
        m_symbol = choice;
        if (!m_specialName) {
            TakeName();
        } else {
            SetDlgItemText(kEditName, m_name.GetString());
            m_specialName = false;
        }
        return;
    }
    // "집" or "자주가는곳": the typed name is kept for a later ordinary symbol.
    TakeName();
    m_specialName = true;
    const bool home = choice == kSymbolCount;
    SetDlgItemText(kEditName, home ? kHome : kFrequent);
    m_symbol = home ? kSymbolHome : kSymbolFrequent;
}

void CPointRegDlg::ProcessEvent(NaviCommand& cmd) {
    if (cmd.id == 2025 || cmd.id == kCmdTapped) Invalidate(FALSE);
    if (cmd.id == kCmdComboTapped) {
        OpenPopup(cmd);
        return;
    }
    if (cmd.id == 2019) {
        if (m_popup) m_popup->Close();
        return;
    }
    if (m_popup && (cmd.id == 2024 || cmd.id == 2021 || cmd.id == 2014)) {
        NaviCommand copy = cmd;
        copy.target = kTargetDialog;
        m_popup->ProcessCommand(copy);
        return;
    }
    const CString& name = cmd.target;
    if (name == u"이전") {
        InputPanelDown();
        m_result = kResultClosed;
        Cancel();
    } else if (name == u"수정_이전") {
        if (m_page == 0) {
            m_result = kResultBack;
            Cancel();
        } else if (m_page == 1 && m_folderOnly) {
            NaviDialog::OnOK();
        } else {
            BackOnePage();
        }
    } else if (name == u"등록지점_이전") {
        InputPanelDown();
        m_result = kResultBack;
        Cancel();
    } else if (name == u"현위치") {
        InputPanelDown();
        m_result = kResultSaved;
        Cancel();
    } else if (name == u"저장폴더지정") {
        TakeName();
        FillFolders();
        ShowPage(1);
    } else if (name == u"폴더생성") {
        SetDlgItemText(kEditFolderName, u"");
        m_folderEdit = 1;
        ShowPage(2);
        if (CWnd* edit = GetDlgItem(kEditFolderName)) edit->SetFocus();
    } else if (name == u"폴더수정") {
        const int row = SelectedRow();
        if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
        m_targetFolder = m_rows[static_cast<std::size_t>(row)];
        if (m_targetFolder == CPositionStore::kDefaultFolder) {
            RefuseFolder(u"%s(을)를 수정할 수 없습니다.", m_targetFolder);
            return;
        }
        m_folderEdit = 2;
        SetDlgItemText(kEditFolderName, m_targetFolder.GetString());
        ShowPage(2);
        if (CWnd* edit = GetDlgItem(kEditFolderName)) edit->SetFocus();
    } else if (name == u"폴더삭제") {
        DeleteSelectedFolder();
    } else if (name == u"확인") {
        if (m_page == 0) {
            if (m_folderOnly)
                NaviDialog::OnOK();
            else
                ShowPage(0);
            return;
        }
        if (m_page == 1 && m_folderOnly) {
            const int row = SelectedRow();
            if (row >= 0 && row < static_cast<int>(m_rows.size()))
                m_targetFolder = m_rows[static_cast<std::size_t>(row)];
            NaviDialog::OnOK();
            return;
        }
        if (m_page == 2) {
            CreateOrRenameFolder();
        } else if (m_page == 1) {
            const int row = SelectedRow();
            if (row >= 0 && row < static_cast<int>(m_rows.size())) {
                m_selectedRow = row;
                m_targetFolder = m_rows[static_cast<std::size_t>(row)];
                SetDlgItemText(kEditFolderName, m_targetFolder.GetString());
            }
        }
        m_folderEdit = 0;
        BackOnePage();
    } else if (name == u"취소") {
        if (m_page == 0) {
            if (m_folderOnly)
                Cancel();
            else
                ShowPage(0);
        } else if (m_page == 1 && m_folderOnly) {
            Cancel();
        } else {
            m_folderEdit = 0;
            BackOnePage();
        }
    } else if (name == u"지점등록심볼_카테고리") {
        OnSymbol(cmd.param1);
        InputPanelDown();
    } else if (name == u"음성설정") {
        if (cmd.param1 >= 0 && cmd.param1 < kVoiceCount) m_voice = cmd.param1;
        InputPanelDown();
    } else if (name == u"저장") {
        if (m_editOnly) {
            TakeName();
            if (m_specialName) GetDlgItemText(kEditName, m_name);
            if (!CheckName()) return;
            m_result = kResultSaved;
            NaviDialog::OnOK();
            return;
        }
        if (m_page != 0 && !(m_page == 1 && m_folderOnly)) return;
        m_result = kResultSaved;
        OnOK();
    }
}

void CPointRegDlg::OnOK() {
    TakeName();
    if (m_specialName && m_hWnd) GetDlgItemText(kEditName, m_name);
    if (!CheckName()) return;
    CPositionStore& store = CPositionStore::Instance();
    if (store.GetCount() >= CPositionStore::kMaxPoints) {
        Notify(AfxLoadString(149));
        EndRefused();
        return;
    }
    if (m_folderOnly) {
        NaviDialog::OnOK();
        return;
    }
    CPosRecord record;
    record.x = m_x;
    record.y = m_y;
    record.value1 = static_cast<std::uint8_t>(m_voice);
    record.value2 = static_cast<std::uint8_t>(m_symbol);
    CopyName(record.name, CPosRecord::kNameSize, m_name);

    // There is one "집" and one "자주가는곳": the old one goes once the new one is stored.
    CString oldFolder;
    CPosRecord old;
    bool hasOld = false;
    if (m_name == kHome || m_name == kFrequent) {
        for (const CString& folder : store.GetFolderNames()) {
            CPosList* list = store.GetFolder(folder);
            if (!list) continue;
            for (int i = 0; i < list->GetCount() && !hasOld; ++i) {
                const CPosRecord* r = list->GetAt(i);
                if (r && std::strncmp(r->name, record.name, CPosRecord::kNameSize) == 0) {
                    old = *r;
                    oldFolder = folder;
                    hasOld = true;
                }
            }
            if (hasOld) break;
        }
    }
    if (!store.Add(m_targetFolder, record)) {
        Notify(AfxLoadString(150));
        EndRefused();
        return;
    }
    if (hasOld) store.Remove(oldFolder, old);
    NaviDialog::OnOK();
}

bool CPointRegDlg::AddSafeDrivePoint(std::uint16_t kind, std::uint16_t value2, std::uint16_t value1) {
    return AddSafePoint(CSafePointList::Added(), u"안전운행지점", kind, value1, value2);
}

bool CPointRegDlg::AddRemovedSafeDrivePoint(std::uint16_t kind, std::uint16_t value1, std::uint16_t value2) {
    return AddSafePoint(CSafePointList::Removed(), u"안전운행지점(지운것)", kind, value1, value2);
}

bool CPointRegDlg::AddSafePoint(CSafePointList& list, const char16_t* item, std::uint16_t a, std::uint16_t b,
                                std::uint16_t c) {
    TakeName();
    if (m_name.IsEmpty()) {
        Notify(AfxLoadString(168));
        return false;
    }
    // The name must fit the list's stored field whole: a cut could split a Korean character.
    const int limit = list.GetMode() == 1 ? kMaxShortSafePointName : kMaxSafePointName;
    if (Cp949Length(m_name) > limit) {
        Notify(AfxLoadString(169));
        return false;
    }
    if (list.GetCount() >= 2000) {
        Notify(AfxLoadString(149));
        EndRefused();
        return false;
    }
    CSafePointRecord record;
    record.x = m_x;
    record.y = m_y;
    CopyName(record.name, CSafePointRecord::kNameSize, m_name);
    record.values[0] = a;
    record.values[1] = b;
    record.values[2] = c;
    const CSafePointRecord* last = list.GetAt(list.GetCount() - 1);
    record.values[3] = last ? static_cast<std::uint16_t>(last->values[3] + 1) : 0;
    if (!list.Add(record)) {
        Notify(AfxLoadString(150));
        return false;
    }
    const CString file = CNaviConfig::GetInstance()->GetItemPath(item, -1);
    if (!list.SaveTo(file.GetString())) {
        // Not on disk: not in the list either, so guidance never counts a point gone after a restart.
        list.DropLast();
        Notify(AfxLoadString(150));
        return false;
    }
    return true;
}
