// "증권정보 보기": a search over every stock. Typing a code ("00593A", "0593A") or the start of a
// name selects the first stock that matches; "관심.추가" ends the dialog with the selected
// stock for the interest list, "상세" (or a double tap) shows the stock's quotation, "이전"
// cancels.
#pragma once

#include "platform/window/Dialog.h"
#include "traffic/pages/StockListWnd.h"

class StockSearchDialog : public CDialog {
public:
    static constexpr UINT IDD = 2231;
    static constexpr int IDC_TEXT = 3207;
    static constexpr int IDC_LIST = 3208;
    static constexpr int IDC_DETAIL = 3209;

    explicit StockSearchDialog(CWnd* parent = nullptr);
    static void RegisterTemplate();

    // The stock-list index chosen with "관심.추가" (-1 for none).
    int GetSelected() const { return m_selected; }
    StockListWnd& List() { return m_list; }

    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void OnTextChanged();
    void ShowDetail();

    StockListWnd m_list;
    int m_selected = -1;
};
