// The stock tab ("증권"), an empty page with its caption until the stock pages are built.
#pragma once

#include "platform/window/PropertySheet.h"

class CDARCStockPage : public CPropertyPage {
    DECLARE_DYNAMIC(CDARCStockPage)
public:
    static constexpr UINT IDD = 4304;
    CDARCStockPage() : CPropertyPage(IDD) {}
    static void RegisterTemplate();
    // Called by the sheet as it closes.
    void OnSheetDestroy() {}
};
