// CBusDialog: shows a held bus answer; "보기" hands the chosen stop back through GetInfo.
#pragma once

#include "transit/BusConnect.h"
#include "transit/TransitResultDialog.h"

class CBusDialog : public CTransitResultDialog {
public:
    explicit CBusDialog(CWnd* parent = nullptr);
    // The stop chosen with "보기" (all zero when none was); returns 1.
    int GetInfo(BusStopInfo& info) const;

    CBusConnect* m_pConnect = nullptr;

protected:
    int RouteCount() const override;
    int StopCount(int route) const override;
    int TotalStops(int route) const override;
    bool StopRow(int route, int stop, int stopCount, CString& row) const override;
    bool ChooseStop(int route, int stop) override;

private:
    BusStopInfo m_info{};
};
