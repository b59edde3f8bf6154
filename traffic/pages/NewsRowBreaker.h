// Breaks the news page's texts into rows that fit its lists: short texts and document titles
// (following rows indented by ten spaces) and the lines of a document's content (every row
// indented by two spaces). The width of a row is found by a search that measures ever longer
// pieces of the row as it will be shown and adds the font's average character width as a margin.
#pragma once

#include <functional>
#include <string>
#include <vector>

class NewsRowBreaker {
public:
    // A row holds 100 characters with its terminating NUL.
    static constexpr int kRowSize = 100;
    static constexpr int kMaxRowChars = kRowSize - 1;
    // The search never answers below this many characters.
    static constexpr int kMinRowChars = 15;
    static constexpr int kShortTextLimit = 200; // pixels, short texts and titles
    static constexpr int kContentLimit = 190;   // pixels, document content
    static constexpr int kContentSlack = 10;    // document rows may pass their limit by this much

    // Width in pixels of count characters starting at text.
    using Measure = std::function<int(const char16_t* text, int count)>;

    NewsRowBreaker(Measure measure, int averageCharWidth)
        : m_measure(std::move(measure)), m_average(averageCharWidth) {}

    // The row-length search over s from position p: 15 while fewer than 15 characters remain,
    // else the first length whose width plus the average character width passes the limit
    // (for documents one less when it passes the limit by more than 10), or the number of
    // characters left + 1 when every length fits.
    int LenOfRow(const std::u16string& s, std::size_t p, int limit, bool document) const;

    // Rows of a short text (document = false) or a document title (true): the first row from
    // the text, the following ones ten spaces and the next piece.
    void MakeIndentedRows(const std::u16string& text, bool document, std::vector<std::u16string>& rows) const;
    // Rows of one line of a document's content, each two spaces and the next piece; an empty
    // line gives one row of the two spaces.
    void MakeContentRows(const std::u16string& line, std::vector<std::u16string>& rows) const;

private:
    // Cuts text from p into rows, each the prefix and as many characters as the search over
    // prefix + the rest answers (less the prefix, at most kMaxRowChars in all).
    void Cut(const std::u16string& text, const std::u16string& firstPrefix, const std::u16string& prefix,
             int limit, bool document, std::vector<std::u16string>& rows) const;

    Measure m_measure;
    int m_average;
};
