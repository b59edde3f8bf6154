// Dialogs: templates written in code (the dialog's place, style and title and its controls in tab
// order), CDialog with its modal loop, modeless creation, the default Enter / Escape / Tab keys,
// data exchange (DDX_Text for int, double and CString), and the dialog helper calls of Windows.
//
// Dialog units: a template may give its rectangles in dialog units, converted by the Windows rule
// x = MulDiv(dx, baseX, 4), y = MulDiv(dy, baseY, 8). The base units are 7 x 14 pixels, chosen so
// that the dialogs laid out for the 240 x 320 screen fit it: a 132-unit-wide page row is 231
// pixels, and controls 139 units down end at 243 pixels, inside a 268-pixel page.
#pragma once

#include "platform/base/CString.h"
#include "platform/window/Afx.h"
#include "platform/window/Controls.h"

#include <vector>

constexpr int kDialogBaseUnitX = 7;
constexpr int kDialogBaseUnitY = 14;
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD DS_CONTROL = 0x0400;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;

// Converts a rectangle from dialog units to pixels.
BOOL MapDialogRect(HWND dialog, RECT* rect);
RECT DialogUnitsToPixels(const RECT& units);

// One control of a template: id, class, rectangle, style (WS_CHILD is added; a control without
// WS_VISIBLE starts hidden), text.
struct DialogItem {
    int id = 0;
    CString className;
    RECT rect{};
    DWORD style = 0;
    CString text;
    DWORD exStyle = 0;
};

// The place, style and title of a dialog template and its controls in tab order. With
// dialogUnits set, rect and the items' rectangles are in dialog units.
struct DialogTemplateInfo {
    RECT rect{20, 60, 220, 260};
    DWORD style = WS_POPUP;
    CString title;
    std::vector<DialogItem> items;
    bool dialogUnits = false;
};
void AfxRegisterDialogTemplate(UINT id, const DialogTemplateInfo& info);
bool AfxFindDialogTemplate(UINT id, DialogTemplateInfo* info);

// Win32 dialog helpers.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
#define SendDlgItemMessage SendDlgItemMessageW

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    // Marks the exchange failed and puts the focus on the control last prepared.
    void Fail();
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id) { return PrepareCtrl(id); }
    bool Failed() const { return m_failed; }
    HWND LastControl() const { return m_hWndLastControl; }

private:
    HWND m_hWndLastControl = nullptr;
    bool m_failed = false;
};

// Text of an edit (or any window) as an int, a double or a string. Saving a value that is not a
// number of that kind fails the exchange (the control takes the focus, UpdateData returns FALSE).
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// Attaches a framework control object to the dialog's control (once).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// After DDX_Text of a string: saving, a string longer than count characters fails the exchange;
// loading, the field gets count as its text limit.
void DDV_MaxChars(CDataExchange* dx, const CString& value, int count);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // Runs the dialog in a modal loop over its owner and returns the value given to EndDialog
    // (-1 when the loop ended for WM_QUIT or the window could not be made).
    virtual INT_PTR DoModal();
    // Makes the dialog modeless.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // WM_INITDIALOG: exchanges the data into the controls (UpdateData(FALSE)); TRUE lets the
    // dialog put the focus on its first control.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    void EndDialog(int result);
    virtual void DoDataExchange(CDataExchange* /*dx*/) {}
    // TRUE: controls to members (with validation); FALSE: members to controls.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* control);
    void MapDialogRect(LPRECT rect) const { ::MapDialogRect(m_hWnd, rect); }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Enter (IDOK, or the focused push button), Escape (IDCANCEL) and Tab / Shift+Tab (the next
    // or previous control in template order, wrapping) unless the focused control takes the key.
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnClose() override { OnCancel(); }

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    BOOL CreateDialogWindow(HWND owner, bool visible);
    // Makes the template's controls; false when one of them cannot be made.
    bool CreateTemplateControls(const DialogTemplateInfo& info);
    // The dialog keys for this dialog (pages hand theirs to the sheet).
    BOOL HandleDialogKey(MSG* msg);
    bool m_modal = false;
    HWND m_hWndFocusSaved = nullptr; // the control that had the focus when the dialog went inactive
};
