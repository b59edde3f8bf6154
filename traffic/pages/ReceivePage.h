// The "상태" tab of the broadcast sheet: whether the receiver unit is connected, its receive rate
// and packet count, the tuned frequency and the unit's version, tuning a frequency of a region
// by hand, and erasing everything the receiver library has collected. It talks to the receiver
// library directly.
#pragma once

#include "platform/window/PropertySheet.h"

#include <cstdint>

class CReceivePage : public CPropertyPage {
    DECLARE_DYNCREATE(CReceivePage)
public:
    static constexpr UINT IDD = 4307;
    static constexpr UINT IDC_STATUS = 4110;
    static constexpr UINT IDC_RATE = 4111;
    static constexpr UINT IDC_FREQUENCY = 4112;
    static constexpr UINT IDC_VERSION = 4113;
    static constexpr UINT IDC_BUTTON_SET = 4119;
    static constexpr UINT IDC_COMBO_REGION = 4120;
    static constexpr UINT IDC_COMBO_FREQUENCY = 4121;
    static constexpr UINT IDC_BUTTON_ERASE = 4122;
    static constexpr UINT_PTR kTimer = 1;
    static constexpr UINT kTimerMs = 1500;

    CReceivePage();
    static void RegisterTemplate();

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnTimer(UINT_PTR id) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* dx) override;

    void OnSelChangeRegion();
    // "설정": tunes the selected frequency of the selected region after asking.
    void OnButtonSet();
    // "ZARN 정보 초기화": empties the five stores after asking.
    void OnButtonErase();
    void RefreshStatus();
    // The sheet is being destroyed: no more refreshing; the tuned region and frequency are kept.
    void OnSheetDestroy();

    // A frequency code as "%3.1f MHz" (the boxes) or "%3.1fMHz" (the status field).
    static CString FrequencyText(int code, bool blank);

    CComboBox m_freqBox;
    CComboBox m_regionBox;
    CComboBox m_thirdBox; // bound to no control, never filled
    CString m_status;
    std::uint8_t m_rate = 0;
    std::uint8_t m_freq = 0;
    int m_closing = 0;
    int m_tuning = 0;
    int m_region = 4;
    int m_freqIndex = 0;
    int m_third = 0;
    int m_packets = 0;
    int m_pending = -1;

private:
    // The first flat index of a region's frequencies in the scanner's list.
    static int RegionStart(int region);
    void FillFrequencies(int region, int select);
    void EnableTuning(BOOL enable);
};
