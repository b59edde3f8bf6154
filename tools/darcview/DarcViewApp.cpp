#include "tools/darcview/DarcViewApp.h"

#include "config/NaviConfig.h"
#include "mapview/CodeRecord.h"
#include "platform/base/Text.h"
#include "platform/files/Files.h"
#include "platform/files/InputFile.h"
#include "position/SerialPort.h"
#include "skinui/NaviRcBuilder.h"
#include "traffic/pages/CurrentTrafficPage.h"
#include "traffic/pages/DARCSheet.h"
#include "traffic/pages/InterestRoadFile.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/receiver/DARC.h"
#include "traffic/receiver/FreqScanner.h"
#include "traffic/receiver/Markup.h"
#include "traffic/receiver/ShortText.h"
#include "traffic/receiver/Stock.h"
#include "traffic/receiver/Traffic.h"
#include "traffic/receiver/Weather.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr UINT kHostTemplate = 636;
constexpr UINT WM_OPEN_SHEET = WM_APP + 1;
constexpr std::uint64_t kMaxStreamBytes = 1ull << 30;

// The map position of a grid cell code and an offset in it, as the navigator's map move finds it:
// corner B of the cell, x scaled by 1.2, plus the offset. False when the code has no cell.
bool CodeToPosition(int code, int dx, int dy, POINT& point) {
    char text[16];
    std::snprintf(text, sizeof text, "00%d", code);
    POINT a{}, b{};
    if (!SheetCodeToRect(text, a, b)) return false;
    point.x = static_cast<LONG>(static_cast<float>(b.x) * 1.2f) + dx;
    point.y = b.y + dy;
    return true;
}

// A sheet at the host's place.
class PlacedSheet : public CPropertySheet {
public:
    explicit PlacedSheet(CWnd* parent) : CPropertySheet(u"ZARN정보", parent, 0) {}
    BOOL OnInitDialog() override {
        const BOOL result = CPropertySheet::OnInitDialog();
        MoveWindow(0, 26, 240, 294);
        return result;
    }
};

// The current-road page, printing what it showed when it goes.
class ReportingCurrentPage : public CCurrentTrafficPage {
public:
    void OnDestroy() override {
        std::printf("current header=%s row=%d rows=%d\n", GetHeaderText().ToUtf8().c_str(),
                    GetList() ? GetList()->GetFirstSelected() : -1, GetList() ? GetList()->GetItemCount() : 0);
        CCurrentTrafficPage::OnDestroy();
    }
};

// The sheet, printing what the receive page showed (when it was opened) as it closes.
class ReportingSheet : public CDARCSheet {
public:
    ReportingSheet(LPCWSTR caption, CWnd* parent) : CDARCSheet(caption, parent, 0) {}
    void OnDestroy() override {
        CReceivePage& page = m_receivePage;
        if (page.m_hWnd) {
            CString status, rate, frequency, version, region, choice;
            page.GetDlgItemText(CReceivePage::IDC_STATUS, status);
            page.GetDlgItemText(CReceivePage::IDC_RATE, rate);
            page.GetDlgItemText(CReceivePage::IDC_FREQUENCY, frequency);
            page.GetDlgItemText(CReceivePage::IDC_VERSION, version);
            if (page.m_regionBox.GetCurSel() >= 0) page.m_regionBox.GetLBText(page.m_regionBox.GetCurSel(), region);
            if (page.m_freqBox.GetCurSel() >= 0) page.m_freqBox.GetLBText(page.m_freqBox.GetCurSel(), choice);
            std::printf("receive status=%s rate=%s frequency=%s version=%s region=%s choice=%s\n",
                        status.ToUtf8().c_str(), rate.ToUtf8().c_str(), frequency.ToUtf8().c_str(),
                        version.ToUtf8().c_str(), region.ToUtf8().c_str(), choice.ToUtf8().c_str());
        }
        CDARCSheet::OnDestroy();
    }
};

// The host dialog: placed below the top bar, it runs the sheet modally and closes itself when
// the sheet ends.
class CTrafficSheetHost : public CDialog {
public:
    CTrafficSheetHost(CWnd* parent, const CString& title, bool current, NaviRcBuilder* builder)
        : CDialog(kHostTemplate, parent), m_title(title), m_current(current), m_builder(builder) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        MoveWindow(0, 26, 240, 294);
        if (m_current) {
            // The current-road page has no tab of its own: it is shown alone.
            CCurrentTrafficPage::RegisterTemplate();
            ReportingCurrentPage page;
            PlacedSheet sheet(this);
            sheet.AddPage(&page);
            sheet.DoModal();
        } else {
            ReportingSheet sheet(u"ZARN정보", this);
            sheet.SetTrafficTitle(m_title, m_builder);
            sheet.SetConfigPointer(CNaviConfig::GetInstance());
            sheet.DoModal();
        }
        PostMessage(WM_CLOSE);
        return TRUE;
    }

private:
    CString m_title;
    bool m_current;
    NaviRcBuilder* m_builder;
};

// The screen below the sheet: a tap opens the sheet again.
class CScreenWnd : public CWnd {
public:
    CScreenWnd(const CString& title, bool current) : m_title(title), m_current(current) {
        // The weather map's images come from the device's skin.
        m_builder.OpenSkin(u"\\Program Files\\Velko\\res");
    }
    BOOL Make() {
        return CreateEx(0, AfxRegisterWndClass(0), u"velko-darcview", WS_POPUP | WS_VISIBLE, 0, 0, 240, 320, nullptr,
                        nullptr);
    }
    void OnPaint() override {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(rc);
        dc.FillSolidRect(rc, RGB(220, 230, 242));
        dc.SetBkMode(TRANSPARENT);
        const char16_t* hint = u"화면을 누르면 ZARN정보를 엽니다";
        dc.TextOut(12, 150, hint, static_cast<int>(std::char_traits<char16_t>::length(hint)));
    }
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnLButtonDown(UINT, CPoint) override { Open(); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_OPEN_SHEET) {
            Open();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { PostQuitMessage(0); }

private:
    void Open() {
        if (m_open) return;
        m_open = true;
        CSheetStorage* storage = CSheetStorage::instance();
        storage->StoreDisplayOption(m_display);
        CTrafficSheetHost host(this, m_title, m_current, &m_builder);
        host.DoModal();
        ++m_openings;
        Report();
        m_open = false;
    }
    void Report() {
        CSheetStorage* storage = CSheetStorage::instance();
        std::printf("sheet=%d closed\n", m_openings);
        if (storage->IsMapMoveFlag() && storage->GetMapMove()) {
            std::printf("mapmove=1 %s\n", MapMoveText(*storage->GetMapMove()).c_str());
            storage->SetMapMoveFlag(0);
        } else {
            std::printf("mapmove=0\n");
        }
        storage->RestoreDisplayOption(m_display);
        std::printf("display=%d,%d,%d,%d\n", m_display[0], m_display[1], m_display[2], m_display[3]);
        CTraffic::instance()->SetDisplayOnOff(m_display);
        const CString path = CInterestRoadFile::PathOf(CNaviConfig::GetInstance());
        std::vector<InterestRoadSlot> slots(CInterestRoadFile::kSlots);
        if (!path.IsEmpty() && CInterestRoadFile::Read(path.GetString(), slots.data()))
            for (int k = 0; k < CInterestRoadFile::kSlots; ++k)
                if (slots[static_cast<std::size_t>(k)].IsUsed())
                    std::printf("interest slot=%d name=%s\n", k,
                                Cp949ToUtf8(slots[static_cast<std::size_t>(k)].name).c_str());
        std::fflush(stdout);
    }

    CString m_title;
    bool m_current;
    bool m_open = false;
    int m_openings = 0;
    bool m_display[4] = {true, true, true, true};
    NaviRcBuilder m_builder;
};

} // namespace

std::string MapMoveText(const sMOVEMAP& move) {
    char text[128];
    std::snprintf(text, sizeof text, "x=%d y=%d extent=%u code=%d", move.x, move.y, move.extent, move.code);
    std::string out = text;
    POINT p{};
    if (CodeToPosition(move.code, move.x, move.y, p)) {
        std::snprintf(text, sizeof text, " position=%ld,%ld", static_cast<long>(p.x), static_cast<long>(p.y));
        out += text;
    }
    return out;
}

DarcViewApp::DarcViewApp(DarcViewOptions options) : CWinApp(u"velko-darcview"), m_options(std::move(options)) {}

void DarcViewApp::Parse(const char* bytes, int count) {
    if (count <= 0) return;
    CDARC* darc = CDARC::instance();
    darc->SetDARCConnected(1);
    darc->SetData(bytes, static_cast<unsigned long>(count));
    const int parsed = darc->ParseData();
    if (parsed > 0) m_packets += parsed;
}

bool DarcViewApp::Feed() {
    if (m_options.stream.empty()) return true;
    InputFile input;
    if (!input.Open(m_options.stream, kMaxStreamBytes, m_error)) return false;
    std::vector<char> buffer(2048);
    for (long n; (n = input.Read(buffer.data(), buffer.size())) != 0;) {
        if (n < 0) {
            m_error = m_options.stream + ": cannot be read";
            return false;
        }
        Parse(buffer.data(), static_cast<int>(n));
    }
    std::printf("stream packets=%ld\n", m_packets);
    return true;
}

// Reads the receiver's port for the given time (wall-clock) before the sheet opens, as the
// navigator's reception thread would have.
bool DarcViewApp::FeedFromPort() {
    if (!m_options.port) return true;
    CSerialPort& serial = *m_options.port;
    const long before = m_packets;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(m_options.seconds);
    std::vector<char> buffer(2048);
    while (std::chrono::steady_clock::now() < end) {
        const int n = serial.Read(buffer.data(), static_cast<int>(buffer.size()));
        if (n < 0) {
            m_error = "the port failed";
            return false;
        }
        if (n > 0)
            Parse(buffer.data(), n);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::printf("port packets=%ld\n", m_packets - before);
    return true;
}

BOOL DarcViewApp::InitInstance() {
    DialogTemplateInfo host;
    host.rect = RECT{0, 26, 240, 320};
    host.style = WS_POPUP | WS_VISIBLE;
    host.title = u"ZARN정보";
    AfxRegisterDialogTemplate(kHostTemplate, host);

    const CString folder(m_options.mapFolder);
    CTraffic::instance()->openFile(folder);
    CFreqScanner::instance()->openFile(folder);
    CMarkup::instance()->openFile(folder);
    CShortText::instance()->openFile(folder);
    CStock::instance()->openFile(folder);
    CWeather::instance()->openFile(folder);
    if (!Feed() || !FeedFromPort()) {
        std::fprintf(stderr, "velko-darcview: %s\n", m_error.c_str());
        return FALSE;
    }
    if (m_options.match) CDARC::instance()->SetMatchDARCID(m_options.matchFirst, m_options.matchSecond);

    CNaviConfig* config = CNaviConfig::GetInstance();
    config->Load(m_options.mapFolder.c_str());
    // The user folder exists on a device the navigator has run on.
    CreateDirectoryW(config->GetItemPath(u"현재저장위치", -1).GetString(), nullptr);

    auto* screen = new CScreenWnd(m_options.title, m_options.current);
    if (!screen->Make()) {
        delete screen;
        return FALSE;
    }
    m_screen = screen;
    m_pMainWnd = screen;
    screen->PostMessage(WM_OPEN_SHEET);
    return TRUE;
}

int DarcViewApp::ExitInstance() {
    if (m_screen && m_screen->m_hWnd) m_screen->DestroyWindow();
    delete m_screen;
    m_screen = nullptr;
    // The stores are not closed: a look at the broadcast writes nothing of the receiver's.
    CSheetStorage::destruct();
    CWeather::destruct();
    CStock::destruct();
    CShortText::destruct();
    CMarkup::destruct();
    CTraffic::destruct();
    CDARC::destruct();
    CFreqScanner::destruct();
    CNaviConfig::DestroyInstance();
    return CWinApp::ExitInstance();
}
