#include "app/DorvaMoveDlg.h"

#include "platform/window/AfxControls.h"
#include "platform/window/Controls.h"
#include "skinui/NaviPanel.h"
#include "skinui/screens/NaviScreenCatalogue.h"

namespace {

constexpr const char16_t* kScreen = u"도르바이동";
constexpr const char16_t* kTabs = u"텝_도르바이동";
constexpr int kFields[3] = {CDorvaMoveDlg::kEditFineX, CDorvaMoveDlg::kEditFineY, CDorvaMoveDlg::kEditDigits};

// A field's number: one to nine decimal digits and nothing else; false for any other text.
bool ParseDigits(const CString& text, int& value) {
    const int n = text.GetLength();
    if (n < 1 || n > 9) return false;
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c < u'0' || c > u'9') return false;
        v = v * 10 + (c - u'0');
    }
    value = v;
    return true;
}

} // namespace

CDorvaMoveDlg::CDorvaMoveDlg(CWnd* parent) : CPointDialogBase(kTemplate, parent) {}

void CDorvaMoveDlg::SetCodeTexts(const CString texts[3]) {
    for (int i = 0; i < 3; ++i) m_texts[i] = texts[i];
}

void CDorvaMoveDlg::GetCodeTexts(CString texts[3]) const {
    for (int i = 0; i < 3; ++i) texts[i] = m_texts[i];
}

int CDorvaMoveDlg::FieldIndex(int id) {
    for (int i = 0; i < 3; ++i)
        if (kFields[i] == id) return i;
    return -1;
}

void CDorvaMoveDlg::AddTemplateItems(DialogTemplateInfo& info) {
    // Centred, digits only, over the code background (25, 57, 196 x 35) of the screen.
    constexpr DWORD style = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_CENTER | ES_NUMBER;
    info.items.push_back({kEditFineX, WC_EDIT, RECT{33, 64, 81, 85}, style, u""});
    info.items.push_back({kEditFineY, WC_EDIT, RECT{97, 64, 145, 85}, style, u""});
    info.items.push_back({kEditDigits, WC_EDIT, RECT{161, 64, 213, 85}, style, u""});
}

void CDorvaMoveDlg::OnOpen() {
    m_currentPosition = 0;
    m_routeNow = false;
    m_typing = false;
    BuildPointTabs(GetRcBuilder(), GetPanel(), kTabs, m_advancedTabs, 4, 284);
    const int limits[3] = {kFineLength, kFineLength, kDigitsLength};
    for (int i = 0; i < 3; ++i) {
        SendDlgItemMessageW(m_hWnd, kFields[i], EM_LIMITTEXT, static_cast<WPARAM>(limits[i]), 0);
        const CString text = m_texts[i];
        SetDlgItemText(kFields[i], text.GetString());
    }
    SendToPanel(kTabs, 2014, GetPanelName() == kScreen ? TabIndexForType(m_type) : -1);
    m_focusedEdit = kEditFineX;
    const RECT rect = GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    ShowWindow(SW_SHOW);
}

void CDorvaMoveDlg::PaintUnderPanel(CDC* memory, const RECT& panelRect) {
    memory->Rectangle(&panelRect);
}

BOOL CDorvaMoveDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    const int field = FieldIndex(id);
    if (field < 0) return CPointDialogBase::OnCommand(wParam, lParam);
    if (code == EN_SETFOCUS) {
        m_focusedEdit = id;
    } else if (code == EN_CHANGE) {
        GetDlgItemText(id, m_texts[field]);
        // A full fine field moves on to the next one, but only once the keypad has been used.
        if (id != kEditDigits && m_texts[field].GetLength() == kFineLength && m_typing)
            keybd_event(VK_TAB, 0, KEYEVENTF_EXTENDEDKEY, 0);
    }
    return TRUE;
}

void CDorvaMoveDlg::SendKey(BYTE vk) {
    m_typing = true;
    keybd_event(vk, 0, KEYEVENTF_SILENT, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP | KEYEVENTF_SILENT, 0);
}

void CDorvaMoveDlg::FocusEdit(int id) {
    if (CWnd* edit = GetDlgItem(id)) GotoDlgCtrl(edit);
}

void CDorvaMoveDlg::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    if (name == u"현위치") {
        m_currentPosition = 1;
        Cancel();
    } else if (name == u"이전") {
        Cancel();
    } else if (name == u"위치보기") {
        m_routeNow = false;
        Confirm();
    } else if (name == u"바로탐색") {
        m_routeNow = true;
        Confirm();
    } else if (name == kTabs) {
        if (const int type = TypeForTabName(cmd.text)) m_type = type;
    } else if (name.GetLength() == 1 && name[0] >= u'0' && name[0] <= u'9') {
        SendKey(static_cast<BYTE>(name[0]));
    } else if (name == u"백스페이스") {
        SendKey(VK_BACK);
    } else if (name == u"Clear") {
        SetDlgItemText(m_focusedEdit, u"");
    }
    // "하이픈", "점" and "Space" have nothing to do in a code of digits.
}

bool CDorvaMoveDlg::Decode(int fineX, int fineY, int digits, DorvaCode& code, std::int32_t& x,
                           std::int32_t& y) {
    if (fineX < 0 || fineX > 999 || fineY < 0 || fineY > 999 || digits < 0 || digits > 9999) return false;
    code.sheetColumn = digits / 1000;
    code.sheetRow = digits % 1000 / 100;
    code.subColumn = digits % 100 / 10;
    code.subRow = digits % 10;
    code.fineX = fineX;
    code.fineY = fineY;
    // A sheet holds 8 x 8 cells: a larger sub-column or sub-row would land in the next sheet.
    if (code.subColumn > 7 || code.subRow > 7) return false;
    return DorvaToPos(code, x, y);
}

bool CDorvaMoveDlg::GetPosition(std::int32_t& x, std::int32_t& y, DorvaCode& code) const {
    if (!m_decoded) return false;
    return Decode(m_values[0], m_values[1], m_values[2], code, x, y);
}

void CDorvaMoveDlg::Confirm() {
    m_decoded = false;
    int values[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        CString text;
        GetDlgItemText(kFields[i], text);
        // An empty field, or a text from an earlier run that is no number: the field is asked for.
        if (text.IsEmpty() || !ParseDigits(text, values[i])) {
            Notify(AfxLoadString(61208));
            FocusEdit(kFields[i]);
            return;
        }
    }
    for (int i = 0; i < 3; ++i) m_values[i] = values[i];
    m_decoded = true;
    DorvaCode code;
    std::int32_t x = 0;
    std::int32_t y = 0;
    if (!Decode(values[0], values[1], values[2], code, x, y)) {
        Notify(AfxLoadString(211));
        FocusEdit(kEditFineX);
        return;
    }
    m_code = code;
    if (!m_directRoute && m_routeNow && m_type != kTypeDestination && m_type != kTypeMove) {
        Notify(AfxLoadString(61210));
        return;
    }
    Close();
}
