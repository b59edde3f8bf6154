// The display options tab ("화면 표시"): which of the four speed classes the map colours, each
// with its map colour as a swatch beside an ON/OFF pair. The choice travels through the
// page-state store to the application when the sheet closes.
#pragma once

#include "platform/window/PropertySheet.h"

class CDisplayPage : public CPropertyPage {
    DECLARE_DYNAMIC(CDisplayPage)
public:
    static constexpr UINT IDD = 4308;
    enum : int {
        IDC_ALL_ON = 4155,
        IDC_FAST_ON = 4156,
        IDC_FAST_OFF = 4157,
        IDC_MOVING_ON = 4158,
        IDC_MOVING_OFF = 4159,
        IDC_SLOW_ON = 4160,
        IDC_SLOW_OFF = 4161,
        IDC_CONGESTED_ON = 4162,
        IDC_CONGESTED_OFF = 4163,
        IDC_ALL_OFF = 4164,
        IDC_FAST_SWATCH = 4165,
        IDC_MOVING_SWATCH = 4166,
        IDC_SLOW_SWATCH = 4167,
        IDC_CONGESTED_SWATCH = 4168,
    };
    // The swatch colours, in the class order 원활, 서행, 지체, 정체 (the map's link colours).
    static constexpr COLORREF kSwatch[4] = {0xDC0000, 0x00B93D, 0x1894C9, 0x8000FF};

    CDisplayPage();
    ~CDisplayPage() override;
    static void RegisterTemplate();

    // Loaded from and stored to the page-state store by the sheet.
    void RestoreOptions();
    void StoreOptions() const;

    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor) override;

    bool m_show[4] = {true, true, true, true};

private:
    void SetOne(int index, bool on);
    void SetAll(bool on);
    // The swatch brushes are made once, with the page object.
    HBRUSH m_brush[4] = {};
};
