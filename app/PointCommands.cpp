#include "app/PointCommands.h"

#include "app/NaviApp.h"
#include "app/PositionStore.h"
#include "app/RecentDestList.h"
#include "app/RecentDestTab.h"
#include "app/SafePointList.h"
#include "app/StorageLocation.h"
#include "commondlg/NaviMessageBox.h"
#include "config/NaviConfig.h"
#include "platform/window/AfxControls.h"

namespace {
constexpr int kStringStorageNotChanged = 61212;
} // namespace

int RunRecentDestinations(CWnd* parent, NaviRcBuilder* builder, bool directRoute, CSelectedPoint& remembered,
                          CSelectedPoint& chosen) {
    CRecentDestList& list = CRecentDestList::Instance();
    if (list.GetCount() < 1) return 0;
    CRecentDestTab dialog(parent, list, navi::g_recentDestPath);
    dialog.SetRcBuilder(builder);
    dialog.SetPanelName(u"최근목적지");
    dialog.SetDirectRoute(directRoute);
    dialog.SetSelection(remembered);
    dialog.DoModal();
    int result = dialog.GetResult();
    if (result == CRecentDestTab::kShow || result == CRecentDestTab::kRouteNow) {
        if (dialog.GetSelection(chosen)) {
            remembered = chosen;
        } else {
            NaviMessageBox::ShowMessage(u"최근목적지의 정보를 검색할 수 없습니다.", NaviMessageBox::kNotice);
            result = CRecentDestTab::kClosed;
        }
    }
    if (result == CRecentDestTab::kClosed || result == CRecentDestTab::kCurrentPosition) remembered.Reset();
    return result;
}

int RunSafeDrivingPoints(CWnd* parent, NaviRcBuilder* builder, bool directRoute, CSafePointSelection& remembered,
                         CSafePointSelection& chosen, bool& restored) {
    CSafePointList& registered = CSafePointList::Added();
    CSafePointList& switchedOff = CSafePointList::Removed();
    restored = false;
    if (registered.GetCount() < 1 && switchedOff.GetCount() < 1) return 0;
    const CNaviConfig* config = CNaviConfig::GetInstance();
    CSafeDrivingDlg dialog(parent, registered, config->GetItemPath(u"안전운행지점", -1), switchedOff,
                           config->GetItemPath(u"안전운행지점(지운것)", -1));
    dialog.SetRcBuilder(builder);
    dialog.SetPanelName(u"안전운행관리");
    dialog.SetDirectRoute(directRoute);
    dialog.SetSelection(remembered);
    dialog.DoModal();
    restored = dialog.WasRestored();
    int result = dialog.GetResult();
    if (result == CSafeDrivingDlg::kShow || result == CSafeDrivingDlg::kRouteNow) {
        if (dialog.GetSelection(chosen)) {
            remembered = chosen;
        } else {
            NaviMessageBox::ShowMessage(u"안전운행구간에 대한 정보를 확인할 수 없습니다.", NaviMessageBox::kNotice);
            result = CSafeDrivingDlg::kClosed;
        }
    }
    if (result == CSafeDrivingDlg::kClosed || result == CSafeDrivingDlg::kCurrentPosition) remembered.Reset();
    return result;
}

bool ApplyStorageLocationChange(int oldValue) {
    CNaviConfig* config = CNaviConfig::GetInstance();
    if ((config->GetValue(64) != 0) == (oldValue != 0)) return true;
    if (!ChangeStorageLocation(oldValue)) {
        NaviMessageBox::ShowMessage(AfxLoadString(kStringStorageNotChanged), NaviMessageBox::kNotice);
        return false;
    }
    CPositionStore& store = CPositionStore::Instance();
    store.SetBaseFolder(config->GetItemPath(u"현재저장위치", -1));
    store.Reload();
    return true;
}
