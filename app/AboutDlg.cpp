#include "app/AboutDlg.h"

#include "app/NaviApp.h"

#include <string>

CAboutDlg::CAboutDlg() : CDialog(kTemplate) {
    // The template: the program's name line and two text fields, laid out for the 240 x 320 screen.
    if (!AfxFindDialogTemplate(kTemplate, nullptr)) {
        DialogTemplateInfo info;
        info.rect = RECT{20, 80, 220, 220};
        info.style = WS_POPUP | WS_CAPTION;
        info.title = u"Velko";
        info.items.push_back(DialogItem{kTitle, u"STATIC", RECT{8, 8, 192, 28}, WS_VISIBLE, u"Velko 900", 0});
        info.items.push_back(DialogItem{kTextOne, u"STATIC", RECT{8, 34, 192, 54}, WS_VISIBLE, u"", 0});
        info.items.push_back(DialogItem{kTextTwo, u"STATIC", RECT{8, 58, 192, 78}, WS_VISIBLE, u"", 0});
        info.items.push_back(DialogItem{IDOK, u"BUTTON", RECT{70, 90, 130, 114}, WS_VISIBLE | WS_TABSTOP, u"OK", 0});
        AfxRegisterDialogTemplate(kTemplate, info);
    }
}

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Text(dx, kTextOne, m_textOne);
    DDX_Text(dx, kTextTwo, m_textTwo);
}

const char16_t* CAboutDlg::EditionSuffix(int deviceType) {
    switch (deviceType) {
    case 7:
    case 23:
        return u" Broadcast";
    case 9:
    case 21:
        return u" OBX";
    case 10:
        return u" PDA";
    default:
        return u"";
    }
}

CString CAboutDlg::WithEdition(const CString& title, int deviceType) {
    std::u16string text(title.GetString());
    const std::u16string suffix(EditionSuffix(deviceType));
    const std::size_t blank = text.find(u' ');
    if (blank == std::u16string::npos) text += suffix;
    else text.insert(blank, suffix);
    return CString(text.c_str());
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CString title;
    GetDlgItemText(kTitle, title);
    SetDlgItemText(kTitle, WithEdition(title, navi::g_deviceType).GetString());
    return TRUE;
}
