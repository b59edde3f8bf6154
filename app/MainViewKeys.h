// The main view's answers to its hardware keys (CViewKeys): the settings and device type from the
// configuration store, the key functions, following and the auto-return countdown of the view,
// and the map window's drag scroll. Everything here runs on the user-interface thread.
#pragma once

#include "app/ViewKeys.h"

class CMainView;

class CMainViewKeys : public IKeyView {
public:
    explicit CMainViewKeys(CMainView& view) : m_view(view) {}

    HWND KeyWindow() override;
    int Setting(int index) override;
    int DeviceType() override;
    void RunKeyFunction(int function) override;
    bool IsFollowing() override;
    void StopFollowing() override;
    void StartAutoReturn() override;
    void StopAutoReturn() override;
    int ViewMode() override;
    void FaceHeadingUp() override;
    void ApplyCurrentLevel() override;
    void BeginDragScroll(int dx, int dy, int period) override;
    void EndDragScroll() override;
    void StoreMapCentre() override;
    void Redraw() override;

private:
    CMainView& m_view;
};
