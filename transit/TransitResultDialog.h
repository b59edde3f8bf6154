// The shape both transit result dialogs share: a drop-down of the routes, a list of the chosen
// route's stops, "보기" hands the chosen stop back and "종료" closes without a choice. The bus and
// subway dialogs give the route figures, the row texts and the stop record.
#pragma once

#include "platform/window/AfxControls.h"
#include "platform/window/Dialog.h"

class CTransitResultDialog : public CDialog {
public:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    CListBox m_listResult;
    CComboBox m_comboResult;

protected:
    CTransitResultDialog(UINT templateId, int comboId, int listId, CWnd* parent);

    virtual int RouteCount() const = 0;
    virtual int StopCount(int route) const = 0;
    virtual int TotalStops(int route) const = 0;
    // The row of stop i of n; false when the stop cannot be read.
    virtual bool StopRow(int route, int stop, int stopCount, CString& row) const = 0;
    // Keeps the stop as the dialog's choice.
    virtual bool ChooseStop(int route, int stop) = 0;

    void SetRoute(int route);
    void OnSelchangeRoute();

private:
    int m_comboId;
    int m_listId;
};

// The dialog over one client: its routes and stops, and the stop chosen with "보기".
template <class Connect, class Info>
class CTransitResultDialogOf : public CTransitResultDialog {
public:
    // The stop chosen with "보기" (all zero when none was); returns 1.
    int GetInfo(Info& info) const {
        info = m_info;
        return 1;
    }

    Connect* m_pConnect = nullptr;

protected:
    using CTransitResultDialog::CTransitResultDialog;
    // The client's record of a stop; false when it cannot be read.
    virtual bool Fetch(int route, int stop, Info& info) const = 0;

    int RouteCount() const override { return m_pConnect ? m_pConnect->GetRouteNum() : 0; }
    int StopCount(int route) const override { return m_pConnect ? m_pConnect->GetStopNum(route) : -1; }
    int TotalStops(int route) const override { return m_pConnect ? m_pConnect->GetTotalStop(route) : -1; }
    bool ChooseStop(int route, int stop) override { return m_pConnect && Fetch(route, stop, m_info); }

private:
    Info m_info{};
};

// Registers the two dialogs' templates (once).
void RegisterTransitDialogTemplates();

constexpr UINT IDD_BUS_RESULT = 229;
constexpr UINT IDD_SUB_RESULT = 231;
constexpr int IDC_COMBO_BUSRESULT = 2000;
constexpr int IDC_LIST_BUSRESULT = 2001;
constexpr int IDC_COMBO_SUBRESULT = 2003;
constexpr int IDC_LIST_SUBRESULT = 2004;
