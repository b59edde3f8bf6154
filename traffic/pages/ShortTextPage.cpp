#include "traffic/pages/ShortTextPage.h"

#include "platform/base/Text.h"
#include "traffic/pages/DARCMarkup.h"
#include "traffic/pages/DARCShortText.h"
#include "traffic/pages/SheetStorage.h"
#include "traffic/receiver/Markup.h"
#include "traffic/receiver/ShortText.h"

#include <algorithm>
#include <mutex>

IMPLEMENT_DYNCREATE(CShortTextPage, CPropertyPage)

namespace {

static_assert(CShortTextPage::kTextBufferSize >= CShortText::kTextBufferSize &&
                  CShortTextPage::kTextBufferSize >= CMarkup::kBodyTextSize,
              "the page's text buffer must hold what the stores write");

enum RowKind { kShortText, kTitle, kContentLine };

void RegisterNewsTemplate() {
    static std::once_flag once;
    std::call_once(once, [] {
        DialogTemplateInfo t;
        t.dialogUnits = true;
        t.rect = RECT{0, 0, 137, 153};
        t.style = WS_CHILD | DS_CONTROL;
        t.title = u"뉴스";
        const DWORD v = WS_VISIBLE | WS_TABSTOP;
        t.items = {
            {static_cast<int>(CShortTextPage::IDC_BUTTON_NEWS), WC_BUTTON, RECT{7, 129, 7 + 37, 129 + 11}, v, u"단문"},
            {static_cast<int>(CShortTextPage::IDC_BUTTON_GONGJI), WC_BUTTON, RECT{51, 129, 51 + 37, 129 + 11}, v,
             u"공지"},
            {static_cast<int>(CShortTextPage::IDC_BUTTON_DETAIL), WC_BUTTON, RECT{94, 129, 94 + 38, 129 + 11}, v,
             u"상세"},
            // In the place of "상세", shown only with a document's content.
            {static_cast<int>(CShortTextPage::IDC_BUTTON_BEFORE), WC_BUTTON, RECT{94, 129, 94 + 38, 129 + 11},
             WS_TABSTOP, u"이전"},
        };
        AfxRegisterDialogTemplate(CShortTextPage::IDD, t);
    });
}

// Lines of a document end at a carriage return; line feeds are dropped.
std::vector<std::u16string> SplitLines(const std::u16string& text) {
    std::vector<std::u16string> lines(1);
    for (char16_t c : text) {
        if (c == u'\r')
            lines.emplace_back();
        else if (c != u'\n')
            lines.back().push_back(c);
    }
    if (lines.size() > 1 && lines.back().empty()) lines.pop_back(); // a text ending with its CR
    return lines;
}

} // namespace

void CShortTextPage::RegisterTemplate() { RegisterNewsTemplate(); }

CShortTextPage::CShortTextPage() : CPropertyPage(IDD), m_text(new char[kTextBufferSize]()) { RegisterTemplate(); }

CShortTextPage::~CShortTextPage() = default;

NewsList* CShortTextPage::GetList(int view) const {
    switch (view) {
    case kShortNews:
        return m_news.get();
    case kNotices:
        return m_notices.get();
    case kTitles:
        return m_titles.get();
    case kContent:
        return m_content.get();
    default:
        return nullptr;
    }
}

BOOL CShortTextPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_news = std::make_unique<NewsContentList>();
    m_notices = std::make_unique<NewsContentList>();
    m_titles = std::make_unique<NewsTitleList>(this, true);
    m_content = std::make_unique<NewsTitleList>(this, false);
    const char16_t* captions[4] = {u"단문뉴스", u"공지사항", u"상세뉴스(제목)", u"상세뉴스(내용)"};
    for (int i = 0; i < 4; ++i) GetList(i)->CreateList(this, kFirstListId + static_cast<UINT>(i), captions[i]);
    CDARCShortText::instance()->setReset(0);
    std::fill(std::begin(m_filled), std::end(m_filled), 0);
    int view = m_view;
    WORD key = m_key;
    BYTE subKey = m_subKey;
    CSheetStorage::instance()->RestoreNewsPage(view, key, subKey);
    m_view = view >= kShortNews && view <= kContent ? view : kShortNews;
    m_key = key;
    m_subKey = subKey;
    ShowList(m_view);
    return TRUE;
}

void CShortTextPage::MarkFilled(int view) {
    // Both short-text lists are filled in one pass, so filling one view fills the other too:
    // a later first visit of the other view must not add every held text a second time.
    if (view == kShortNews || view == kNotices)
        m_filled[kShortNews] = m_filled[kNotices] = 1;
    else if (view == kTitles || view == kContent)
        m_filled[view] = 1;
}

void CShortTextPage::CheckResets() {
    if (CDARCShortText::instance()->getReset()) {
        m_news->DeleteAllRows();
        m_notices->DeleteAllRows();
    }
    if (CDARCMarkup::instance()->getReset()) {
        m_titles->DeleteAllRows();
        m_content->DeleteAllRows();
    }
}

BOOL CShortTextPage::OnSetActive() {
    if (m_news) {
        CheckResets();
        GetSentences();
        MarkFilled(m_view);
        SetTimer(kTimer, kTimerMs);
    }
    return CPropertyPage::OnSetActive();
}

void CShortTextPage::OnTimer(UINT_PTR id) {
    if (id != kTimer) {
        CPropertyPage::OnTimer(id);
        return;
    }
    if (m_exiting || !m_news) return;
    CheckResets();
    GetSentences();
    MarkFilled(m_view);
}

BOOL CShortTextPage::OnKillActive() {
    KillTimer(kTimer);
    return CPropertyPage::OnKillActive();
}

BOOL CShortTextPage::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_BUTTON_NEWS:
            OnButtonNews();
            return TRUE;
        case IDC_BUTTON_GONGJI:
            OnButtonGongji();
            return TRUE;
        case IDC_BUTTON_DETAIL:
            OnButtonDetail();
            return TRUE;
        case IDC_BUTTON_BEFORE:
            OnButtonBefore();
            return TRUE;
        default:
            break;
        }
    }
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CShortTextPage::GetSentences() {
    if (!m_news) return;
    switch (m_view) {
    case kShortNews:
    case kNotices:
        GetShortTexts();
        break;
    case kTitles:
        GetMarkupTitles();
        break;
    case kContent:
        GetMarkupContents();
        break;
    default:
        break;
    }
    UpdateButton();
}

void CShortTextPage::UpdateButton() {
    CDARCShortText* texts = CDARCShortText::instance();
    if (CWnd* b = GetDlgItem(IDC_BUTTON_NEWS)) b->EnableWindow(texts->IsDataAvailable(1) ? TRUE : FALSE);
    if (CWnd* b = GetDlgItem(IDC_BUTTON_GONGJI)) b->EnableWindow(texts->IsDataAvailable(2) ? TRUE : FALSE);
    if (CWnd* b = GetDlgItem(IDC_BUTTON_DETAIL))
        b->EnableWindow(CDARCMarkup::instance()->IsDataAvailable(2) ? TRUE : FALSE);
}

void CShortTextPage::ShowList(int view) {
    for (int i = 0; i < 4; ++i) {
        NewsList* list = GetList(i);
        if (!list || !list->m_hWnd || i == view) continue;
        list->ShowWindow(SW_HIDE);
    }
    if (NewsList* list = GetList(view); list && list->m_hWnd) {
        list->SetRedraw(TRUE);
        list->ShowWindow(SW_SHOW);
        list->Invalidate();
    }
    const int browse = view == kContent ? SW_HIDE : SW_SHOW;
    for (UINT id : {IDC_BUTTON_NEWS, IDC_BUTTON_GONGJI, IDC_BUTTON_DETAIL})
        if (CWnd* b = GetDlgItem(static_cast<int>(id))) b->ShowWindow(browse);
    if (CWnd* b = GetDlgItem(IDC_BUTTON_BEFORE)) b->ShowWindow(view == kContent ? SW_SHOW : SW_HIDE);
}

void CShortTextPage::OnButtonNews() {
    if (NewsList* list = GetList(m_view)) list->ResetNewCount();
    m_view = kShortNews;
    GetSentences();
    MarkFilled(kShortNews);
    ShowList(kShortNews);
}

void CShortTextPage::OnButtonGongji() {
    if (NewsList* list = GetList(m_view)) list->ResetNewCount();
    m_view = kNotices;
    GetSentences();
    MarkFilled(kNotices);
    ShowList(kNotices);
}

void CShortTextPage::OnButtonDetail() {
    if (NewsList* list = GetList(m_view)) list->ResetNewCount();
    m_view = kTitles;
    GetSentences();
    MarkFilled(kTitles);
    ShowList(kTitles);
}

int CShortTextPage::OnButtonSelect(WORD key, BYTE subKey) {
    if (m_view != kTitles || !m_content) return 0;
    if (!CDARCMarkup::instance()->IsDocAvailable(key, subKey, 3)) return 0;
    m_key = key;
    m_subKey = subKey;
    m_view = kContent;
    m_content->DeleteAllRows();
    m_filled[kContent] = 0;
    GetSentences();
    MarkFilled(kContent);
    ShowList(kContent);
    return 1;
}

void CShortTextPage::OnButtonBefore() {
    if (m_view != kContent) return;
    m_view = kTitles;
    GetSentences();
    MarkFilled(kTitles);
    ShowList(kTitles);
}

void CShortTextPage::Exit() {
    m_exiting = 1;
    if (m_hWnd) KillTimer(kTimer);
    m_news.reset();
    m_notices.reset();
    m_titles.reset();
    m_content.reset();
    CSheetStorage::instance()->StoreNewsPage(m_view, m_key, m_subKey);
}

void CShortTextPage::BreakRows(const std::u16string& text, int kind) {
    NewsList* list = GetList(m_view);
    if (!list || !list->m_hWnd) return;
    CClientDC dc(list);
    CFont* old = dc.SelectObject(list->GetRowFont());
    TEXTMETRICW tm{};
    dc.GetTextMetrics(&tm);
    NewsRowBreaker breaker(
        [&dc](const char16_t* s, int count) { return static_cast<int>(dc.GetTextExtent(s, count).cx); },
        static_cast<int>(tm.tmAveCharWidth));
    if (kind == kContentLine) {
        for (const std::u16string& line : SplitLines(text)) breaker.MakeContentRows(line, m_rows);
    } else {
        std::u16string one = text;
        if (kind == kTitle) // a title stays one text
            std::replace_if(one.begin(), one.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }, u' ');
        breaker.MakeIndentedRows(one, kind == kTitle, m_rows);
    }
    dc.SelectObject(old);
}

void CShortTextPage::MakeSTSRows(const char* text) { BreakRows(Cp949ToUtf16(text), kShortText); }

void CShortTextPage::MakeMarkupRows(const char* text, bool content) {
    BreakRows(Cp949ToUtf16(text), content ? kContentLine : kTitle);
}

void CShortTextPage::GetShortTexts() {
    m_news->SetRedraw(FALSE);
    m_notices->SetRedraw(FALSE);
    char* text = m_text.get();
    text[0] = 0;
    bool waiting = false;
    int unread = 0;
    int kind = 0;
    while (CDARCShortText::instance()->getSentence(text, unread, kind)) {
        if (!text[0]) continue;
        if (!unread && m_filled[m_view]) continue;
        if (!waiting) {
            if (NewsList* list = GetList(m_view)) list->ResetNewCount();
            BeginWaitCursor();
            waiting = true;
        }
        NewsContentList* target = kind == 1 ? m_news.get() : kind == 2 ? m_notices.get() : nullptr;
        if (!target) continue;
        MakeSTSRows(text);
        // Rows go in from the last to the first, each at the top: the text reads top-down and
        // stands above the older ones.
        for (auto row = m_rows.rbegin(); row != m_rows.rend(); ++row) target->AddRow(*row, kind, unread != 0);
        m_rows.clear();
    }
    m_news->SetRedraw(TRUE);
    m_notices->SetRedraw(TRUE);
    if (waiting) EndWaitCursor();
}

void CShortTextPage::GetMarkupTitles() {
    m_titles->SetRedraw(FALSE);
    char* text = m_text.get();
    text[0] = 0;
    bool waiting = false;
    unsigned short number = 0;
    unsigned char serial = 0;
    unsigned char unread = 0;
    CDARCMarkup* store = CDARCMarkup::instance();
    while (store->GetSentence(m_key, 2, text, number, serial, unread)) {
        if (!text[0]) continue;
        if (!unread && m_filled[m_view]) continue;
        if (!waiting) {
            m_titles->ResetNewCount();
            BeginWaitCursor();
            waiting = true;
        }
        MakeMarkupRows(text, false);
        for (auto row = m_rows.rbegin(); row != m_rows.rend(); ++row)
            m_titles->AddRow(*row, 0, number, serial, unread != 0);
        m_rows.clear();
    }
    for (int i = 0; i < m_titles->GetItemCount(); ++i)
        if (NewsTitleList::Row* row = m_titles->GetRow(i))
            row->flag = store->IsDocAvailable(row->key, row->subKey, 3) ? 1 : 0;
    m_titles->SetRedraw(TRUE);
    m_titles->Invalidate();
    if (waiting) EndWaitCursor();
}

void CShortTextPage::GetMarkupContents() {
    m_content->SetRedraw(FALSE);
    char* text = m_text.get();
    text[0] = 0;
    bool waiting = false;
    unsigned short number = 0;
    unsigned char subKey = m_subKey;
    unsigned char unread = 0;
    while (CDARCMarkup::instance()->GetSentence(m_key, 3, text, number, subKey, unread)) {
        if (!text[0]) continue;
        if (!unread && m_filled[m_view]) continue;
        if (!waiting) {
            m_content->ResetNewCount();
            BeginWaitCursor();
            waiting = true;
        }
        MakeMarkupRows(text, true);
        for (auto row = m_rows.rbegin(); row != m_rows.rend(); ++row)
            m_content->AddRow(*row, 0, m_key, m_subKey, unread != 0);
        m_rows.clear();
    }
    m_content->SetRedraw(TRUE);
    if (waiting) EndWaitCursor();
}
