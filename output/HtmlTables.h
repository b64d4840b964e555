// The long tables of the HTML page: which rows a table shows out of many, the line that
// counts the rest, and the menu path that heads a report's part.
#pragma once

#include <algorithm>
#include <numeric>
#include <string_view>
#include <vector>

#include "output/HtmlText.h"
#include "reports/CommandTable.h"

namespace quorlet3 {

// A long table shows this many rows at most, so that the page stays small over any log.
constexpr size_t kShownRows = 100;

// The rows a table shows out of n: the kShownRows largest counts, equal counts in the
// table's order (the order of the indices), and what the rows left out hold.
struct ShownRows {
    std::vector<size_t> rows;  // indices, largest count first, or ascending with inTableOrder
    long long restRows = 0;
    long long restAccesses = 0;
};

template <typename CountOf>
ShownRows Largest(size_t n, CountOf countOf, bool inTableOrder) {
    ShownRows shown;
    shown.rows.resize(n);
    std::iota(shown.rows.begin(), shown.rows.end(), size_t{0});
    auto before = [&countOf](size_t a, size_t b) {
        const long long ca = countOf(a);
        const long long cb = countOf(b);
        return ca != cb ? ca > cb : a < b;
    };
    if (n > kShownRows) {
        std::nth_element(shown.rows.begin(), shown.rows.begin() + kShownRows, shown.rows.end(), before);
        for (auto rest = shown.rows.begin() + kShownRows; rest != shown.rows.end(); ++rest) {
            shown.restAccesses += countOf(*rest);
        }
        shown.restRows = static_cast<long long>(n - kShownRows);
        shown.rows.resize(kShownRows);
    }
    if (inTableOrder) {
        std::sort(shown.rows.begin(), shown.rows.end());
    } else {
        std::sort(shown.rows.begin(), shown.rows.end(), before);
    }
    return shown;
}

// The rows of a table of counted values that it shows, largest counts first or in table order.
ShownRows Largest(const std::vector<ValueCount>& rows, bool inTableOrder);

// Closes the body of a table and, when rows were left out, adds the line that counts them.
void EndRows(HtmlText& page, const ShownRows& shown, int columns);

// The menu path of a row as "メイン調査 › 時間 › 時間帯": mnemonics "(&X)" and "&" left out.
void MenuPath(HtmlText& page, const CommandRow* row);

}  // namespace quorlet3
