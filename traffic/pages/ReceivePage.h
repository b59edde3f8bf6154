// The receiver status tab ("상태"), an empty page with its caption until the status page is built.
#pragma once

#include "platform/window/PropertySheet.h"

class CReceivePage : public CPropertyPage {
    DECLARE_DYNAMIC(CReceivePage)
public:
    static constexpr UINT IDD = 4307;
    CReceivePage() : CPropertyPage(IDD) {}
    static void RegisterTemplate();
    // Called by the sheet as it closes.
    void OnSheetDestroy() {}
};
