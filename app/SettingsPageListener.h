// The part every settings page's listener shares. A page runs in the common dialog: once its
// controls exist (2020) the listener loads a private copy of the settings it edits and shows it;
// the controls report the user's changes (2015) into the copy; the copy reaches the
// configuration store only on "Apply" or when the user agrees to save on leaving.
//
// Common buttons: "이전" asks to save, leaves result 3 and closes; "현위치" asks to save and closes
// (with the page's own result, if any); "Apply" saves what changed and asks whether to stay (no
// leaves result 4 and closes); "환경설정탭" shows the tab's panel. A combo's pop-up list runs over
// the page. Before a message box the dialog is marked as having a child up (state 3), so the
// activation that follows the box does not redo the full-screen set-up.
#pragma once

#include "platform/base/CString.h"
#include "skinui/NaviListener.h"

#include <memory>

class CNaviComboPopup;
class CNaviCommonDlg;
class CNaviConfig;
class ISettingsPageView;

class CSettingsPageListener : public NaviListener {
public:
    static constexpr const char16_t* kSaveQuestion = u"설정사항을 저장하시겠습니까?";
    static constexpr const char16_t* kApplyQuestion = u"변경사항을 적용하였습니다.\n환경설정을 계속하시겠습니까?";

    CSettingsPageListener(CNaviCommonDlg* dialog, CNaviConfig* config, ISettingsPageView* view);
    ~CSettingsPageListener() override;
    CSettingsPageListener(const CSettingsPageListener&) = delete;
    CSettingsPageListener& operator=(const CSettingsPageListener&) = delete;

    void SetConfig(CNaviCommonDlg* dialog, CNaviConfig* config);
    void ProcessEvent(NaviCommand& cmd) override;

    // Writes the copy to the store and the settings file; the file's save result.
    virtual bool Save() = 0;
    // When something changed: asks whether to save, and saves on yes.
    void AskSave();
    bool IsChanged() const { return m_changed != 0; }

protected:
    // The page's controls exist (cmd.control is the page's name).
    virtual void OnPageBuilt(const NaviCommand& cmd) = 0;
    // A control other than the common buttons reported a change (2015).
    virtual void OnControl(const NaviCommand& cmd) = 0;
    virtual void OnApply();
    // The result "현위치" leaves (0: none).
    virtual int HereResult() const { return 0; }
    // Whether the dialog is marked before a message box.
    virtual bool MarksChildUp() const { return true; }

    void Send(const char16_t* control, int id, int param1, const CString& text = CString());
    void SetControl(const char16_t* control, int value);
    void ShowControl(const char16_t* control, bool show);
    void AddItem(const char16_t* control, const CString& text);
    int Ask(const CString& text);
    void Notice(const CString& text);
    void SetResult(int result);
    void Close();
    bool SaveFile();

    CNaviCommonDlg* m_dialog = nullptr;
    CNaviConfig* m_config = nullptr;
    ISettingsPageView* m_view = nullptr;
    std::uint8_t m_changed = 0;

private:
    void MarkChildUp();
    std::unique_ptr<CNaviComboPopup> m_popup;
};
