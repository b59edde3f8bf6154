// The GPS information window: a modeless skinned window that shows the receiver's speed, altitude,
// Korean time, HDOP and position, the satellites on a sky chart, a reception-quality bar and the
// serial-port status; its second panel edits the receiver settings (datum, port, speed, which
// receivers are used) with an automatic receiver search; it can reset the GPS.
//
// The GPS reader's side (SetGpsData, SetLinkState, SetSignalQuality, SetUnitMode and the request
// flags) may be called from any thread: the values are copied under a lock and the window is
// asked to redraw on its own thread.
#pragma once

#include "platform/base/CString.h"
#include "position/GpsReceiver.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class CNaviCommonDlg;
class CNaviConfig;
class CPositionWorkers;
class NaviImageCtrl;
class NaviSkyView;

class CGpsInfoDlg : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplateId = 110;
    // The sky chart, where five pen-ups in a row ask for the memory figures.
    static constexpr RECT kGestureSquare{32, 49, 134, 151};
    static constexpr int kGestureTaps = 5;
    // The link states of the serial-port status line.
    enum LinkState { kPortFailed = 0, kPortOpen = 1, kNoReceiver = 2, kReceiving = 3 };

    // config null: the process's configuration.
    explicit CGpsInfoDlg(CNaviConfig* config = nullptr);
    ~CGpsInfoDlg() override;

    void SetDataFolder(const CString& folder) { m_dataFolder = folder; }
    void SetDeviceType(int deviceType) { m_deviceType = deviceType; }
    // The GPS reader: the receiver search, and where the reset and memory-figures requests go.
    void SetWorkers(CPositionWorkers* workers) { m_workers = workers; }
    // Run after the user confirmed changed receiver settings (they are saved by then).
    void SetApplyHandler(std::function<void()> handler) { m_onApply = std::move(handler); }
    // Run once the window has closed itself ("확인", the hidden gesture).
    void SetClosedHandler(std::function<void()> handler) { m_onClosed = std::move(handler); }

    // Creates the window over parent (open flag on, values drawn); false when it cannot.
    bool Open(CWnd* parent);
    // Destroys the window and its controls (open flag off). Harmless when closed.
    void Close();
    bool IsOpen() const { return m_open; }
    void SetShowMode(int mode) { m_showMode = mode; }
    int GetShowMode() const { return m_showMode; }

    // ---- the GPS reader's side (any thread) ----
    void SetGpsData(const GpsSatRecord& satellites, const GpsPosRecord& fix);
    void SetLinkState(int state);
    void SetSignalQuality(int quality);
    void SetUnitMode(bool unit) { m_unitMode = unit; }
    // Requests the reader reads and clears.
    bool TakeGpsResetRequest() { return m_resetRequest.exchange(false); }
    bool TakeMemoryFiguresRequest() { return m_memoryRequest.exchange(false); }

    // ---- state (tests and the view) ----
    int GetLinkState() const;
    int GetSignalQuality() const;
    bool IsSettingsPanelShown() const { return m_settingsShown; }
    bool IsChanged() const { return m_changed; }
    // The text a named label of the screen shows now (empty when there is none).
    CString ShownText(const char16_t* control) const;
    NaviSkyView* GetSkyView() const { return m_skyView; }
    NaviImageCtrl* GetQualityBar() const { return m_qualityBar; }

    // The value texts.
    static CString SpeedText(int speedTenths);
    static CString AltitudeText(int altitudeTenths);
    static CString TimeText(int utcHour, int minute, int second);
    // "동경 %03d:%02d:%02d.%02d" / "북위 %02d:%02d:%02d.%02d" of hundredths of a second of arc;
    // zeros when the degrees come out 0.
    static CString LongitudeText(std::int32_t value);
    static CString LatitudeText(std::int32_t value);
    static CString LinkStateText(int state);

    // ---- window ----
    BOOL OnInitDialog() override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnLButtonUp(UINT flags, CPoint point) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ProcessEvent(NaviCommand& cmd) override;
    void OnOK() override {}
    void OnCancel() override {}

    // The pen-up count of the hidden gesture (tests).
    int GestureCount() const { return m_taps; }
    // Handles one pen-up at a screen point for the hidden gesture; true when it closed the window.
    bool CountGestureTap(POINT p);

private:
    void ShowValues();
    void PostRepaint();
    void LoadControls();
    void SaveSettings();
    void UpdatePortChoices();
    void SearchReceivers();
    void ResetGps();
    void ConfirmSettings();
    void OpenPopup(std::uint32_t comboHandle);
    void CloseBySelf();

    CNaviConfig* m_config;
    CPositionWorkers* m_workers = nullptr;
    CString m_dataFolder;
    int m_deviceType = -1;
    std::function<void()> m_onApply;
    std::function<void()> m_onClosed;

    mutable std::mutex m_mutex; // guards the records, the link state and the quality
    GpsSatRecord m_satellites{};
    GpsPosRecord m_fix{};
    int m_linkState = kPortOpen;
    int m_quality = 0;
    std::atomic<bool> m_repaintPosted{false};
    std::atomic<bool> m_unitMode{false};
    std::atomic<bool> m_resetRequest{false};
    std::atomic<bool> m_memoryRequest{false};

    int m_showMode = 0;
    bool m_open = false;
    std::atomic<bool> m_settingsShown{false};
    std::atomic<HWND> m_window{nullptr}; // the window, for the reader's repaint requests
    bool m_changed = false;
    int m_datum = 0;
    int m_port = 0;
    int m_speed = 1;
    int m_separate = 0;
    int m_unit = 0;
    int m_taps = 0;
    NaviSkyView* m_skyView = nullptr;
    NaviImageCtrl* m_qualityBar = nullptr;
    CNaviCommonDlg* m_popup = nullptr;
};
