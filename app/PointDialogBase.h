// The behaviour every full-screen point dialog shares (recent destinations, point registration,
// registered points, safe-driving points, location-code and latitude/longitude moves):
// - opening: the taskbar goes, the skin host builds the panel named before DoModal with the dialog
//   as its listener, the input panel is initialised and the window covers the panel (the whole
//   240 x 320 screen); then the dialog's own OnOpen;
// - painting off screen (one blit), the pen handed to the panel with an immediate repaint;
// - the base's activation filter on every message, Enter and Escape swallowed unless the dialog
//   keeps the default dialog keys;
// - Close (IDOK) and Cancel (IDCANCEL), both marking the dialog as closing;
// - activation state 3 before a message box or child dialog, so that the activation that follows
//   does not redo the full-screen set-up; it stays 3 until the dialog closes.
#pragma once

#include "platform/window/Dialog.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

#include <cstddef>
#include <string>

class CPointDialogBase : public NaviDialog, public NaviListener {
public:
    // The point types of the tab strips and of the hand-over to the view.
    static constexpr int kTypeStart = 1;
    static constexpr int kTypeDestination = 2;
    static constexpr int kTypeWaypoint = 3;
    static constexpr int kTypeMove = 4;

    CPointDialogBase(UINT templateId, CWnd* parent);
    ~CPointDialogBase() override;

    // Registers the dialog's template (full screen, with the controls of AddTemplateItems) the
    // first time, then runs the dialog.
    INT_PTR DoModal() override;

    // The four-tab point strip: type 2 is tab 0, 3 tab 1, 1 tab 2, anything else tab 3.
    static int TabIndexForType(int type);
    // The type a tab name stands for ("텝_출발지" 1, "텝_목적지" 2, "텝_경유지" 3, "텝_이동" 4);
    // 0 for any other name.
    static int TypeForTabName(const CString& name);
    // A code-page-949 field of at most size bytes (stops at the first NUL) as wide text.
    static CString FromCp949(const char* field, std::size_t size);

protected:
    // The controls of the template beyond the window itself (none by default).
    virtual void AddTemplateItems(DialogTemplateInfo& /*info*/) {}
    // The dialog's own opening, after the common steps.
    virtual void OnOpen() {}
    // True for the dialogs that keep the default dialog keys (Enter runs OnOK, Escape OnCancel).
    virtual bool KeepsDialogKeys() const { return false; }
    // True for the dialogs that never let the background be erased.
    virtual bool SwallowsEraseBackground() const { return false; }
    // Draws under the panel into the off-screen bitmap (panel coordinates); nothing by default.
    virtual void PaintUnderPanel(CDC* /*memory*/, const RECT& /*panelRect*/) {}

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnPaint() override;

    // Ends the run with IDOK / IDCANCEL (state 1).
    void Close();
    void Cancel();
    // State 3: a message box or a child dialog is about to come up.
    void MarkChildUp() { SetActivationState(kActivationChildUp); }
    // A question (state 3 first); answers 4001 for yes, 4002 otherwise.
    int Ask(const CString& text);
    // A notice (state 3 first).
    void Notify(const CString& text);
};
