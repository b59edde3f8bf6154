// The volume window "볼륨창": five volume levels, an ON/OFF switch and a close button over the
// map, setting the handheld's wave-out volume directly. The view makes it once and runs it
// modally on the volume command; the main screen's mute command toggles the switch through it
// whether it runs or not.
#pragma once

#include "platform/gdi/AfxGdi.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

#include <cstdint>

class NaviCheckButton;

class CVolumeDlg : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 994;
    static constexpr const char16_t* kPanelName = u"볼륨창";
    static constexpr int kLevels = 5;
    static constexpr int kSoundOn = -1;

    explicit CVolumeDlg(CWnd* parent = nullptr);
    ~CVolumeDlg() override;

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;

    // The left channel of the wave device's volume in percent (0 to 100); 0 without a device
    // that has volume control.
    static int GetWaveVolume();
    // Writes percent to the wave device (both channels on device types 7 and 23, the low word
    // elsewhere); nothing without volume control. Always 1.
    int SetVolume(int percent);
    void SetLevel(int percent);
    void SetMute(bool off);
    void ToggleMute() { SetMute(!IsMuted()); }
    bool IsMuted() const { return m_savedVolume != kSoundOn; }
    void Hide();

    // The main screen's menu mode (placement) and the device type (volume words), set by the
    // view.
    void SetMenuMode(int mode) { m_menuMode = mode; }
    void SetDeviceType(std::int16_t type) { m_deviceType = type; }
    int GetLevelPercent() const { return m_percent; }
    int GetSavedVolume() const { return m_savedVolume; }
    // How many level buttons are lit (tests and the tool).
    int LitLevels() const;

    // The level a percent falls in (0 to 5) and the percent of a level rounded up.
    static int LevelOf(int percent);
    static int RoundUpToLevel(int percent);

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnPaint() override;

private:
    void Refresh();
    void MakeRegion();

    std::uint8_t m_initialised = 0;
    int m_savedVolume = kSoundOn;
    int m_percent = 0;
    int m_menuMode = 2004;
    std::uint8_t m_visible = 0;
    std::int16_t m_deviceType = 0;
    NaviCheckButton* m_levels[kLevels] = {}; // level 1 to 5
    CRgn m_region;
};
