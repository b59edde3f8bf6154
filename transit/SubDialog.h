// CSubDialog: shows a held subway answer; "보기" hands the chosen station back through GetInfo.
#pragma once

#include "transit/SubConnect.h"
#include "transit/TransitResultDialog.h"

class CSubDialog : public CTransitResultDialog {
public:
    explicit CSubDialog(CWnd* parent = nullptr);
    int GetInfo(SubLineInfo& info) const;

    CSubConnect* m_pConnect = nullptr;

protected:
    int RouteCount() const override;
    int StopCount(int route) const override;
    int TotalStops(int route) const override;
    bool StopRow(int route, int stop, int stopCount, CString& row) const override;
    bool ChooseStop(int route, int stop) override;

private:
    SubLineInfo m_info{};
};
