#include "app/LatLonMoveDlg.h"

#include "position/Geometry.h"
#include "platform/window/AfxControls.h"
#include "platform/window/Controls.h"
#include "route/base/Coords.h"
#include "skinui/NaviPanel.h"
#include "skinui/screens/NaviScreenCatalogue.h"

#include <cmath>
#include <limits>

namespace {

constexpr const char16_t* kScreen = u"경위도이동";
constexpr const char16_t* kTabs = u"텝_경위도이동";
constexpr const char16_t* kDatumGroup = u"좌표계그룹";
constexpr BYTE kVkPeriod = 190;
constexpr std::int32_t kMapLimitX = 520000;
constexpr std::int32_t kMapLimitY = 660000;

int FieldId(int index) {
    return CLatLonMoveDlg::kEditLonDegrees + index;
}

// Degrees or minutes: one to nine decimal digits.
bool ParseWhole(const CString& text, int& value) {
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

bool FitsInt32(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
}

// Milli-arc-seconds of a row, rounded half up.
std::int64_t MilliArcSeconds(const CLatLonMoveDlg::Angle& a) {
    const std::int64_t whole = (static_cast<std::int64_t>(a.degrees) * 60 + a.minutes) * 60000;
    return static_cast<std::int64_t>(static_cast<double>(whole) + a.seconds * 1000.0 + 0.5);
}

} // namespace

CLatLonMoveDlg::CLatLonMoveDlg(CWnd* parent) : CPointDialogBase(kTemplate, parent) {}

void CLatLonMoveDlg::SetFieldTexts(const CString texts[kFieldCount]) {
    for (int i = 0; i < kFieldCount; ++i) m_texts[i] = texts[i];
}

void CLatLonMoveDlg::GetFieldTexts(CString texts[kFieldCount]) const {
    for (int i = 0; i < kFieldCount; ++i) texts[i] = m_texts[i];
}

int CLatLonMoveDlg::FieldIndex(int id) {
    const int i = id - kEditLonDegrees;
    return i >= 0 && i < kFieldCount ? i : -1;
}

void CLatLonMoveDlg::AddTemplateItems(DialogTemplateInfo& info) {
    // Two rows over the background of the screen (25, 57, 196 x 53): degrees, minutes, seconds.
    constexpr DWORD style = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_CENTER;
    const int left[3] = {33, 87, 131};
    const int right[3] = {79, 121, 213};
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) {
            const int top = 61 + row * 24;
            info.items.push_back(
                {FieldId(row * 3 + col), WC_EDIT, RECT{left[col], top, right[col], top + 21}, style, u""});
        }
}

void CLatLonMoveDlg::OnOpen() {
    BuildPointTabs(GetRcBuilder(), GetPanel(), kTabs, m_advancedTabs, 4, 284);
    m_typing = false;
    SendToPanel(kDatumGroup, 2014, m_wgs84 ? 0 : 1);
    for (int i = 0; i < kFieldCount; ++i) {
        SendDlgItemMessageW(m_hWnd, FieldId(i), EM_LIMITTEXT, static_cast<WPARAM>(kFieldLengths[i]), 0);
        const CString text = m_texts[i];
        SetDlgItemText(FieldId(i), text.GetString());
    }
    m_currentPosition = false;
    m_routeNow = false;
    if (m_texts[0].IsEmpty()) m_focusedEdit = kEditLonDegrees;
    SendToPanel(kTabs, 2014, GetPanelName() == kScreen ? TabIndexForType(m_type) : -1);
    const RECT rect = GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    ShowWindow(SW_SHOW);
}

void CLatLonMoveDlg::PaintUnderPanel(CDC* memory, const RECT& panelRect) {
    memory->Rectangle(&panelRect);
}

BOOL CLatLonMoveDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    const int field = FieldIndex(id);
    if (field < 0) return CPointDialogBase::OnCommand(wParam, lParam);
    if (code == EN_SETFOCUS) {
        m_focusedEdit = id;
        // Select from the caret to the end, so that typing replaces the rest of the field.
        keybd_event(VK_SHIFT, 0, 0, 0);
        keybd_event(VK_END, 0, 0, 0);
        keybd_event(VK_END, 0, KEYEVENTF_KEYUP, 0);
        keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    } else if (code == EN_CHANGE) {
        GetDlgItemText(id, m_texts[field]);
        const int length = m_texts[field].GetLength();
        if (id == kEditLatSeconds) {
            // The latitude seconds hold five characters: a sixth typed one is taken back. Only
            // while the field has the focus, where the backspace lands.
            CWnd* focus = CWnd::GetFocus();
            if (length > kFieldLengths[field] && focus && focus->m_hWnd == ::GetDlgItem(m_hWnd, id)) {
                keybd_event(VK_BACK, 0, 0, 0);
                keybd_event(VK_BACK, 0, KEYEVENTF_KEYUP, 0);
            }
        } else if (m_typing && length == kFieldLengths[field]) {
            keybd_event(VK_TAB, 0, KEYEVENTF_EXTENDEDKEY, 0);
        }
    }
    return TRUE;
}

void CLatLonMoveDlg::SendKey(BYTE vk) {
    m_typing = true;
    keybd_event(vk, 0, KEYEVENTF_SILENT, 0);
    keybd_event(vk, 0, KEYEVENTF_KEYUP, 0);
}

void CLatLonMoveDlg::FocusEdit(int id) {
    if (CWnd* edit = GetDlgItem(id)) GotoDlgCtrl(edit);
}

void CLatLonMoveDlg::ProcessEvent(NaviCommand& cmd) {
    const CString& name = cmd.target;
    if (name == u"현위치") {
        m_currentPosition = true;
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
    } else if (name == kDatumGroup) {
        if (cmd.id == kCmdTapped) m_wgs84 = cmd.param1 == 0;
    } else if (name.GetLength() == 1 && name[0] >= u'0' && name[0] <= u'9') {
        SendKey(static_cast<BYTE>(name[0]));
    } else if (name == u"백스페이스") {
        SendKey(VK_BACK);
    } else if (name == u"점") {
        SendKey(kVkPeriod);
    } else if (name == u"Clear") {
        SetDlgItemText(m_focusedEdit, u"");
    }
    // "하이픈" and "Space" have nothing to do here.
}

void CLatLonMoveDlg::OnOK() {
    Confirm();
}

bool CLatLonMoveDlg::ParseSeconds(const CString& text, double& seconds) {
    const int n = text.GetLength();
    if (n < 1 || n > 15) return false;
    double whole = 0.0;
    double fraction = 0.0;
    double scale = 1.0;
    bool point = false;
    bool digit = false;
    for (int i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c == u'.') {
            if (point) return false;
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            digit = true;
            if (point) {
                scale /= 10.0;
                fraction += (c - u'0') * scale;
            } else {
                whole = whole * 10.0 + (c - u'0');
            }
        } else {
            return false;
        }
    }
    if (!digit) return false;
    seconds = whole + fraction;
    return true;
}

bool CLatLonMoveDlg::Convert(const Angle& longitude, const Angle& latitude, bool wgs84, std::int32_t& netX,
                             std::int32_t& netY, std::int32_t& x, std::int32_t& y) {
    std::int64_t lon = MilliArcSeconds(longitude);
    std::int64_t lat = MilliArcSeconds(latitude);
    if (wgs84) {
        if (!FitsInt32(lon) || !FitsInt32(lat)) return false;
        auto lon32 = static_cast<std::int32_t>(lon);
        auto lat32 = static_cast<std::int32_t>(lat);
        double height = 0.0;
        Wgs84ToBessel(lon32, lat32, height);
        lon = lon32;
        lat = lat32;
    }
    const std::int64_t nx = lon / 10;
    const std::int64_t ny = lat / 10;
    if (!FitsInt32(nx) || !FitsInt32(ny)) return false;
    netX = static_cast<std::int32_t>(nx);
    netY = static_cast<std::int32_t>(ny);
    NetToMapCoord(netX, netY, x, y);
    return true;
}

bool CLatLonMoveDlg::GetPosition(std::int32_t& x, std::int32_t& y, Angle& longitude, Angle& latitude) const {
    if (!m_exchanged) return false;
    std::int32_t netX = 0;
    std::int32_t netY = 0;
    std::int32_t mx = 0;
    std::int32_t my = 0;
    if (!Convert(m_longitude, m_latitude, m_wgs84, netX, netY, mx, my)) return false;
    x = mx;
    y = my;
    if (!(mx > 0 && mx < kMapLimitX && my > 0 && my < kMapLimitY)) return false;
    longitude = m_longitude;
    latitude = m_latitude;
    return true;
}

void CLatLonMoveDlg::Confirm() {
    m_exchanged = false;
    CString texts[kFieldCount];
    for (int i = 0; i < kFieldCount; ++i) {
        GetDlgItemText(FieldId(i), texts[i]);
        if (texts[i] == u".") {
            texts[i] = u"0";
            SetDlgItemText(FieldId(i), u"0");
        }
        if (texts[i].IsEmpty()) {
            Notify(AfxLoadString(61208));
            FocusEdit(FieldId(i));
            return;
        }
    }
    // Degrees and minutes are whole numbers; minutes and seconds stay below 60, so that no entry
    // names another place than it reads.
    Angle rows[2];
    for (int row = 0; row < 2; ++row) {
        const int base = row * 3;
        int bad = -1;
        if (!ParseWhole(texts[base], rows[row].degrees))
            bad = base;
        else if (!ParseWhole(texts[base + 1], rows[row].minutes) || rows[row].minutes >= 60)
            bad = base + 1;
        else if (!ParseSeconds(texts[base + 2], rows[row].seconds) || rows[row].seconds >= 60.0)
            bad = base + 2;
        if (bad >= 0) {
            Notify(AfxLoadString(61208));
            FocusEdit(FieldId(bad));
            return;
        }
    }
    m_longitude = rows[0];
    m_latitude = rows[1];
    m_exchanged = true;
    std::int32_t x = 0;
    std::int32_t y = 0;
    Angle lon;
    Angle lat;
    if (!GetPosition(x, y, lon, lat)) {
        Notify(AfxLoadString(191));
        FocusEdit(kEditLonDegrees);
        return;
    }
    if (!m_directRoute && m_routeNow && m_type != kTypeDestination && m_type != kTypeMove) {
        Notify(AfxLoadString(61210));
        return;
    }
    NaviDialog::OnOK();
}
