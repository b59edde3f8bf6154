// The weather tab ("기상"), an empty page with its caption until the weather pages are built.
#pragma once

#include "platform/window/PropertySheet.h"

class NaviRcBuilder;

class CWeatherPage : public CPropertyPage {
    DECLARE_DYNAMIC(CWeatherPage)
public:
    static constexpr UINT IDD = 4305;
    CWeatherPage() : CPropertyPage(IDD) {}
    static void RegisterTemplate();
    // The skin builder the weather map draws with (not owned).
    void SetRcBuilder(NaviRcBuilder* builder) { m_builder = builder; }
    NaviRcBuilder* GetRcBuilder() const { return m_builder; }
    // Called by the sheet as it closes.
    void OnSheetDestroy() {}

private:
    NaviRcBuilder* m_builder = nullptr;
};
