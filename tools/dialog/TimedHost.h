#pragma once
// A bare full-screen window standing for the map view under the start-up screens and the small
// modeless windows: it hides the taskbar as the view does, runs onInit once it is up and ends
// itself after the given seconds (onEnd first). It counts the hot keys it receives.
#include "platform/window/Dialog.h"
#include "platform/window/Shell.h"

#include <functional>
#include <map>

class TimedHost : public CDialog {
public:
    static constexpr UINT kTemplate = 4104;

    explicit TimedHost(int seconds) : CDialog(kTemplate), m_seconds(seconds) {
        DialogTemplateInfo info;
        info.rect = RECT{0, 0, 240, 320};
        info.style = WS_POPUP | WS_VISIBLE;
        AfxRegisterDialogTemplate(kTemplate, info);
    }
    std::function<void(CWnd*)> onInit;
    std::function<void()> onEnd;
    std::map<UINT, int> hotKeys;
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        HideTaskbar();
        if (onInit) onInit(this);
        SetTimer(1, static_cast<UINT>(m_seconds > 0 ? m_seconds * 1000 : 20));
        return TRUE;
    }
    void OnTimer(UINT_PTR) override {
        KillTimer(1);
        if (onEnd) onEnd();
        EndDialog(IDOK);
    }
    void OnOK() override {}
    void OnCancel() override {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_HOTKEY) ++hotKeys[static_cast<UINT>(HIWORD(lParam))];
        return CDialog::WindowProc(message, wParam, lParam);
    }

private:
    int m_seconds;
};
