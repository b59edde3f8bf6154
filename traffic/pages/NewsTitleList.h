// The news page's list of document titles (and, in a second instance, of a document's
// content): rows with the document's key and sub-key and whether its content is held (drawn
// underlined), at most 200 rows. A short tap on the title list selects the tapped row with every
// visible row of the same document and asks the page to open that document.
#pragma once

#include "traffic/pages/NewsList.h"
#include "traffic/pages/NewsRowBreaker.h"

class CShortTextPage;

class NewsTitleList : public NewsList {
public:
    static constexpr int kMaxRows = 200;

    struct Row {
        std::uint16_t flag = 0; // 1: the document's content is held
        std::uint16_t key = 0;
        std::uint8_t subKey = 0;
        char16_t text[NewsRowBreaker::kRowSize] = {};
    };

    // titles: the title list (taps open documents); otherwise taps scroll like the text lists.
    NewsTitleList(CShortTextPage* page, bool titles) : NewsList(kMaxRows), m_page(page), m_titles(titles) {}
    // The window goes while the rows can still be deleted.
    ~NewsTitleList() override { DestroyList(); }
    int AddRow(const std::u16string& text, std::uint16_t flag, std::uint16_t key, std::uint8_t subKey, bool isNew);
    Row* GetRow(int index) const { return reinterpret_cast<Row*>(GetItemData(index)); }

protected:
    void OnShortTap(CPoint down, CPoint up) override;
    const char16_t* RowText(std::uintptr_t data) const override { return reinterpret_cast<const Row*>(data)->text; }
    bool RowUnderlined(std::uintptr_t data) const override { return reinterpret_cast<const Row*>(data)->flag == 1; }
    void DeleteRowData(std::uintptr_t data) override { delete reinterpret_cast<Row*>(data); }
    void MakeDrawingObjects() override;

private:
    CShortTextPage* m_page;
    bool m_titles;
};
