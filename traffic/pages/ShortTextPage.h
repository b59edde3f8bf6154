// The "뉴스" tab of the broadcast sheet: short news and notices from the short-text store, and
// the titles and content of news documents from the news-document store. While shown it looks
// for new texts every 5 seconds and puts them at the top of the list on view in red; long texts
// are broken into rows that fit the list.
#pragma once

#include "platform/window/PropertySheet.h"
#include "traffic/pages/NewsContentList.h"
#include "traffic/pages/NewsTitleList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CShortTextPage : public CPropertyPage {
    DECLARE_DYNCREATE(CShortTextPage)
public:
    enum { IDD = 2229 };
    enum View { kShortNews = 0, kNotices = 1, kTitles = 2, kContent = 3 };
    static constexpr UINT IDC_BUTTON_NEWS = 4126;
    static constexpr UINT IDC_BUTTON_GONGJI = 4128;
    static constexpr UINT IDC_BUTTON_DETAIL = 4134;
    static constexpr UINT IDC_BUTTON_BEFORE = 4136;
    static constexpr UINT kFirstListId = 4140; // the four lists take 4140-4143
    static constexpr UINT_PTR kTimer = 1;
    static constexpr UINT kTimerMs = 5000;
    // One text at a time; the stores write at most this many bytes with the NUL.
    static constexpr int kTextBufferSize = 10240;

    CShortTextPage();
    ~CShortTextPage() override;

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnTimer(UINT_PTR id) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void GetSentences();
    void UpdateButton();
    void ShowList(int view);
    void OnButtonNews();
    void OnButtonGongji();
    void OnButtonDetail();
    // A tapped title: opens its document when in the title view and its content is held.
    int OnButtonSelect(WORD key, BYTE subKey);
    void OnButtonBefore();
    // The sheet is being destroyed: no more refreshing, the lists go, the view is kept.
    void Exit();
    void OnExit() { Exit(); }
    // Registers template 2229 (the constructor does it too).
    static void RegisterTemplate();

    int GetView() const { return m_view; }
    NewsList* GetList(int view) const;
    NewsContentList* GetContentList(int view) const { return view == 0 ? m_news.get() : view == 1 ? m_notices.get() : nullptr; }
    NewsTitleList* GetTitleList(int view) const { return view == 2 ? m_titles.get() : view == 3 ? m_content.get() : nullptr; }
    WORD GetSelectedKey() const { return m_key; }
    BYTE GetSelectedSubKey() const { return m_subKey; }

    // Breaks a CP949 text into m_rows: a short text or title (following rows indented by ten
    // spaces), or a document's content line by line (every row indented by two spaces).
    void MakeSTSRows(const char* text);
    void MakeMarkupRows(const char* text, bool content);
    const std::vector<std::u16string>& Rows() const { return m_rows; }

private:
    void GetShortTexts();
    void GetMarkupTitles();
    void GetMarkupContents();
    void CheckResets();
    void MarkFilled(int view);
    // Breaks wide text into m_rows, measured with the row font of the list on view.
    void BreakRows(const std::u16string& text, int kind);

    std::unique_ptr<NewsContentList> m_news;
    std::unique_ptr<NewsContentList> m_notices;
    std::unique_ptr<NewsTitleList> m_titles;
    std::unique_ptr<NewsTitleList> m_content;
    int m_exiting = 0;
    std::unique_ptr<char[]> m_text;
    int m_filled[4] = {};
    std::vector<std::u16string> m_rows;
    int m_view = kShortNews;
    WORD m_key = 0;
    BYTE m_subKey = 0;
};
