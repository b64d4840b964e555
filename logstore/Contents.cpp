// The contents listing: one output line per record, markers left out.
#include "logstore/Contents.h"

#include "logstore/Quorlet3Doc.h"
#include "logstore/ReadingRules.h"
#include "logstore/ReportText.h"

namespace quorlet3 {
namespace {

// Long listings are slow to show, so the user is asked first. True means go on.
bool AskToListLongLog(IQuestionBox* questions, int n) {
    if (n < 1000 || questions == nullptr) {
        return true;
    }
    std::string text;
    if (n >= 4000) {
        AppendFormat(
            text,
            "これらのログは、%d 行もあります。\n表示には非常に時間がかかり、表示できない可能性もあります。\n表示しますか？"_sjf,
            n);
        return questions->AskOkCancel(text, QuestionIcon::Stop, DefaultButton::Cancel);
    }
    AppendFormat(text, "これらのログは、%d 行あります。\n表示に数秒～数十秒かかりますが表示しますか？"_sjf, n);
    return questions->AskOkCancel(text, QuestionIcon::Default, DefaultButton::Ok);
}

// What each marker's line adds to the listing around its content. The last line of
// each kind of record ends the output line; lines without a marker add nothing.
struct ListingPiece {
    std::string_view marker;
    std::string_view before;
    std::string_view after;
    bool endsRow;
};
constexpr ListingPiece kListingPieces[] = {
    {kMarker1, "", " ", false}, {kMarker2, "", " ", false},      {kMarker3, "", " ", false}, {kMarker4, "", " ", false},
    {kMarker5, "", "", true},   {kMarker6, "\t", "    ", false}, {kMarker7, "\t", "", true},
};

}  // namespace

ContentsResult ComputeContents(const LineStore& store) {
    ContentsResult result;
    result.lines = WalkLength(store);
    std::string row;
    Walk(store, [&](int, const std::string& line) {
        for (const ListingPiece& piece : kListingPieces) {
            if (HasMarker(line, piece.marker)) {
                row += piece.before;
                row += Content(line);
                row += piece.after;
                if (piece.endsRow) {
                    result.rows.push_back(std::move(row));
                    row.clear();
                }
                return;
            }
        }
    });
    // Every piece that leaves its row open adds a separator, so an open row is never empty.
    if (!row.empty()) {
        result.rows.push_back(std::move(row));
        result.lastRowOpen = true;
    }
    return result;
}

std::string FormatContentsText(const ContentsResult& result) {
    size_t size = 0;
    for (const std::string& row : result.rows) {
        size += row.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (size_t i = 0; i < result.rows.size(); ++i) {
        text += result.rows[i];
        if (i + 1 < result.rows.size() || !result.lastRowOpen) {
            text += "\r\n";
        }
    }
    return text;
}

std::string CQuorlet3Doc::ReportContents() const {
    if (!AskToListLongLog(m_questionBox, WalkLength(Store()))) {
        return std::string(kCancel);
    }
    return FormatContentsText(ComputeContents(Store()));
}

}  // namespace quorlet3
