// The point registration dialog ("지점등록"): the user names a point, picks its symbol and voice
// setting, and saves it into a folder of the registered-point store. The same dialog adds the
// point to the safe-driving lists (without being shown): the points the user registered and the
// built-in guide points the user switched off.
#pragma once

#include "app/PointDialogBase.h"
#include "platform/window/AfxControls.h"

#include <cstdint>
#include <memory>
#include <vector>

class CNaviCommonDlg;

class CSafePointList;

class CPointRegDlg : public CPointDialogBase {
public:
    static constexpr UINT kTemplate = 108;
    static constexpr int kEditName = 1025;
    static constexpr int kListFolders = 1026;
    static constexpr int kEditFolderName = 1648;
    // Results: 3 closed, 4 saved (or "현위치"), 0 back to the caller's list.
    static constexpr int kResultClosed = 3;
    static constexpr int kResultSaved = 4;
    static constexpr int kResultBack = 0;
    // The longest name of a registered point, of a registered safe-driving point and of a
    // switched-off one (its short form), in code-page-949 bytes.
    static constexpr int kMaxPointName = 20;
    static constexpr int kMaxSafePointName = 19;
    static constexpr int kMaxShortSafePointName = 16;

    explicit CPointRegDlg(CWnd* parent);
    ~CPointRegDlg() override;

    // Network coordinates of the point.
    void SetPosition(std::int32_t x, std::int32_t y) {
        m_x = x;
        m_y = y;
    }
    void SetName(const CString& name) { m_name = name; }
    const CString& GetName() const { return m_name; }
    // The folder the point goes into ("기본" by default); when it names a folder of the store,
    // that folder's row is selected at the opening; without one the selected row's folder is taken.
    void SetTargetFolder(const CString& folder) {
        m_targetFolder = folder;
        m_targetGiven = true;
    }
    const CString& GetTargetFolder() const { return m_targetFolder; }
    void SetSymbol(int symbol) { m_symbol = symbol; }
    int GetSymbol() const { return m_symbol; }
    void SetVoice(int voice) { m_voice = voice; }
    int GetVoice() const { return m_voice; }
    void SetEditOnly(bool on) { m_editOnly = on; }
    void SetFolderOnly(bool on) { m_folderOnly = on ? 1 : 0; }
    void SetSelectedFolderRow(int row) { m_selectedRow = row; }
    int GetSelectedFolderRow() const { return m_selectedRow; }
    int GetPage() const { return m_page; }
    // The folder list's rows as shown last.
    const std::vector<CString>& GetFolderRows() const { return m_rows; }
    int GetResult() const { return m_result; }

    // Add the point to the registered safe-driving points ("안전운행지점", its three values stored
    // as kind, value1, value2) or to the switched-off ones ("안전운행지점(지운것)", in argument
    // order) and write the list's file. False, with its notice, when the name is empty or too long, the list
    // is full, or the file cannot be written (the point is then taken out of the list again).
    bool AddSafeDrivePoint(std::uint16_t kind, std::uint16_t value2, std::uint16_t value1);
    bool AddRemovedSafeDrivePoint(std::uint16_t kind, std::uint16_t value1, std::uint16_t value2);

    void ProcessEvent(NaviCommand& cmd) override;
    // Registers the point (also Enter). The dialog ends through the base's OK, never through
    // Close, which would come back here.
    void OnOK() override;

protected:
    void AddTemplateItems(DialogTemplateInfo& info) override;
    void OnOpen() override;
    bool KeepsDialogKeys() const override { return true; }
    bool SwallowsEraseBackground() const override { return true; }
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnDestroy() override;

private:
    // The name from edit 1025 while the dialog is up.
    void TakeName();
    // The name checks of a registered point: 168 for an empty name, 169 past 20 bytes.
    bool CheckName();
    bool AddSafePoint(CSafePointList& list, const char16_t* item, std::uint16_t a, std::uint16_t b,
                      std::uint16_t c);
    // Ends a running dialog with result 3 and IDCANCEL.
    void EndRefused();
    void OnSymbol(int choice);
    // Page 0 the point, 1 the folder list, 2 the folder name.
    void ShowPage(int page);
    void BackOnePage();
    void FillFolders();
    int SelectedRow() const;
    void CreateOrRenameFolder();
    void DeleteSelectedFolder();
    void RefuseFolder(const char16_t* format, const CString& name);
    // The pop-up list a combo box asks for (its handle in param1, the screen in the text).
    void OpenPopup(const NaviCommand& cmd);
    // The input panel: up for a focused name field once the dialog has been painted, down
    // elsewhere; the dialog keeps the whole screen either way.
    void InputPanelUp();
    void InputPanelDown();

    std::int32_t m_x = -1;
    std::int32_t m_y = -1;
    int m_result = kResultClosed;
    int m_voice = 0;
    int m_symbol = 0;
    int m_folderOnly = 0;
    int m_page = 0;
    int m_selectedRow = 0;
    int m_folderEdit = 0; // 1 create, 2 rename
    CListCtrl m_folders;
    std::vector<CString> m_rows;
    // The running pop-up list; it lives until its own modal run has returned.
    std::unique_ptr<CNaviCommonDlg> m_popup;
    bool m_popupRunning = false;
    bool m_painted = false;
    bool m_editOnly = false;
    bool m_specialName = false;
    bool m_targetGiven = false;
    CString m_targetFolder = u"기본";
    CString m_name;
};
