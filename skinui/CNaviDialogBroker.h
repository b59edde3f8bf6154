// The skin host of one dialog: the screen name, the resource builder and the root panel it
// builds, draws and measures, the dialog's one timer, and the dialog's activation state.
#pragma once

#include "platform/base/CString.h"
#include "platform/gdi/AfxGdi.h"

class CWnd;
class NaviPanel;
class NaviRcBuilder;

// Activation states of a skinned dialog.
constexpr int kActivationNew = 0;
constexpr int kActivationClosing = 1;
constexpr int kActivationActive = 2;
constexpr int kActivationChildUp = 3; // a message box or child dialog is up

class CNaviDialogBroker {
public:
    CNaviDialogBroker();
    CNaviDialogBroker(const CNaviDialogBroker&) = delete;
    CNaviDialogBroker& operator=(const CNaviDialogBroker&) = delete;
    virtual ~CNaviDialogBroker();

    void SetRcBuilder(NaviRcBuilder* builder) { m_builder = builder; }
    NaviRcBuilder* GetRcBuilder() const { return m_builder; }
    void SetPanelName(const CString& name) { m_panelName = name; }
    const CString& GetPanelName() const { return m_panelName; }

    // Remembers the owner, makes the root panel (with the builder's click-sound flag) and lets
    // the builder lay the named screen out into it. A panel made before is deleted first.
    void CreatePanel(CWnd* owner);
    // Deletes the root panel; when the panel is in the middle of a dispatch, once it returns.
    void DeletePanel();
    NaviPanel* GetPanel() const { return m_panel; }
    void Draw(CDC* dc);
    RECT GetPanelRect() const;
    // Sends a command to the named control of this dialog's screen (target "DIALOG"); nothing
    // while no panel is built.
    void SendToPanel(const char16_t* control, int id, int param1 = -1, const CString& text = CString()) const;
    void StartTimer(UINT period);
    void StopTimer();

    int GetActivationState() const { return m_activationState; }
    void SetActivationState(int state) { m_activationState = state; }

protected:
    CWnd* m_owner = nullptr;
    int m_activationState = kActivationNew;
    CString m_panelName;
    NaviPanel* m_panel = nullptr;
    NaviRcBuilder* m_builder = nullptr;
};
