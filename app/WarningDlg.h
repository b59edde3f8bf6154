// The start-up warning screen "경고창": one full-screen image with a confirm button. The main view
// shows it once, on its first activation; tapping "확인" removes it and leaves the map usable.
// It is modeless and lives as long as the view.
#pragma once

#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

#include <cstdint>

class CWarningDlg : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 996;

    explicit CWarningDlg(CWnd* parent = nullptr);
    ~CWarningDlg() override;

    // Makes the modeless window from its template and moves it over its panel.
    BOOL Create(CWnd* parent);
    // Unless confirmed, moves the window to its panel rectangle; then updates it at once.
    void Refresh();

    bool IsConfirmed() const { return m_confirmed != 0; }

    void ProcessEvent(NaviCommand& cmd) override;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnDestroy() override;

private:
    std::uint8_t m_confirmed = 0;
};
