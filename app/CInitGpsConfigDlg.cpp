#include "app/CInitGpsConfigDlg.h"

#include "app/CMainView.h"
#include "app/NaviApp.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/files/DeviceRoot.h"
#include "platform/window/Afx.h"
#include "position/PositionWorkers.h"
#include "skinui/NaviPanel.h"
#include "skinui/main/NaviMainScreen.h"
#include "skinui/controls/NaviControlIds.h"

namespace {

constexpr const char16_t* kNotFound =
    u"GPS 수신기를 찾을 수 없습니다. 수신기가 PDA에 연결되어 있는지 확인하십시오. \n\n다시 설정하시겠습니까?";
constexpr const char16_t* kFoundWithUnit = u"수신기를 찾았습니다.\nGPS 수신기 : %s\nZARN 수신기 : 사용\n\n설정하시겠습니까?";
constexpr const char16_t* kFoundGpsOnly = u"수신기를 찾았습니다.\nGPS 수신기 : %s\nZARN 수신기 : 없음\n\n설정하시겠습니까?";

void RegisterTemplate() {
    static bool registered = false;
    if (registered) return;
    DialogTemplateInfo info;
    info.rect = RECT{0, 0, 240, 320};
    info.style = WS_POPUP | WS_VISIBLE;
    AfxRegisterDialogTemplate(CInitGpsConfigDlg::kTemplateId, info);
    registered = true;
}

CString PortName(std::uint32_t port) {
    CString name;
    name.Format(u"COM%d:", static_cast<int>(port));
    return name;
}

// The program folder: the folder of the program's own path.
CString ProgramFolder() {
    const std::u16string program = DeviceRoot::ProgramPath();
    const std::size_t slash = program.rfind(u'\\');
    return CString(slash == std::u16string::npos ? std::u16string() : program.substr(0, slash));
}

} // namespace

CInitGpsConfigDlg::CInitGpsConfigDlg(CWnd* owner, CNaviConfig* config)
    : NaviDialog(kTemplateId, owner, owner), m_config(config ? config : CNaviConfig::GetInstance()) {}

CInitGpsConfigDlg::~CInitGpsConfigDlg() {
    DeletePanel();
}

bool CInitGpsConfigDlg::LoadTable() {
    CString path;
    path.Format(u"%s\\%s", ProgramFolder().GetString(), kFileName);
    m_model = -1;
    if (!m_table.Load(path.GetString())) return false;
    const char16_t* name = CGpsConfigTable::ModelNameOfDevice(m_deviceType);
    if (name) m_model = m_table.FindModel(CString(name));
    return true;
}

bool CInitGpsConfigDlg::CheckAutoConfig() {
    if (!LoadTable() || !m_config) return false;
    if (m_config->GetValue(kSetUpDone) == 1 || m_model < 0) return false;
    int count = 0;
    int last = -1;
    bool unit = false;
    for (int r = 0; r < m_table.ReceiverCount(); ++r) {
        const CGpsConfigTable::Cell cell = m_table.GetCell(r, m_model);
        if (cell.gpsPort != 0) {
            ++count;
            last = r;
        }
        if (cell.unitPort != 0) {
            ++count;
            last = r;
            unit = true;
        }
    }
    if (count > 1) return true;
    if (count == 1) ApplyEntry(last, unit);
    return false;
}

void CInitGpsConfigDlg::ApplyEntry(int r, bool unit) {
    if (!m_config) return;
    const CGpsConfigTable::Cell cell = m_table.GetCell(r, m_model);
    int separate = 0;
    std::uint32_t port = cell.gpsPort;
    std::uint32_t baud = cell.gpsBaud;
    // The unit alone when it shares the GPS port, and when the entry has no GPS port at all
    // (storing "separate GPS" on port 0 - 1 would leave the reader without a port).
    if (unit && (cell.gpsPort == cell.unitPort || cell.gpsPort == 0)) {
        port = cell.unitPort;
        baud = cell.unitBaud;
    } else if (unit) {
        separate = 1;
    }
    if (port == 0) return; // an entry without any port stores nothing
    m_config->SetValue(kNoDatumShift, 0);
    m_config->SetValue(kPortIndex, static_cast<std::int32_t>(port) - 1);
    m_config->SetValue(kSpeedCode, CGpsConfigTable::SpeedCode(baud));
    m_config->SetValue(kUseUnit, unit ? 1 : 0);
    m_config->SetValue(kSeparateGps, separate);
    m_config->SetValue(kUnitCopy, unit ? 1 : 0);
    m_config->SetValue(kSetUpDone, 1);
    m_config->SaveSettings(-1);
}

int CInitGpsConfigDlg::ProbeEntries(bool& unitFound) {
    unitFound = false;
    if (!m_prober || m_model < 0) return -1;
    for (int r = 0; r < m_table.ReceiverCount(); ++r) {
        const CGpsConfigTable::Cell cell = m_table.GetCell(r, m_model);
        if (cell.gpsPort == 0 || cell.gpsBaud == 0) continue;
        if (cell.gpsPort == cell.unitPort) {
            CWaitCursor wait;
            if (m_prober->ProbeUnitPortAndResume(PortName(cell.unitPort).GetString(), cell.unitBaud)) {
                unitFound = true;
                return r;
            }
        }
        bool gps = false;
        {
            CWaitCursor wait;
            gps = m_prober->ProbeNmeaPortAndResume(PortName(cell.gpsPort).GetString(), cell.gpsBaud);
        }
        if (!gps) continue;
        if (cell.unitPort != 0 && cell.unitPort != cell.gpsPort) {
            CWaitCursor wait;
            unitFound = m_prober->ProbeUnitPortAndResume(PortName(cell.unitPort).GetString(), cell.unitBaud);
        }
        return r;
    }
    return -1;
}

bool CInitGpsConfigDlg::RunAutoSetup() {
    for (;;) {
        bool unit = false;
        const int r = ProbeEntries(unit);
        if (r < 0) {
            if (NaviMessageBox::ShowMessage(kNotFound, NaviMessageBox::kQuestion) == NaviMessageBox::kYes) continue;
            return false;
        }
        m_entry = r;
        m_unitFound = unit;
        CString question;
        question.Format(unit ? kFoundWithUnit : kFoundGpsOnly, m_table.ReceiverName(r).GetString());
        if (NaviMessageBox::ShowMessage(question, NaviMessageBox::kQuestion) != NaviMessageBox::kYes) return false;
        ApplyEntry(r, unit);
        return true;
    }
}

INT_PTR CInitGpsConfigDlg::DoModal() {
    RegisterTemplate();
    if (m_model < 0) LoadTable();
    return NaviDialog::DoModal();
}

BOOL CInitGpsConfigDlg::OnInitDialog() {
    NaviDialog::OnInitDialog();
    InitSkin(this);
    if (m_panel) {
        NaviCommand name;
        name.target = kTargetDialog;
        name.control = u"PDA이름";
        name.id = kCmdSetLabelText;
        name.text = m_table.ModelName(m_model);
        m_panel->ProcessCommand(name);
    }
    return TRUE;
}

void CInitGpsConfigDlg::Close(int result) {
    if (GetSafeHwnd()) EndDialog(result);
}

void CInitGpsConfigDlg::ProcessEvent(NaviCommand& cmd) {
    if (cmd.id != kCmdTapped) return;
    if (cmd.target == CString(u"다음부터 이 창을 띄우지 않음")) {
        if (m_config) {
            m_config->SetValue(kSetUpDone, 1);
            m_config->SaveSettings(-1);
        }
        Close(IDOK);
    } else if (cmd.target == CString(u"다음에설정")) {
        Close(IDCANCEL);
    } else if (cmd.target == CString(u"자동설정")) {
        if (RunAutoSetup()) Close(IDOK);
        else if (GetSafeHwnd()) Invalidate(FALSE);
    }
}

void CInitGpsConfigDlg::RunInitialSetUp(CMainView& view, bool vehicleStored) {
    CInitGpsConfigDlg dialog(&view);
    dialog.SetDataFolder(navi::g_dataFolder);
    dialog.SetPanelName(u"PDA_GPS_CONFIG");
    dialog.SetRcBuilder(view.GetMainScreen() ? view.GetMainScreen()->GetRcBuilder() : nullptr);
    dialog.SetDeviceType(navi::g_deviceType);
    if (!dialog.CheckAutoConfig() || vehicleStored) return;
    // The probes go through the GPS reader, which is made here when the dialog runs first.
    view.CreatePositionServices();
    dialog.SetProber(view.GetPositionWorkers());
    dialog.DoModal();
    if (dialog.m_config) dialog.m_config->SaveSettings(-1);
}
