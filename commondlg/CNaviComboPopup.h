// The pop-up list of a skinned combo box, opened over the dialog that shows the combo. The
// dialog's listener hands it every command of its screen first: the combo's tap (2018, naming
// the combo by its handle) runs the pop-up modally, a skinned common dialog that builds the
// screen named after the combo with the combo as its listener; the rows, selection and paging the
// combo then sends (2021, 2014, 2024) go to the pop-up's controls, and the combo's 2019 closes it.
#pragma once

class CNaviCommonDlg;
class CWnd;
class NaviCommand;
class NaviRcBuilder;

class CNaviComboPopup {
public:
    CNaviComboPopup(CWnd* caller, NaviRcBuilder* builder) : m_caller(caller), m_builder(builder) {}
    CNaviComboPopup(const CNaviComboPopup&) = delete;
    CNaviComboPopup& operator=(const CNaviComboPopup&) = delete;

    // True when the command was the combo's (the caller then does nothing more with it).
    bool Handle(NaviCommand& cmd);
    bool IsOpen() const { return m_popup != nullptr; }

private:
    CWnd* m_caller;
    NaviRcBuilder* m_builder;
    CNaviCommonDlg* m_popup = nullptr;
};
