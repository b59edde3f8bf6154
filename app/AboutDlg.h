// The program-information dialog (template 100): two text fields (controls 1127 and 1128) and the
// edition named after the first blank of control 1627's text by the handheld model.
#pragma once

#include "platform/window/Afx.h"

class CAboutDlg : public CDialog {
public:
    static constexpr UINT kTemplate = 100;
    static constexpr int kTextOne = 1127;
    static constexpr int kTextTwo = 1128;
    static constexpr int kTitle = 1627;

    CAboutDlg();
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // The edition suffix of a device type ("" for none).
    static const char16_t* EditionSuffix(int deviceType);
    // The title text with the suffix inserted at its first blank (appended when it has none).
    static CString WithEdition(const CString& title, int deviceType);

    CString m_textOne;
    CString m_textTwo;
};
