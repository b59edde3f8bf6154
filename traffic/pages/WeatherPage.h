// The "기상" tab of the broadcast sheet: two drop-down lists choose what the weather map shows
// (weather, temperature or snow/rain probability) and for which day; the map fills most of the
// page. A tapped region opens its own map and, for the current weather and the short forecast,
// the store's report of that region in a text box under the map; tapping one of the region's
// places selects its line of the report.
#pragma once

#include "platform/window/PropertySheet.h"
#include "traffic/pages/WeatherMapCtrl.h"

#include <memory>

class NaviRcBuilder;

class CWeatherPage : public CPropertyPage {
    DECLARE_DYNCREATE(CWeatherPage)
public:
    enum { IDD = 2238 };
    static constexpr UINT IDC_REPORT = 3224;
    static constexpr UINT IDC_COMBO_MODE = 3222;
    static constexpr UINT IDC_COMBO_DAY = 3223;
    static constexpr int kDays = 9;

    CWeatherPage();
    ~CWeatherPage() override;
    // Registers template 2238 (the constructor does it too).
    static void RegisterTemplate();

    // The skin builder the weather map loads its images from, all at once (not owned).
    void SetRcBuilder(NaviRcBuilder* builder);
    NaviRcBuilder* GetRcBuilder() const { return m_builder; }
    // Called by the sheet as it closes: the map lets its images go.
    void OnSheetDestroy();

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void DoDataExchange(CDataExchange* dx) override;

    void OnSelChangeMode();
    void OnSelChangeDay();
    // Renames the day entries after the broadcast's today, keeping the selection; without a
    // day from the store they stay as they are.
    void RefreshDayEntries();

    WeatherMapCtrl& GetMap() { return *m_map; }
    CEdit m_report;
    CComboBox m_modeBox;
    CComboBox m_dayBox;

private:
    // The report of the chosen region for the day into the box (shown), or the box hidden.
    void ShowReport();
    // Scrolls the report to the tapped place's line and selects it, then forgets the place.
    void SelectPlaceLine();
    // The first day entry's name for the mode on view.
    const char16_t* FirstDayName() const;

    std::unique_ptr<WeatherMapCtrl> m_map;
    NaviRcBuilder* m_builder = nullptr;
};
