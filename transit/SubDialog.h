// CSubDialog: shows a held subway answer; "보기" hands the chosen station back through GetInfo.
#pragma once

#include "transit/SubConnect.h"
#include "transit/TransitResultDialog.h"

class CSubDialog : public CTransitResultDialogOf<CSubConnect, SubLineInfo> {
public:
    explicit CSubDialog(CWnd* parent = nullptr);

protected:
    bool Fetch(int route, int stop, SubLineInfo& info) const override;
    bool StopRow(int route, int stop, int stopCount, CString& row) const override;
};
