#include "app/ProgramInfoDlg.h"

#include "config/NaviConfig.h"
#include "platform/files/Files.h"
#include "platform/window/Window.h"
#include "route/MapDataHeader.h"
#include "skinui/NaviCanvas.h"
#include "skinui/NaviPanel.h"
#include "skinui/NaviRcBuilder.h"
#include "skinui/NaviFrameWnd.h"
#include "skinui/controls/NaviButton.h"
#include "skinui/controls/NaviLabel.h"

#include <cstdint>

namespace {

constexpr const char16_t* kNoInfo[CProgramInfoDlg::kRows] = {u"프로그램 정보없음", u" 디스플레이 - 정보없음",
                                                             u"경로탐색 - 정보없음", u"검색 - 정보없음",
                                                             u"안전운행구간 - 정보없음"};

void RegisterTemplate() {
    // A popup without controls; the panel gives it its place and size.
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CProgramInfoDlg::kTemplate, info);
}

// The folder of the running program: its module name up to the last backslash.
CString ProgramFolder() {
    char16_t name[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, name, MAX_PATH);
    CString path(std::u16string(name, n < MAX_PATH ? n : 0).c_str());
    const int slash = path.ReverseFind(u'\\');
    return slash >= 0 ? path.Left(slash) : path;
}

} // namespace

CProgramInfoDlg::CProgramInfoDlg(CWnd* parent) : NaviDialog(kTemplate, parent, parent) {
    for (int i = 0; i < kRows; ++i) m_texts[i] = kNoInfo[i];
}

CProgramInfoDlg::~CProgramInfoDlg() { DeletePanel(); }

INT_PTR CProgramInfoDlg::DoModal() {
    RegisterTemplate();
    return NaviDialog::DoModal();
}

void CProgramInfoDlg::SetFolders(const CString& programFolder, const CString& dataFolder) {
    m_programFolder = programFolder;
    m_dataFolder = dataFolder;
    m_foldersGiven = true;
}

void CProgramInfoDlg::ProcessEvent(NaviCommand& cmd) {
    if (cmd.target == u"현위치" || cmd.target == u"VerOK") m_result = 4;
    else if (cmd.target == u"이전") m_result = 3;
    EndDialog(IDOK);
}

CString CProgramInfoDlg::SafeDrivingText(std::int32_t version) {
    const auto yy = static_cast<std::int16_t>(version / 10000);
    const auto mm = static_cast<std::int16_t>((version - yy * 10000) / 100);
    const auto t = static_cast<std::int16_t>(version - yy * 10000 - mm * 100);
    CString text;
    if (t == 0) text.Format(u"안전운행 - %02d.%02d (W)", yy, mm);
    else text.Format(u"안전운행 - %02d.%02d (T%d)", yy, mm, t);
    return text;
}

void CProgramInfoDlg::SetRow(Row row, const CString& text) {
    m_texts[row] = text;
    if (m_labels[row]) m_labels[row]->SetText(text);
}

void CProgramInfoDlg::FillRows() {
    if (!m_foldersGiven) {
        m_programFolder = ProgramFolder();
        const CNaviConfig* config = CNaviConfig::GetInstance();
        m_dataFolder = config ? CString(config->GetDataFolder()) : CString();
    }
    for (int i = 0; i < kRows; ++i) SetRow(static_cast<Row>(i), kNoInfo[i]);
    CDataInfo info;
    if (info.LoadAppInfo((m_programFolder + u"\\res\\appdatainfo.bin").GetString()))
        SetRow(kProgram, info.Program().GetText3());
    if (!m_dataFolder.IsEmpty() && info.LoadMapInfo((m_dataFolder + u"\\mapdatainfo.bin").GetString())) {
        CString date, text;
        if (info.GetDateText1(&date)) {
            text.Format(u"디스플레이 - %s", date.GetString());
            SetRow(kDisplay, text);
        }
        if (info.GetDateText3(&date)) {
            text.Format(u"경로탐색 - %s", date.GetString());
            SetRow(kRouteSearch, text);
        }
        if (info.GetDateText2(&date)) {
            text.Format(u"검색 - %s", date.GetString());
            SetRow(kSearch, text);
        }
    }
    if (m_dataFolder.IsEmpty()) return;
    // The guide-point layer's header starts with its version word, YYMMT as YY*10000+MM*100+T.
    const CString layer = m_dataFolder + u"\\point\\newGuidePoint.MDC";
    HANDLE file = CreateFileW(layer.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::uint8_t word[4] = {};
    DWORD read = 0;
    const bool ok = ReadFile(file, word, 4, &read, nullptr) && read == 4;
    CloseHandle(file);
    if (!ok) return;
    const auto version = static_cast<std::int32_t>(std::uint32_t(word[0]) | (std::uint32_t(word[1]) << 8) |
                                                   (std::uint32_t(word[2]) << 16) | (std::uint32_t(word[3]) << 24));
    SetRow(kSafeDriving, SafeDrivingText(version));
}

BOOL CProgramInfoDlg::OnInitDialog() {
    NaviDialog::OnInitDialog();
    m_result = 4;
    CreatePanel(this);
    NaviPanel* root = GetPanel();
    NaviRcBuilder* b = GetRcBuilder();
    for (NaviLabel*& label : m_labels) label = nullptr;
    if (root) {
        root->SetListener(this);
        root->SetName(GetPanelName().GetString());
        root->SetSize(240, 320);
        root->SetPos(0, 0);
    }
    if (root && b) {
        b->SetImageGroup(u"VerInfo");
        root->AddChild(b->CreateFrameWnd(u"VerTitle", true, false, 4, 0, 149, 27));
        root->AddChild(b->CreateFrameWnd(u"Verbg", true, false, 8, 39, 213, 227));
        root->AddChild(b->CreateButton(u"VerOK", true, true, true, false, 72, 276, 96, 27, root));
        struct Spot {
            int x, y;
        };
        constexpr Spot kSpots[kRows] = {{38, 68}, {182, 133}, {182, 149}, {182, 165}, {182, 181}};
        constexpr const char16_t* kNames[kRows] = {u"프로그램", u"디스플레이", u"경로탐색", u"검색", u"안전운행"};
        for (int i = 0; i < kRows; ++i) {
            // Centred across the screen: the rows at x 182 would run off its right edge if they
            // started there.
            NaviLabel* label = b->CreateLabel(kNames[i], kSpots[i].x, kSpots[i].y, 170, 25, RGB(0, 0, 0),
                                              kLabelNoBackground, kAlignScreenCentre, RGB(255, 255, 255));
            label->SetText(kNoInfo[i]);
            root->AddChild(label);
            m_labels[i] = label;
        }
    }
    const RECT rect = GetPanelRect();
    if (rect.right > rect.left && rect.bottom > rect.top) MoveWindow(&rect);
    FillRows();
    return TRUE;
}

BOOL CProgramInfoDlg::PreTranslateMessage(MSG* msg) {
    if (IsEnterOrEscape(msg)) return TRUE;
    return NaviDialog::PreTranslateMessage(msg);
}

LRESULT CProgramInfoDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND || message == WM_SETTINGCHANGE) return TRUE;
    return NaviDialog::WindowProc(message, wParam, lParam);
}

void CProgramInfoDlg::OnPaint() {
    CPaintDC dc(this);
    const RECT rect = GetPanelRect();
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    CDC memory;
    NaviCanvas canvas;
    if (!canvas.Create(&dc, RECT{0, 0, width, height}, &memory)) return;
    const RECT area{0, 0, width, height};
    memory.FillSolidRect(&area, RGB(255, 255, 255));
    ::SetViewportOrgEx(memory.GetSafeHdc(), -rect.left, -rect.top, nullptr);
    Draw(&memory);
    ::SetViewportOrgEx(memory.GetSafeHdc(), 0, 0, nullptr);
    canvas.Blit(&dc, &memory);
    canvas.Release(&memory);
}
