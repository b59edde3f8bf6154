// CBusDialog: shows a held bus answer; "보기" hands the chosen stop back through GetInfo.
#pragma once

#include "transit/BusConnect.h"
#include "transit/TransitResultDialog.h"

class CBusDialog : public CTransitResultDialogOf<CBusConnect, BusStopInfo> {
public:
    explicit CBusDialog(CWnd* parent = nullptr);

protected:
    bool Fetch(int route, int stop, BusStopInfo& info) const override;
    bool StopRow(int route, int stop, int stopCount, CString& row) const override;
};
