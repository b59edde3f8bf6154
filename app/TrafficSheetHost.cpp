#include "app/TrafficSheetHost.h"

#include "config/NaviConfig.h"
#include "platform/window/Shell.h"
#include "traffic/pages/DARCSheet.h"

namespace traffic_sheet {
namespace {

constexpr std::int64_t kStepDistance[9] = {640000, 160000, 20000, 10000, 5000, 2000, 1000, 500, 250};

std::u16string Number(int n) {
    std::u16string out;
    for (char c : std::to_string(n)) out.push_back(static_cast<char16_t>(c));
    return out;
}

} // namespace

std::u16string Title(const CTime& download, const CTime& now) {
    const std::int64_t age = now.GetTime() - download.GetTime();
    if (download.GetTime() == 0 || age > std::int64_t{kTitleValidMinutes} * 60) return u"교통정보";
    return u"교통정보[" + Number(download.GetMonth()) + u"월" + Number(download.GetDay()) + u"일" +
           Number(download.GetHour()) + u"시" + Number(download.GetMinute()) + u"분 수신정보]";
}

int MapMoveStep(std::int64_t distance) {
    for (int step = 8; step >= 1; --step)
        if (kStepDistance[step] >= distance) return step;
    return 0;
}

} // namespace traffic_sheet

CTrafficSheetHost::CTrafficSheetHost(CWnd* parent) : CDialog(traffic_sheet::kHostTemplate, parent) {
    using namespace traffic_sheet;
    if (!AfxFindDialogTemplate(kHostTemplate, nullptr)) {
        DialogTemplateInfo info;
        info.rect = RECT{kHostX, kHostY, kHostX + kHostWidth, kHostY + kHostHeight};
        info.style = WS_POPUP;
        info.title = u"";
        AfxRegisterDialogTemplate(kHostTemplate, info);
    }
}

void CTrafficSheetHost::SetTitle(const CString& title, NaviRcBuilder* builder) {
    m_title = title;
    m_builder = builder;
}

BOOL CTrafficSheetHost::OnInitDialog() {
    CDialog::OnInitDialog();
    using namespace traffic_sheet;
    MoveWindow(kHostX, kHostY, kHostWidth, kHostHeight);
    {
        CDARCSheet sheet(kSheetCaption, this, 0);
        sheet.SetTrafficTitle(m_title, m_builder);
        sheet.SetConfigPointer(CNaviConfig::GetInstance());
        if (m_runSheet)
            m_runSheet(sheet);
        else
            sheet.DoModal();
        PostMessage(WM_CLOSE);
    }
    return TRUE;
}

void CTrafficSheetHost::OnActivate(UINT state, CWnd* other, BOOL minimized) {
    SHSipPreference(m_hWnd, SIP_FORCEDOWN);
    CDialog::OnActivate(state, other, minimized);
}
