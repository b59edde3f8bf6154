#include "traffic/pages/NewsRowBreaker.h"

#include <algorithm>

int NewsRowBreaker::LenOfRow(const std::u16string& s, std::size_t p, int limit, bool document) const {
    const int left = p < s.size() ? static_cast<int>(s.size() - p) : 0;
    if (left < kMinRowChars) return kMinRowChars;
    for (int n = kMinRowChars;; ++n) {
        if (n > left) return left + 1;
        const int width = m_measure(s.data() + p, n) + m_average;
        if (width > limit) return document && width > limit + kContentSlack ? n - 1 : n;
    }
}

void NewsRowBreaker::Cut(const std::u16string& text, const std::u16string& firstPrefix,
                         const std::u16string& prefix, int limit, bool document,
                         std::vector<std::u16string>& rows) const {
    std::size_t p = 0;
    bool first = true;
    do {
        const std::u16string& lead = first ? firstPrefix : prefix;
        const std::u16string shown = lead + text.substr(p);
        // A row never holds more than its 99 characters, however narrow the font.
        const int answer = std::min(LenOfRow(shown, 0, limit, document), kMaxRowChars);
        const std::size_t room = static_cast<std::size_t>(std::max(1, answer - static_cast<int>(lead.size())));
        const std::size_t n = std::min(room, text.size() - p);
        rows.push_back(lead + text.substr(p, n));
        p += n;
        first = false;
    } while (p < text.size());
}

void NewsRowBreaker::MakeIndentedRows(const std::u16string& text, bool document,
                                      std::vector<std::u16string>& rows) const {
    if (text.empty()) return;
    Cut(text, u"", std::u16string(10, u' '), kShortTextLimit, document, rows);
}

void NewsRowBreaker::MakeContentRows(const std::u16string& line, std::vector<std::u16string>& rows) const {
    if (line.empty()) {
        rows.emplace_back(u"  ");
        return;
    }
    Cut(line, u"  ", u"  ", kContentLimit, true, rows);
}
