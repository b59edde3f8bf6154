#include "traffic/pages/NewsContentList.h"

#include <algorithm>

int NewsContentList::AddRow(const std::u16string& text, int kind, bool isNew) {
    auto* row = new Row;
    row->kind = kind;
    const std::size_t n = std::min<std::size_t>(text.size(), NewsRowBreaker::kMaxRowChars);
    std::copy_n(text.data(), n, row->text);
    return InsertRow(row->text, reinterpret_cast<std::uintptr_t>(row), isNew);
}
