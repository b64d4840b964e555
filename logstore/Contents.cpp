// The contents listing: one output line per record, markers left out.
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
        AppendFormat(text,
                     "これらのログは、%d 行もあります。\n表示には非常に時間がかかり、表示できない可能性もあります。\n表示しますか？",
                     n);
        return questions->AskOkCancel(text, QuestionIcon::Stop, DefaultButton::Cancel);
    }
    AppendFormat(text, "これらのログは、%d 行あります。\n表示に数秒～数十秒かかりますが表示しますか？", n);
    return questions->AskOkCancel(text, QuestionIcon::Default, DefaultButton::Ok);
}

// What each marker's line adds to the listing around its content. The last line of
// each kind of record ends the output line; lines without a marker add nothing.
struct ListingPiece {
    std::string_view marker;
    std::string_view before;
    std::string_view after;
};
constexpr ListingPiece kListingPieces[] = {
    {kMarker1, "", " "},    {kMarker2, "", " "},  {kMarker3, "", " "},      {kMarker4, "", " "},
    {kMarker5, "", "\r\n"}, {kMarker6, "\t", "    "}, {kMarker7, "\t", "\r\n"},
};

}  // namespace

std::string CQuorlet3Doc::ReportContents() const {
    const int n = WalkLength(Store());
    if (!AskToListLongLog(m_questionBox, n)) {
        return std::string(kCancel);
    }
    std::string text;
    text.reserve(static_cast<size_t>(n) * 64);
    Walk(Store(), [&](int, const std::string& line) {
        for (const ListingPiece& piece : kListingPieces) {
            if (HasMarker(line, piece.marker)) {
                text += piece.before;
                text += Content(line);
                text += piece.after;
                return;
            }
        }
    });
    return text;
}

}  // namespace quorlet3
