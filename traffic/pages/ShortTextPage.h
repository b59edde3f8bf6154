// The news tab ("뉴스"), an empty page with its caption until the news page is built.
#pragma once

#include "platform/window/PropertySheet.h"

class CShortTextPage : public CPropertyPage {
    DECLARE_DYNAMIC(CShortTextPage)
public:
    static constexpr UINT IDD = 4306;
    CShortTextPage() : CPropertyPage(IDD) {}
    static void RegisterTemplate();
    // Called by the sheet as it closes.
    void OnExit() {}
};
