// The main view's hardware keys: the application buttons mapped to the user's key functions
// (settings 35 to 38, taken as hot keys of the view's window or through GAPI input), the device
// keys of type 15, and the arrow keys that scroll the map while held.
#pragma once

#include "platform/base/WinTypes.h"
#include "platform/window/Window.h"

#include <array>
#include <cstdint>

// What the keys ask of the main view.
class IKeyView {
public:
    virtual ~IKeyView() = default;
    virtual HWND KeyWindow() = 0;
    virtual int Setting(int index) = 0;
    virtual int DeviceType() = 0;
    // Runs key function n (the main menu's numeric vocabulary).
    virtual void RunKeyFunction(int function) = 0;
    virtual bool IsFollowing() = 0;
    virtual void StopFollowing() = 0;
    virtual void StartAutoReturn() = 0;
    virtual void StopAutoReturn() = 0;
    virtual int ViewMode() = 0;
    // Heading up: the map centred on the middle of the client area, no centre offset, turned
    // to the vehicle's heading.
    virtual void FaceHeadingUp() = 0;
    virtual void ApplyCurrentLevel() = 0;
    virtual void BeginDragScroll(int dx, int dy, int period) = 0;
    virtual void EndDragScroll() = 0;
    virtual void StoreMapCentre() = 0;
    virtual void Redraw() = 0;
};

class CViewKeys {
public:
    static constexpr int kScrollStep = 10;
    static constexpr int kScrollPeriod = 20;

    explicit CViewKeys(IKeyView& view) : m_view(view) {}
    ~CViewKeys() { ReleaseKeys(); }
    CViewKeys(const CViewKeys&) = delete;
    CViewKeys& operator=(const CViewKeys&) = delete;

    // The four application key codes (0: the device has no such key) and the GAPI input choice.
    void SetApplicationKeys(const std::array<std::uint16_t, 4>& keys) { m_keys = keys; }
    const std::array<std::uint16_t, 4>& ApplicationKeys() const { return m_keys; }
    void SetUseGapi(bool on) { m_useGapi = on; }

    // Takes the buttons whose settings 35 to 38 are on (releasing what was held first).
    void RegisterKeys();
    // Gives back whatever RegisterKeys took; a second call does nothing.
    void ReleaseKeys();
    int CapturedCount() const;
    bool GapiInputOpen() const { return m_gapiOpen; }

    // The view's activation: the buttons are held only while it is active and setting 34 is on.
    void OnActivate(bool activate);
    void OnKeyDown(UINT key);
    void OnKeyUp(UINT key);
    bool KeyScrolling() const { return m_keyScroll; }

private:
    // The key function setting (35 to 38) of a key on key-up, or 0.
    int KeyUpSetting(UINT key) const;

    IKeyView& m_view;
    std::array<std::uint16_t, 4> m_keys{};
    bool m_useGapi = false;
    bool m_gapiOpen = false;
    HWND m_captureWindow = nullptr;
    std::array<std::uint16_t, 4> m_captured{};
    bool m_keyScroll = false;
};
