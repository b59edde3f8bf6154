#include "platform/window/AfxControls.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

namespace {

BOOL CreateControl(CWnd* wnd, LPCWSTR cls, LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent,
                   UINT id) {
    RegisterNativeControls();
    return wnd->Create(cls, text, style, rect, parent, id);
}

} // namespace

// ---- controls ----

BOOL CButton::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateControl(this, WC_BUTTON, text, style, rect, parent, id);
}

CBitmapButton::~CBitmapButton() {
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        SendMessage(BM_SETIMAGE, IMAGE_BUTTON_UP, 0);
        SendMessage(BM_SETIMAGE, IMAGE_BUTTON_DOWN, 0);
        SendMessage(BM_SETIMAGE, IMAGE_BUTTON_DISABLED, 0);
    }
    for (HBITMAP b : {m_up, m_down, m_disabled})
        if (b) ::DeleteObject(b);
}

BOOL CBitmapButton::LoadBitmaps(LPCWSTR up, LPCWSTR down, LPCWSTR, LPCWSTR disabled) {
    for (HBITMAP* b : {&m_up, &m_down, &m_disabled})
        if (*b) {
            ::DeleteObject(*b);
            *b = nullptr;
        }
    m_up = up ? LoadBitmapW(nullptr, up) : nullptr;
    m_down = down ? LoadBitmapW(nullptr, down) : nullptr;
    m_disabled = disabled ? LoadBitmapW(nullptr, disabled) : nullptr;
    Apply();
    return m_up ? TRUE : FALSE;
}

void CBitmapButton::Apply() {
    if (!m_hWnd) return;
    ModifyStyle(0, BS_BITMAP);
    SendMessage(BM_SETIMAGE, IMAGE_BUTTON_UP, reinterpret_cast<LPARAM>(m_up));
    SendMessage(BM_SETIMAGE, IMAGE_BUTTON_DOWN, reinterpret_cast<LPARAM>(m_down));
    SendMessage(BM_SETIMAGE, IMAGE_BUTTON_DISABLED, reinterpret_cast<LPARAM>(m_disabled));
}

BOOL CBitmapButton::AutoLoad(UINT id, CWnd* parent) {
    if (!SubclassDlgItem(id, parent)) return FALSE;
    CString caption;
    GetWindowText(caption);
    const BOOL ok = LoadBitmaps((caption + u"U").GetString(), (caption + u"D").GetString(), nullptr,
                                (caption + u"X").GetString());
    if (ok) SizeToContent();
    return ok;
}

void CBitmapButton::SizeToContent() {
    BITMAP bm{};
    if (!m_up || !::GetObjectW(m_up, sizeof bm, &bm)) return;
    SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CStatic::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateControl(this, WC_STATIC, text, style, rect, parent, id);
}

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateControl(this, WC_EDIT, u"", style, rect, parent, id);
}

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateControl(this, WC_LISTBOX, u"", style, rect, parent, id);
}

void CListBox::GetText(int index, CString& text) const {
    const int n = static_cast<int>(::SendMessageW(m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0));
    if (n < 0) {
        text.Empty();
        return;
    }
    std::u16string buffer(static_cast<std::size_t>(n) + 1, u'\0');
    ::SendMessageW(m_hWnd, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(n));
    text = CString(buffer);
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    } else if (message == WM_MEASUREITEM) {
        MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    } else {
        return FALSE;
    }
    if (result) *result = TRUE;
    return TRUE;
}

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateControl(this, WC_COMBOBOX, u"", style, rect, parent, id);
}

void CComboBox::GetLBText(int index, CString& text) const {
    const int n = static_cast<int>(::SendMessageW(m_hWnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
    if (n < 0) {
        text.Empty();
        return;
    }
    std::u16string buffer(static_cast<std::size_t>(n) + 1, u'\0');
    ::SendMessageW(m_hWnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(n));
    text = CString(buffer);
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList ? TRUE : FALSE;
}

BOOL CImageList::DeleteImageList() {
    if (!m_hImageList) return FALSE;
    ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return TRUE;
}

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateControl(this, WC_LISTVIEW, u"", style, rect, parent, id);
}

int CListCtrl::InsertColumn(int index, LPCWSTR heading, int format, int width, int subItem) {
    LVCOLUMNW col;
    col.mask = LVCF_TEXT | LVCF_FMT;
    col.fmt = format;
    col.pszText = const_cast<LPWSTR>(heading);
    if (width >= 0) {
        col.mask |= LVCF_WIDTH;
        col.cx = width;
    }
    col.iSubItem = subItem;
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int index, LPCWSTR text, int image) {
    LVITEMW item;
    item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
    item.iItem = index;
    item.pszText = const_cast<LPWSTR>(text);
    item.iImage = image;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItemText(int index, int subItem, LPCWSTR text) {
    LVITEMW item;
    item.iSubItem = subItem;
    item.pszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int index, int subItem) const {
    std::u16string buffer(1024, u'\0');
    LVITEMW item;
    item.iSubItem = subItem;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto n =
        ::SendMessageW(m_hWnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    buffer.resize(static_cast<std::size_t>(std::max<LRESULT>(0, n)));
    return CString(buffer);
}

BOOL CListCtrl::SetItemData(int index, std::uintptr_t data) {
    LVITEMW item;
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = static_cast<LPARAM>(data);
    return SetItem(&item);
}

std::uintptr_t CListCtrl::GetItemData(int index) const {
    LVITEMW item;
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return GetItem(&item) ? static_cast<std::uintptr_t>(item.lParam) : 0;
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) {
    LVITEMW item;
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

CImageList* CListCtrl::SetImageList(CImageList* list, int) {
    CImageList* old = m_imageList;
    m_imageList = list;
    SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(list ? list->m_hImageList : nullptr));
    return old;
}

BOOL CListCtrl::GetItemRect(int index, LPRECT rect, UINT code) const {
    if (!rect) return FALSE;
    rect->left = static_cast<LONG>(code);
    return static_cast<BOOL>(
        ::SendMessageW(m_hWnd, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)));
}

int CListCtrl::HitTest(CPoint point, UINT* flags) const {
    LVHITTESTINFO info;
    info.pt = point;
    const int i = HitTest(&info);
    if (flags) *flags = info.flags;
    return i;
}

BOOL CListCtrl::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    } else if (message == WM_MEASUREITEM) {
        MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    } else {
        return FALSE;
    }
    if (result) *result = TRUE;
    return TRUE;
}

BOOL CSliderCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateControl(this, TRACKBAR_CLASS, u"", style, rect, parent, id);
}

BOOL CTabCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateControl(this, WC_TABCONTROL, u"", style, rect, parent, id);
}

int CTabCtrl::InsertItem(int index, LPCWSTR text) {
    TCITEMW item;
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPWSTR>(text);
    return static_cast<int>(
        SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

// ---- named bitmaps ----

namespace {

std::u16string Upper(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return s;
}

void FillSolid(HDC dc, RECT r, COLORREF color) {
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void Bevel(HDC dc, RECT r, bool sunken) {
    HPEN light = CreatePen(0, 1, sunken ? RGB(64, 64, 64) : RGB(255, 255, 255));
    HPEN dark = CreatePen(0, 1, sunken ? RGB(255, 255, 255) : RGB(64, 64, 64));
    HGDIOBJ old = SelectObject(dc, light);
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right - 1, r.top);
    SelectObject(dc, dark);
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.left, r.bottom - 1);
    SelectObject(dc, old);
    DeleteObject(light);
    DeleteObject(dark);
}

} // namespace

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name) {
    if (!name || IS_INTRESOURCE(name)) return nullptr;
    std::u16string key = Upper(name);
    if (key.size() < 2) return nullptr;
    const char16_t state = key.back();
    if (state != u'U' && state != u'D' && state != u'X') return nullptr;
    const std::u16string caption = key.substr(0, key.size() - 1);
    // The bitmap buttons of the pages: the list's page buttons and its speed / time switch.
    static const std::u16string known[] = {u"UP", u"DOWN", u"SPEED", u"TIME"};
    if (std::find(std::begin(known), std::end(known), caption) == std::end(known)) return nullptr;
    // Sizes that fit the places the pages give the buttons: the speed and time buttons share a
    // 28 x 57 place; the page buttons are 28 x 28.
    int width = 28;
    int height = 28;
    if (caption == u"SPEED" || caption == u"TIME") height = 57;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    if (!bitmap) {
        DeleteDC(dc);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    const bool down = state == u'D';
    const bool disabled = state == u'X';
    const RECT all{0, 0, width, height};
    FillSolid(dc, all, down ? RGB(160, 196, 232) : RGB(212, 220, 232));
    Bevel(dc, all, down);
    const COLORREF ink = disabled ? RGB(150, 150, 150) : RGB(16, 32, 96);
    const int shift = down ? 1 : 0;
    if (caption == u"UP" || caption == u"DOWN") {
        const int cx = width / 2 + shift;
        const int cy = height / 2 + shift;
        const bool up = caption == u"UP";
        POINT tri[3] = {
            {cx - 8, up ? cy + 4 : cy - 4}, {cx + 8, up ? cy + 4 : cy - 4}, {cx, up ? cy - 5 : cy + 5}};
        HBRUSH brush = CreateSolidBrush(ink);
        HPEN pen = CreatePen(0, 1, ink);
        HGDIOBJ ob = SelectObject(dc, brush);
        HGDIOBJ op = SelectObject(dc, pen);
        Polygon(dc, tri, 3);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        DeleteObject(brush);
        DeleteObject(pen);
    } else {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ink);
        RECT r{shift, shift, width + shift, height + shift};
        // Narrow tall buttons stack their caption one letter a line.
        std::u16string text = caption;
        UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        if (height > 2 * width) {
            std::u16string stacked;
            for (char16_t c : caption) {
                if (!stacked.empty()) stacked += u'\n';
                stacked += c;
            }
            text = stacked;
            RECT measure = r;
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measure,
                      DT_CENTER | DT_CALCRECT | DT_NOPREFIX);
            const int h = measure.bottom - measure.top;
            r.top += (height - h) / 2;
            format = DT_CENTER | DT_NOPREFIX;
        }
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

// ---- numbered icons ----

namespace {

std::uint32_t Argb(COLORREF c) {
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

// A 16 x 16 double chevron in the colour of a speed class, pointing down or up.
std::vector<std::uint32_t> Chevron(COLORREF color, bool down) {
    std::vector<std::uint32_t> px(16 * 16, 0);
    const std::uint32_t main = Argb(color);
    const std::uint32_t edge = 0xFF202020u;
    for (int k = 0; k < 2; ++k) {
        const int base = 3 + k * 6; // two chevrons, 6 rows apart
        for (int i = 0; i < 7; ++i) {
            for (int t = 0; t < 3; ++t) {
                const int row = base + i / 2 + t - 1;
                const int xl = 1 + i;
                const int xr = 14 - i;
                for (int x : {xl, xr}) {
                    const int y = down ? row : 15 - row;
                    if (y < 0 || y > 15) continue;
                    px[static_cast<std::size_t>(y) * 16 + x] = t == 1 ? main : edge;
                }
            }
        }
    }
    return px;
}

} // namespace

void AfxRegisterSystemIcons() {
    static std::once_flag once;
    std::call_once(once, [] {
        // 131: the detail icon of result lists, a blue "i" in a circle.
        std::vector<std::uint32_t> detail(16 * 16, 0);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const int dx = 2 * x - 15;
                const int dy = 2 * y - 15;
                if (dx * dx + dy * dy <= 15 * 15) detail[static_cast<std::size_t>(y) * 16 + x] = 0xFF2060C0u;
            }
        for (int y : {3, 4})
            detail[static_cast<std::size_t>(y) * 16 + 7] = detail[static_cast<std::size_t>(y) * 16 + 8] =
                0xFFFFFFFFu;
        for (int y = 6; y <= 12; ++y)
            detail[static_cast<std::size_t>(y) * 16 + 7] = detail[static_cast<std::size_t>(y) * 16 + 8] =
                0xFFFFFFFFu;
        GdiRegisterIconResource(131, 16, 16, detail.data());

        // 478: the map marker, a red ring with a white centre, 24 x 24.
        std::vector<std::uint32_t> marker(24 * 24, 0);
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x) {
                const int dx = 2 * x - 23;
                const int dy = 2 * y - 23;
                const int d = dx * dx + dy * dy;
                if (d <= 22 * 22)
                    marker[static_cast<std::size_t>(y) * 24 + x] = d <= 8 * 8 ? 0xFFFFFFFFu : 0xFFD02020u;
            }
        GdiRegisterIconResource(478, 24, 24, marker.data());

        // Speed chevrons: left icons point down, right icons up, coloured by speed class.
        struct Chev {
            UINT left;
            UINT right;
            COLORREF color;
        };
        const Chev chevrons[] = {{623, 619, 0xDC0000},
                                 {624, 620, 0x00B93D},
                                 {625, 621, 0x0092DC},
                                 {626, 622, 0x0000DC},
                                 {658, 653, 0xC2C2C2}};
        for (const Chev& c : chevrons) {
            const auto down = Chevron(c.color, true);
            const auto up = Chevron(c.color, false);
            GdiRegisterIconResource(c.left, 16, 16, down.data());
            GdiRegisterIconResource(c.right, 16, 16, up.data());
        }
    });
}

// ---- numbered strings ----

namespace {

const std::map<UINT, const char16_t*>& StringTable() {
    static const std::map<UINT, const char16_t*> table = {
        {104, u"Windows sockets initialization failed."},
        {129, u"'%1' 지도를 읽을 수 없습니다."},
        // The route commands' messages.
        {132, u"경로상에 가지못하는 도로가 있으니,지점을 재설정하여 주십시오."},
        {134, u"출발지 정류장을 찾지 못하였습니다. 재설정 하십시오."},
        {135, u"도착지 정류장을 찾지 못하였습니다. 재설정 하십시오."},
        {136, u"정상적으로 서비스 할 수 없습니다. 잠시 후 재시도 하십시오."},
        {137, u"지원되지 않는 지역입니다."},
        {138, u"경로가 없습니다. 출발지와 목적지를 재설정 하십시오."},
        {139, u"통신설정을 확인해 주십시오."},
        {140, u"출발지 혹은 목적지가 없습니다. 재설정 하십시오."},
        {141, u"전화를 걸 수 없습니다."},
        {145, u"'%1' 을(를) 찾을 수 없습니다."},
        {146, u"경로 저장 파일이 아닙니다."},
        {147, u"경로를 이탈 하였습니다."},
        {184, u"경유지는 최대 5개까지 설정할 수 있습니다."},
        {185, u"경유지가 있어 역방향 탐색을 할 수 없습니다."},
        {212, u"재탐색 중에는 경로를 읽을 수 없습니다."},
        {10004, u"이전버전의 경로탐색 파일입니다."},
        {10018, u"설정된 경로를 취소하시겠습니까?"},
        {10022, u"현위치로 출발지를 설정하시겠습니까?"},
        {32889, u"재탐색 실행 중입니다."},
        {61220, u"탐색된 경로가 없습니다.\n모의주행을 시작할수 없습니다."},
        {149, u"허용 갯수를 초과하였습니다.기존의 등록지점을 삭제후 추가하여 주십시오."},
        {150, u"등록지점을 추가할 수 없습니다."},
        {151, u"환경 설정 Database를 생성할 수 없습니다."},
        {153, u"사용가능한 메모리가 부족합니다.프로그램 메모리를 15MB이상 확보하여 주십시오.프로그램을 종료하시겠습니까?"},
        {154, u"사용가능한 메모리가 부족하므로 일부기능이 동작하지 않을 수 있습니다. 계속하시겠습니까?"},
        {155, u"현위치기억을 위한 Database를 생성할 수 없습니다."},
        {159, u"시리얼 포트를 사용할 수 없습니다."},
        {160, u"시리얼 포트가 정상 동작 중 입니다."},
        {164, u"벨코900 메모리카드를 삽입해 주십시오."},
        {168, u"명칭을 입력하십시오."},
        {169, u"허용 명칭 길이를 초과하였습니다. 명칭 길이를 줄여 입력하여 주십시오."},
        {181, u"주행중 또는 모의주행중에만 입력가능합니다."},
        {191, u"경위도가 지도 범위를 벗어났습니다."},
        {177, u"경로탐색 데이터가 이전버전이거나,잘못 설치되었습니다."},
        {192, u"GPS 초기화를 할 수 없습니다."},
        {208, u"GPS 데이터를 수신 중입니다."},
        {211, u"DORVA 가 지도 범위를 벗어났습니다."},
        {218, u"지점을 먼저 선택하십시오."},
        {219, u"목적지를 먼저 설정하신 후 바로탐색을 실행하십시오."},
        {10009, u"'%1' 을(를) 삭제하시겠습니까?"},
        {10010, u"등록 지점을 삭제할 수 없습니다."},
        {214, u"지도 정보를 읽을 수 없습니다. 지도 데이터가 없을 경우 지도 데이터를 다시 설치하시기 바랍니다."},
        {216, u"경로탐색 데이터가 없거나, 잘못 설치되었습니다.지도 데이터를 다시 설치하시기 바랍니다."},
        {217, u"검색 데이터가 없거나, 잘못 설치되었습니다.지도 데이터를 다시 설치하시기 바랍니다."},
        {61206, u"최근목적지을 위한 Database를 생성할 수 없습니다."},
        {61221, u"검색 DB버젼이 최신이 아닙니다. 최신 검색 DB를 설치하여 주십시오."},
        {61208, u"입력값이 유효하지 않습니다."},
        {61209, u"GPS 수신기 연결상태를 확인하세요."},
        {61210, u"목적지를 먼저 설정하신 후 바로탐색을 실행시켜주십시오."},
        {61212, u"사용자 정보 저장 위치를 변경할 수 없습니다. 저장장치가 올바로 동작하는지 확인해 주십시요."},
        {61219, u"저장장치에 파일을 저장할 수 없습니다. 저장장치의 Lock을 푸시고 재실행해 주시기 바랍니다."},
    };
    return table;
}

} // namespace

CString AfxLoadString(UINT id) {
    auto it = StringTable().find(id);
    return it == StringTable().end() ? CString() : CString(it->second);
}

int LoadStringW(HINSTANCE, UINT id, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const CString text = AfxLoadString(id);
    const int n = std::min(text.GetLength(), size - 1);
    std::copy_n(text.GetString(), n, buffer);
    buffer[n] = 0;
    return n;
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
    const CString text = AfxLoadString(stringId);
    return AfxMessageBox(text.GetString(), type, helpId);
}
