// The skinned common dialog: builds the screen named through the skin host, hands every command of
// its controls to the listener it is given and runs modally until the listener closes it. Once the
// screen is built the listener receives {target "DIALOG", control = the screen's name, id 2020},
// on which settings pages load their values.
#pragma once

#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

constexpr int kCmdDialogBuilt = 2020;

class CNaviCommonDlg : public NaviDialog, public NaviListener {
public:
    explicit CNaviCommonDlg(CWnd* parent = nullptr);
    ~CNaviCommonDlg() override;

    void SetNaviListener(NaviListener* listener) { m_listener = listener; }
    // A pop-up: a list that opens over the calling dialog.
    void SetPopupDlgType(bool on) { SetNestedPopup(on); }
    // A window outline with cut corners while on.
    void SetRoundType(bool on) { m_round = on; }

    INT_PTR DoModal() override;
    // Passes a command to the screen's controls (target "DIALOG" addresses them all).
    void ProcessCommand(NaviCommand& cmd);
    // Commands of the screen's controls go to the listener; without one they are dropped.
    void ProcessEvent(NaviCommand& cmd) override;
    // Ends the modal run (at once, or after the build when called while the screen is built).
    void Close();
    // The result the listener leaves for the caller; 0 at the start of every DoModal.
    void SetCommonRet(int value) { m_commonRet = value; }
    int GetCommonRet() const { return m_commonRet; }

    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    NaviListener* m_listener = nullptr;
    bool m_round = false;
    bool m_building = false;
    bool m_closeAfterBuild = false;
    int m_commonRet = 0;
};
