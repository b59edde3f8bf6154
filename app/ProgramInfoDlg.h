// The program information screen "버젼정보": the program's version and the dates of the display,
// route-search and search data and of the safe-driving points, read from the version files of
// the program and of the map-data folder. Every button closes it.
#pragma once

#include "platform/base/CString.h"
#include "skinui/NaviDialog.h"
#include "skinui/NaviListener.h"

class NaviLabel;

class CProgramInfoDlg : public NaviDialog, public NaviListener {
public:
    static constexpr UINT kTemplate = 995;
    static constexpr const char16_t* kPanelName = u"버젼정보";
    enum Row { kProgram, kDisplay, kRouteSearch, kSearch, kSafeDriving, kRows };

    explicit CProgramInfoDlg(CWnd* parent = nullptr);
    ~CProgramInfoDlg() override;

    INT_PTR DoModal() override;
    void ProcessEvent(NaviCommand& cmd) override;
    // 4 after "현위치" or "VerOK" (and when closed otherwise), 3 after "이전".
    int GetResultCode() const { return m_result; }

    // Where the rows are read from: the program's folder and the map-data folder (by default the
    // running program's folder and the configuration's data folder).
    void SetFolders(const CString& programFolder, const CString& dataFolder);
    // Fills the rows from the version files; a row whose file cannot be read keeps its "정보없음"
    // text.
    void FillRows();
    const CString& RowText(Row row) const { return m_texts[row]; }

    // "안전운행 - MM.YY (Tn)" from the guide-point file's version word, "(W)" for T 0.
    static CString SafeDrivingText(std::int32_t version);

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnPaint() override;

private:
    void SetRow(Row row, const CString& text);

    int m_result = 4;
    bool m_foldersGiven = false;
    CString m_programFolder;
    CString m_dataFolder;
    CString m_texts[kRows];
    NaviLabel* m_labels[kRows] = {};
};
