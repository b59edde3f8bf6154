// The sheet opened as the application opens it (without its host), with the configuration of a
// throw-away user folder and every message box recorded and answered.
#pragma once

#include "config/NaviConfig.h"
#include "traffic/pages/DARCSheet.h"
#include "traffic/pages/tests/PagesFixture.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pagestest {

struct ShownBox {
    std::string text;
    std::string caption;
};

class SheetFixture : public PagesFixture {
protected:
    // The roads-of-interest file in the handheld's memory (setting 64 = 0).
    static constexpr const char* kInterestFile = "My Documents/VelkoData/itraffic.bin";

    SheetFixture() {
        std::filesystem::create_directories(m_root.Host("My Documents/VelkoData"));
        m_config.SetValue(64, 0);
        WinSetMessageBoxHandler([this](HWND, const std::u16string& text, const std::u16string& caption, UINT) {
            m_boxes.push_back({Utf16ToUtf8(text), Utf16ToUtf8(caption)});
            return m_answer;
        });
    }
    ~SheetFixture() override {
        m_sheet.reset();
        WinResetForTests();
    }

    void OpenSheet(const CString& title = CString(u"교통정보")) {
        m_sheet = std::make_unique<CDARCSheet>(u"ZARN정보");
        m_sheet->SetTrafficTitle(title, nullptr);
        m_sheet->SetConfigPointer(&m_config);
        ASSERT_TRUE(m_sheet->Create(nullptr, WS_POPUP | WS_VISIBLE));
        Pump();
    }
    void CloseSheet() {
        if (m_sheet && m_sheet->m_hWnd) m_sheet->DestroyWindow();
        m_sheet.reset();
        Pump();
    }
    bool SheetOpen() const { return m_sheet && m_sheet->m_hWnd && ::IsWindow(m_sheet->m_hWnd); }
    void ShowTab(int tab) {
        ASSERT_TRUE(m_sheet->SetActivePage(tab));
        Pump();
    }
    static void Click(CWnd* page, int id) {
        ::SendMessageW(::GetDlgItem(page->m_hWnd, id), BM_CLICK, 0, 0);
        Pump();
    }
    static bool Enabled(CWnd* page, int id) { return ::IsWindowEnabled(::GetDlgItem(page->m_hWnd, id)) != FALSE; }
    static bool Visible(CWnd* page, int id) { return ::IsWindowVisible(::GetDlgItem(page->m_hWnd, id)) != FALSE; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const ShownBox& b : m_boxes) out.push_back(b.text);
        return out;
    }

    CNaviConfig m_config;
    std::unique_ptr<CDARCSheet> m_sheet;
    std::vector<ShownBox> m_boxes;
    int m_answer = IDOK;
};

} // namespace pagestest
