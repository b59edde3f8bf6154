// The news page's list of short texts (short news, notices): rows of the text's kind and one
// row of its text, at most 201 rows.
#pragma once

#include "traffic/pages/NewsList.h"
#include "traffic/pages/NewsRowBreaker.h"

class NewsContentList : public NewsList {
public:
    static constexpr int kMaxRows = 201;

    struct Row {
        std::int32_t kind = 0;
        char16_t text[NewsRowBreaker::kRowSize] = {};
    };

    NewsContentList() : NewsList(kMaxRows) {}
    // The window goes while the rows can still be deleted.
    ~NewsContentList() override { DestroyList(); }
    // Inserts one row at the top (text cut to its 99 characters).
    int AddRow(const std::u16string& text, int kind, bool isNew);
    const Row* GetRow(int index) const { return reinterpret_cast<const Row*>(GetItemData(index)); }

protected:
    const char16_t* RowText(std::uintptr_t data) const override { return reinterpret_cast<const Row*>(data)->text; }
    void DeleteRowData(std::uintptr_t data) override { delete reinterpret_cast<Row*>(data); }
};
