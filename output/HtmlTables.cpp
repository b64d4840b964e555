// The long tables of the HTML page: the rows shown, the line for the rest, the menu path.
#include "output/HtmlTables.h"

#include <string>

namespace quorlet3 {

ShownRows Largest(const std::vector<ValueCount>& rows, bool inTableOrder) {
    return Largest(
        rows.size(), [&rows](size_t i) { return rows[i].count; }, inTableOrder);
}

// Closes the body of a table and, when rows were left out, adds the line that counts them.
void EndRows(HtmlText& page, const ShownRows& shown, int columns) {
    page << "</tbody>";
    if (shown.restRows > 0) {
        page << "\n<tfoot><tr class=\"rest\"><td colspan=\"" << columns << "\">ほか " << Grouped{shown.restRows}
             << " 行（" << Grouped{shown.restAccesses} << " 回）</td></tr></tfoot>";
    }
    page << "</table></div>\n";
}

// Where the window lists a row's report, as "メイン調査 › 時間 › 時間帯".
void MenuPath(HtmlText& page, const CommandRow* row) {
    if (row == nullptr || row->place[0] == nullptr) {
        return;
    }
    page << "<p class=\"menu\">";
    bool first = true;
    for (const char* word : row->place) {
        if (word == nullptr) {
            break;
        }
        page << (first ? "" : " › ");
        page.Escaped(word);
        first = false;
    }
    page << "</p>\n";
}

}  // namespace quorlet3
